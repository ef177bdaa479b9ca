#include "client/tchat.h"

#include "client/artwork.h"
#include "client/chathistory.h"
#include "client/mainmenu.h"
#include "client/playerslots.h"
#include "client/qtsoundplayer.h"
#include "client/tilegroups.h"
#include "client/turl.h"
#include "client/windowplace.h"
#include "dialogs/ttallylist.h"
#include "dialogs/tgamestart.h"
#include "dialogs/tphrases.h"
#include "dialogs/tspylist.h"
#include "dialogs/twordslist.h"
#include "host/tserver.h"
#include "net/esockexception.h"
#include "net/fieldreader.h"
#include "net/messageframer.h"
#include "net/messages.h"
#include "net/protocol.h"
#include "net/receivequeue.h"
#include "net/tsock.h"
#include "words/inieditor.h"
#include "words/notifier.h"
#include "words/tdictn.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {
const QByteArray Section = "Lexitangle";
constexpr char MakerAddress[] = "www.orvo22.com";
const QString SocketClosed = QStringLiteral("Socket Closed");
constexpr int ClientTickMs = 1;
// Far above anything a real table sends (a whole board is some 600 bytes); a host that
// goes past them is flooding us, and the connection counts as lost.
constexpr int MaxQueuedMessages = 100000;
constexpr qsizetype MaxQueuedBytes = 64 * 1024 * 1024;
constexpr int PanelWidth = 780;
constexpr int PanelHeight = 525;
constexpr int MinClientWidth = 784;
constexpr int MinClientHeight = 529;

QString latin1(const QByteArray &bytes) { return QString::fromLatin1(bytes); }

// A side window opened from the menu comes up in front, also when it was open already but
// covered, and also where no window manager raises what is shown.
void showInFront(QWidget *window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

// The client area: the base colour under the tiled background picture.
class Backdrop : public QWidget {
public:
    explicit Backdrop(QWidget *parent) : QWidget(parent), m_tile(Artwork::picture(QStringLiteral("background"))) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(76, 106, 76));
        if (!m_tile.isNull())
            p.drawTiledPixmap(rect(), m_tile);
    }

private:
    QPixmap m_tile;
};
}

Tchat::Tchat(const Setup &setup, QWidget *parent)
    : QMainWindow(parent)
    , m_setup(setup)
{
    setWindowTitle(QStringLiteral("Lexitangle"));
    setObjectName(QStringLiteral("chat"));
    m_spell = std::make_unique<TDictn>(m_setup.paths.dictionaryWorkingFile(), m_setup.notifier);
    m_menu = new MainMenu(menuBar());
    m_tileGroups = std::make_unique<TileGroups>(m_setup.paths.tileFolder());
    grouptilesmenu();
    buildPanel();
    connectMenu();
    m_queue = new ReceiveQueue(ClientTickMs, this);
    m_queue->setObjectName(QStringLiteral("Timer1"));
    registerHandlers();
    connectSocket();
    m_game->clearall();
    resize(775, 590);
}

Tchat::~Tchat() = default;

