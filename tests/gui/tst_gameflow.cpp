#include <QTest>

#include "client/boardview.h"
#include "client/gameflow.h"
#include "widgets/contrast.h"
#include "words/tallyrecorder.h"
#include "dialogs/twordslist.h"
#include "host/board.h"
#include "net/fieldreader.h"
#include "session/clientsession.h"
#include "widgets/announcer.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace {

constexpr char FF = char(0xFF);
constexpr int OwnSeat = 3;

// Records what the game flow asks of the main window and of the tally.
class FakeHost : public GameFlowHost, public TallyRecorder {
public:
    int ownSeat() const override { return seat; }
    bool loggedIn() const override { return logged; }
    bool isHost() const override { return hosting; }
    void sendMessage(const QByteArray &whole) override { sent << whole; }
    void addlinetochat(const QString &text, quint32 colour) override { chat << text; chatColours << colour; }
    void playsounds(const QString &name) override { sounds << name; }
    bool isword(QByteArrayView word) override { return words.contains(word.toByteArray()); }
    void showMessage(const QString &text) override { boxes << text; }
    bool justWatchChecked() const override { return justWatch; }
    void setJustWatchChecked(bool checked) override { justWatch = checked; }
    bool clickLettersChecked() const override { return clickLetters; }
    bool disableTypingChecked() const override { return disableTyping; }
    int turnSoundTag() const override { return turnSound; }
    void setStartButtonVisible(bool visible) override { startButton = visible; }
    TallyRecorder *tally() override { return this; }

    void addgame(const QByteArray &winner) override { tallyCalls << "addgame " + winner; }
    void addtomineincrease(int col) override { tallyCalls << "increase " + QByteArray::number(col); }
    void addtomineset(int col, int value) override
    {
        tallyCalls << "set " + QByteArray::number(col) + ' ' + QByteArray::number(value);
    }
    QString mostWordsCaption() const override { return mostWords; }

    int seat = OwnSeat;
    bool logged = true;
    bool hosting = false;
    bool justWatch = false;
    bool clickLetters = true;
    bool disableTyping = false;
    int turnSound = 0;
    bool startButton = false;
    QString mostWords = QStringLiteral("0");
    QByteArrayList words{"cat", "tac", "act"};
    QByteArrayList sent;
    QStringList chat;
    QList<quint32> chatColours;
    QStringList sounds;
    QStringList boxes;
    QByteArrayList tallyCalls;
};

// C at (4, 4), A at (5, 4), T at (5, 5); X at (0, 0) far from them; every other cell empty.
QByteArray catBoard()
{
    Board board;
    board.set(4, 4, 3);
    board.set(5, 4, 1);
    board.set(5, 5, 20);
    board.set(0, 0, 24);
    return board.boardText().mid(1);
}

QPoint centre(int c, int r)
{
    return {42 * c + 21, 42 * r + 21};
}

QKeyEvent key(int code, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    return QKeyEvent(QEvent::KeyPress, code, mods);
}

QByteArray catBytes()
{
    return QByteArray("CMD_playerdone+3+1+4+4+2+5+4+3+5+5") + FF;
}

struct Line {
    QString text;
    QColor colour;
};

} // namespace

class TestGameFlow : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> panel;
    std::unique_ptr<Twordslist> wordsList;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<GameFlow> flow;
    // The host's messages reach the game flow as the main window's session reads them.
    std::unique_ptr<ClientSession> session;
    Announcer *announcer = nullptr; // on the panel

    // The news told last, or waiting last to be told.
    QString spoken() const { return announcer->waiting().isEmpty() ? announcer->current() : announcer->waiting().last(); }

    QLabel *slot(const char *prefix, int seat) const
    {
        return panel->findChild<QLabel *>(QLatin1String(prefix) + QString::number(seat));
    }
    template <typename T> T *control(const char *name) const
    {
        T *w = panel->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    BoardView *board() const { return control<BoardView>("paintbox_board"); }
    QString status() const { return control<QLabel>("label_status")->text(); }

    QList<Line> wordLines() const
    {
        QList<Line> lines;
        const QTextDocument *doc = control<QTextEdit>("richedit_words")->document();
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (!b.text().isEmpty())
                lines.append({b.text(), b.begin().fragment().charFormat().foreground().color()});
        }
        return lines;
    }

    void startRound(const QByteArray &seconds = "60", const QByteArray &minimum = "3")
    {
        session->startthegame("Ann+300+" + seconds + "+7+" + minimum + "+0+");
        session->loadboard(catBoard());
        session->getnextplayer(QByteArray::number(OwnSeat) + '+');
        host->sounds.clear();
        host->chat.clear();
    }
    bool press(int code, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent e = key(code, mods);
        return flow->FormShortCut(&e);
    }
    void typeWord(const char *letters)
    {
        for (const char *p = letters; *p; ++p)
            press(Qt::Key_A + (*p - 'a'));
    }
    void tick(int times)
    {
        for (int i = 0; i < times; ++i)
            flow->turntimeTimer();
    }

