#include "client/tchat.h"

#include "client/chathistory.h"
#include "client/mainpanel.h"
#include "client/mainmenu.h"
#include "client/playerslots.h"
#include "client/qtsoundplayer.h"
#include "client/settingsfile.h"
#include "client/tilegroupmenu.h"
#include "client/windowgeometry.h"
#include "dialogs/keptplace.h"
#include "dialogs/tgamestart.h"
#include "dialogs/tphrases.h"
#include "dialogs/troundreview.h"
#include "dialogs/tspylist.h"
#include "dialogs/ttallylist.h"
#include "dialogs/twordslist.h"
#include "host/tserver.h"
#include "net/esockexception.h"
#include "net/messages.h"
#include "net/protocol.h"
#include "net/tsock.h"
#include "session/clientsession.h"
#include "widgets/announcer.h"
#include "widgets/infront.h"
#include "words/notifier.h"
#include "words/tdictn.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>

Tchat::Tchat(const Setup &setup, QWidget *parent)
    : QMainWindow(parent)
    , m_setup(setup)
{
    setWindowTitle(QStringLiteral("Lexitangle"));
    setObjectName(QStringLiteral("chat"));
    m_spell = std::make_unique<TDictn>(m_setup.paths.dictionaryWorkingFile(), m_setup.notifier);
    m_session = new ClientSession(m_setup.port, this);
    m_settings = std::make_unique<SettingsFile>(*this, m_setup.paths.settingsFile());
    m_geometry = std::make_unique<WindowGeometry>(*this);
    m_menu = new MainMenu(menuBar());
    m_tiles = new TileGroupMenu(*m_menu, m_setup.paths.tileFolder(), this);
    buildPanel();
    connect(m_tiles, &TileGroupMenu::tilesLoaded, m_game, &GameFlow::setTileSet);
    connect(m_tiles, &TileGroupMenu::groupChosen, this, &Tchat::saveinifile);
    connectMenu();
    m_settings->connectOptions();
    connectSession();
    m_presence = new TSock(this);
    m_presence->setObjectName(QStringLiteral("Sock11"));
    m_presence->setHostName(QStringLiteral("127.0.0.1"));
    m_presence->setPortName(QStringLiteral("9001"));
    m_game->clearall();
    resize(WindowGeometry::HomeSize);
}

Tchat::~Tchat() = default;

void Tchat::buildPanel()
{
    auto *area = new MainPanel(this);
    setCentralWidget(area);
    m_panel = area->board();

    m_slots = new PlayerSlots(m_panel);
    connect(m_slots, &PlayerSlots::contextPopup, this, &Tchat::label_playername1ContextPopup);
    connect(m_slots, &PlayerSlots::removeChosen, this, &Tchat::kicking);
    connect(m_slots, &PlayerSlots::watchChosen, this, [this](int seat, int mode) {
        if (loggedIn() && Protocol::isSeat(seat))
            sendMessage(Msg::justwatch(seat, mode));
    });

    m_announcer = new Announcer(m_panel);
    m_chat = new ChatPanel(m_panel, this);
    m_chat->setAnnouncer(m_announcer);

    m_game = new GameFlow(m_panel, *this, nullptr, this);
    m_game->setAnnouncer(m_announcer);
    m_game->setTileSet(TileSet::builtIn(devicePixelRatioF()));

    m_startButton = area->startButton();
    m_startButton->raise(); // over the parts made after it
    connect(area->startButton(), &QToolButton::clicked, this, [this] { item("StartGame1")->trigger(); });

    qApp->installEventFilter(this);
}

QAction *Tchat::item(const char *name) const { return m_menu->item(QString::fromLatin1(name)); }

void Tchat::connectMenu()
{
    auto on = [this](const char *name, auto &&slot) {
        connect(item(name), &QAction::triggered, this, std::forward<decltype(slot)>(slot));
    };
    on("Exit1", [this] { close(); });
    on("StartGame1", [this] {
        if (!loggedIn()) {
            showMessage(QStringLiteral("You are not connected"));
            return;
        }
        InFront::show(m_windows.gamestart);
    });
    on("ClearMainChat1", [this] { m_chat->ClearMainChat1Click(); });
    // The two "Scroll Chat Off" items always show the same state.
    connect(item("ScrollChatOff2"), &QAction::toggled, m_chat, &ChatPanel::setScrollOff);
    connect(m_chat, &ChatPanel::scrollOffChanged, item("ScrollChatOff2"), &QAction::setChecked);
    on("ResetScreenLocation1", [this] { resetScreenLocation(); });
    connect(item("HighContrast1"), &QAction::toggled, this, &Tchat::setHighContrast);
    connect(item("SpeakChat1"), &QAction::toggled, m_announcer, &Announcer::setChatSpoken);
    on("JustWatch1", [this] { JustWatch1Click(); });
    on("SpyList1", [this] { InFront::show(m_windows.spylist); });
    on("PrhaseList1", [this] {
        if (m_windows.phrases) {
            for (int n = 1; n <= ChatPanel::PhraseCount; ++n)
                m_windows.phrases->setPhraseText(n, m_chat->phrase(n));
            InFront::show(m_windows.phrases);
        }
    });
    on("ViewTally1", [this] {
        if (m_windows.tallylist)
            m_windows.tallylist->viewTally();
    });
    on("Help2", [this] { InFront::show(m_windows.help); });
    on("About1", [this] { InFront::show(m_windows.about); });
}