void Tchat::buildPanel()
{
    auto *backdrop = new Backdrop(this);
    setCentralWidget(backdrop);
    backdrop->setMinimumSize(MinClientWidth, MinClientHeight);
    m_panel = new QWidget(backdrop);
    m_panel->setObjectName(QStringLiteral("panel_board"));
    m_panel->setGeometry(1, 3, PanelWidth, PanelHeight);

    auto *logo = new QLabel(m_panel);
    logo->setObjectName(QStringLiteral("image_logo"));
    logo->setPixmap(Artwork::picture(QStringLiteral("image_logo")));
    logo->setGeometry(2, 100, 40, 422);
    logo->setCursor(Qt::PointingHandCursor);
    logo->installEventFilter(this);

    m_slots = new PlayerSlots(m_panel);
    connect(m_slots, &PlayerSlots::contextPopup, this, &Tchat::label_playername1ContextPopup);
    QMenu *kick = m_slots->popupKick();
    connect(kick->findChild<QAction *>(QStringLiteral("RemoveFromGame1")), &QAction::triggered, this,
            [this] { kicking(m_slots->popupTarget()); });
    auto justWatchFor = [this](int mode) {
        const int target = m_slots->popupTarget();
        if (m_loggedIn && target <= PlayerSlots::SlotCount && target >= 1)
            sendMessage(Msg::justwatch(target, mode));
    };
    connect(kick->findChild<QAction *>(QStringLiteral("SettoJustWatch1")), &QAction::triggered, this,
            [justWatchFor] { justWatchFor(1); });
    connect(kick->findChild<QAction *>(QStringLiteral("UnsetJustWatch1")), &QAction::triggered, this,
            [justWatchFor] { justWatchFor(2); });

    m_chat = new ChatPanel(m_panel, this);

    m_game = new GameFlow(m_panel, *this, nullptr, this);
    m_game->setTileSet(TileSet::builtIn(devicePixelRatioF()));

    auto *start = new QToolButton(m_panel);
    start->setObjectName(QStringLiteral("button_start"));
    start->setGeometry(348, 68, 120, 30);
    start->setIcon(QIcon(Artwork::picture(QStringLiteral("button_startgame"))));
    start->setIconSize(QSize(120, 30));
    start->setAutoRaise(true);
    start->setToolTip(QStringLiteral("Start Game"));
    start->hide();
    connect(start, &QToolButton::clicked, this, [this] { item("StartGame1")->trigger(); });
    m_startButton = start;

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
        if (!m_loggedIn) {
            showMessage(QStringLiteral("You are not connected"));
            return;
        }
        showInFront(m_windows.gamestart);
    });
    on("PlaySounds1", [this] { saveinifile(); });
    on("BetterBoards1", [this] { saveBetterBoards(); });
    on("PlayChatterSounds1", [this] { saveinifile(); });
    for (const char *name : {"Classic1", "New1"})
        on(name, [this, name] {
            m_menu->chooseTurnSound(item(name)->data().toInt());
            saveinifile();
        });
    for (const char *name : {"ExtraLong1", "long", "Normal1", "quick"})
        on(name, [this, name] {
            m_menu->chooseTimeBetweenRounds(item(name)->data().toInt());
            saveinifile();
        });
    on("TextColor1", [this] {
        if (m_chat->TextColor1Click())
            saveinifile();
    });
    on("ActionColor1", [this] {
        m_chat->ActionColor1Click();
        saveinifile();
    });
    for (const char *name : {"N8", "N10", "N12", "N14"})
        on(name, [this, name] {
            m_chat->setTextSize(item(name)->data().toInt());
            m_menu->checkTextSize(item(name)->data().toInt());
            saveinifile();
        });
    on("ClearMainChat1", [this] { m_chat->ClearMainChat1Click(); });
    // The two "Scroll Chat Off" items always show the same state.
    connect(item("ScrollChatOff2"), &QAction::toggled, m_chat, &ChatPanel::setScrollOff);
    connect(m_chat, &ChatPanel::scrollOffChanged, item("ScrollChatOff2"), &QAction::setChecked);
    on("ResetScreenLocation1", [this] { resetScreenLocation(); });
    on("JustWatch1", [this] { JustWatch1Click(); });
    on("DisableTyping1", [this] {
        QAction *a = item("DisableTyping1");
        a->setData(a->isChecked() ? 0 : 1);
        m_game->setTypingLabelShown(!a->isChecked());
        saveinifile();
    });
    on("ClickLetters1", [this] {
        QAction *a = item("ClickLetters1");
        a->setData(a->isChecked() ? 0 : 1);
        saveinifile();
    });
    on("SpyList1", [this] { showInFront(m_windows.spylist); });
    on("PrhaseList1", [this] {
        if (m_windows.phrases) {
            for (int n = 1; n <= ChatPanel::PhraseCount; ++n)
                m_windows.phrases->setPhraseText(n, m_chat->phrase(n));
            showInFront(m_windows.phrases);
        }
    });
    on("ViewTally1", [this] {
        if (m_windows.tallylist)
            m_windows.tallylist->viewTally();
    });
    on("Help2", [this] { showInFront(m_windows.help); });
    on("About1", [this] { showInFront(m_windows.about); });
}

