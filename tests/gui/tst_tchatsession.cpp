#include <QAction>
#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "client/chathistory.h"
#include "client/clientsettings.h"
#include "client/mainmenu.h"
#include "client/messageboxnotifier.h"
#include "client/playerslots.h"
#include "client/soundplayer.h"
#include "client/tchat.h"
#include "session/clientsession.h"
#include "dialogs/keptplace.h"
#include "dialogs/troundreview.h"
#include "dialogs/tspylist.h"
#include "solver/roundhistory.h"
#include "words/worddefinitions.h"
#include "host/tserver.h"
#include "words/wordchecker.h"
#include "net/tsock.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QEventLoop>
#include "fulldisk.h"
#include "words/inieditor.h"
#include "words/notifier.h"

#include <QRegularExpression>
#include <QTextBlock>

namespace {
struct RecordingNotifier : Notifier {
    QStringList messages;
    void showMessage(const QString &text) override { messages << text; }
    bool confirm(const QString &) override { return true; }
};

// A box the player reads for a moment: an event loop of its own runs meanwhile, as a modal
// box's does, so whatever the window does before the box is dismissed can happen.
struct ModalNotifier : Notifier {
    QStringList dismissed;
    void showMessage(const QString &text) override
    {
        QEventLoop reading;
        QTimer::singleShot(100, &reading, &QEventLoop::quit);
        reading.exec();
        dismissed << text;
    }
    bool confirm(const QString &text) override
    {
        showMessage(text);
        return true;
    }
};

struct NoWords : WordChecker {
    bool isword(QByteArrayView) override { return false; }
};

struct RecordingSounds : SoundPlayer {
    QStringList played;
    void play(const QString &clip) override { played << clip; }
};

// The main window with its outgoing messages recorded instead of sent.
class TestChat : public Tchat {
public:
    explicit TestChat(const Setup &setup) : Tchat(setup)
    {
        session().setSender([this](const QByteArray &whole) { sent << whole; });
    }
    QByteArrayList sent;
    void logIn(int seat) { sendloginfo(QByteArray::number(seat)); }
};
}

class TestTchatSession : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    RecordingNotifier m_notifier;
    RecordingSounds m_sounds;
    std::unique_ptr<TestChat> m_chat;
    std::unique_ptr<Tspylist> m_spies;
    RoundHistory m_history{nullptr};
    WordDefinitions m_definitions;
    std::unique_ptr<Troundreview> m_review;

    QString history() const { return m_chat->chat().mainchat()->toPlainText(); }
    QString lastLine() const
    {
        const QStringList lines = history().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return lines.isEmpty() ? QString() : lines.last().trimmed();
    }
    QAction *item(const char *name) const { return m_chat->menu().item(QString::fromLatin1(name)); }