void Tchat::attach(const Windows &windows)
{
    m_windows = windows;
    if (m_windows.wordslist)
        m_game->setWordsList(m_windows.wordslist);
    if (m_windows.spylist)
        connect(m_windows.spylist, &Tspylist::kickRequested, this, &Tchat::kicking);
    if (m_windows.roundreview) {
        KeptPlace *review = &m_windows.roundreview->keptPlace();
        connect(review, &KeptPlace::changed, this, [this](const QRect &place) { m_settings->saveReviewPlace(place); });
        connect(this, &Tchat::closing, review, &KeptPlace::keep);
    }
    if (m_windows.phrases)
        connect(m_windows.phrases, &Tphrases::done, this, [this] {
            for (int n = 1; n <= ChatPanel::PhraseCount; ++n)
                m_chat->setPhrase(n, m_windows.phrases->phraseText(n));
            savePhrases();
        });
}

// ---- session ----

void Tchat::connectSession()
{
    ClientSession *session = m_session;
    connect(session, &ClientSession::seatJoined, this, &Tchat::showJoined);
    connect(session, &ClientSession::seatLeft, this, &Tchat::showLeft);
    connect(session, &ClientSession::watchingChanged, this, &Tchat::showWatching);
    connect(session, &ClientSession::otherVersionDiffers, this, [this](const QByteArray &name) {
        systemLine(QString::fromLatin1(name) + QStringLiteral(" has a different version of the game then you."));
    });
    connect(session, &ClientSession::ownVersionDiffers, this, [this] {
        systemLine(QStringLiteral("You have a differnt version of the game then the host."));
    });
    connect(session, &ClientSession::tableFull, this, [this] {
        showMessage(QStringLiteral("Game is full"));
        close();
    });
    connect(session, &ClientSession::chatLine, m_chat, &ChatPanel::chatrecieved);
    connect(session, &ClientSession::chatterSound, m_chat, &ChatPanel::playasound);
    m_game->listenTo(*session); // first: the game start below comes after the board area's
    connect(session, &ClientSession::gameStarted, this, &Tchat::showGameStarted);
    connect(session, &ClientSession::closed, this, [this] {
        if (!m_closing)
            QTimer::singleShot(0, this, &QWidget::close);
    });
}

ReceiveQueue &Tchat::receivedlist() { return m_session->receivedlist(); }
TSock &Tchat::sock() { return m_session->sock(); }
int Tchat::ownSeat() const { return m_session->ownSeat(); }
bool Tchat::loggedIn() const { return m_session->loggedIn(); }
bool Tchat::isHost() const { return m_session->isHost(); }
QByteArray Tchat::playerName() const { return m_session->playerName(); }
void Tchat::sendMessage(const QByteArray &whole) { m_session->sendMessage(whole); }

void Tchat::sockInfo(TSock *sender, int kind, const QString &text) { m_session->sockInfo(sender, kind, text); }

// ---- start-up ----

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    QTimer::singleShot(0, this, [this] { processparams(m_arguments); });
}

void Tchat::processparams(const QStringList &arguments)
{
    // Start-up runs once: when the caller chose the path itself, the first showing must not
    // choose again (a second hostpress would listen twice and open the connection anew).
    if (m_started)
        return;
    m_started = true;
    m_startButton->hide();
    item("StartGame1")->setEnabled(false);
    if (arguments.isEmpty()) {
        systemLine(QStringLiteral("Loading Solo Game..Please wait."));
        InFront::show(m_windows.download);
        m_solo = true;
        m_hostAddress = "127.0.0.1";
        m_session->setPlayerName("You");
        // Without a table there is no solo game to go on to: the window that offers it would
        // only cover the line that says what to do.
        if (!hostpress() && m_windows.download)
            m_windows.download->hide();
        return;
    }
    systemLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (arguments.size() < 3)
        return;
    m_session->setPlayerName(Protocol::cleanText(arguments.at(0).toLatin1()));
    m_hostAddress = arguments.at(1).toLatin1();
    const bool hosting = arguments.at(2) == QStringLiteral("true");
    const bool started = hosting ? hostpress() : joinpress();
    if (!started)
        return; // the error was reported; the window stays open and idle
    try {
        m_presence->open();
    } catch (const ESockException &) {
        // Nothing depends on the presence connection.
    }
}