void Tchat::attach(const Windows &windows)
{
    m_windows = windows;
    if (m_windows.wordslist)
        m_game->setWordsList(m_windows.wordslist);
    if (m_windows.spylist)
        connect(m_windows.spylist, &Tspylist::kickRequested, this, &Tchat::kicking);
    if (m_windows.phrases)
        connect(m_windows.phrases, &Tphrases::done, this, [this] {
            for (int n = 1; n <= ChatPanel::PhraseCount; ++n)
                m_chat->setPhrase(n, m_windows.phrases->phraseText(n));
            savePhrases();
        });
}

// ---- connection and queue ----

void Tchat::registerHandlers()
{
    auto add = [this](const char *keyword, auto handler) {
        m_queue->addHandler(QByteArray(keyword), [this, handler](const QByteArray &payload, int) { handler(payload); });
    };
    add("CMD_sendlogininfo", [this](const QByteArray &p) { sendloginfo(p); });
    add("CMD_chat", [this](const QByteArray &p) { m_chat->chatrecieved(p); });
    add("CMD_action", [this](const QByteArray &p) { m_chat->chatrecieved(p); });
    add("CMD_newplayerinfo", [this](const QByteArray &p) { newplayerinfo(p); });
    add("CMD_havewrongversion", [this](const QByteArray &p) {
        systemLine(latin1(p) + QStringLiteral(" has a different version of the game then you."));
    });
    add("CMD_wrongversion", [this](const QByteArray &) {
        systemLine(QStringLiteral("You have a differnt version of the game then the host."));
    });
    add("CMD_existingplayers", [this](const QByteArray &p) { newplayerinfo(p); });
    add("CMD_playerdisconnected", [this](const QByteArray &p) { playerdisconnected(p); });
    add("CMD_startgame", [this](const QByteArray &p) {
        m_game->startthegame(p);
        m_startButton->hide();
        // The host clears every seat's watching mark at a game start without a word.
        for (int seat = 1; seat <= PlayerSlots::SlotCount; ++seat)
            m_slots->setWatching(seat, false);
    });
    add("CMD_nextplayer", [this](const QByteArray &p) { m_game->getnextplayer(p); });
    add("CMD_winner", [this](const QByteArray &p) { m_game->winner(p); });
    add("CMD_full", [this](const QByteArray &) {
        showMessage(QStringLiteral("Game is full"));
        close();
    });
    add("CMD_justwatching", [this](const QByteArray &p) { justwatching(p); });
    add("CMD_loadboard", [this](const QByteArray &p) { m_game->loadboard(p); });
    add("CMD_goodword", [this](const QByteArray &p) { m_game->goodword(p); });
    add("CMD_addscore", [this](const QByteArray &p) { m_game->addscore(p); });
    add("CMD_notvalid", [this](const QByteArray &p) { m_game->notvalid(p); });
    add("CMD_timeup", [this](const QByteArray &p) { m_game->timeup(p); });
    add("CMD_loadstats", [this](const QByteArray &p) { m_game->loadstats(p); });
    add("CMD_mainlist", [this](const QByteArray &p) { m_game->mainlist(p); });
    add("CMD_playasound", [this](const QByteArray &p) { m_chat->playasound(p); });
}

void Tchat::connectSocket()
{
    m_sock = new TSock(this);
    m_sock->setObjectName(QStringLiteral("sock"));
    m_sock->setPortName(QString::number(m_setup.port));
    // One message too long is skipped; it never ends the program.
    m_framer = std::make_unique<MessageFramer>(MessageFramer::DefaultMaxMessage,
                                               MessageFramer::Overflow::SkipMessage);
    m_queue->setLimits(MaxQueuedMessages, MaxQueuedBytes);
    connect(m_sock, &TSock::onRead, this, [this](TSock *sender, qint64) {
        for (const QByteArray &message : m_framer->feed(sender->receive())) {
            if (m_queue->enqueue(message) == ReceiveQueue::Enqueued::Full) {
                qWarning("Lexitangle: the host sent more than %d messages or %lld bytes that "
                         "wait to be handled; closing the connection",
                         MaxQueuedMessages, qlonglong(MaxQueuedBytes));
                sender->close();
                return;
            }
        }
    });
    connect(m_sock, &TSock::onInfo, this, &Tchat::sockInfo);
    m_presence = new TSock(this);
    m_presence->setObjectName(QStringLiteral("Sock11"));
    m_presence->setHostName(QStringLiteral("127.0.0.1"));
    m_presence->setPortName(QStringLiteral("9001"));
}

