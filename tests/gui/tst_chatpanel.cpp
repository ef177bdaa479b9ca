#include <QAbstractButton>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextBlock>
#include <QTextDocumentFragment>

#include "client/chathistory.h"
#include "client/chatpanel.h"
#include "net/fieldreader.h"
#include "net/messages.h"
#include "widgets/announcer.h"

namespace {

// Records what the panel sends and plays; the seat table is a map of captions.
class FakeHost : public ChatPanelHost {
public:
    int seat = 3;
    bool logged = true;
    bool chatter = true;
    QMap<int, QString> captions{{1, QStringLiteral("Bob")}, {2, QStringLiteral("Ann")}};
    QList<QByteArray> sent;
    QStringList played;

    int ownSeat() const override { return seat; }
    bool loggedIn() const override { return logged; }
    void sendMessage(const QByteArray &whole) override { sent.append(whole); }
    bool chatterSoundsOn() const override { return chatter; }
    void playChatterClip(const QString &clip) override { played.append(clip); }
    QString slotCaption(int s) const override
    {
        return s >= 1 && s <= 10 ? captions.value(s, QStringLiteral("<Waiting>")) : QString();
    }
};

struct Fixture {
    FakeHost host;
    QWidget board;
    ChatPanel panel{&board, &host};
    Fixture() { board.resize(780, 525); }

    QTextBlock lastLine() const
    {
        // The history ends with an empty paragraph after its last line.
        return panel.mainchat()->document()->lastBlock().previous();
    }
    QColor lastColour() const { return lastLine().begin().fragment().charFormat().foreground().color(); }
    QAbstractButton *button(int n) const
    {
        return board.findChild<QAbstractButton *>(QStringLiteral("b_phrase%1").arg(n));
    }
};

QByteArray wire(const char *text)
{
    return QByteArray(text) + '\xff';
}

} // namespace

class TestChatPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- sendit ---

    void sendit_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("left");
        QTest::newRow("chat") << true << "hello" << wire("CMD_chat+3+hello|clBlack") << "";
        QTest::newRow("action") << true << "/me waves" << wire("CMD_action+3+waves|clRed") << "";
        QTest::newRow("/me alone") << true << "/me" << wire("CMD_action+3+|clRed") << "";
        QTest::newRow("/mewave loses w") << true << "/mewave" << wire("CMD_action+3+ave|clRed") << "";
        QTest::newRow("other slash") << true << "/x" << QByteArray() << "";
        QTest::newRow("upper /ME") << true << "/ME hi" << QByteArray() << "";
        QTest::newRow("empty") << true << "" << QByteArray() << "";
        QTest::newRow("not logged in") << false << "hello" << QByteArray() << "hello";
        QTest::newRow("bar kept") << true << "a|b" << wire("CMD_chat+3+a|b|clBlack") << "";
        QTest::newRow("plus kept") << true << "1+1" << wire("CMD_chat+3+1+1|clBlack") << "";
        QTest::newRow("0xFF dropped") << true << QStringLiteral("x\u00ffy")
                                      << wire("CMD_chat+3+xy|clBlack") << "";
        QTest::newRow("line breaks dropped") << true << "a\r\nb" << wire("CMD_chat+3+ab|clBlack") << "";
        QTest::newRow("latin-1") << true << QStringLiteral("caf\u00e9")
                                 << QByteArray("CMD_chat+3+caf\xe9|clBlack\xff") << "";
        // The input line takes no more than relays safely, typed or pasted.
        QTest::newRow("long line cut at 1000") << true << QString(5000, u'x')
                                               << QByteArray("CMD_chat+3+" + QByteArray(1000, 'x') + "|clBlack\xff") << "";
    }
    void sendit()
    {
        QFETCH(bool, loggedIn);
        QFETCH(QString, input);
        QFETCH(QByteArray, sent);
        QFETCH(QString, left);
        Fixture f;
        f.host.logged = loggedIn;
        f.panel.setActionColour(255);
        f.panel.mychat()->setText(input);
        f.panel.sendit();
        QCOMPARE(f.host.sent, sent.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{sent});
        QCOMPARE(f.panel.mychat()->text(), left);
    }

    void colourTextOfAnyColour()
    {
        Fixture f;
        f.panel.setTextColour(0x00123456);
        f.panel.mychat()->setText(QStringLiteral("hi"));
        f.panel.sendit();
        QCOMPARE(f.host.sent, QList<QByteArray>{wire("CMD_chat+3+hi|$00123456")});
        QCOMPARE(f.panel.mychat()->palette().color(QPalette::Text), QColor(0x56, 0x34, 0x12));
    }

    // The prompt goes with the first key; Enter sends and is consumed.
    void typingAndEnter()
    {
        Fixture f;
        QLineEdit *input = f.panel.mychat();
        QCOMPARE(input->text(), QStringLiteral("<Enter Chat Here>"));
        QTest::keyClicks(input, QStringLiteral("hi"));
        QCOMPARE(input->text(), QStringLiteral("hi"));
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(f.host.sent, QList<QByteArray>{wire("CMD_chat+3+hi|clBlack")});
        QCOMPARE(input->text(), QString());
        // Whenever the line holds exactly the prompt, the next key clears it, even when typed.
        QTest::keyClicks(input, QStringLiteral("<Enter Chat Here>x"));
        QCOMPARE(input->text(), QStringLiteral("x"));
    }

    void enterOnPromptSendsNothing()
    {
        Fixture f;
        QTest::keyClick(f.panel.mychat(), Qt::Key_Enter);
        QVERIFY(f.host.sent.isEmpty());
        QCOMPARE(f.panel.mychat()->text(), QString());
    }

    // --- received lines ---

    void chatrecieved_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("named") << QByteArray("Ann chats: hello|clBlue") << "Ann chats: hello"
                               << QColor(0, 0, 255);
        QTest::newRow("hex") << QByteArray("Ann waves|$00008000") << "Ann waves" << QColor(0, 128, 0);
        QTest::newRow("any case") << QByteArray("Ann chats: x|CLLIME") << "Ann chats: x"
                                  << QColor(0, 255, 0);
        QTest::newRow("no bar") << QByteArray("Ann chats: x") << "Ann chats: x" << QColor(255, 0, 0);
        QTest::newRow("bar in line") << QByteArray("Ann chats: a|b|clBlue") << "Ann chats: a"
                                     << QColor(255, 0, 0);
        QTest::newRow("empty colour") << QByteArray("Ann chats: x|") << "Ann chats: x"
                                      << QColor(255, 0, 0);
        QTest::newRow("garbage colour") << QByteArray("Ann chats: x|blue-ish") << "Ann chats: x"
                                        << QColor(255, 0, 0);
        QTest::newRow("latin-1") << QByteArray("Ann chats: caf\xe9|clBlack")
                                 << QStringLiteral("Ann chats: caf\u00e9") << QColor(0, 0, 0);
    }
    void chatrecieved()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, line);
        QFETCH(QColor, colour);
        Fixture f;
        f.panel.chatrecieved(Msg::readChat(data));
        QCOMPARE(f.lastLine().text(), line);
        QCOMPARE(f.lastColour(), colour);
    }

    // --- phrase buttons and the gate ---

    // Once every 2 seconds of real time, however fast the event loop turns meanwhile: clicks
    // made while it is closed send nothing, and the first one after the 2 seconds goes out.
    /// Other players' lines are spoken, the player's own are not, nor any once muted; a long
    /// line is cut.
    void chatLinesSpoken_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("speakChat");
        QTest::addColumn<QString>("said");
        QTest::newRow("another player") << QByteArray("Bob chats: hi|clBlack") << true << "Bob chats: hi";
        QTest::newRow("own line") << QByteArray("Cy chats: hi|clBlack") << true << "";
        QTest::newRow("own action") << QByteArray("Cy waves|clBlack") << true << "";
        QTest::newRow("own name as a prefix") << QByteArray("Cyril chats: hi|clBlack") << true << "Cyril chats: hi";
        QTest::newRow("muted") << QByteArray("Bob chats: hi|clBlack") << false << "";
        QTest::newRow("long line") << "Bob chats: " + QByteArray(300, 'x') << true
                                   << "Bob chats: " + QString(189, u'x') + " ...";
    }
    void chatLinesSpoken()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, speakChat);
        QFETCH(QString, said);
        Fixture f;
        f.host.captions[3] = QStringLiteral("Cy");
        auto *announcer = new Announcer(&f.board);
        announcer->setChatSpoken(speakChat);
        f.panel.setAnnouncer(announcer);
        f.panel.chatrecieved(Msg::readChat(line));
        QCOMPARE(announcer->current(), said);
    }

    /// A flood of chat is paced: one line is told, at most four wait and the oldest go first,
    /// the rest follow one by one; a verdict never waits.
    void chatLinesWaitTheirTurn()
    {
        Fixture f;
        Announcer announcer(&f.board);
        f.panel.setAnnouncer(&announcer);
        for (int n = 1; n <= 6; ++n)
            f.panel.chatrecieved(Msg::readChat("Bob chats: " + QByteArray::number(n) + "|clBlack"));
        QCOMPARE(announcer.current(), QStringLiteral("Bob chats: 1"));
        QCOMPARE(announcer.waiting(), (QList<QString>{"Bob chats: 3", "Bob chats: 4", "Bob chats: 5", "Bob chats: 6"}));
        announcer.verdict(QStringLiteral("You made CAT for 1 points!"));
        QCOMPARE(announcer.current(), QStringLiteral("You made CAT for 1 points!"));
        QCOMPARE(announcer.waiting().size(), Announcer::MaxWaiting);
        QTRY_COMPARE_WITH_TIMEOUT(announcer.current(), QStringLiteral("Bob chats: 3"), 5000);
        QCOMPARE(announcer.waiting().size(), 3);
    }

    void phraseGate()
    {
        Fixture f;
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(f.button(1), Qt::LeftButton);
        QTest::mouseClick(f.button(2), Qt::LeftButton);
        QCOMPARE(f.host.sent, QList<QByteArray>{wire("CMD_action+3+says: Way To Go!|clBlack")});
        QVERIFY(!f.panel.phraseGateOpen());

        QTRY_VERIFY_WITH_TIMEOUT((f.panel.b_phrase1Click(7), f.host.sent.size() == 2), 4000);
        QVERIFY2(clock.elapsed() >= ChatPanel::PhraseGateMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(f.host.sent.last(), wire("CMD_action+3+says: Thanks!|clBlack"));
        QVERIFY(!f.panel.phraseGateOpen());
    }

    // The gate starts open; only a sent phrase closes it.
    void openGateDoesNotCount()
    {
        Fixture f;
        QVERIFY(f.panel.phraseGateOpen());
        f.panel.b_phrase1Click(0); // no such button: nothing sent, the gate stays open
        QVERIFY(f.panel.phraseGateOpen());
        f.panel.b_phrase1Click(1);
        QVERIFY(!f.panel.phraseGateOpen());
    }

    void phraseText_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("action phrase") << "/me dances" << wire("CMD_action+3+dances|clBlack");
        QTest::newRow("no blank after /me") << "/medances" << wire("CMD_action+3+says: /medances|clBlack");
        QTest::newRow("empty") << "" << wire("CMD_action+3+says: |clBlack");
        QTest::newRow("markup") << "<b>hi</b>" << wire("CMD_action+3+says: <b>hi</b>|clBlack");
    }
    void phraseText()
    {
        QFETCH(QString, phrase);
        QFETCH(QByteArray, sent);
        Fixture f;
        f.host.logged = false; // phrases have no logged-in test
        f.panel.setPhrase(4, phrase);
        QCOMPARE(f.panel.phrase(4), phrase);
        QCOMPARE(QTextDocumentFragment::fromHtml(f.button(4)->toolTip()).toPlainText(), phrase);
        QTest::mouseClick(f.button(4), Qt::LeftButton);
        QCOMPARE(f.host.sent, QList<QByteArray>{sent});
    }

    void buttonsInPlace_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("tip");
        QTest::newRow("1") << 1 << QRect(475, 285, 26, 19) << "Way To Go!";
        QTest::newRow("9") << 9 << QRect(715, 285, 26, 19) << "Good Game Everyone!";
        QTest::newRow("10") << 10 << QRect(745, 285, 26, 19) << "Chatter Sounds";
    }
    void buttonsInPlace()
    {
        QFETCH(int, n);
        QFETCH(QRect, geometry);
        QFETCH(QString, tip);
        Fixture f;
        QCOMPARE(f.button(n)->geometry(), geometry);
        QCOMPARE(QTextDocumentFragment::fromHtml(f.button(n)->toolTip()).toPlainText(), tip);
    }

    // --- chatter sounds ---

    void sendSound_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<int>("seat");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("hello") << true << 3 << "wave3" << wire("CMD_playasound+3+wave3+");
        QTest::newRow("crying") << true << 10 << "wave20" << wire("CMD_playasound+10+wave20+");
        QTest::newRow("spy") << true << 11 << "wave3" << QByteArray();
        QTest::newRow("not logged in") << false << 3 << "wave3" << QByteArray();
        QTest::newRow("cancel") << true << 3 << "Cancel1" << QByteArray();
    }
    void sendSound()
    {
        QFETCH(bool, loggedIn);
        QFETCH(int, seat);
        QFETCH(QString, item);
        QFETCH(QByteArray, sent);
        Fixture f;
        f.host.logged = loggedIn;
        f.host.seat = seat;
        auto *action = f.panel.soundsMenu()->findChild<QAction *>(item);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(f.host.sent, sent.isEmpty() ? QList<QByteArray>{} : QList<QByteArray>{sent});
    }

    void receiveSound_data()
    {
        QTest::addColumn<bool>("chatter");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("played");
        QTest::addColumn<QString>("line");
        QTest::newRow("on, hello") << true << QByteArray("2+wave3+") << QStringList{"WAVE3"} << "";
        QTest::newRow("on, 20") << true << QByteArray("2+wave20+") << QStringList{"WAVE20"} << "";
        QTest::newRow("on, no tail") << true << QByteArray("2+wave1") << QStringList{"WAVE1"} << "";
        QTest::newRow("on, path") << true << QByteArray("2+../../x+") << QStringList{} << "";
        QTest::newRow("on, wave21") << true << QByteArray("2+wave21+") << QStringList{} << "";
        QTest::newRow("on, wave0") << true << QByteArray("2+wave0+") << QStringList{} << "";
        QTest::newRow("on, wave03") << true << QByteArray("2+wave03+") << QStringList{} << "";
        QTest::newRow("on, upper") << true << QByteArray("2+WAVE3+") << QStringList{} << "";
        QTest::newRow("on, game clip") << true << QByteArray("2+tick+") << QStringList{} << "";
        QTest::newRow("on, resource path") << true << QByteArray("2+:/sounds/TICK.wav+")
                                           << QStringList{} << "";
        QTest::newRow("on, bad seat") << true << QByteArray("x+wave3+") << QStringList{} << "";
        QTest::newRow("off, hello") << false << QByteArray("2+wave3+") << QStringList{}
                                    << "Ann: <Chatter Sound> Hello";
        QTest::newRow("off, 5") << false << QByteArray("1+wave5+") << QStringList{}
                                << "Bob: <Chatter Sound> Where have you been?";
        QTest::newRow("off, free slot") << false << QByteArray("4+wave2+") << QStringList{}
                                        << "<Waiting>: <Chatter Sound> Cough";
        QTest::newRow("off, no label") << false << QByteArray("11+wave3+") << QStringList{} << "";
        QTest::newRow("off, seat 0") << false << QByteArray("0+wave3+") << QStringList{} << "";
        QTest::newRow("off, cancel item") << false << QByteArray("2+Cancel1+") << QStringList{} << "";
        QTest::newRow("off, wave21") << false << QByteArray("2+wave21+") << QStringList{} << "";
        QTest::newRow("off, path") << false << QByteArray("2+../../x+") << QStringList{} << "";
    }
    void receiveSound()
    {
        QFETCH(bool, chatter);
        QFETCH(QByteArray, data);
        QFETCH(QStringList, played);
        QFETCH(QString, line);
        Fixture f;
        f.host.chatter = chatter;
        try {
            f.panel.playasound(Msg::readPlayasound(data));
        } catch (const FieldError &) {
            // A seat that does not read: the session drops the message before the panel.
        }
        QCOMPARE(f.host.played, played);
        if (line.isEmpty()) {
            QCOMPARE(f.panel.mainchat()->toPlainText(), QString());
            return;
        }
        QCOMPARE(f.lastLine().text(), line);
        QCOMPARE(f.lastColour(), QColor(128, 0, 0));
        QVERIFY(f.lastLine().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
        QCOMPARE(f.lastLine().begin().fragment().text(), line.left(line.indexOf(u':') + 1));
    }

    // --- input line menu and history focus ---

    void pasteReplacesWholeLine()
    {
        Fixture f;
        f.panel.mychat()->setText(QStringLiteral("old text"));
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        f.panel.mychat()->findChild<QAction *>(QStringLiteral("Paste1"))->trigger();
        QCOMPARE(f.panel.mychat()->text(), QStringLiteral("pasted"));
        QGuiApplication::clipboard()->clear();
        f.panel.Paste1Click();
        QCOMPARE(f.panel.mychat()->text(), QStringLiteral("pasted"));
    }

    void clearGivesFocusToInput()
    {
        Fixture f;
        f.board.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.board));
        f.panel.mainchat()->setFocus();
        f.panel.addlinetochat(QStringLiteral("x: y"), 0);
        f.panel.ClearMainChat1Click();
        QCOMPARE(f.panel.mainchat()->toPlainText(), QString());
        QTRY_VERIFY(f.panel.mychat()->hasFocus());
    }
};

QTEST_MAIN(TestChatPanel)
#include "tst_chatpanel.moc"