private slots:
    void init()
    {
        panel = std::make_unique<QWidget>();
        panel->setObjectName(QStringLiteral("panel_board"));
        panel->resize(780, 525);
        // The main window owns the player slots; the game flow finds them by name.
        for (int n = 1; n <= 10; ++n) {
            for (const char *prefix : {"label_playername", "label_score", "label_bonus"})
                (new QLabel(panel.get()))->setObjectName(QLatin1String(prefix) + QString::number(n));
        }
        slot("label_playername", 2)->setText(QStringLiteral("Bob"));
        slot("label_playername", OwnSeat)->setText(QStringLiteral("Ann"));
        wordsList = std::make_unique<Twordslist>();
        host = std::make_unique<FakeHost>();
        flow = std::make_unique<GameFlow>(panel.get(), *host, wordsList.get());
        announcer = new Announcer(panel.get());
        flow->setAnnouncer(announcer);
        session = std::make_unique<ClientSession>();
        flow->listenTo(*session);
        panel->show();
    }
    void cleanup()
    {
        session.reset();
        flow.reset();
        panel.reset();
        wordsList.reset();
        host.reset();
    }

    // ---- mouse ----------------------------------------------------------------------------

    /// A click anywhere inside a tile's 42-pixel square chooses it.
    void clickAnywhereInTile_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QPoint>("tile");
        QTest::newRow("top-left pixel") << QPoint(168, 168) << QPoint(4, 4);
        QTest::newRow("bottom-right pixel") << QPoint(209, 209) << QPoint(4, 4);
        QTest::newRow("outer band of the next tile") << QPoint(211, 170) << QPoint(5, 4);
    }
    void clickAnywhereInTile()
    {
        QFETCH(QPoint, pixel);
        QFETCH(QPoint, tile);
        startRound();
        QTest::mouseClick(board(), Qt::LeftButton, {}, pixel);
        QCOMPARE(flow->entry().wordLength(), 1);
        QCOMPARE(flow->entry().wordTile(1), tile);
        QCOMPARE(host->sounds, QStringList{"click"});
        QVERIFY(control<QPushButton>("button_send")->isVisible());
    }

    /// During a drag only a cell's inner square (7..35 from its edges) chooses it.
    void dragChoosesInnerSquareOnly_data()
    {
        QTest::addColumn<QList<QPoint>>("moves");
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<QByteArrayList>("sent");
        QTest::newRow("inner squares") << QList<QPoint>{{217, 188}, centre(5, 5)} << QByteArray("cat")
                                       << QByteArrayList{catBytes()};
        QTest::newRow("first inner pixel") << QList<QPoint>{{217, 175}} << QByteArray("ca") << QByteArrayList{};
        QTest::newRow("last inner pixel") << QList<QPoint>{{245, 203}} << QByteArray("ca") << QByteArrayList{};
        QTest::newRow("left band") << QList<QPoint>{{216, 188}} << QByteArray("c") << QByteArrayList{};
        QTest::newRow("right band") << QList<QPoint>{{246, 188}} << QByteArray("c") << QByteArrayList{};
        QTest::newRow("top band") << QList<QPoint>{{230, 174}} << QByteArray("c") << QByteArrayList{};
        // Moving diagonally from C to T grazes the corners of A's and the empty cell's squares.
        QTest::newRow("diagonal past corners")
            << QList<QPoint>{{208, 208}, {211, 207}, {207, 211}, {212, 212}, centre(5, 5)}
            << QByteArray("ct") << QByteArrayList{};
        QTest::newRow("resting in a tile") << QList<QPoint>{{220, 180}, {230, 190}, {240, 200}}
                                           << QByteArray("ca") << QByteArrayList{};
    }
    void dragChoosesInnerSquareOnly()
    {
        QFETCH(QList<QPoint>, moves);
        QFETCH(QByteArray, word);
        QFETCH(QByteArrayList, sent);
        host->clickLetters = false;
        startRound();
        QTest::mousePress(board(), Qt::LeftButton, {}, centre(4, 4));
        for (const QPoint &p : moves)
            QTest::mouseMove(board(), p);
        QCOMPARE(flow->entry().wordText(), word);
        QVERIFY(!host->sounds.contains("invalid"));
        QTest::mouseRelease(board(), Qt::LeftButton, {}, moves.last());
        QCOMPARE(host->sent, sent);
        QCOMPARE(flow->entry().wordLength(), 0);
    }

    /// A refused cell during a drag says so once and the drag goes on.
    void dragOverRefusedCell()
    {
        host->clickLetters = false;
        startRound();
        QTest::mousePress(board(), Qt::LeftButton, {}, centre(4, 4));
        QTest::mouseMove(board(), centre(3, 4)); // empty cell
        QTest::mouseMove(board(), centre(3, 4) + QPoint(3, 3));
        QCOMPARE(status(), QStringLiteral("Invalid Selection"));
        QCOMPARE(host->sounds.count("invalid"), 1);
        QTest::mouseMove(board(), centre(5, 4));
        QCOMPARE(flow->entry().wordText(), QByteArray("ca"));
    }

    /// The right button submits in both modes.
    void rightClickSubmits_data()
    {
        QTest::addColumn<bool>("clickLetters");
        QTest::newRow("click mode") << true;
        QTest::newRow("drag mode") << false;
    }
    void rightClickSubmits()
    {
        QFETCH(bool, clickLetters);
        host->clickLetters = clickLetters;
        startRound();
        typeWord("cat");
        QTest::mouseClick(board(), Qt::RightButton, {}, centre(8, 8));
        QCOMPARE(host->sent, QByteArrayList{catBytes()});
        QCOMPARE(host->sounds.last(), QStringLiteral("sendword"));
    }

    /// In click mode each press adds one tile and a release submits nothing.
    void clickModeBuildsWord()
    {
        startRound();
        for (const QPoint &tile : {QPoint(4, 4), QPoint(5, 4), QPoint(5, 5)})
            QTest::mouseClick(board(), Qt::LeftButton, {}, centre(tile.x(), tile.y()));
        QVERIFY(host->sent.isEmpty());
        QTest::mouseClick(control<QPushButton>("button_send"), Qt::LeftButton);
        QCOMPARE(host->sent, QByteArrayList{catBytes()});
    }

    /// Mouse, Send and Clear refuse while "Just Watch" is checked; keys still work.
    void justWatchingRefusesMouseNotKeys_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("board") << "paintbox_board";
        QTest::newRow("send") << "button_send";
        QTest::newRow("clear") << "button_clear";
    }
    void justWatchingRefusesMouseNotKeys()
    {
        QFETCH(QString, control);
        host->clickLetters = false;
        startRound();
        host->justWatch = true;
        typeWord("ca");
        auto *target = panel->findChild<QWidget *>(control);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(host->boxes, QStringList{"You are just watching right now."});
        QCOMPARE(flow->entry().wordText(), QByteArray("ca"));
        QVERIFY(host->sent.isEmpty());
        typeWord("t");
        QVERIFY(press(Qt::Key_Return));
        QCOMPARE(host->sent, QByteArrayList{catBytes()});
    }

    /// Only the last filled slot deletes, and only its letter.
    void slotClickDeletesLast_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QByteArray>("word");
        QTest::newRow("last filled") << 3 << QByteArray("ca");
        QTest::newRow("earlier") << 2 << QByteArray("cat");
        QTest::newRow("empty") << 4 << QByteArray("cat");
    }
    void slotClickDeletesLast()
    {
        QFETCH(int, slot);
        QFETCH(QByteArray, word);
        startRound();
        typeWord("cat");
        QTest::mouseClick(panel->findChild<QLabel *>(QStringLiteral("image_letters%1").arg(slot)), Qt::LeftButton);
        QCOMPARE(flow->entry().wordText(), word);
    }

    // ---- keys -----------------------------------------------------------------------------

    /// Keys are taken only in the player's round with typing on; keypad 1 and 0 do nothing.
    void keyHandling_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<bool>("consumed");
        QTest::addColumn<QByteArray>("word");
        QTest::addColumn<int>("rotation");
        const int none = Qt::NoModifier;
        const int keypad = Qt::KeypadModifier;
        QTest::newRow("letter") << "on" << int(Qt::Key_T) << none << true << QByteArray("cat") << 0;
        QTest::newRow("other key swallowed") << "on" << int(Qt::Key_F5) << none << true << QByteArray("ca") << 0;
        QTest::newRow("digit swallowed") << "on" << int(Qt::Key_5) << none << true << QByteArray("ca") << 0;
        QTest::newRow("backspace") << "on" << int(Qt::Key_Backspace) << none << true << QByteArray("c") << 0;
        QTest::newRow("main 1 clears") << "on" << int(Qt::Key_1) << none << true << QByteArray() << 0;
        QTest::newRow("keypad 1") << "on" << int(Qt::Key_1) << keypad << true << QByteArray("ca") << 0;
        QTest::newRow("main 0 rotates") << "on" << int(Qt::Key_0) << none << true << QByteArray() << 1;
        QTest::newRow("keypad 0") << "on" << int(Qt::Key_0) << keypad << true << QByteArray("ca") << 0;
        QTest::newRow("ctrl+r rotates") << "on" << int(Qt::Key_R) << int(Qt::ControlModifier) << true << QByteArray() << 1;
        QTest::newRow("typing off: letter") << "off" << int(Qt::Key_T) << none << false << QByteArray("ca") << 0;
        QTest::newRow("typing off: tab") << "off" << int(Qt::Key_Tab) << none << true << QByteArray("ca") << 0;
        QTest::newRow("disabled: letter") << "disabled" << int(Qt::Key_T) << none << false << QByteArray("ca") << 0;
        QTest::newRow("round over: letter") << "over" << int(Qt::Key_T) << none << false << QByteArray("ca") << 0;
        QTest::newRow("round over: tab") << "over" << int(Qt::Key_Tab) << none << false << QByteArray("ca") << 0;
    }
    void keyHandling()
    {
        QFETCH(QString, state);
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(bool, consumed);
        QFETCH(QByteArray, word);
        QFETCH(int, rotation);
        startRound();
        typeWord("ca");
        if (state == "off")
            flow->label_typingoffClick();
        else if (state == "disabled")
            host->disableTyping = true;
        else if (state == "over")
            session->timeup("3+0+0");
        QCOMPARE(press(key, Qt::KeyboardModifiers(mods)), consumed);
        QCOMPARE(flow->entry().wordText(), word);
        QCOMPARE(flow->entry().rotationStep(), rotation);
    }

    /// While typing is on, letters never reach the chat input; Tab hands them back.
    void tabSwitchesBetweenBoardAndChat()
    {
        startRound();
        QLineEdit chatInput(panel.get());
        struct Hook : QObject {
            GameFlow *flow;
            bool eventFilter(QObject *, QEvent *e) override
            {
                return e->type() == QEvent::KeyPress && flow->FormShortCut(static_cast<QKeyEvent *>(e));
            }
        } hook;
        hook.flow = flow.get();
        chatInput.installEventFilter(&hook);
        QTest::keyClicks(&chatInput, "cat");
        QCOMPARE(chatInput.text(), QString());
        QCOMPARE(flow->entry().wordText(), QByteArray("cat"));
        QCOMPARE(control<QLabel>("label_typingoff")->text(), QStringLiteral("TYPING ON"));
        QTest::keyClick(&chatInput, Qt::Key_Tab);
        QCOMPARE(control<QLabel>("label_typingoff")->text(), QStringLiteral("TYPING OFF"));
        QTest::keyClicks(&chatInput, "hi");
        QCOMPARE(chatInput.text(), QStringLiteral("hi"));
    }

    // ---- submitting -----------------------------------------------------------------------

    /// Typed and clicked words send the dealt positions, whatever the view's rotation.
    void playerdoneBytes_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("turns");
        QTest::addColumn<QList<QPoint>>("shown");
        QTest::newRow("typed") << true << 0 << QList<QPoint>{};
        QTest::newRow("typed, quarter turn") << true << 1 << QList<QPoint>{};
        QTest::newRow("clicked") << false << 0 << QList<QPoint>{{4, 4}, {5, 4}, {5, 5}};
        QTest::newRow("clicked, quarter turn") << false << 1 << QList<QPoint>{{5, 4}, {5, 5}, {4, 5}};
        QTest::newRow("clicked, half turn") << false << 2 << QList<QPoint>{{5, 5}, {4, 5}, {4, 4}};
    }
    void playerdoneBytes()
    {
        QFETCH(bool, typed);
        QFETCH(int, turns);
        QFETCH(QList<QPoint>, shown);
        startRound();
        for (int i = 0; i < turns; ++i)
            QTest::mouseClick(control<QPushButton>("button_rotate"), Qt::LeftButton);
        if (typed) {
            typeWord("cat");
            press(Qt::Key_Enter);
        } else {
            for (const QPoint &tile : shown)
                QTest::mouseClick(board(), Qt::LeftButton, {}, centre(tile.x(), tile.y()));
            QTest::mouseClick(control<QPushButton>("button_send"), Qt::LeftButton);
        }
        QCOMPARE(host->sent, QByteArrayList{catBytes()});
        QVERIFY(!control<QPushButton>("button_send")->isVisible());
        QVERIFY(!control<QPushButton>("button_clear")->isVisible());
    }

    /// The local checks, in their order, with their status, panel line and sound.
    void localChecks_data()
    {
        QTest::addColumn<QByteArrayList>("tries");
        QTest::addColumn<QByteArray>("minimum");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("sentCount");
        QTest::addColumn<QString>("said");
        QTest::newRow("two letters") << QByteArrayList{"ca"} << QByteArray("3") << "Not enough letters."
                                     << QStringList{} << QColor() << 0 << "CA: Not enough letters.";
        QTest::newRow("below minimum") << QByteArrayList{"cat"} << QByteArray("4") << "Not enough letters."
                                       << QStringList{"cat"} << QColor(255, 128, 0) << 0 << "CAT: Not enough letters.";
        QTest::newRow("tried before") << QByteArrayList{"cat", "cat"} << QByteArray("3")
                                      << "You have already found that word." << QStringList{"cat"}
                                      << QColor(128, 0, 0) << 1 << "CAT: You have already found that word.";
        QTest::newRow("not a word") << QByteArrayList{"tca"} << QByteArray("3") << "Invalid Word."
                                    << QStringList{"tca"} << QColor(0, 0, 0) << 0 << "TCA: Invalid Word.";
        QTest::newRow("refused word tried again") << QByteArrayList{"tca", "tca"} << QByteArray("3")
                                                  << "You have already found that word."
                                                  << QStringList{"tca", "tca"} << QColor(128, 0, 0) << 0
                                                  << "TCA: You have already found that word.";
    }
    void localChecks()
    {
        QFETCH(QByteArrayList, tries);
        QFETCH(QByteArray, minimum);
        QFETCH(QString, status);
        QFETCH(QStringList, lines);
        QFETCH(QColor, colour);
        QFETCH(int, sentCount);
        QFETCH(QString, said);
        startRound("60", minimum);
        for (const QByteArray &word : tries) {
            typeWord(word.constData());
            press(Qt::Key_Return);
        }
        QCOMPARE(this->status(), status);
        QCOMPARE(host->sent.size(), sentCount);
        QCOMPARE(host->sounds.last(), QStringLiteral("invalid"));
        const QList<Line> shown = wordLines();
        QStringList texts;
        for (const Line &l : shown)
            texts << l.text;
        QCOMPARE(texts, lines);
        if (!shown.isEmpty())
            QCOMPARE(shown.last().colour, colour);
        QCOMPARE(flow->entry().wordLength(), 0);
        // A verdict is told at once, whatever was said just before.
        QCOMPARE(announcer->current(), said);
    }

    /// A good word while not logged in is neither sent nor sounded, but counts as tried.
    void notLoggedInSendsNothing()
    {
        startRound();
        host->logged = false;
        typeWord("cat");
        press(Qt::Key_Return);
        QVERIFY(host->sent.isEmpty());
        QVERIFY(host->sounds.filter("sendword").isEmpty());
        typeWord("cat");
        press(Qt::Key_Return);
        QCOMPARE(status(), QStringLiteral("You have already found that word."));
    }

    // ---- countdown ------------------------------------------------------------------------

    void countdown_data()
    {
        QTest::addColumn<QByteArray>("seconds");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("red");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("warned"); // "10 seconds left" is said
        QTest::newRow("first tick") << QByteArray("60") << 1 << 177 << "Time: 0:59" << false << false << false;
        QTest::newRow("at 20") << QByteArray("60") << 40 << 60 << "Time: 0:20" << false << true << false;
        QTest::newRow("at 19") << QByteArray("60") << 41 << 57 << "Time: 0:19" << true << false << false;
        QTest::newRow("at 15") << QByteArray("60") << 45 << 45 << "Time: 0:15" << true << true << false;
        QTest::newRow("at 11") << QByteArray("60") << 49 << 33 << "Time: 0:11" << true << false << false;
        QTest::newRow("at 10") << QByteArray("60") << 50 << 30 << "Time: 0:10" << true << true << true;
        QTest::newRow("at 1") << QByteArray("60") << 59 << 3 << "Time: 0:01" << true << true << true;
        QTest::newRow("over") << QByteArray("60") << 60 << 0 << "Time: 0:00" << true << false << true;
        QTest::newRow("long after") << QByteArray("60") << 70 << 0 << "Time: 0:00" << true << false << true;
        QTest::newRow("minutes") << QByteArray("90") << 25 << 130 << "Time: 1:05" << false << false << false;
        QTest::newRow("step 0") << QByteArray("300") << 1 << 0 << "Time: 4:59" << false << false << false;
        QTest::newRow("not a number") << QByteArray("abc") << 1 << 177 << "Time: 0:59" << false << false << false;
        QTest::newRow("zero seconds") << QByteArray("0") << 1 << 0 << "Time: 0:00" << false << false << false;
        QTest::newRow("negative seconds") << QByteArray("-5") << 2 << 0 << "Time: 0:00" << false << false << false;
        QTest::newRow("most negative") << QByteArray("-2147483648") << 2 << 0 << "Time: 0:00" << false << false
                                       << false;
    }
    void countdown()
    {
        QFETCH(QByteArray, seconds);
        QFETCH(int, ticks);
        QFETCH(int, bar);
        QFETCH(QString, label);
        QFETCH(bool, red);
        QFETCH(bool, ticked);
        QFETCH(bool, warned);
        startRound(seconds);
        QVERIFY(flow->turntime()->isActive());
        QCOMPARE(flow->turntime()->interval(), 1000);
        tick(ticks - 1);
        host->sounds.clear();
        tick(1);
        QCOMPARE(control<QLabel>("image_timer")->width(), bar);
        auto *timer = control<QLabel>("label_timer");
        QCOMPARE(timer->text(), label);
        QCOMPARE(timer->palette().color(QPalette::WindowText) == QColor(255, 0, 0), red);
        QCOMPARE(host->sounds.contains("tick"), ticked);
        QCOMPARE(flow->activeSeat() == OwnSeat, label != QStringLiteral("Time: 0:00"));
        QCOMPARE(spoken() == QStringLiteral("10 seconds left"), warned);
    }

    /// The round's length reads "Time: <n>secs" and the round closes at 0.
    void countdownEndClosesEntry()
    {
        startRound("60");
        typeWord("ca");
        tick(60);
        QVERIFY(!control<QPushButton>("button_send")->isVisible());
        QVERIFY(!control<QPushButton>("button_rotate")->isVisible());
        QVERIFY(!press(Qt::Key_T));
        QCOMPARE(control<QLabel>("label_timeperturn")->text(), QStringLiteral("Time: 60secs"));
    }

    /// "+3" beside seat 2 goes on the fourth tick after CMD_addscore.
    void bonusClearedOnFourthTick()
    {
        startRound();
        session->addscore("2+3+17+");
        QCOMPARE(slot("label_bonus", 2)->text(), QStringLiteral("+3"));
        QCOMPARE(slot("label_score", 2)->text(), QStringLiteral("17"));
        tick(3);
        QCOMPARE(slot("label_bonus", 2)->text(), QStringLiteral("+3"));
        tick(1);
        QCOMPARE(slot("label_bonus", 2)->text(), QString());
    }

    // ---- host messages --------------------------------------------------------------------

    void startthegameLabels_data()
    {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("odd");
        QTest::newRow("4") << QByteArray("4") << "Board Size: 4X4" << false;
        QTest::newRow("9") << QByteArray("9") << "Board Size: 5X5" << true;
        QTest::newRow("8") << QByteArray("8") << "Board Size: ?" << false;
        QTest::newRow("11") << QByteArray("11") << "Board Size: 9X9" << true;
        QTest::newRow("12 unchanged") << QByteArray("12") << "Board Size: 7X7" << false;
        QTest::newRow("text unchanged") << QByteArray("x") << "Board Size: 7X7" << false;
    }
    void startthegameLabels()
    {
        QFETCH(QByteArray, code);
        QFETCH(QString, label);
        QFETCH(bool, odd);
        host->justWatch = true;
        host->startButton = true;
        session->startthegame("Ann+300+90+10+4+0+");
        session->startthegame("Bob+500+45+" + code + "+5+0+");
        QCOMPARE(control<QLabel>("label_boardsize")->text(), label);
        QCOMPARE(flow->entry().oddSize(), odd);
        QCOMPARE(control<QLabel>("label_playtoscore")->text(), QStringLiteral("Play to Score: 500"));
        QCOMPARE(control<QLabel>("label_timeperturn")->text(), QStringLiteral("Time: 45secs"));
        QCOMPARE(control<QLabel>("label_minletters")->text(), QStringLiteral("5 Letters Min"));
        QCOMPARE(host->chat.mid(2), (QStringList{"Bob has started a game.", "5 LETTER MINIMUM!"}));
        QCOMPARE(host->chatColours.last(), 128u);
        QVERIFY(!host->justWatch);
        QVERIFY(!host->startButton);
    }

    /// Another seat's round shows its name and runs the countdown, with no word entry.
    void watchingAnotherSeat()
    {
        session->startthegame("Ann+300+60+7+3+0+");
        session->loadboard(catBoard());
        session->getnextplayer("2+");
        QCOMPARE(status(), QStringLiteral("Bob's turn."));
        QVERIFY(flow->turntime()->isActive());
        QVERIFY(!press(Qt::Key_C));
        QTest::mouseClick(board(), Qt::LeftButton, {}, centre(4, 4));
        QCOMPARE(flow->entry().wordLength(), 0);
        session->getnextplayer("11+");
        QCOMPARE(status(), QStringLiteral("'s turn."));
    }

    void goodwordAndNotvalid_data()
    {
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<QString>("sound");
        QTest::addColumn<QString>("said"); // empty: the round's start is still the last news
        QTest::addColumn<QString>("marked"); // the line in High Contrast
        QTest::newRow("first finder") << QByteArray("goodword") << QByteArray("3+4+CAT+3+1+")
                                      << "You made CAT for 4 points!" << "4 : CAT" << QColor(255, 255, 198) << ""
                                      << "You made CAT for 4 points!" << "* 4 : CAT";
        QTest::newRow("found before") << QByteArray("goodword") << QByteArray("3+3+CAT+3+2+")
                                      << "You made CAT for 3 points!" << "3 : CAT" << QColor(255, 255, 255) << ""
                                      << "You made CAT for 3 points!" << "+ 3 : CAT";
        QTest::newRow("other seat") << QByteArray("goodword") << QByteArray("2+3+CAT+3+2+")
                                    << "" << "" << QColor() << "" << "" << "";
        QTest::newRow("not a word") << QByteArray("notvalid") << QByteArray("3+1+TCA+")
                                    << "Invalid Word." << "TCA" << QColor(0, 0, 0) << "invalid" << "TCA: Invalid Word."
                                    << "x TCA";
        QTest::newRow("already") << QByteArray("notvalid") << QByteArray("3+2+CAT+")
                                 << "You have already found that word." << "CAT" << QColor(128, 0, 0) << "invalid"
                                 << "CAT: You have already found that word." << "= CAT";
        QTest::newRow("short") << QByteArray("notvalid") << QByteArray("3+3+CAT+")
                               << "Not enough letters." << "CAT" << QColor(255, 128, 0) << "invalid"
                               << "CAT: Not enough letters." << "< CAT";
        QTest::newRow("unknown reason") << QByteArray("notvalid") << QByteArray("3+7+CAT+")
                                        << "" << "" << QColor() << "invalid" << "" << "";
    }
    void goodwordAndNotvalid()
    {
        QFETCH(QByteArray, keyword);
        QFETCH(QByteArray, payload);
        QFETCH(QString, status);
        QFETCH(QString, line);
        QFETCH(QColor, colour);
        QFETCH(QString, sound);
        QFETCH(QString, said);
        startRound();
        typeWord("ca");
        host->sounds.clear();
        if (keyword == "goodword")
            session->goodword(payload);
        else
            session->notvalid(payload);
        QCOMPARE(this->status(), status);
        const QList<Line> lines = wordLines();
        QCOMPARE(lines.size(), line.isEmpty() ? 0 : 1);
        if (!line.isEmpty()) {
            QCOMPARE(lines[0].text, line);
            QCOMPARE(lines[0].colour, colour);
        }
        QCOMPARE(host->sounds, sound.isEmpty() ? QStringList() : QStringList{sound});
        // A refusal clears the word being built; an acceptance leaves it alone.
        QCOMPARE(flow->entry().wordLength(), keyword == "notvalid" ? 0 : 2);
        QCOMPARE(control<QLabel>("label_found")->text(),
                 QStringLiteral("Count: %1").arg(keyword == "goodword" && payload.startsWith("3+") ? 1 : 0));
        if (said.isEmpty())
            QVERIFY2(spoken().startsWith(QStringLiteral("Round starts")), qPrintable(spoken()));
        else
            QCOMPARE(announcer->current(), said);

        // "High Contrast" draws the line anew: marked, and readable on the panel's ground; and
        // back again without the mark.
        QFETCH(QString, marked);
        flow->setHighContrast(true);
        const QColor ground = control<QTextEdit>("richedit_words")->palette().color(QPalette::Base);
        const QList<Line> high = wordLines();
        QCOMPARE(high.size(), marked.isEmpty() ? 0 : 1);
        if (!marked.isEmpty()) {
            QCOMPARE(high[0].text, marked);
            QVERIFY(Contrast::ratio(high[0].colour, ground) >= Contrast::Readable);
        }
        flow->setHighContrast(false);
        const QList<Line> back = wordLines();
        if (!line.isEmpty())
            QCOMPARE(back[0].text, line);
    }

    /// Each word gets one verdict a round and a round a bounded number: a host that sends more
    /// can neither grow the words panel nor count a word twice.
    void verdictsPerRound_data()
    {
        QTest::addColumn<QByteArrayList>("messages"); // "g" goodword, "n" notvalid, "next" a new round
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("dropped");
        QTest::newRow("accepted twice") << QByteArrayList{"g3+4+CAT+3+1+", "g3+4+CAT+3+1+"} << 1 << "Count: 1" << true;
        QTest::newRow("accepted, then refused") << QByteArrayList{"g3+4+CAT+3+1+", "n3+2+CAT+"} << 1 << "Count: 1" << true;
        QTest::newRow("refused twice") << QByteArrayList{"n3+1+TCA+", "n3+1+TCA+"} << 1 << "Count: 0" << true;
        QTest::newRow("longer than any board word") << QByteArrayList{"g3+4+ABCDEFGHIJKLM+13+1+"} << 0 << "Count: 0" << true;
        QTest::newRow("again in the next round") << QByteArrayList{"g3+4+CAT+3+1+", "next", "g3+4+CAT+3+1+"} << 1 << "Count: 1" << false;
        QByteArrayList flood;
        for (int n = 0; n < 5200; ++n)
            flood << "g3+1+W" + QByteArray::number(n) + "+5+1+";
        QTest::newRow("more words than a round holds") << flood << 5000 << "Count: 5000" << true;
    }
    void verdictsPerRound()
    {
        QFETCH(QByteArrayList, messages);
        QFETCH(int, lines);
        QFETCH(QString, count);
        QFETCH(bool, dropped);
        if (dropped)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("verdict.*dropped")));
        startRound();
        for (const QByteArray &m : messages) {
            if (m == "next")
                session->getnextplayer(QByteArray::number(OwnSeat) + '+');
            else if (m.startsWith('g'))
                session->goodword(m.sliced(1));
            else
                session->notvalid(m.sliced(1));
        }
        QCOMPARE(wordLines().size(), lines);
        QCOMPARE(control<QLabel>("label_found")->text(), count);
    }

    void twelveLetterWordCountsOnce()
    {
        startRound();
        session->goodword("3+20+ABCDEFGHIJKL+12+1+");
        session->goodword("3+3+CAT+3+1+");
        QCOMPARE(host->tallyCalls, QByteArrayList{"increase 4"});
    }

    /// Every verdict is one line: the longest word with its points fits the panel's width.
    void longestVerdictIsOneLine()
    {
        startRound();
        session->goodword("3+13+ABSOLUTENESS+12+1+");
        auto *words = control<QTextEdit>("richedit_words");
        words->document()->size(); // lays the text out
        const QTextBlock line = words->document()->firstBlock();
        QCOMPARE(line.text(), QStringLiteral("13 : ABSOLUTENESS"));
        QCOMPARE(line.layout()->lineCount(), 1);
        const qreal room = words->viewport()->width() - 2 * words->document()->documentMargin();
        QVERIFY2(line.layout()->lineAt(0).naturalTextWidth() <= room,
                 qPrintable(QStringLiteral("%1 > %2").arg(line.layout()->lineAt(0).naturalTextWidth()).arg(room)));
    }

    /// A redrawn tile shows no trace of an earlier frame: the surface keeps old pixels where
    /// a tile is transparent, so its rounded corners must show what lies under it.
    void redrawnTileLeavesNoFrameMarks()
    {
        startRound();
        QTest::mouseClick(board(), Qt::LeftButton, {}, centre(4, 4)); // the C gets a frame
        flow->pressclear();
        QImage surface(board()->size(), QImage::Format_ARGB32);
        surface.fill(QColor(214, 20, 20)); // what the frame left on the surface
        board()->render(&surface, {}, {}, QWidget::DrawChildren);
        // The corner of the C tile is the corner of an empty cell, (9, 9).
        QCOMPARE(surface.pixelColor(4 * 42, 4 * 42), surface.pixelColor(9 * 42, 9 * 42));
        QCOMPARE(surface.pixelColor(5 * 42 - 1, 5 * 42 - 1), surface.pixelColor(10 * 42 - 1, 10 * 42 - 1));
    }

    /// Round bonus 0 leaves the caption; bad seats are skipped; most-words record updates.
    void timeupScores()
    {
        startRound();
        session->addscore("2+3+17+");
        session->addscore("1+2+9+");
        session->goodword("3+3+CAT+3+1+");
        host->mostWords = QStringLiteral("0");
        session->timeup("1+4+13+2+0+20+0+9+9+11+9+9+-1+9+9+2147483647+1+1");
        QCOMPARE(slot("label_bonus", 1)->text(), QStringLiteral("+4"));
        QCOMPARE(slot("label_score", 1)->text(), QStringLiteral("13"));
        QCOMPARE(slot("label_bonus", 2)->text(), QStringLiteral("+3"));
        QCOMPARE(slot("label_score", 2)->text(), QStringLiteral("20"));
        QCOMPARE(status(), QStringLiteral("Round Over. Posting Scores.."));
        QCOMPARE(flow->activeSeat(), 0);
        QCOMPARE(host->sounds.last(), QStringLiteral("roundover"));
        QCOMPARE(host->tallyCalls, QByteArrayList{"set 3 1"});
    }

    /// The round's end is told with the own score and place among the seated players only:
    /// the host lists all ten seats, taken or not.
    void roundOverSpoken_data()
    {
        QTest::addColumn<QByteArray>("scores"); // seat, round bonus, total
        QTest::addColumn<QString>("said");
        QTest::newRow("ahead") << QByteArray("2+0+9+3+4+13+4+0+0") << "Round over. Your score 13, 1st of 2.";
        QTest::newRow("behind") << QByteArray("2+0+9+3+1+5+4+0+0") << "Round over. Your score 5, 2nd of 2.";
        QTest::newRow("tie shares the place") << QByteArray("2+0+9+3+0+9") << "Round over. Your score 9, 1st of 2.";
        QTest::newRow("empty seat's score") << QByteArray("2+0+1+3+0+5+4+0+50+11+0+70")
                                            << "Round over. Your score 5, 1st of 2.";
        QTest::newRow("own seat not listed") << QByteArray("2+0+9") << "";
    }
    void roundOverSpoken()
    {
        QFETCH(QByteArray, scores);
        QFETCH(QString, said);
        startRound();
        session->timeup(scores);
        if (said.isEmpty())
            QVERIFY2(spoken().startsWith(QStringLiteral("Round starts")), qPrintable(spoken()));
        else
            QCOMPARE(spoken(), said);
    }

    void mostWordsRecord_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArrayList>("calls");
        QTest::newRow("below") << "1" << QByteArrayList{"set 3 2"};
        QTest::newRow("equal") << "2" << QByteArrayList{};
        QTest::newRow("not a number") << "-" << QByteArrayList{};
    }
    void mostWordsRecord()
    {
        QFETCH(QString, caption);
        QFETCH(QByteArrayList, calls);
        startRound();
        session->goodword("3+3+CAT+3+1+");
        session->goodword("3+3+ACT+3+1+");
        host->mostWords = caption;
        session->timeup("3+6+6");
        QCOMPARE(host->tallyCalls, calls);
    }

    /// A malformed number ends the message's handling with FieldError.
    void malformedNumbersThrow_data()
    {
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("timeup short triple") << QByteArray("timeup") << QByteArray("1+2");
        QTest::newRow("timeup trailing +") << QByteArray("timeup") << QByteArray("1+2+3+");
        QTest::newRow("addscore text") << QByteArray("addscore") << QByteArray("2+x+3+");
        QTest::newRow("goodword overflow") << QByteArray("goodword") << QByteArray("3+99999999999+CAT+3+1+");
        QTest::newRow("loadstats odd pairs") << QByteArray("loadstats") << QByteArray("3+30+60+7+3+20+1+1+5+2");
        QTest::newRow("loadboard text") << QByteArray("loadboard") << QByteArray("0+0+1+0+1+z");
        QTest::newRow("nextplayer empty") << QByteArray("getnextplayer") << QByteArray("");
    }
    void malformedNumbersThrow()
    {
        QFETCH(QByteArray, keyword);
        QFETCH(QByteArray, payload);
        startRound();
        void (ClientSession::*handler)(const QByteArray &) = nullptr;
        if (keyword == "timeup") handler = &ClientSession::timeup;
        if (keyword == "addscore") handler = &ClientSession::addscore;
        if (keyword == "goodword") handler = &ClientSession::goodword;
        if (keyword == "loadstats") handler = &ClientSession::loadstats;
        if (keyword == "loadboard") handler = &ClientSession::loadboard;
        if (keyword == "getnextplayer") handler = &ClientSession::getnextplayer;
        QVERIFY_THROWS_EXCEPTION(FieldError, (session.get()->*handler)(payload));
    }

    /// Triples off the grid are skipped; a code without a picture paints as the empty cell.
    void loadboardSkipsBadTriples()
    {
        startRound();
        session->loadboard("0+0+3+10+0+5+-1+2+5+3+99+5+9+9+77+1+1+-4+2+2+1");
        QCOMPARE(flow->entry().shownCode(0, 0), 3);
        QCOMPARE(flow->entry().shownPicture(9, 9), 29);
        QCOMPARE(flow->entry().shownPicture(1, 1), 29);
        QCOMPARE(flow->entry().shownCode(2, 2), 1);
        QCOMPARE(flow->entry().shownCode(5, 5), 29);
        board()->grab(); // paints every cell without reading outside the pictures
    }

    void loadstatsJoinsRound_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("seat");
        QTest::addColumn<bool>("joins");
        QTest::newRow("5 left") << QByteArray("3+300+60+7+3+5+1+1+4+3+9") << OwnSeat << true;
        QTest::newRow("4 left") << QByteArray("3+300+60+7+3+4+1+1+4+3+9") << OwnSeat << false;
        QTest::newRow("between rounds") << QByteArray("3+300+60+7+3+30+2+1+4+3+9") << OwnSeat << false;
        QTest::newRow("spy seat") << QByteArray("11+300+60+7+3+30+1+1+4+3+9") << 11 << false;
        QTest::newRow("bad seats skipped") << QByteArray("3+300+60+7+3+30+1+0+7+11+7+-3+7+1+4+3+9") << OwnSeat << true;
        QTest::newRow("huge time left") << QByteArray("3+300+60+7+3+2147483647+1+1+4+3+9") << OwnSeat << true;
    }
    void loadstatsJoinsRound()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, seat);
        QFETCH(bool, joins);
        host->seat = seat;
        session->loadboard(catBoard());
        session->loadstats(payload);
        QCOMPARE(flow->activeSeat() != 0, joins);
        QCOMPARE(flow->turntime()->isActive(), joins);
        QCOMPARE(control<QLabel>("label_timeperturn")->text(), QStringLiteral("Time: 60secs"));
        QCOMPARE(host->chat, QStringList{"3 LETTER MINIMUM!"});
        if (seat == OwnSeat) {
            QCOMPARE(slot("label_score", 1)->text(), QStringLiteral("4"));
            QCOMPARE(slot("label_score", 3)->text(), QStringLiteral("9"));
        }
        if (joins) {
            QCOMPARE(status(), QStringLiteral("Click or Type a Word!"));
            QCOMPARE(host->sounds, QStringList{"turn"});
            flow->turntimeTimer();
            QVERIFY(control<QLabel>("image_timer")->width() <= 224);
            QVERIFY(press(Qt::Key_C));
        }
    }

    void loadstatsForOtherSeatIgnored()
    {
        session->loadstats("2+300+60+7+3+30+1+1+4");
        QVERIFY(host->chat.isEmpty());
        QCOMPARE(slot("label_score", 1)->text(), QStringLiteral("0"));
    }

    void mainlistOpensWordsListForOwnSeat_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("shown");
        QTest::newRow("own") << QByteArray("3+ACT+CAT") << true;
        QTest::newRow("other") << QByteArray("2+ACT+CAT") << false;
    }
    void mainlistOpensWordsListForOwnSeat()
    {
        QFETCH(QByteArray, payload);
        QFETCH(bool, shown);
        session->mainlist(payload);
        QCOMPARE(wordsList->isVisible(), shown);
        if (shown)
            QCOMPARE(wordsList->findChild<QTableWidget *>()->item(0, 1)->text(), QStringLiteral("CAT"));
        session->getnextplayer("3+");
        QVERIFY(!wordsList->isVisible());
    }

    void winner_data()
    {
        QTest::addColumn<int>("seat");
        QTest::addColumn<bool>("hosting");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArrayList>("tally");
        QTest::newRow("own win") << OwnSeat << false << QByteArray("Ann") << "You have Won the Game!"
                                 << QByteArrayList{"addgame addtomine"};
        QTest::newRow("other wins") << OwnSeat << true << QByteArray("Bob") << "Bob has Won the Game!"
                                    << QByteArrayList{"addgame Bob"};
        QTest::newRow("spy") << 11 << false << QByteArray("Ann") << "Ann has Won the Game!" << QByteArrayList{};
    }
    void winner()
    {
        QFETCH(int, seat);
        QFETCH(bool, hosting);
        QFETCH(QByteArray, name);
        QFETCH(QString, text);
        QFETCH(QByteArrayList, tally);
        host->seat = seat;
        host->hosting = hosting;
        session->winner(name + '+');
        QCOMPARE(control<QLabel>("label_winner1")->text(), text);
        QCOMPARE(control<QLabel>("label_winner2")->text(), text);
        QVERIFY(control<QWidget>("panel_winner")->isVisible());
        QCOMPARE(status(), QStringLiteral("Game Over!"));
        QCOMPARE(host->chat, QStringList{text});
        QCOMPARE(host->sounds, QStringList{"gameover"});
        QCOMPARE(host->startButton, hosting);
        QCOMPARE(host->tallyCalls, tally);
    }

    /// The panel outlives the game flow without painting a word entry that is gone.
    void panelOutlivesGameFlow()
    {
        startRound();
        flow.reset();
        QVERIFY(!panel->findChild<BoardView *>());
        QVERIFY(!panel->grab().isNull());
    }

    /// Renders the board area with a dealt board and a word in progress, for a look by eye.
    void grabBoardArea()
    {
        startRound();
        QRandomGenerator rng(7);
        Board dealt;
        dealt.deal(7, rng);
        session->loadboard(dealt.boardText().mid(1));
        session->addscore("3+4+12+");
        session->goodword("3+4+CAT+3+1+");
        session->notvalid("3+1+TCA+");
        tick(3);
        QTest::mouseClick(board(), Qt::LeftButton, {}, centre(3, 3));
        QTest::mouseClick(board(), Qt::LeftButton, {}, centre(4, 4));
        QTest::mouseClick(board(), Qt::LeftButton, {}, centre(5, 4));
        panel->setStyleSheet(QStringLiteral("QWidget#panel_board { background: rgb(76,106,76); }"));
        panel->setAttribute(Qt::WA_StyledBackground);
        const QString path = qEnvironmentVariable("LEXI_GRAB_PNG");
        const QPixmap shot = panel->grab();
        QCOMPARE(shot.size(), QSize(780, 525));
        if (!path.isEmpty())
            QVERIFY(shot.save(path));
    }
};

QTEST_MAIN(TestGameFlow)
#include "tst_gameflow.moc"