void Tchat::sendMessage(const QByteArray &whole)
{
    try {
        m_sock->send(whole);
    } catch (const ESockException &error) {
        qWarning("Lexitangle: %s", error.what());
    }
}

void Tchat::sockInfo(TSock *, int, const QString &text)
{
    if (text == SocketClosed && !m_closing)
        QTimer::singleShot(0, this, &QWidget::close);
}

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
    m_loginName.clear();
    if (arguments.isEmpty()) {
        systemLine(QStringLiteral("Loading Solo Game..Please wait."));
        showInFront(m_windows.download);
        m_hostAddress = "127.0.0.1";
        m_playerName = "You";
        hostpress();
        return;
    }
    systemLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (arguments.size() < 3)
        return;
    m_playerName = Protocol::cleanText(arguments.at(0).toLatin1());
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
    try {
        m_windows.server->startListening();
    } catch (const ESockException &error) {
        showMessage(QString::fromUtf8(error.what()));
        return false;
    }
    m_loginName = m_playerName + Protocol::Terminator;
    m_host = true;
    m_sock->setHostName(QStringLiteral("127.0.0.1"));
    m_sock->setPortName(QString::number(m_windows.server->listeningPort()));
    // Bound before it connects, the own connection is known to the host by its port, so
    // seat 1 is ours whoever reaches the listener first.
    m_sock->setLocalAddress(QHostAddress::LocalHost);
    try {
        m_sock->open();
    } catch (const ESockException &error) {
        showMessage(QString::fromUtf8(error.what()));
        return false;
    }
    m_windows.server->setOwnClient(QHostAddress::LocalHost, m_sock->localPort());
    m_startButton->show();
    item("StartGame1")->setEnabled(true);
    if (m_windows.spylist)
        m_windows.spylist->setKickEnabled(true);
    return true;
}

bool Tchat::joinpress()
{
    m_loginName = m_playerName + Protocol::Terminator;
    m_sock->setHostName(latin1(m_hostAddress));
    try {
        m_sock->open();
    } catch (const ESockException &error) {
        showMessage(QString::fromUtf8(error.what()));
        return false;
    }
    m_startButton->hide();
    item("StartGame1")->setEnabled(false);
    return true;
}

// ---- session handlers ----

void Tchat::sendloginfo(const QByteArray &payload)
{
    FieldReader fields(payload);
    m_ownSeat = fields.number();
    m_loggedIn = true;
    sendMessage(Msg::logininfo(m_ownSeat, Protocol::Version, m_loginName));
}