void Tchat::setArguments(const QStringList &arguments) { m_arguments = arguments; }

bool Tchat::hostpress()
{
    if (!m_windows.server)
        return false;
    const QString error = m_session->hostpress(*m_windows.server);
    if (!error.isEmpty()) {
        showMessage(error);
        if (error.startsWith(QLatin1String("Listen")))
            systemLine(QStringLiteral("Port %1 is in use, perhaps by another copy of the game. Close that "
                                      "program, then start Lexitangle again.")
                           .arg(m_windows.server->listeningPortWanted()));
        return false;
    }
    m_startButton->show();
    item("StartGame1")->setEnabled(true);
    if (m_windows.spylist)
        m_windows.spylist->setKickEnabled(true);
    return true;
}

bool Tchat::joinpress()
{
    m_menu->setComputerItemsEnabled(false); // computer players sit only at the host's own table
    const QString error = m_session->joinpress(QString::fromLatin1(m_hostAddress));
    if (!error.isEmpty()) {
        showMessage(error);
        return false;
    }
    m_startButton->hide();
    item("StartGame1")->setEnabled(false);
    return true;
}

// ---- session handlers ----

void Tchat::sendloginfo(const QByteArray &payload) { m_session->sendloginfo(payload); }
void Tchat::newplayerinfo(const QByteArray &payload) { m_session->newplayerinfo(payload); }
void Tchat::playerdisconnected(const QByteArray &payload) { m_session->playerdisconnected(payload); }
void Tchat::justwatching(const QByteArray &payload) { m_session->justwatching(payload); }