private Q_SLOTS:
    void init()
    {
        m_chat = std::make_unique<TestChat>(Tchat::Setup{Paths::inFolder(m_dir.path()), &m_sounds, &m_notifier, 0});
        m_spies = std::make_unique<Tspylist>();
        m_review = std::make_unique<Troundreview>(m_history, m_definitions, m_chat.get());
        Tchat::Windows windows;
        windows.spylist = m_spies.get();
        windows.roundreview = m_review.get();
        m_chat->attach(windows);
        m_sounds.played.clear();
        m_notifier.messages.clear();
    }
    void cleanup()
    {
        m_review.reset();
        m_chat.reset();
        m_spies.reset();
    }

    // A host copy listens and joins its own table over the loopback address, whatever the
    // second argument says; "True" is not "true" and joins the given address instead.
    void startPaths_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("hosting");
        QTest::addColumn<QString>("connectsTo");
        QTest::addColumn<bool>("strangerFirst");
        QTest::newRow("host") << QStringList{"Ann", "10.0.0.5", "true"} << true << "127.0.0.1" << false;
        QTest::newRow("host, a stranger reached the listener first")
            << QStringList{"Ann", "10.0.0.5", "true"} << true << "127.0.0.1" << true;
        QTest::newRow("capital True joins") << QStringList{"Ann", "127.0.0.2", "True"} << false << "127.0.0.2" << false;
        QTest::newRow("extra arguments") << QStringList{"Ann", "127.0.0.3", "join", "x", "y"} << false << "127.0.0.3" << false;
        QTest::newRow("one argument") << QStringList{"Ann"} << false << "" << false;
        QTest::newRow("two arguments") << QStringList{"Ann", "127.0.0.2"} << false << "" << false;
    }
    void startPaths()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, hosting);
        QFETCH(QString, connectsTo);
        QFETCH(bool, strangerFirst);
        NoWords words;
        DefaultHostSettings settings;
        QRandomGenerator rng(7);
        TServer server(words, settings, rng, 0);
        Tchat::Windows windows;
        windows.spylist = m_spies.get();
        windows.server = &server;
        m_chat->attach(windows);
        QTcpSocket stranger;
        if (strangerFirst) {
            // Connected without a turn of the event loop: it waits in the listener's backlog,
            // ahead of the own client, when the host starts accepting.
            server.startListening();
            stranger.connectToHost(QHostAddress::LocalHost, server.listeningPort());
            QVERIFY(stranger.waitForConnected(5000));
        }
        m_chat->processparams(arguments);
        QCOMPARE(m_chat->isHost(), hosting);
        QCOMPARE(m_chat->sock().hostName(), connectsTo);
        QCOMPARE(item("StartGame1")->isEnabled(), hosting);
        // A game from a board code, like any game, is the hosting player's to start.
        QCOMPARE(item("PlayBoardCode1")->isEnabled(), hosting);
        // Only a hosting copy seats computer players; a joining one greys their items out.
        const bool joined = !hosting && !connectsTo.isEmpty();
        QCOMPARE(item("ComputerPlayers1")->isEnabled(), !joined);
        QCOMPARE(item("ComputerLevel1")->isEnabled(), !joined);
        QVERIFY(history().startsWith(QStringLiteral("Loading Multi-player Game.. Please Wait.")));
        if (hosting) {
            QTRY_VERIFY(m_chat->loggedIn());
            QCOMPARE(m_chat->ownSeat(), 1);
            m_chat->sent.clear();
        }
        if (strangerFirst) {
            QTRY_VERIFY(stranger.bytesAvailable() > 0);
            QCOMPARE(stranger.readAll(), QByteArray("CMD_sendlogininfo+2\xFF"));
        }
        QVERIFY(m_notifier.messages.isEmpty());
    }

    // Connections that come and go as fast as they can give the hosting copy's own client
    // nothing to fall behind on: the host frees a seat at its own pace, one close per tick,
    // so the notices of the freed seats never outrun the client's queue.
    void churnLeavesOwnClientNothingToCatchUp()
    {
        NoWords words;
        DefaultHostSettings settings;
        QRandomGenerator rng(7);
        TServer server(words, settings, rng, 0);
        Tchat::Windows windows;
        windows.server = &server;
        m_chat->attach(windows);
        m_chat->processparams({"Ann", "127.0.0.1", "true"});
        QTRY_VERIFY(m_chat->loggedIn());
        int most = 0;
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        for (int i = 0; i < 3000; ++i) {
            QTcpSocket churner;
            connect(&churner, &QTcpSocket::readyRead, &loop, &QEventLoop::quit);
            churner.connectToHost(QHostAddress::LocalHost, server.listeningPort());
            // As fast as the greetings come (a waiting test macro would sleep between looks).
            timeout.start(5000);
            loop.exec();
            QVERIFY(churner.bytesAvailable() > 0);
            churner.abort();
            most = qMax(most, m_chat->receivedlist().size());
        }
        QVERIFY2(most < 50, qPrintable(QString::number(most)));
        QTRY_COMPARE(server.findChildren<TSock *>(Qt::FindDirectChildrenOnly).size(), 1);
    }

    // Whatever the host sends, one message never ends a joining copy, and neither does a
    // flood of messages that nobody handles; only a queue past its bound counts as a lost
    // connection. A host that closes right after its last words has them handled first: the
    // refused player reads "Game is full" before the window closes.
    void hostileHost_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("hangUp");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("linesAtClose");
        QTest::newRow("a message past the limit") << QByteArray(70000, 'a') + '\xFF' << false
                                                  << "^discarding a message longer than 65536" << false
                                                  << QStringList() << QStringList();
        QTest::newRow("a million empty messages") << QByteArray(1000000, '\xFF') << false << QString()
                                                  << false << QStringList() << QStringList();
        QByteArray unknown;
        for (int i = 0; i < 200000; ++i)
            unknown += "CMD_nothing+1\xFF";
        QTest::newRow("unknown keywords") << unknown << false << QString() << false << QStringList()
                                          << QStringList();
        QByteArray flood;
        for (int i = 0; i < 120000; ++i)
            flood += "CMD_chat+x|clRed\xFF";
        QTest::newRow("more waiting than the bound") << flood << false << "the host sent more than 100000"
                                                     << true << QStringList() << QStringList();
        QTest::newRow("refused at a full table") << QByteArray("CMD_full+\xFF") << true << QString() << true
                                                 << QStringList{"Game is full"} << QStringList();
        QTest::newRow("a burst of many reads, then closed")
            << QByteArray("CMD_chat+Bob chats: " + QByteArray(60000, 'x') + "|clRed\xFF").repeated(4) << true
            << QString() << true << QStringList() << QStringList{"Bob chats: still here"};
        QTest::newRow("another version, then closed")
            << QByteArray("CMD_sendlogininfo+2\xFF" "CMD_wrongversion+\xFF") << true << QString() << true
            << QStringList()
            << QStringList{"You have a differnt version of the game then the host.", "Bob chats: still here"};
    }
    void hostileHost()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, hangUp);
        QFETCH(QString, warning);
        QFETCH(bool, closes);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, linesAtClose);
        QTcpServer host;
        QVERIFY(host.listen(QHostAddress::LocalHost, 0));
        ModalNotifier notifier;
        TestChat chat(Tchat::Setup{Paths::inFolder(m_dir.path()), &m_sounds, &notifier, host.serverPort()});
        QSignalSpy closing(&chat, &Tchat::closing);
        QStringList boxesAtClose;
        QString historyAtClose;
        connect(&chat, &Tchat::closing, this, [&] {
            boxesAtClose = notifier.dismissed;
            historyAtClose = chat.chat().mainchat()->toPlainText();
        });
        chat.processparams({"Ann", "127.0.0.1", "join"});
        QVERIFY(host.waitForNewConnection(5000));
        QTcpSocket *peer = host.nextPendingConnection();
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        peer->write(bytes + "CMD_chat+Bob chats: still here|clRed\xFF");
        if (hangUp)
            peer->disconnectFromHost(); // once the bytes are out
        const QString line = QStringLiteral("Bob chats: still here");
        if (closes) {
            QTRY_COMPARE(closing.count(), 1);
            QVERIFY(!chat.sock().connected());
            QCOMPARE(boxesAtClose, boxes);
            for (const QString &expected : linesAtClose)
                QVERIFY2(historyAtClose.contains(expected), qPrintable(expected));
        } else {
            QTRY_VERIFY(chat.chat().mainchat()->toPlainText().contains(line));
            QCOMPARE(closing.count(), 0);
            QVERIFY(chat.sock().connected());
            QVERIFY(chat.receivedlist().size() < 10);
        }
        QTest::qWait(200); // whatever is still queued, a close included, closes nothing twice
        QCOMPARE(closing.count(), closes ? 1 : 0);
        QCOMPARE(notifier.dismissed, boxes);
    }

    // A port that another program holds: the error is shown and nothing else starts. After the
    // box one line tells what to do, and at a solo start the download window, which stays on
    // top, no longer covers that line.
    void listenFailureStopsStartUp_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("host") << QStringList{"Ann", "x", "true"};
        QTest::newRow("solo") << QStringList{};
    }
    void listenFailureStopsStartUp()
    {
        QFETCH(QStringList, arguments);
        QTcpServer holder;
        QVERIFY(holder.listen(QHostAddress::Any, 0));
        NoWords words;
        DefaultHostSettings settings;
        QRandomGenerator rng(7);
        TServer server(words, settings, rng, holder.serverPort());
        QWidget download;
        download.show();
        Tchat::Windows windows;
        windows.server = &server;
        windows.download = &download;
        m_chat->attach(windows);
        m_chat->processparams(arguments);
        QCOMPARE(m_notifier.messages, QStringList{"Listen - Error Binding Socket"});
        QVERIFY(!m_chat->isHost());
        QVERIFY(m_chat->sock().hostName().isEmpty());
        QCOMPARE(lastLine(), QStringLiteral("Port %1 is in use, perhaps by another copy of the game. Close that "
                                            "program, then start Lexitangle again.").arg(holder.serverPort()));
        QCOMPARE(download.isVisible(), !arguments.isEmpty());
    }

    // The program's boxes open above a window that stays on top, and block every window.
    void boxOpensInFront()
    {
        QWidget onTop(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
        onTop.show();
        MessageBoxNotifier boxes(m_chat.get());
        Qt::WindowFlags flags;
        Qt::WindowModality modality = Qt::NonModal;
        QWidget *owner = nullptr;
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            QVERIFY(box);
            flags = box->windowFlags();
            modality = box->windowModality();
            owner = box->parentWidget();
            box->close();
        });
        boxes.showMessage(QStringLiteral("Listen - Error Binding Socket"));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(modality, Qt::ApplicationModal);
        // A window manager keeps a box with its window: with the window on top, not beneath it.
        QCOMPARE(owner, &onTop);
    }

    // The chat key takes the keys to the chat line in the round and between rounds, and so
    // does Tab switching typing off: a line typed then is sent by Enter, not lost.
    void chatKey_data()
    {
        QTest::addColumn<bool>("inRound");
        QTest::addColumn<int>("key");
        QTest::newRow("chat key in the round") << true << int(Tchat::ChatKey);
        QTest::newRow("Tab in the round") << true << int(Qt::Key_Tab);
        QTest::newRow("chat key between rounds") << false << int(Tchat::ChatKey);
    }
    void chatKey()
    {
        QFETCH(bool, inRound);
        QFETCH(int, key);
        m_chat->show();
        QVERIFY(QTest::qWaitForWindowActive(m_chat.get()));
        m_chat->logIn(1);
        m_chat->newplayerinfo("1+You");
        if (inRound) {
            m_chat->session().startthegame("You+300+60+7+3+0+");
            m_chat->session().getnextplayer("1+");
            QVERIFY(m_chat->game().typingOn());
        }
        m_chat->chat().mainchat()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QLineEdit *line = m_chat->chat().mychat();
        QCOMPARE(QApplication::focusWidget(), line);
        QVERIFY(!m_chat->game().typingOn());
        QTest::keyClicks(line, "hi");
        QTest::keyClick(line, Qt::Key_Return);
        QCOMPARE(m_chat->sent.last(), Msg::chatToHost(1, "hi", "clBlack"));
        QCOMPARE(m_chat->game().entry().wordLength(), 0);
    }

    // The login answer carries the seat, the version and the login name.
    void loginAnswer()
    {
        m_chat->logIn(3);
        QVERIFY(m_chat->loggedIn());
        QCOMPARE(m_chat->ownSeat(), 3);
        QCOMPARE(m_chat->sent.size(), 1);
        QVERIFY(m_chat->sent.first().startsWith("CMD_logininfo+3+1.0.6+"));
    }

    // Slots fill from the announcements; the newcomer hears "entered" for everyone.
    void slotsFillAndEmpty()
    {
        m_chat->logIn(3);
        m_chat->newplayerinfo("3+Ann");
        QCOMPARE(lastLine(), QStringLiteral("You are Connected."));
        m_chat->newplayerinfo("2+Bob+Jr");
        QCOMPARE(lastLine(), QStringLiteral("Bob+Jr has joined the room."));
        QCOMPARE(m_chat->playerSlots().caption(2), QStringLiteral("Bob+Jr"));
        QCOMPARE(m_chat->playerSlots().caption(3), QStringLiteral("Ann"));
        QCOMPARE(m_sounds.played, QStringList({"ENTERED", "ENTERED"}));

        m_chat->playerdisconnected("2+Whoever");
        QCOMPARE(lastLine(), QStringLiteral("Bob+Jr has left the room.")); // the caption, not the received name
        QCOMPARE(m_chat->playerSlots().caption(2), PlayerSlots::Waiting);
        QCOMPARE(m_chat->playerSlots().scoreLabel(2)->text(), QStringLiteral("0"));

        const int lines = history().count(QLatin1Char('\n'));
        m_chat->playerdisconnected("2+Bob"); // already waiting: no line
        QCOMPARE(history().count(QLatin1Char('\n')), lines);
    }

    // A player named like the slot's hint name leaves without a line.
    void hintNameLeavesQuietly()
    {
        m_chat->logIn(1);
        m_chat->newplayerinfo("2+Klot");
        const int lines = history().count(QLatin1Char('\n'));
        m_chat->playerdisconnected("2+Klot");
        QCOMPARE(history().count(QLatin1Char('\n')), lines);
        QCOMPARE(m_chat->playerSlots().caption(2), PlayerSlots::Waiting);
    }

    // Seats above ten are spies: listed, announced, and removed only when listed.
    void spies()
    {
        m_chat->logIn(1);
        m_chat->newplayerinfo("11+Eve");
        QCOMPARE(lastLine(), QStringLiteral("Eve is spying."));
        QCOMPARE(m_spies->findChild<QListWidget *>()->item(0)->text(), QStringLiteral("11: Eve"));
        m_chat->playerdisconnected("11+Eve");
        QCOMPARE(lastLine(), QStringLiteral("Eve has disconnected."));
        const int lines = history().count(QLatin1Char('\n'));
        m_chat->playerdisconnected("11+Eve");
        QCOMPARE(history().count(QLatin1Char('\n')), lines);
    }

    // A spy sees itself connected and spying.
    void ownSpySeat()
    {
        m_chat->logIn(12);
        m_chat->newplayerinfo("12+Me");
        QVERIFY(history().contains(QStringLiteral("You are Connected.")));
        QCOMPARE(lastLine(), QStringLiteral("You are spying."));
    }

    // Just watching: eyes and the own check mark follow the host's echo only.
    void justWatchingFollowsEcho()
    {
        m_chat->logIn(2);
        m_chat->newplayerinfo("2+Ann");
        m_chat->sent.clear();
        item("JustWatch1")->trigger();
        item("JustWatch1")->trigger();
        QVERIFY(!item("JustWatch1")->isChecked());
        QCOMPARE(m_chat->sent, QByteArrayList({"CMD_justwatch+2+1\xFF", "CMD_justwatch+2+1\xFF"}));

        m_chat->justwatching("2+1");
        QVERIFY(item("JustWatch1")->isChecked());
        const PlayerSlots &seats = m_chat->playerSlots();
        QVERIFY(!seats.eyes(2)->isHidden());
        // The mark sits beside the name, not over its first letters.
        QLabel *name = seats.nameLabel(2);
        QVERIFY(seats.eyes(2)->geometry().right() < name->x() + name->contentsRect().left());
        QCOMPARE(lastLine(), QStringLiteral("Ann is just watching"));
        m_chat->sent.clear();
        item("JustWatch1")->trigger();
        QCOMPARE(m_chat->sent, QByteArrayList({"CMD_justwatch+2+2\xFF"}));
        m_chat->justwatching("2+2");
        QVERIFY(!item("JustWatch1")->isChecked());
        QVERIFY(m_chat->playerSlots().eyes(2)->isHidden());
        QCOMPARE(name->contentsRect().left(), 0); // back in its place
        QCOMPARE(lastLine(), QStringLiteral("Ann is now playing again"));

        // A new game clears every watching mark, as the host does.
        m_chat->justwatching("2+1");
        m_chat->receivedlist().enqueue("CMD_startgame+Ann+100+60+8+4+0+");
        m_chat->receivedlist().tick();
        QVERIFY(m_chat->playerSlots().eyes(2)->isHidden());
        QVERIFY(!item("JustWatch1")->isChecked());

        const int lines = history().count(QLatin1Char('\n'));
        m_chat->justwatching("12+1");
        m_chat->justwatching("0+1");
        QCOMPARE(history().count(QLatin1Char('\n')), lines);
    }

    // The name label's menu: disabled for a non-host; "Remove" disabled on a waiting slot.
    void nameLabelMenu()
    {
        QMenu *menu = m_chat->playerSlots().popupKick();
        auto enabled = [menu](const char *name) { return menu->findChild<QAction *>(QString::fromLatin1(name))->isEnabled(); };
        m_chat->label_playername1ContextPopup(4);
        QVERIFY(!enabled("RemoveFromGame1") && !enabled("SettoJustWatch1") && !enabled("UnsetJustWatch1"));
    }

    // Removal is only asked for by the host.
    void kickingNeedsHost()
    {
        m_chat->logIn(1);
        m_chat->sent.clear();
        m_chat->kicking(3);
        QVERIFY(m_chat->sent.isEmpty());
    }

    // A malformed seat number abandons the message.
    void malformedSeat()
    {
        QVERIFY_THROWS_EXCEPTION(std::exception, m_chat->newplayerinfo("x+Ann"));
    }

    // Settings: the built-in values, and every exact comparison of the file's keys.
    void settingsDefaults()
    {
        const ClientSettings s = ClientSettings::read(IniEditor::fromBytes({}), "Lexitangle");
        QCOMPARE(s.wordsListTop, 98);
        QCOMPARE(s.wordsListLeft, 42);
        QCOMPARE(s.textSize, 8);
        QCOMPARE(QRect(s.left, s.top, s.width, s.height), QRect(3, 3, 775, 590));
        QCOMPARE(s.textColor, 0u);
        QCOMPARE(s.playToScore, QByteArray("30"));
        QCOMPARE(s.boardSize, QByteArray("7"));
        QCOMPARE(s.minLetters, QByteArray("4"));
        QCOMPARE(s.timePerTurn, QByteArray("1"));
        QCOMPARE(s.timeBetweenRounds, 10);
        QCOMPARE(s.turnSound, 0);
        QCOMPARE(s.clickLettersTag, 1);
        QCOMPARE(s.disableTypingTag, 1);
        QVERIFY(s.playSounds);
        QVERIFY(s.chatterSounds);
        QVERIFY(s.tiles.isEmpty());
    }

    void settingsComparisons_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("expected");
        QTest::newRow("between 60") << QByteArray("Timebetweenrounds") << QByteArray("60") << "between" << 60;
        QTest::newRow("between 15") << QByteArray("Timebetweenrounds") << QByteArray("15") << "between" << 15;
        QTest::newRow("between 5") << QByteArray("Timebetweenrounds") << QByteArray("5") << "between" << 5;
        QTest::newRow("between 7") << QByteArray("Timebetweenrounds") << QByteArray("7") << "between" << 10;
        QTest::newRow("between blank 5") << QByteArray("Timebetweenrounds") << QByteArray("05") << "between" << 10;
        QTest::newRow("turn 1") << QByteArray("Turnsound") << QByteArray("1") << "turn" << 1;
        QTest::newRow("turn 2") << QByteArray("Turnsound") << QByteArray("2") << "turn" << 0;
        QTest::newRow("click 0") << QByteArray("Clickletters") << QByteArray("0") << "click" << 0;
        QTest::newRow("click 1") << QByteArray("Clickletters") << QByteArray("1") << "click" << 1;
        QTest::newRow("typing x") << QByteArray("Disabletyping") << QByteArray("x") << "typing" << 0;
        QTest::newRow("sounds False") << QByteArray("Playsounds") << QByteArray("False") << "sounds" << 1;
        QTest::newRow("sounds false") << QByteArray("Playsounds") << QByteArray("false") << "sounds" << 0;
        QTest::newRow("chatter false") << QByteArray("ChatterSounds") << QByteArray("false") << "chatter" << 0;
        QTest::newRow("text size junk") << QByteArray("Textsize") << QByteArray("big") << "size" << 8;
        QTest::newRow("text size 12") << QByteArray("Textsize") << QByteArray("12") << "size" << 12;
        QTest::newRow("better boards 1") << QByteArray("BetterBoards") << QByteArray("1") << "better" << 1;
        QTest::newRow("better boards true") << QByteArray("BetterBoards") << QByteArray("true") << "better" << 0;
        QTest::newRow("computers 3") << QByteArray("ComputerPlayers") << QByteArray("3") << "computers" << 3;
        QTest::newRow("computers 12") << QByteArray("ComputerPlayers") << QByteArray("12") << "computers" << 9;
        QTest::newRow("computers junk") << QByteArray("ComputerPlayers") << QByteArray("many") << "computers" << 0;
        QTest::newRow("level 0") << QByteArray("ComputerLevel") << QByteArray("0") << "level" << 1;
        QTest::newRow("level junk") << QByteArray("ComputerLevel") << QByteArray("hard") << "level" << 2;
        QTest::newRow("high contrast 1") << QByteArray("HighContrast") << QByteArray("1") << "contrast" << 1;
        QTest::newRow("high contrast true") << QByteArray("HighContrast") << QByteArray("true") << "contrast" << 0;
    }
    void settingsComparisons()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(QString, field);
        QFETCH(int, expected);
        IniEditor ini;
        ini.setValue("Lexitangle", key, value);
        const ClientSettings s = ClientSettings::read(ini, "Lexitangle");
        const QHash<QString, int> got{{"between", s.timeBetweenRounds}, {"turn", s.turnSound},
                                      {"click", s.clickLettersTag},     {"typing", s.disableTypingTag},
                                      {"sounds", s.playSounds},         {"chatter", s.chatterSounds},
                                      {"size", s.textSize},             {"better", s.betterBoards},
                                      {"computers", s.computerPlayers}, {"level", s.computerLevel},
                                      {"contrast", s.highContrast}};
        QCOMPARE(got.value(field), expected);
    }

    // Saving edits our section only: the lobby's section stays byte for byte.
    void saveKeepsForeignSection()
    {
        const QByteArray lobby = "[Lobby]\r\nServer=a,b;c\\d  \r\n; comment\r\n\r\n";
        QFile file(QDir(m_dir.path()).filePath(QStringLiteral("orvolobby.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lobby);
        file.close();
        item("quick")->trigger(); // before the own login: stored values are not overwritten
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), lobby);
        file.close();
        m_chat->loadinifile();
        item("quick")->trigger();
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        file.close();
        QVERIFY(after.startsWith(lobby));
        QVERIFY(after.contains("Timebetweenrounds=5\r\n"));
        // "Better Boards" has its own key, written only when the player changes it.
        QVERIFY(!after.contains("BetterBoards"));
        // So has "High Contrast".
        QVERIFY(!after.contains("HighContrast"));
        item("HighContrast1")->trigger();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("HighContrast=1\r\n"));
        file.close();
        QVERIFY(!m_chat->betterBoards());
        item("BetterBoards1")->trigger();
        QVERIFY(m_chat->betterBoards());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("BetterBoards=1\r\n"));
        file.close();
        // So have the computer players' number and level, each on its own.
        QVERIFY(!after.contains("ComputerPlayers") && !after.contains("ComputerLevel"));
        item("Computers3")->trigger();
        QCOMPARE(m_chat->menu().computerPlayersTag(), 3);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray withComputers = file.readAll();
        file.close();
        QVERIFY(withComputers.contains("ComputerPlayers=3\r\n") && !withComputers.contains("ComputerLevel"));
        // The chosen number says how many of its computers wait for a seat, and only it.
        m_chat->menu().showComputersWaiting(1);
        QCOMPARE(item("Computers3")->text(), QStringLiteral("3 (1 waiting)"));
        item("Computers9")->trigger();
        QCOMPARE(item("Computers3")->text(), QStringLiteral("3"));
        QCOMPARE(item("Computers9")->text(), QStringLiteral("9 (1 waiting)"));
        m_chat->menu().showComputersWaiting(0);
        QCOMPARE(item("Computers9")->text(), QStringLiteral("9"));
        QVERIFY(item("quick")->isChecked());
        QVERIFY(!item("ExtraLong1")->isChecked());
        QCOMPARE(m_chat->timeBetweenRounds(), 5);
    }

    // A full disk under the settings file: the file, the lobby's sections with it, stays as it
    // was; the player is told once in the system colour however many saves fail, and once more
    // on stderr when the window closes.
    void failedSaveToldOnce()
    {
        FullDisk disk;
        if (!disk.mounted())
            QSKIP(disk.skipReason());
        Paths paths = Paths::inFolder(m_dir.path());
        paths.dataDir = disk.folder();
        const QByteArray stored = "[Lobby]\r\nServer=a\r\n[Lexitangle]\r\nTimebetweenrounds=60\r\n";
        QFile file(paths.settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(stored), stored.size());
        file.close();
        TestChat chat(Tchat::Setup{paths, &m_sounds, &m_notifier, 0});
        chat.loadinifile();
        QVERIFY(disk.fill());
        chat.menu().item(QStringLiteral("quick"))->trigger();
        chat.menu().item(QStringLiteral("long"))->trigger();
        chat.savePhrases();

        QTextDocument *history = chat.chat().mainchat()->document();
        int told = 0;
        for (QTextBlock block = history->begin(); block.isValid(); block = block.next()) {
            if (!block.text().contains(QStringLiteral("Could not save")))
                continue;
            ++told;
            QVERIFY(block.text().contains(QDir::toNativeSeparators(paths.settingsFile())));
            QCOMPARE(block.begin().fragment().charFormat().foreground().color(), QColor(128, 0, 0));
        }
        QCOMPARE(told, 1);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stored);
        file.close();
        QVERIFY(m_notifier.messages.isEmpty());

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Lexitangle: could not save .*orvolobby\\.ini")));
        chat.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stored);
    }

    // Closing saves the window's place; a window that did not move saves what it read.
    void geometryOnClose()
    {
        m_chat->loadinifile();
        m_chat->setGeometry(40, 50, 800, 560);
        m_chat->close();
        IniEditor ini;
        QVERIFY(ini.load(QDir(m_dir.path()).filePath(QStringLiteral("orvolobby.ini"))));
        const ClientSettings s = ClientSettings::read(ini, "Lexitangle");
        QCOMPARE(QRect(s.left, s.top, s.width, s.height), m_chat->geometry());
        QCOMPARE(s.left, 40);
    }

    // A stored place is brought into the desktop's available area before the window takes
    // it, and what is saved again is a place the window can have; the round review's too,
    // kept in keys of its own.
    void storedPlaceFitsTheDesktop_data()
    {
        QTest::addColumn<QByteArray>("place"); // Left, Top, Width, Height
        QTest::newRow("absurd width") << QByteArray("3 3 100000 590");
        QTest::newRow("absurd height") << QByteArray("3 3 800 100000");
        QTest::newRow("far off to the right") << QByteArray("5000 3 775 590");
        QTest::newRow("above and left of the screen") << QByteArray("-17 -17 775 590");
        QTest::newRow("largest numbers") << QByteArray("2147483647 2147483647 2147483647 2147483647");
        QTest::newRow("least numbers") << QByteArray("-2147483648 -2147483648 -2147483648 -2147483648");
    }
    void storedPlaceFitsTheDesktop()
    {
        QFETCH(QByteArray, place);
        const QList<QByteArray> v = place.split(' ');
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("orvolobby.ini"));
        IniEditor ini;
        for (int i = 0; i < 4; ++i) {
            ini.setValue("Lexitangle", QByteArrayList{"Left", "Top", "Width", "Height"}.at(i), v.at(i));
            ini.setValue("Lexitangle", "Review" + QByteArrayList{"Left", "Top", "Width", "Height"}.at(i), v.at(i));
        }
        QVERIFY(ini.save(path));
        m_chat->show();
        m_chat->loadinifile();
        m_review->show();
        const QRect area = m_chat->screen()->availableGeometry();
        for (const QWidget *window : {static_cast<QWidget *>(m_chat.get()), static_cast<QWidget *>(m_review.get())}) {
            QVERIFY2(area.contains(window->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(
                window->x()).arg(window->y()).arg(window->width()).arg(window->height())));
            QVERIFY(window->width() >= window->minimumSizeHint().width());
        }

        m_chat->close();
        QVERIFY(ini.load(path));
        const ClientSettings saved = ClientSettings::read(ini, "Lexitangle");
        QVERIFY(area.contains(QRect(saved.left, saved.top, saved.width, saved.height)));
        QVERIFY(saved.reviewPlace && area.contains(*saved.reviewPlace));
    }

    // The review's place is written only once the player moved or resized it: shown and
    // hidden where it opened, it leaves the file as it was. Moved, it comes back there; "Reset
    // Screen Location" takes it home over the main window, and closing the program keeps that.
    void reviewPlaceKeptWhenChanged()
    {
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("orvolobby.ini"));
        auto stored = [&path] {
            IniEditor ini;
            return ini.load(path) ? ClientSettings::read(ini, "Lexitangle").reviewPlace : std::nullopt;
        };
        QFile::remove(path); // earlier tests' files
        m_chat->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_chat.get()));
        m_chat->loadinifile();
        m_chat->saveinifile();
        m_review->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_review.get()));
        const QSize homeSize = m_review->size();
        m_review->hide();
        QCOMPARE(stored(), std::nullopt);

        m_review->show();
        m_review->move(20, 30);
        m_review->resize(500, 400);
        m_review->hide();
        QCOMPARE(stored(), QRect(20, 30, 500, 400));
        m_review->show();
        QCOMPARE(QRect(m_review->pos(), m_review->size()), QRect(20, 30, 500, 400));

        item("ResetScreenLocation1")->trigger();
        QCOMPARE(m_review->size(), homeSize);
        QVERIFY((m_review->frameGeometry().center() - m_chat->frameGeometry().center()).manhattanLength() <= 2);
        const QRect home(m_review->pos(), m_review->size());
        QCOMPARE(stored(), QRect(20, 30, 500, 400)); // nothing is saved at that moment
        m_chat->close();
        QCOMPARE(stored(), home);
    }

    // Reading the settings applies them to the menus.
    void loadAppliesMenus()
    {
        QFile file(QDir(m_dir.path()).filePath(QStringLiteral("orvolobby.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Lexitangle]\nTimebetweenrounds=60\nTextsize=12\nClickletters=0\nDisabletyping=0\n"
                   "Playsounds=false\nTurnsound=1\n");
        file.close();
        m_chat->loadinifile();
        QVERIFY(item("ExtraLong1")->isChecked());
        QVERIFY(item("N12")->isChecked());
        QVERIFY(!item("N8")->isChecked());
        QVERIFY(item("ClickLetters1")->isChecked());
        QVERIFY(item("DisableTyping1")->isChecked());
        QVERIFY(!item("PlaySounds1")->isChecked());
        QVERIFY(item("New1")->isChecked());
        QCOMPARE(m_chat->turnSoundTag(), 1);
        QVERIFY(!item("autostart")->isChecked());
        m_chat->playsounds(QStringLiteral("tick"));
        QVERIFY(m_sounds.played.isEmpty()); // "Play Sounds" off
    }

    // Tile groups found at start become radio items; a choice is checked and stored, and the
    // stored name loads the group at the next start.
    void tileGroupsMenu()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("Lexitangletiles"));
        QImage strip(1302, 42, QImage::Format_RGB32);
        strip.fill(Qt::blue);
        for (const char *name : {"wood.bmp", "fancy.bmp"})
            QVERIFY(strip.save(dir.filePath(QStringLiteral("Lexitangletiles/") + QLatin1String(name)), "BMP"));
        {
            TestChat chat(Tchat::Setup{Paths::inFolder(dir.path()), &m_sounds, &m_notifier, 0});
            const QList<QAction *> items = chat.menu().tilesMenu()->actions();
            QCOMPARE(items.size(), 2);
            QCOMPARE(items.at(0)->objectName(), QStringLiteral("fancy3"));
            QCOMPARE(items.at(1)->objectName(), QStringLiteral("wood3"));
            chat.loadinifile();
            items.at(1)->trigger();
            QVERIFY(items.at(1)->isChecked() && !items.at(0)->isChecked());
            QCOMPARE(chat.tileGroup(), QStringLiteral("wood"));
        }
        IniEditor ini;
        QVERIFY(ini.load(dir.filePath(QStringLiteral("orvolobby.ini"))));
        QCOMPARE(ini.value("Lexitangle", "Tiles"), QByteArray("wood"));

        TestChat again(Tchat::Setup{Paths::inFolder(dir.path()), &m_sounds, &m_notifier, 0});
        again.loadinifile();
        QCOMPARE(again.tileGroup(), QStringLiteral("wood"));
        QVERIFY(again.menu().item(QStringLiteral("wood3"))->isChecked());
        ini.setValue("Lexitangle", "Tiles", "Classic");
        QVERIFY(ini.save(dir.filePath(QStringLiteral("orvolobby.ini"))));
        TestChat classic(Tchat::Setup{Paths::inFolder(dir.path()), &m_sounds, &m_notifier, 0});
        classic.loadinifile();
        QVERIFY(classic.tileGroup().isEmpty());
    }

    // A group that does not load (no picture file, or one that is no bitmap) changes only the
    // stored name: the check mark stays on the group being shown, or on none for the built-in
    // tiles.
    void tileGroupThatFailsKeepsCheckMark()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Lexitangletiles"));
        QDir().mkpath(folder);
        QImage strip(1302, 42, QImage::Format_RGB32);
        strip.fill(Qt::blue);
        QVERIFY(strip.save(folder + QStringLiteral("/wood.bmp"), "BMP"));
        QVERIFY(strip.save(folder + QStringLiteral("/gone.bmp"), "BMP"));
        QFile broken(folder + QStringLiteral("/broken.bmp"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("BM this is no bitmap");
        broken.close();
        TestChat chat(Tchat::Setup{Paths::inFolder(dir.path()), &m_sounds, &m_notifier, 0});
        chat.loadinifile();
        QVERIFY(QFile::remove(folder + QStringLiteral("/gone.bmp")));
        auto checked = [&chat] {
            QStringList names;
            for (QAction *a : chat.menu().tilesMenu()->actions())
                if (a->isChecked())
                    names << a->objectName();
            return names;
        };

        chat.menu().item(QStringLiteral("broken3"))->trigger();
        QCOMPARE(checked(), QStringList());
        QCOMPARE(chat.tileGroup(), QStringLiteral("broken"));
        chat.menu().item(QStringLiteral("wood3"))->trigger();
        QCOMPARE(checked(), QStringList{"wood3"});
        for (const char *failing : {"broken3", "gone3"}) {
            chat.menu().item(QLatin1String(failing))->trigger();
            QCOMPARE(checked(), QStringList{"wood3"});
        }
        QCOMPARE(chat.tileGroup(), QStringLiteral("gone"));
    }

    // Five-digit scores show whole from the score's place; the bonus beside them moves right
    // only as far as such a score needs, and stays at its own place for short scores.
    void longScoresShowWhole_data()
    {
        QTest::addColumn<int>("total");
        QTest::newRow("3 digits") << 999;
        QTest::newRow("10,000") << 10000;
        QTest::newRow("5 digits") << 12345;
    }
    void longScoresShowWhole()
    {
        QFETCH(int, total);
        m_chat->session().addscore("2+13+" + QByteArray::number(total));
        QLabel *score = m_chat->playerSlots().scoreLabel(2);
        QLabel *bonus = m_chat->playerSlots().bonusLabel(2);
        QCOMPARE(score->text(), QString::number(total));
        QCOMPARE(score->x(), 575);
        QVERIFY(score->width() >= score->fontMetrics().horizontalAdvance(score->text()));
        QVERIFY(bonus->x() >= score->geometry().right() + 1);
        QVERIFY(bonus->width() >= bonus->fontMetrics().horizontalAdvance(QStringLiteral("+13")));
        if (total < 1000)
            QCOMPARE(bonus->x(), 602);
        // Nothing of either reaches under the words panel.
        QVERIFY(bonus->geometry().right() < 638);
    }

    // "place" has no clip; everything else is played by its upper-case name.
    void soundNames()
    {
        m_chat->playsounds(QStringLiteral("place"));
        m_chat->playsounds(QStringLiteral("roundover"));
        QCOMPARE(m_sounds.played, QStringList({"ROUNDOVER"}));
    }
};

QTEST_MAIN(TestTchatSession)
#include "tst_tchatsession.moc"