void Tchat::newplayerinfo(const QByteArray &payload)
{
    FieldReader fields(payload);
    const int seat = fields.number();
    const QString name = latin1(fields.rest());
    if (seat == m_ownSeat) {
        systemLine(QStringLiteral("You are Connected."));
        loadinifile();
    } else {
        systemLine(name + QStringLiteral(" has joined the room."));
    }
    if (seat <= PlayerSlots::SlotCount) {
        m_slots->take(seat, name);
    } else {
        if (m_windows.spylist)
            m_windows.spylist->addSpy(seat, name);
        systemLine(seat == m_ownSeat ? QStringLiteral("You are spying.") : name + QStringLiteral(" is spying."));
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::playerdisconnected(const QByteArray &payload)
{
    FieldReader fields(payload);
    const int seat = fields.number();
    const QString name = latin1(fields.rest());
    if (seat <= PlayerSlots::SlotCount) {
        const QString caption = m_slots->caption(seat);
        if (!caption.isNull() && caption != PlayerSlots::Waiting && caption != m_slots->hintName(seat))
            systemLine(caption + QStringLiteral(" has left the room."));
        m_slots->free(seat);
        return;
    }
    if (m_windows.spylist && m_windows.spylist->removeSpy(seat, name))
        systemLine(name + QStringLiteral(" has disconnected."));
}

void Tchat::justwatching(const QByteArray &payload)
{
    FieldReader fields(payload);
    const int seat = fields.number();
    if (!PlayerSlots::isSlot(seat))
        return;
    const bool watching = fields.rest() == "1";
    if (seat == m_ownSeat)
        item("JustWatch1")->setChecked(watching);
    const QString caption = m_slots->caption(seat);
    systemLine(caption + (watching ? QStringLiteral(" is just watching") : QStringLiteral(" is now playing again")));
    m_slots->setWatching(seat, watching);
}

void Tchat::JustWatch1Click()
{
    // The menu toggled its own check mark; the mark only follows the host's echo.
    QAction *justWatch = item("JustWatch1");
    const bool wasChecked = !justWatch->isChecked();
    justWatch->setChecked(wasChecked);
    if (m_loggedIn && PlayerSlots::isSlot(m_ownSeat))
        sendMessage(Msg::justwatch(m_ownSeat, wasChecked ? 2 : 1));
}

void Tchat::label_playername1ContextPopup(int seat)
{
    QMenu *menu = m_slots->popupKick();
    for (QAction *a : menu->actions())
        a->setEnabled(m_host);
    if (m_slots->caption(seat) == PlayerSlots::Waiting)
        menu->findChild<QAction *>(QStringLiteral("RemoveFromGame1"))->setEnabled(false);
}

void Tchat::kicking(int seat)
{
    if (m_host && m_loggedIn)
        sendMessage(Msg::kickhim(m_ownSeat, seat));
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
void Tchat::setStartButtonVisible(bool visible) { m_startButton->setVisible(visible && m_host); }
int Tchat::timeBetweenRounds() const { return m_menu->timeBetweenRoundsTag(); }
bool Tchat::autoStart() const { return item("autostart")->isChecked(); }
bool Tchat::betterBoards() const { return item("BetterBoards1")->isChecked(); }

// ---- tile groups ----

void Tchat::grouptilesmenu()
{
    for (const QString &group : m_tileGroups->groupNames()) {
        QAction *choice = m_menu->addTileGroup(group);
        connect(choice, &QAction::triggered, this, [this, group] { grouptilesmenuClick(group); });
    }
}

bool Tchat::loadgrouptiles(const QString &group)
{
    const std::optional<TileSet> tiles = m_tileGroups->loadgrouptiles(group);
    if (!tiles)
        return false; // the file is gone: pictures and check marks stay as they were
    m_shownTileGroup = group;
    checkShownTileGroup();
    m_tileGroup = group;
    m_game->setTileSet(*tiles);
    return true;
}

void Tchat::checkShownTileGroup()
{
    const QString shown = m_shownTileGroup + QStringLiteral("3");
    for (QAction *choice : m_menu->tilesMenu()->actions())
        choice->setChecked(!m_shownTileGroup.isEmpty() && choice->objectName() == shown);
}

void Tchat::grouptilesmenuClick(const QString &group)
{
    // The menu has checked the chosen item already; a group that does not load leaves the
    // pictures, and so the check mark, where they were.
    if (!loadgrouptiles(group))
        checkShownTileGroup();
    m_tileGroup = group; // remembered even when the file has disappeared since start-up
    saveinifile();
}

QList<QByteArray> Tchat::otherPlayers() const
{
    QList<QByteArray> names;
    for (int seat = 1; seat <= PlayerSlots::SlotCount; ++seat) {
        const QString caption = m_slots->caption(seat);
        if (seat != m_ownSeat && caption != PlayerSlots::Waiting)
            names.append(caption.toLatin1());
    }
    return names;
}

// ---- keys ----

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && watched->objectName() == QStringLiteral("image_logo")) {
        TURL(QString::fromLatin1(MakerAddress)).open();
        return true;
    }
    // The window-level key hook: while typing is on in the player's round, the board takes
    // every key before the focused control (the chat input) sees it. A key that reaches one of
    // this window's controls counts, also where no window manager marks the window active
    // (keyboard focus following the pointer on a bare X server).
    if (event->type() == QEvent::KeyPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && m_game->FormShortCut(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- settings and geometry ----

ClientSettings Tchat::currentSettings() const
{
    ClientSettings s;
    s.textSize = m_chat->textSize();
    // The frame's corner, and no size that the desktop could not give the window back.
    const QSize size = WindowPlace::fitSize(this->size(), workArea(pos()), frameExtra(), minimumWindowSize());
    s.top = pos().y();
    s.left = pos().x();
    s.width = size.width();
    s.height = size.height();
    s.textColor = m_chat->textColour();
    s.actionColor = m_chat->actionColour();
    if (m_windows.gamestart) {
        s.playToScore = QByteArray::number(m_windows.gamestart->playtoscore());
        s.timePerTurn = QByteArray::number(m_windows.gamestart->timeperturn());
        s.boardSize = m_windows.gamestart->boardsizeHint().toLatin1();
        s.minLetters = m_windows.gamestart->minHint().toLatin1();
    }
    s.timeBetweenRounds = m_menu->timeBetweenRoundsTag();
    if (m_windows.wordslist) {
        s.wordsListTop = m_windows.wordslist->rememberedTop();
        s.wordsListLeft = m_windows.wordslist->rememberedLeft();
    }
    s.turnSound = m_menu->turnSoundTag();
    s.clickLettersTag = item("ClickLetters1")->data().toInt();
    s.disableTypingTag = item("DisableTyping1")->data().toInt();
    s.tiles = m_tileGroup.toLatin1();
    s.playSounds = item("PlaySounds1")->isChecked();
    s.chatterSounds = item("PlayChatterSounds1")->isChecked();
    return s;
}

void Tchat::loadinifile()
{
    IniEditor ini;
    ini.load(m_setup.paths.settingsFile());
    applySettings(ClientSettings::read(ini, Section));
    m_settingsRead = true;
}

void Tchat::applySettings(const ClientSettings &s)
{
    if (m_windows.wordslist)
        m_windows.wordslist->setRemembered(s.wordsListLeft, s.wordsListTop);
    m_chat->setTextSize(s.textSize);
    m_menu->checkTextSize(s.textSize);
    placeWindow(QPoint(s.left, s.top), QSize(s.width, s.height));
    m_remembered = place();
    m_chat->setTextColour(s.textColor);
    m_chat->setActionColour(s.actionColor);
    if (m_windows.gamestart) {
        m_windows.gamestart->setPlaytoscore(latin1(s.playToScore));
        m_windows.gamestart->clicksize(QStringLiteral("image_size") + latin1(s.boardSize));
        m_windows.gamestart->clickmin(QStringLiteral("image_min") + latin1(s.minLetters));
        m_windows.gamestart->setTimeperturn(latin1(s.timePerTurn));
    }
    m_menu->chooseTimeBetweenRounds(s.timeBetweenRounds);
    m_menu->chooseTurnSound(s.turnSound);
    item("ClickLetters1")->setData(s.clickLettersTag);
    item("ClickLetters1")->setChecked(s.clickLettersTag != 1);
    item("DisableTyping1")->setData(s.disableTypingTag);
    item("DisableTyping1")->setChecked(s.disableTypingTag != 1);
    m_game->setTypingLabelShown(s.disableTypingTag == 1);
    for (int n = 1; n <= ChatPanel::PhraseCount; ++n)
        if (!s.phrases[n - 1].isEmpty())
            m_chat->setPhrase(n, latin1(s.phrases[n - 1]));
    item("PlaySounds1")->setChecked(s.playSounds);
    item("PlayChatterSounds1")->setChecked(s.chatterSounds);
    if (!s.tiles.isEmpty() && s.tiles.toLower() != "classic")
        loadgrouptiles(latin1(s.tiles));
    item("BetterBoards1")->setChecked(s.betterBoards);
}

void Tchat::saveinifile()
{
    // Until the stored values have been read (at the own login), the window shows built-in
    // values; writing those would throw away the player's stored choices.
    if (!m_settingsRead)
        return;
    editSettingsFile([this](IniEditor &ini) { currentSettings().write(ini, Section); });
}

void Tchat::savePhrases()
{
    QList<QByteArray> phrases;
    for (int n = 1; n <= ChatPanel::PhraseCount; ++n)
        phrases.append(ChatPanel::wireText(m_chat->phrase(n)));
    editSettingsFile([&phrases](IniEditor &ini) { ClientSettings::writePhrases(ini, Section, phrases); });
}

void Tchat::editSettingsFile(const std::function<void(IniEditor &)> &edit)
{
    // Read the file afresh so that what the lobby changed meanwhile is kept; a file that
    // cannot be read is never overwritten.
    IniEditor ini;
    if (!ini.load(m_setup.paths.settingsFile()))
        return;
    edit(ini);
    QString error;
    const bool saved = ini.save(m_setup.paths.settingsFile(), &error);
    reportSave(m_setup.paths.settingsFile(), saved, error);
}

void Tchat::reportSave(const QString &path, bool saved, const QString &reason)
{
    if (saved) {
        m_unsavedFiles.remove(path);
        return;
    }
    const QString where = QDir::toNativeSeparators(path);
    // Closing: the chat history is about to go, so the word goes to stderr, every time.
    if (m_closing) {
        qWarning().noquote() << "Lexitangle: could not save" << where << "(" + reason + ");"
                             << "the file there was left as it was.";
        return;
    }
    if (m_unsavedFiles.contains(path))
        return;
    m_unsavedFiles.insert(path);
    systemLine(QStringLiteral("Could not save %1 (%2). The file there was left as it was.")
                   .arg(where, reason));
}

void Tchat::saveBetterBoards()
{
    const bool on = betterBoards();
    editSettingsFile([on](IniEditor &ini) { ClientSettings::writeBetterBoards(ini, Section, on); });
}

void Tchat::resetScreenLocation()
{
    if (m_windows.wordslist)
        m_windows.wordslist->setRemembered(52, 108);
    placeWindow(QPoint(3, 3), QSize(775, 590));
}

QSize Tchat::frameExtra() const { return frameGeometry().size() - geometry().size(); }

QSize Tchat::minimumWindowSize() const { return minimumSize().expandedTo(minimumSizeHint()); }

QRect Tchat::workArea(QPoint corner) const
{
    QScreen *at = QGuiApplication::screenAt(corner);
    if (!at)
        at = screen() ? screen() : QGuiApplication::primaryScreen();
    return at ? at->availableGeometry() : QRect(0, 0, 1920, 1080);
}

void Tchat::placeWindow(QPoint corner, QSize size)
{
    // A stored place may be anything, even an inside far larger than any screen: it is brought
    // into the desktop's available area before the window takes it.
    const QRect fitted = WindowPlace::fitInto(corner, size, workArea(corner), frameExtra(), minimumWindowSize());
    resize(fitted.size());
    move(fitted.topLeft()); // the frame's corner: the title bar stays on the screen
}

void Tchat::resizeEvent(QResizeEvent *event)
{
    // The client area never becomes smaller than the board panel plus 4 pixels each way; the
    // central widget's minimum size holds it there.
    QMainWindow::resizeEvent(event);
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
    if (place() != m_remembered) {
        const QRect work = workArea(pos());
        QSize size = this->size();
        if (size.width() > work.width())
            size.setWidth(size.width() - 15);
        if (size.height() > work.height())
            size.setHeight(size.height() - 15);
        resize(size);
        m_remembered = place();
        if (Twordslist *words = m_windows.wordslist) {
            int left = words->rememberedLeft();
            int top = words->rememberedTop();
            if (left > work.right())
                left = work.right() - words->width();
            if (top > work.bottom())
                top = work.bottom() - words->height();
            words->setRemembered(left, top);
        }
    }
    saveinifile();
}