void Tchat::showJoined(const Msg::SeatName &player)
{
    const QString name = QString::fromLatin1(player.name);
    const bool own = player.seat == ownSeat();
    if (own) {
        systemLine(QStringLiteral("You are Connected."));
        loadinifile();
    } else {
        systemLine(name + QStringLiteral(" has joined the room."));
    }
    if (player.seat <= Protocol::SeatCount) {
        m_slots->take(player.seat, name);
    } else {
        if (m_windows.spylist)
            m_windows.spylist->addSpy(player.seat, name);
        systemLine(own ? QStringLiteral("You are spying.") : name + QStringLiteral(" is spying."));
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::showLeft(const Msg::SeatName &player)
{
    if (player.seat <= Protocol::SeatCount) {
        const QString caption = m_slots->caption(player.seat);
        if (!caption.isNull() && caption != PlayerSlots::Waiting && caption != m_slots->hintName(player.seat))
            systemLine(caption + QStringLiteral(" has left the room."));
        m_slots->free(player.seat);
        return;
    }
    const QString name = QString::fromLatin1(player.name);
    if (m_windows.spylist && m_windows.spylist->removeSpy(player.seat, name))
        systemLine(name + QStringLiteral(" has disconnected."));
}

void Tchat::showWatching(const Msg::Watching &change)
{
    if (change.seat == ownSeat())
        item("JustWatch1")->setChecked(change.watching);
    const QString caption = m_slots->caption(change.seat);
    systemLine(caption + (change.watching ? QStringLiteral(" is just watching") : QStringLiteral(" is now playing again")));
    m_slots->setWatching(change.seat, change.watching);
}

void Tchat::showGameStarted()
{
    m_startButton->hide();
    // The host clears every seat's watching mark at a game start without a word.
    m_slots->clearWatching();
}

void Tchat::JustWatch1Click()
{
    // The menu toggled its own check mark; the mark only follows the host's echo.
    QAction *justWatch = item("JustWatch1");
    const bool wasChecked = !justWatch->isChecked();
    justWatch->setChecked(wasChecked);
    if (loggedIn() && Protocol::isSeat(ownSeat()))
        sendMessage(Msg::justwatch(ownSeat(), wasChecked ? Protocol::StopWatching : Protocol::StartWatching));
}

void Tchat::label_playername1ContextPopup(int seat)
{
    QMenu *menu = m_slots->popupKick();
    for (QAction *a : menu->actions())
        a->setEnabled(isHost());
    if (m_slots->caption(seat) == PlayerSlots::Waiting)
        menu->findChild<QAction *>(QStringLiteral("RemoveFromGame1"))->setEnabled(false);
}

void Tchat::kicking(int seat)
{
    if (isHost() && loggedIn())
        m_session->removeSeat(seat);
}

// ---- output ----

void Tchat::addlinetochat(const QString &text, quint32 colour) { m_chat->addlinetochat(text, colour); }

void Tchat::playsounds(const QString &name)
{
    if (!item("PlaySounds1")->isChecked() || !m_setup.sounds)
        return;
    const QString clip = name.toUpper();
    if (QtSoundPlayer::isClip(clip))
        m_setup.sounds->play(clip);
}

void Tchat::playChatterClip(const QString &clip)
{
    if (m_setup.sounds && QtSoundPlayer::isClip(clip))
        m_setup.sounds->play(clip);
}

bool Tchat::chatterSoundsOn() const { return item("PlayChatterSounds1")->isChecked(); }
QString Tchat::slotCaption(int seat) const { return m_slots->caption(seat); }
bool Tchat::isword(QByteArrayView word) { return m_spell->isword(word); }

void Tchat::showMessage(const QString &text)
{
    if (m_setup.notifier)
        m_setup.notifier->showMessage(text);
}

bool Tchat::justWatchChecked() const { return item("JustWatch1")->isChecked(); }
void Tchat::setJustWatchChecked(bool checked) { item("JustWatch1")->setChecked(checked); }
bool Tchat::clickLettersChecked() const { return item("ClickLetters1")->isChecked(); }
bool Tchat::disableTypingChecked() const { return item("DisableTyping1")->isChecked(); }
int Tchat::turnSoundTag() const { return m_menu->turnSoundTag(); }
void Tchat::setStartButtonVisible(bool visible) { m_startButton->setVisible(visible && isHost()); }
int Tchat::timeBetweenRounds() const { return m_menu->timeBetweenRoundsTag(); }
bool Tchat::autoStart() const { return item("autostart")->isChecked(); }
bool Tchat::betterBoards() const { return item("BetterBoards1")->isChecked(); }

// ---- tile groups ----

QString Tchat::tileGroup() const { return m_tiles->tileGroup(); }
bool Tchat::loadgrouptiles(const QString &group) { return m_tiles->loadgrouptiles(group); }
void Tchat::grouptilesmenuClick(const QString &group) { m_tiles->grouptilesmenuClick(group); }

QList<QByteArray> Tchat::otherPlayers() const { return m_slots->takenNames(ownSeat()); }

// ---- keys ----

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    // The window-level key hook: while typing is on in the player's round, the board takes
    // every key before the focused control (the chat input) sees it. A key that reaches one of
    // this window's controls counts, also where no window manager marks the window active
    // (keyboard focus following the pointer on a bare X server).
    if (event->type() == QEvent::KeyPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && keyPressed(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Tchat::keyPressed(QKeyEvent *event)
{
    // The chat key works in and out of the player's round: typing goes off and the chat line
    // takes the keys, so Enter there sends the line.
    if (event->key() == ChatKey && event->modifiers() == Qt::NoModifier) {
        m_game->setTypingOn(false);
        m_chat->focusInput();
        return true;
    }
    const bool typingWasOn = m_game->typingOn();
    if (!m_game->FormShortCut(event))
        return false;
    // Tab switches typing off so that the keys reach the chat line: the line takes the focus
    // (the read-only history may hold it). Switched on, the board takes it back.
    if (event->key() == Qt::Key_Tab && typingWasOn && !m_game->typingOn())
        m_chat->focusInput();
    return true;
}

// ---- settings and geometry ----

void Tchat::setHighContrast(bool on)
{
    m_game->setHighContrast(on);
    m_chat->setHighContrast(on);
    if (m_windows.gamestart)
        m_windows.gamestart->setHighContrast(on);
}

void Tchat::loadinifile() { m_settings->loadinifile(); }
void Tchat::saveinifile() { m_settings->saveinifile(); }
void Tchat::savePhrases() { m_settings->savePhrases(); }

void Tchat::reportSave(const QString &path, bool saved, const QString &reason)
{
    m_settings->reportSave(path, saved, reason);
}

void Tchat::resetScreenLocation()
{
    if (m_windows.wordslist)
        m_windows.wordslist->setRemembered(52, 108);
    if (m_windows.roundreview)
        m_windows.roundreview->keptPlace().reset();
    m_geometry->placeWindow(WindowGeometry::HomeCorner, WindowGeometry::HomeSize);
}

void Tchat::closeEvent(QCloseEvent *event)
{
    if (!m_closing) {
        m_closing = true;
        FormClose();
        Q_EMIT closing();
    }
    event->accept();
}

void Tchat::FormClose()
{
    m_geometry->fitOnClose(m_windows.wordslist);
    saveinifile();
}
