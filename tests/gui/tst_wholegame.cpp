// A whole game in one process: the hosting copy (host and Ann's window) and a joining copy
// (Bob's window) talk over loopback, and everything is done through the windows: the game
// start dialog, typing, clicking and dragging on the board, the name labels' menu. Only the
// host's one-second round clock is driven by hand. A last test puts a bare TCP server in the
// host's place to record the exact bytes a joining window sends. The word lists are written by the test, so every verdict is known
// in advance: the host knows the three-letter strings whose first letter is not after their
// last (CAT yes, TAC no); Bob's own copy knows every three-letter string, so Bob can send a
// word that only the host refuses.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "words/tallystore.h"
#include "words/tallytable.h"
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <functional>
#include <memory>

#include "app/lexitangleapp.h"
#include "client/boardview.h"
#include "client/chathistory.h"
#include "client/chatpanel.h"
#include "client/gameflow.h"
#include "client/mainmenu.h"
#include "client/playerslots.h"
#include "client/soundplayer.h"
#include "client/tchat.h"
#include "client/wordentry.h"
#include "dialogs/boardcodeprompt.h"
#include "dialogs/tgamestart.h"
#include "dialogs/reviewwordsmodel.h"
#include "dialogs/troundreview.h"
#include "dialogs/tstatistics.h"
#include "records/historystore.h"
#include "dialogs/twordslist.h"
#include "host/boardcode.h"
#include "host/tserver.h"
#include "solver/roundhistory.h"
#include "words/lettercodes.h"
#include "words/notifier.h"

namespace {

constexpr int Timeout = 15000;
const QColor firstFinder(255, 255, 198);
const QColor notFirst(255, 255, 255);
const QColor notAWord(0, 0, 0);
const QColor alreadyFound(128, 0, 0);

struct RecordingNotifier : Notifier {
    QStringList messages;
    void showMessage(const QString &text) override { messages << text; }
    bool confirm(const QString &) override { return true; }
};

struct RecordingSounds : SoundPlayer {
    QStringList played;
    void play(const QString &clip) override { played << clip; }
};

using WordRule = std::function<bool(const QByteArray &)>;

bool ordered(const QByteArray &word) { return word.front() <= word.back(); }
bool anyWord(const QByteArray &) { return true; }

// The dictionary's working file: every three-letter string the rule takes, as 15-byte
// records (marker 0x1E, the word padded with blanks to 14), in ascending order.
bool writeWordList(const QString &folder, const WordRule &rule)
{
    QByteArray records;
    for (char a = 'A'; a <= 'Z'; ++a) {
        for (char b = 'A'; b <= 'Z'; ++b) {
            for (char c = 'A'; c <= 'Z'; ++c) {
                const char letters[] = {a, b, c};
                const QByteArray word(letters, 3);
                if (rule(word))
                    records += '\x1E' + word + QByteArray(11, ' ');
            }
        }
    }
    QFile file(Paths::inFolder(folder).dictionaryWorkingFile());
    return file.open(QIODevice::WriteOnly) && file.write(records) == records.size();
}

// A chain of neighbouring letter tiles on a window's board and the word it spells.
struct BoardWord {
    QList<QPoint> cells;
    QByteArray text; // small letters, as the window spells it
    QByteArray upper() const { return text.toUpper(); }
};

void extend(const WordEntry &entry, BoardWord &path, int length, QList<BoardWord> &out)
{
    if (path.cells.size() == length) {
        out.append(path);
        return;
    }
    const QPoint last = path.cells.last();
    for (int dc = -1; dc <= 1; ++dc) {
        for (int dr = -1; dr <= 1; ++dr) {
            const QPoint next = last + QPoint(dc, dr);
            const int code = entry.shownCode(next.x(), next.y());
            if (!BoardView::onBoard(next) || path.cells.contains(next) || code < 1 || code > 26)
                continue;
            path.cells.append(next);
            path.text.append(char('a' + code - 1));
            extend(entry, path, length, out);
            path.cells.removeLast();
            path.text.chop(1);
        }
    }
}

// Every chain of `length` tiles on the board as the window shows it.
QList<BoardWord> wordsOnBoard(const WordEntry &entry, int length)
{
    QList<BoardWord> out;
    for (int c = 0; c < WordEntry::Side; ++c) {
        for (int r = 0; r < WordEntry::Side; ++r) {
            const int code = entry.shownCode(c, r);
            if (code < 1 || code > 26)
                continue;
            BoardWord start{{QPoint(c, r)}, QByteArray(1, char('a' + code - 1))};
            extend(entry, start, length, out);
        }
    }
    return out;
}

std::optional<BoardWord> firstWhere(const QList<BoardWord> &words,
                                    const std::function<bool(const BoardWord &)> &test)
{
    for (const BoardWord &w : words) {
        if (test(w))
            return w;
    }
    return std::nullopt;
}

QPoint centre(QPoint cell)
{
    return cell * BoardView::CellSize + QPoint(BoardView::CellSize / 2, BoardView::CellSize / 2);
}

struct WordLine {
    QString text;
    QColor colour;
    bool operator==(const WordLine &o) const { return text == o.text && colour == o.colour; }
};

char *toString(const WordLine &line)
{
    return QTest::toString(QStringLiteral("%1 (%2)").arg(line.text, line.colour.name()));
}

// One copy of the program with its own folder, dictionary, sounds and message boxes.
struct Copy {
    QTemporaryDir dir;
    RecordingNotifier notes;
    RecordingSounds sounds;
    std::unique_ptr<LexitangleApp> app;

    bool create(const WordRule &rule, quint16 port)
    {
        if (!dir.isValid() || !writeWordList(dir.path(), rule))
            return false;
        const LexitangleApp::Options options{Paths::inFolder(dir.path()), port, &sounds, &notes};
        app = std::make_unique<LexitangleApp>(QStringList(), options);
        return true;
    }
    Tchat &chat() { return app->chat(); }
    GameFlow &game() { return chat().game(); }
    const WordEntry &entry() { return game().entry(); }
    template <typename T> T *find(const QString &name) { return chat().boardPanel()->findChild<T *>(name); }
    QString label(const QString &name) { return find<QLabel>(name)->text(); }
    BoardView *board() { return find<BoardView>(QStringLiteral("paintbox_board")); }
    QString history() { return chat().chat().mainchat()->toPlainText(); }
    QAction *item(const char *name) { return chat().menu().item(QString::fromLatin1(name)); }
    bool playing() { return game().activeSeat() != 0 && game().activeSeat() == chat().ownSeat(); }
    QString wordsListCount()
    {
        return app->wordslist().findChild<QLabel *>(QStringLiteral("label_found"))->text();
    }

    QList<WordLine> wordLines()
    {
        QList<WordLine> lines;
        const QTextDocument *doc = find<QTextEdit>(QStringLiteral("richedit_words"))->document();
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
            if (!b.text().isEmpty())
                lines.append({b.text(), b.begin().fragment().charFormat().foreground().color()});
        }
        return lines;
    }
    QStringList wordsListed()
    {
        QStringList words;
        const auto *grid = app->wordslist().findChild<QTableWidget *>(QStringLiteral("stringgrid_words"));
        for (int r = 0; r < grid->rowCount(); ++r) {
            for (int c = 0; c < grid->columnCount(); ++c) {
                if (const QTableWidgetItem *item = grid->item(r, c))
                    words << item->text();
            }
        }
        return words;
    }
    bool sameBoardAs(const Board &dealt)
    {
        for (int c = 0; c < Board::Side; ++c) {
            for (int r = 0; r < Board::Side; ++r) {
                if (entry().dealtCode(c, r) != dealt.at(c, r) || entry().shownCode(c, r) != dealt.at(c, r))
                    return false;
            }
        }
        return true;
    }
};

// The window itself must become the active one: QTest::qWaitForWindowActive also counts a
// window whose hidden dialog (the game start) still holds the focus, and the window's key
// hook then rightly ignores the keys.
bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitFor([window] { return window->isActiveWindow(); }, Timeout);
}

void clickCells(BoardView *board, const QList<QPoint> &cells)
{
    for (const QPoint &cell : cells)
        QTest::mouseClick(board, Qt::LeftButton, {}, centre(cell));
}

// Presses on the first tile and moves in small steps from centre to centre. On a diagonal
// step the pointer also grazes the corner of the tile beside the path, outside its inner
// square, which must not be chosen.
void dragCells(BoardView *board, const QList<QPoint> &cells)
{
    QTest::mousePress(board, Qt::LeftButton, {}, centre(cells.first()));
    for (qsizetype i = 1; i < cells.size(); ++i) {
        const QPoint from = centre(cells[i - 1]);
        const QPoint step = centre(cells[i]) - from;
        for (int k = 1; k <= 6; ++k) {
            QTest::mouseMove(board, from + step * k / 6);
            if (k == 3 && step.x() != 0 && step.y() != 0)
                QTest::mouseMove(board, from + step / 2 + QPoint(step.x() > 0 ? 2 : -3, step.y() > 0 ? -3 : 2));
        }
    }
    QTest::mouseRelease(board, Qt::LeftButton, {}, centre(cells.last()));
}

// Right-clicks the name label of `seat` and, while its menu is open, chooses `item` with the
// keyboard (or closes the menu when `item` is null). Returns the items that were enabled, and
// whether `item` could be chosen.
struct NameMenu {
    QStringList enabled;
    bool chosen = false;
};
NameMenu useNameMenu(Tchat &window, int seat, const char *item)
{
    QLabel *label = window.playerSlots().nameLabel(seat);
    QMenu *menu = window.playerSlots().popupKick();
    QAction *wanted = item ? menu->findChild<QAction *>(QString::fromLatin1(item)) : nullptr;
    NameMenu result;
    // Runs inside the menu's own event loop, once it is open.
    QTimer::singleShot(0, menu, [&] {
        for (QAction *a : menu->actions()) {
            if (a->isEnabled())
                result.enabled << a->objectName();
        }
        for (int i = 0; wanted && i < 5 && menu->activeAction() != wanted; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        result.chosen = wanted && menu->activeAction() == wanted;
        QTest::keyClick(menu, result.chosen ? Qt::Key_Return : Qt::Key_Escape);
    });
    const QPoint inside(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, label->mapToGlobal(inside));
    QApplication::sendEvent(label, &event);
    return result;
}

// The host's round clock, one second per call, until the countdown action changes (the
// real one-second timer may tick in between; it only brings the change closer).
bool runHostClock(TServer &host, int whileAction)
{
    for (int i = 0; i < 1000 && host.countdownAction() == whileAction; ++i)
        host.timer1Timer();
    return host.countdownAction() != whileAction;
}

// The board the raw host deals: columns and rows 3..6 (a 4X4 board), every other cell empty.
//        c=3 c=4 c=5 c=6
//  r=3    C   A   T   S
//  r=4    O   X   E   C
//  r=5    D   O   G   A
//  r=6    E   N   D   T
QByteArray fixedBoardMessage()
{
    static const char *const rows[] = {"CATS", "OXEC", "DOGA", "ENDT"};
    QByteArray message = "CMD_loadboard";
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 10; ++r) {
            int code = 29;
            if (c >= 3 && c <= 6 && r >= 3 && r <= 6)
                code = rows[r - 3][c - 3] - 'A' + 1;
            message += '+' + QByteArray::number(c) + '+' + QByteArray::number(r) + '+' + QByteArray::number(code);
        }
    }
    return message + '\xFF';
}

} // namespace

class TestWholeGame : public QObject {
    Q_OBJECT
private:
    Copy m_ann; // hosts the table
    Copy m_bob; // joins it
    QStringList m_roundOneWords;

    TServer &host() { return m_ann.app->server(); }

    // Waits for the round to open on both windows with the host's board.
    void expectRoundOpen()
    {
        for (Copy *copy : {&m_ann, &m_bob}) {
            QTRY_VERIFY_WITH_TIMEOUT(copy->playing(), Timeout);
            QVERIFY(copy->sameBoardAs(host().board()));
            QCOMPARE(copy->label(QStringLiteral("label_status")), QStringLiteral("Click or Type a Word!"));
            QCOMPARE(copy->label(QStringLiteral("label_typingoff")), QStringLiteral("TYPING ON"));
            QVERIFY(copy->find<QWidget>(QStringLiteral("button_rotate"))->isVisible());
            QVERIFY(copy->wordLines().isEmpty());
            QVERIFY(!copy->app->wordslist().isVisible());
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_ann.create(ordered, 0));
        m_ann.chat().processparams({QStringLiteral("Ann"), QStringLiteral("x"), QStringLiteral("true")});
        QVERIFY(m_ann.chat().isHost());
        QVERIFY(host().listeningPort() != 0);

        QVERIFY(m_bob.create(anyWord, host().listeningPort()));
        m_bob.chat().processparams({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("join")});

        // Shown only now: the first showing must not start the copy a second time.
        for (Copy *copy : {&m_ann, &m_bob}) {
            copy->chat().show();
            QVERIFY(QTest::qWaitForWindowExposed(&copy->chat()));
        }
    }

    // Both windows log in and see each other in their slots.
    void seated()
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_ann.chat().playerSlots().caption(2), QStringLiteral("Bob"), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_bob.chat().playerSlots().caption(1), QStringLiteral("Ann"), Timeout);
        QCOMPARE(m_ann.chat().ownSeat(), 1);
        QCOMPARE(m_bob.chat().ownSeat(), 2);
        QCOMPARE(m_ann.chat().playerSlots().caption(1), QStringLiteral("Ann"));
        QCOMPARE(m_bob.chat().playerSlots().caption(2), QStringLiteral("Bob"));
        QCOMPARE(host().seatCount(), 2);

        QVERIFY(m_ann.history().contains(QStringLiteral("You are Connected.")));
        QVERIFY(m_ann.history().contains(QStringLiteral("Bob has joined the room.")));
        QVERIFY(m_bob.history().contains(QStringLiteral("You are Connected.")));
        QVERIFY(m_bob.history().contains(QStringLiteral("Ann has joined the room.")));
        for (Copy *copy : {&m_ann, &m_bob}) {
            // Started once: the showing chose no second path (solo or otherwise).
            QCOMPARE(copy->history().count(QStringLiteral("Loading")), 1);
            QVERIFY(copy->history().contains(QStringLiteral("Loading Multi-player Game.. Please Wait.")));
            QVERIFY(copy->sounds.played.contains(QStringLiteral("ENTERED")));
        }
        QVERIFY(m_ann.find<QWidget>(QStringLiteral("button_start"))->isVisible());
        QVERIFY(!m_bob.find<QWidget>(QStringLiteral("button_start"))->isVisible());
    }

    // Ann opens the game start dialog from her window, chooses a 4X4 board, three letters,
    // play to 0 and presses start; both windows take the settings and the dealt board.
    void gameStarts()
    {
        // The pause between rounds is the host's, read from Ann's menu: long enough that the
        // real clock cannot start the next round while the test looks at the last one.
        m_ann.item("ExtraLong1")->trigger();
        QCOMPARE(m_ann.chat().timeBetweenRounds(), 60);
        m_ann.item("ClickLetters1")->trigger(); // Ann clicks tiles; Bob drags (the default)
        QVERIFY(m_ann.chat().clickLettersChecked());
        QVERIFY(!m_bob.chat().clickLettersChecked());

        Tgamestart &dialog = m_ann.app->gamestart();
        QTest::mouseClick(m_ann.find<QToolButton>(QStringLiteral("button_start")), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isVisible(), Timeout);
        QTest::mouseClick(dialog.findChild<QLabel *>(QStringLiteral("image_size4")), Qt::LeftButton);
        QTest::mouseClick(dialog.findChild<QLabel *>(QStringLiteral("image_min3")), Qt::LeftButton);
        dialog.findChild<QSpinBox *>(QStringLiteral("UpDown1"))->setValue(0);
        // The longest round: the windows' own countdowns run on real seconds and must not
        // close a round while a busy machine runs this test; the host's clock is driven here.
        dialog.findChild<QSpinBox *>(QStringLiteral("UpDown2"))->setValue(180);
        QCOMPARE(dialog.startMessage(), QByteArray("CMD_startgame+Ann+0+180+4+3+0+\xFF"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("button_start")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());

        expectRoundOpen();
        if (QTest::currentTestFailed())
            return;
        QVERIFY(host().gameRunning());
        for (Copy *copy : {&m_ann, &m_bob}) {
            QCOMPARE(copy->label(QStringLiteral("label_boardsize")), QStringLiteral("Board Size: 4X4"));
            QCOMPARE(copy->label(QStringLiteral("label_playtoscore")), QStringLiteral("Play to Score: 0"));
            QCOMPARE(copy->label(QStringLiteral("label_timeperturn")), QStringLiteral("Time: 180secs"));
            QCOMPARE(copy->label(QStringLiteral("label_minletters")), QStringLiteral("3 Letters Min"));
            QVERIFY(copy->history().contains(QStringLiteral("Ann has started a game.")));
            QVERIFY(copy->history().contains(QStringLiteral("3 LETTER MINIMUM!")));
            QVERIFY(!copy->find<QWidget>(QStringLiteral("button_start"))->isVisible());
            // The 4X4 square sits in columns and rows 3 to 6.
            QVERIFY(LetterCodes::isLetter(copy->entry().dealtCode(3, 3)));
            QVERIFY(LetterCodes::isLetter(copy->entry().dealtCode(6, 6)));
            QCOMPARE(copy->entry().dealtCode(2, 3), int(LetterCodes::Empty));
            QCOMPARE(copy->entry().dealtCode(7, 6), int(LetterCodes::Empty));

            // One second of the window's countdown: the bar is one pixel per second left.
            copy->game().turntimeTimer();
            const int left = copy->game().countdown();
            QVERIFY(left > 0 && left < 180);
            QCOMPARE(copy->find<QLabel>(QStringLiteral("image_timer"))->width(), left * (224 / 180));
            QCOMPARE(copy->label(QStringLiteral("label_timer")),
                     QStringLiteral("Time: %1:%2").arg(left / 60).arg(left % 60, 2, 10, QLatin1Char('0')));
        }
    }

    // Round one: a typed word, a clicked word the window refuses itself, a repeat, a dragged
    // word, and a typed word that only the host refuses. One point each: a tie.
    void roundOne()
    {
        const QList<BoardWord> threes = wordsOnBoard(m_ann.entry(), 3);
        const auto annWord = firstWhere(threes, [](const BoardWord &w) { return ordered(w.upper()); });
        QVERIFY(annWord);
        const auto bobWord = firstWhere(threes, [&](const BoardWord &w) {
            return ordered(w.upper()) && w.text != annWord->text;
        });
        const auto hostRefuses = firstWhere(threes, [](const BoardWord &w) { return !ordered(w.upper()); });
        QVERIFY2(bobWord && hostRefuses, "the dealt board has one letter only");
        const QList<BoardWord> fours = wordsOnBoard(m_ann.entry(), 4);
        QVERIFY(!fours.isEmpty());

        // Ann types her word on her window and sends it with Enter.
        QVERIFY(activate(&m_ann.chat()));
        QTest::keyClicks(&m_ann.chat(), QString::fromLatin1(annWord->text));
        QCOMPARE(m_ann.entry().wordText(), annWord->text);
        QVERIFY(m_ann.find<QWidget>(QStringLiteral("button_send"))->isVisible());
        QTest::keyClick(&m_ann.chat(), Qt::Key_Return);
        QCOMPARE(m_ann.entry().wordLength(), 0);
        QVERIFY(m_ann.sounds.played.contains(QStringLiteral("SENDWORD")));
        const WordLine annLine{"1 : " + QString::fromLatin1(annWord->upper()), firstFinder};
        QTRY_COMPARE_WITH_TIMEOUT(m_ann.wordLines(), QList<WordLine>{annLine}, Timeout);
        QCOMPARE(m_ann.label(QStringLiteral("label_status")),
                 QStringLiteral("You made %1 for 1 points!").arg(QString::fromLatin1(annWord->upper())));
        QTRY_COMPARE_WITH_TIMEOUT(m_bob.label(QStringLiteral("label_score1")), QStringLiteral("1"), Timeout);
        QCOMPARE(m_ann.label(QStringLiteral("label_score1")), QStringLiteral("1"));
        QCOMPARE(m_bob.label(QStringLiteral("label_bonus1")), QStringLiteral("+1"));

        // Four clicked letters: the window's own list does not know them, nothing is sent.
        clickCells(m_ann.board(), fours.first().cells);
        QCOMPARE(m_ann.entry().wordText(), fours.first().text);
        QCOMPARE(m_ann.entry().markAt(fours.first().cells.last().x(), fours.first().cells.last().y()),
                 int(WordEntry::LastTileMark));
        QCOMPARE(m_ann.entry().markAt(fours.first().cells.first().x(), fours.first().cells.first().y()),
                 int(WordEntry::PathMark));
        QTest::mouseClick(m_ann.board(), Qt::RightButton, {}, centre(fours.first().cells.last()));
        QCOMPARE(m_ann.label(QStringLiteral("label_status")), QStringLiteral("Invalid Word."));
        // The same word clicked again is caught by the window as already tried.
        clickCells(m_ann.board(), annWord->cells);
        QTest::mouseClick(m_ann.find<QPushButton>(QStringLiteral("button_send")), Qt::LeftButton);
        QCOMPARE(m_ann.label(QStringLiteral("label_status")), QStringLiteral("You have already found that word."));
        QCOMPARE(m_ann.wordLines(), (QList<WordLine>{annLine,
                                                     {QString::fromLatin1(fours.first().text), notAWord},
                                                     {QString::fromLatin1(annWord->text), alreadyFound}}));

        // Bob drags his word; then types one that his window takes and the host refuses.
        dragCells(m_bob.board(), bobWord->cells);
        const WordLine bobLine{"1 : " + QString::fromLatin1(bobWord->upper()), firstFinder};
        QTRY_COMPARE_WITH_TIMEOUT(m_bob.wordLines(), QList<WordLine>{bobLine}, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_ann.label(QStringLiteral("label_score2")), QStringLiteral("1"), Timeout);

        QVERIFY(activate(&m_bob.chat()));
        QLineEdit *input = m_bob.chat().chat().mychat();
        const QString inputBefore = input->text();
        QTest::keyClicks(input, QString::fromLatin1(hostRefuses->text));
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(input->text(), inputBefore); // the board took every key
        const QList<WordLine> bobLines{bobLine, {QString::fromLatin1(hostRefuses->upper()), notAWord}};
        QTRY_COMPARE_WITH_TIMEOUT(m_bob.wordLines(), bobLines, Timeout);
        QCOMPARE(m_bob.label(QStringLiteral("label_status")), QStringLiteral("Invalid Word."));
        QVERIFY(m_bob.sounds.played.contains(QStringLiteral("INVALID")));
        QCOMPARE(host().seat(1).score, 1);
        QCOMPARE(host().seat(2).score, 1);
    }

    // The round ends on the host's clock: scores, the round's words in both words lists, and
    // no winner, since the two are level.
    void roundOneEnds()
    {
        QVERIFY(runHostClock(host(), 1));
        QCOMPARE(host().countdownAction(), 2);
        QStringList expected;
        for (const WordLine &line : m_ann.wordLines().mid(0, 1) + m_bob.wordLines().mid(0, 1))
            expected << line.text.mid(4);
        expected.sort();
        m_roundOneWords = expected;
        for (Copy *copy : {&m_ann, &m_bob}) {
            QTRY_VERIFY_WITH_TIMEOUT(copy->app->wordslist().isVisible(), Timeout);
            QCOMPARE(copy->wordsListCount(), QStringLiteral("Count: 2"));
            QCOMPARE(copy->wordsListed(), expected);
            QCOMPARE(copy->label(QStringLiteral("label_status")), QStringLiteral("Round Over. Posting Scores.."));
            QCOMPARE(copy->game().activeSeat(), 0);
            QCOMPARE(copy->label(QStringLiteral("label_score1")), QStringLiteral("1"));
            QCOMPARE(copy->label(QStringLiteral("label_score2")), QStringLiteral("1"));
            QVERIFY(copy->find<QWidget>(QStringLiteral("panel_winner"))->isHidden());
            QVERIFY(copy->sounds.played.contains(QStringLiteral("ROUNDOVER")));
        }
        // The words list's picture button opens the round review on this round: the player's own
        // word found by "you", the other's by "the table", both drawn on the board.
        for (Copy *copy : {&m_ann, &m_bob}) {
            const QString own = copy->wordLines().first().text.mid(4);
            const QString other = (copy == &m_ann ? m_bob : m_ann).wordLines().first().text.mid(4);
            QTest::mouseClick(copy->app->wordslist().findChild<QPushButton *>(QStringLiteral("button_review")),
                              Qt::LeftButton);
            Troundreview &review = copy->app->roundreview();
            QVERIFY(review.isVisible());
            QCOMPARE(review.shownRound(), 0);
            const QAbstractItemModel *list = review.findChild<QTreeView *>(QStringLiteral("list_words"))->model();
            QStringList marks;
            for (const QString &word : {own, other}) {
                const auto found = list->match(list->index(0, ReviewWordsModel::WordColumn), Qt::DisplayRole, word, -1,
                                               Qt::MatchExactly);
                QCOMPARE(found.size(), 1);
                marks << found.first().siblingAtColumn(ReviewWordsModel::FinderColumn).data().toString();
            }
            QCOMPARE(marks, QStringList({"you", "the table"}));
            review.hide();
        }
        // Entry is closed between rounds: a click does nothing.
        QTest::mouseClick(m_ann.board(), Qt::LeftButton, {}, centre(QPoint(3, 3)));
        QCOMPARE(m_ann.entry().wordLength(), 0);
    }

    // After the pause a new board comes; Ann clicks a word and sends it, Bob drags the same
    // word and gets no points for it. Ann leads and wins at the round's end.
    void roundTwoAndWinner()
    {
        QVERIFY(runHostClock(host(), 2));
        expectRoundOpen();
        if (QTest::currentTestFailed())
            return;

        const auto annWord = firstWhere(wordsOnBoard(m_ann.entry(), 3),
                                        [](const BoardWord &w) { return ordered(w.upper()); });
        QVERIFY(annWord);
        clickCells(m_ann.board(), annWord->cells);
        QCOMPARE(m_ann.entry().wordText(), annWord->text);
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(m_ann.entry().slotCode(n), annWord->text.at(n - 1) - 'a' + 1);
        QCOMPARE(m_ann.entry().slotCode(4), int(WordEntry::EmptySlot));
        QTest::mouseClick(m_ann.find<QPushButton>(QStringLiteral("button_send")), Qt::LeftButton);
        const QString upper = QString::fromLatin1(annWord->upper());
        const QList<WordLine> annLines{{"1 : " + upper, firstFinder}};
        QTRY_COMPARE_WITH_TIMEOUT(m_ann.wordLines(), annLines, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_bob.label(QStringLiteral("label_score1")), QStringLiteral("2"), Timeout);

        // Ann sets Bob to just watching from his name label; the host's echo shows the eyes on
        // both windows, and Bob's board refuses his mouse.
        const QStringList allItems{"RemoveFromGame1", "SettoJustWatch1", "UnsetJustWatch1"};
        QCOMPARE(useNameMenu(m_bob.chat(), 1, nullptr).enabled, QStringList()); // not the host
        const NameMenu watch = useNameMenu(m_ann.chat(), 2, "SettoJustWatch1");
        QCOMPARE(watch.enabled, allItems);
        QVERIFY(watch.chosen);
        for (Copy *copy : {&m_ann, &m_bob})
            QTRY_VERIFY_WITH_TIMEOUT(!copy->chat().playerSlots().eyes(2)->isHidden(), Timeout);
        QVERIFY(m_bob.item("JustWatch1")->isChecked());
        QVERIFY(m_bob.history().contains(QStringLiteral("Bob is just watching")));
        QTest::mouseClick(m_bob.board(), Qt::LeftButton, {}, centre(annWord->cells.first()));
        QCOMPARE(m_bob.notes.messages, QStringList{QStringLiteral("You are just watching right now.")});
        QCOMPARE(m_bob.entry().wordLength(), 0);
        QVERIFY(useNameMenu(m_ann.chat(), 2, "UnsetJustWatch1").chosen);
        for (Copy *copy : {&m_ann, &m_bob})
            QTRY_VERIFY_WITH_TIMEOUT(copy->chat().playerSlots().eyes(2)->isHidden(), Timeout);
        QVERIFY(!m_bob.item("JustWatch1")->isChecked());
        QVERIFY(m_ann.history().contains(QStringLiteral("Bob is now playing again")));

        dragCells(m_bob.board(), annWord->cells);
        const QList<WordLine> bobLines{{"0 : " + upper, notFirst}};
        QTRY_COMPARE_WITH_TIMEOUT(m_bob.wordLines(), bobLines, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_ann.label(QStringLiteral("label_bonus2")), QStringLiteral("+0"), Timeout);
        QCOMPARE(m_ann.label(QStringLiteral("label_score2")), QStringLiteral("1"));

        QVERIFY(runHostClock(host(), 1));
        QTRY_VERIFY_WITH_TIMEOUT(!m_ann.find<QWidget>(QStringLiteral("panel_winner"))->isHidden(), Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!m_bob.find<QWidget>(QStringLiteral("panel_winner"))->isHidden(), Timeout);
        QVERIFY(!host().gameRunning());

        const QString won = QStringLiteral("You have Won the Game!");
        const QString lost = QStringLiteral("Ann has Won the Game!");
        QCOMPARE(m_ann.label(QStringLiteral("label_winner1")), won);
        QCOMPARE(m_ann.label(QStringLiteral("label_winner2")), won);
        QCOMPARE(m_bob.label(QStringLiteral("label_winner1")), lost);
        QCOMPARE(m_bob.label(QStringLiteral("label_winner2")), lost);
        QVERIFY(m_ann.history().contains(won));
        QVERIFY(m_bob.history().contains(lost));
        for (Copy *copy : {&m_ann, &m_bob}) {
            QCOMPARE(copy->label(QStringLiteral("label_status")), QStringLiteral("Game Over!"));
            QCOMPARE(copy->label(QStringLiteral("label_score1")), QStringLiteral("2"));
            QCOMPARE(copy->label(QStringLiteral("label_score2")), QStringLiteral("1"));
            QTRY_VERIFY_WITH_TIMEOUT(copy->app->wordslist().isVisible(), Timeout);
            QCOMPARE(copy->wordsListed(), QStringList{upper});
            QCOMPARE(copy->wordsListCount(), QStringLiteral("Count: 1"));
            QVERIFY(copy->sounds.played.contains(QStringLiteral("GAMEOVER")));
        }
        QCOMPARE(m_ann.notes.messages, QStringList());
        QCOMPARE(m_bob.notes.messages.size(), 1); // only the board's refusal while watching
        // The game is in each player's tally, and on disk at once.
        for (Copy *copy : {&m_ann, &m_bob}) {
            const TallyStore::Loaded stored = TallyStore(Paths::inFolder(copy->dir.path()).tallyFile()).load();
            QVERIFY(stored.error.isEmpty());
            QCOMPARE(stored.table.cell(TallyTable::GamesPlayed, 0), QByteArray("1"));
            QCOMPARE(stored.table.cell(TallyTable::GamesWon, 0), QByteArray(copy == &m_ann ? "1" : "0"));
        }
        // Only the hosting player gets the start control back for the next game.
        QVERIFY(m_ann.find<QWidget>(QStringLiteral("button_start"))->isVisible());
        QVERIFY(!m_bob.find<QWidget>(QStringLiteral("button_start"))->isVisible());
    }

    // Each player's game history holds the game as that player saw it: the table, both rounds
    // with their boards and lists, the player's own words with the host's verdicts, the winner;
    // View / "Statistics" shows it, and the review opens it again from the list of games.
    void historiesHoldTheGame()
    {
        const QStringList roundTwoWords = m_ann.wordsListed();
        for (Copy *copy : {&m_ann, &m_bob}) {
            const bool ann = copy == &m_ann;
            const QString path = Paths::inFolder(copy->dir.path()).historyFile();
            auto closedGames = [&path] {
                HistoryStore store(path);
                store.open();
                const auto games = store.games();
                return games.size() == 1 && !games.first().winner.isEmpty() ? games.first().rounds : -1;
            };
            QTRY_COMPARE_WITH_TIMEOUT(closedGames(), 2, Timeout);
            HistoryStore store(path);
            QCOMPARE(store.open(), QString());
            const HistoryStore::GameEntry game = store.games().first();
            QCOMPARE(game.role, ann ? Record::Role::Host : Record::Role::Join);
            QCOMPARE(game.hostName, QByteArray("Ann"));
            QCOMPARE(game.winner, QByteArray("Ann"));
            QCOMPARE(game.won, ann);
            QCOMPARE(game.ownScore, ann ? 2 : 1);
            QCOMPARE(game.boardType, 4);
            const auto past = store.game(game.id);
            QVERIFY(past);
            QCOMPARE(QString::fromLatin1(past->rounds[0].tableWords.join(' ')), m_roundOneWords.join(' '));
            QCOMPARE(QString::fromLatin1(past->rounds[1].tableWords.join(' ')), roundTwoWords.join(' '));
            QCOMPARE(past->rounds[1].cells, host().board().cells());
            QCOMPARE(past->rounds[0].ownWords.size(), 1);
            QCOMPARE(past->rounds[1].ownWords, past->rounds[1].tableWords); // both sent the one word
            QSqlQuery q(store.database());
            QVERIFY(q.exec("SELECT group_concat(verdict || ':' || points) FROM"
                           " (SELECT verdict, points FROM own_words ORDER BY round_id, position)") && q.next());
            if (!ann) // the word only the host refuses, and the second finder's word for no points
                QCOMPARE(q.value(0).toString(), QStringLiteral("0:1,1:0,0:0"));
            QVERIFY(q.exec("SELECT count(*) FROM rounds WHERE board_words > 0") && q.next());
            QCOMPARE(q.value(0).toInt(), 2); // the solver counted both boards

            Tstatistics &statistics = copy->app->statistics();
            QSignalSpy shown(&statistics, &Tstatistics::figuresShown);
            copy->item("Statistics1")->trigger();
            QVERIFY(statistics.isVisible());
            QVERIFY(shown.wait(Timeout));
            QCOMPARE(statistics.figure(QStringLiteral("games")), QStringLiteral("1"));
            QCOMPARE(statistics.figure(QStringLiteral("wins")), ann ? QStringLiteral("1") : QStringLiteral("0"));
            QCOMPARE(statistics.figure(QStringLiteral("rounds")), QStringLiteral("2"));
            const auto *opponents = statistics.findChild<QTableWidget *>(QStringLiteral("table_opponents"));
            QCOMPARE(opponents->rowCount(), 1);
            QCOMPARE(opponents->item(0, Tstatistics::NameColumn)->text(), ann ? QStringLiteral("Bob") : QStringLiteral("Ann"));
            // Escape closes it, as every side window.
            statistics.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&statistics));
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &statistics, Qt::Key_Escape);
            QVERIFY(!statistics.isVisible());

            Troundreview &review = copy->app->roundreview();
            QSignalSpy opened(&review, &Troundreview::pastGameShown);
            review.showGame(game.id);
            QVERIFY(opened.wait(Timeout));
            QCOMPARE(review.shownGame(), game.id);
            review.show();
            QCOMPARE(review.shownRound(), 0);
            const QAbstractItemModel *list = review.findChild<QTreeView *>(QStringLiteral("list_words"))->model();
            const QString own = QString::fromLatin1(past->rounds[0].ownWords.first());
            const auto found = list->match(list->index(0, ReviewWordsModel::WordColumn), Qt::DisplayRole, own, -1,
                                           Qt::MatchExactly);
            QCOMPARE(found.size(), 1);
            QCOMPARE(found.first().siblingAtColumn(ReviewWordsModel::FinderColumn).data().toString(), QStringLiteral("you"));
            review.showReview(); // the documented review: back to the game in progress
            QCOMPARE(review.shownGame(), 0);
            review.hide();
        }
    }

    // The hosting player removes Bob: Bob's window closes, Ann's slot is free again.
    void removal()
    {
        QVERIFY(useNameMenu(m_ann.chat(), 2, "RemoveFromGame1").chosen);
        QTRY_VERIFY_WITH_TIMEOUT(!m_bob.chat().isVisible(), Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_ann.chat().playerSlots().caption(2), PlayerSlots::Waiting, Timeout);
        QVERIFY(m_ann.history().contains(QStringLiteral("Bob has left the room.")));
        QCOMPARE(m_ann.label(QStringLiteral("label_score2")), QStringLiteral("1")); // kept until a new game
        // A free slot cannot be removed; the watch items stay.
        QCOMPARE(useNameMenu(m_ann.chat(), 2, nullptr).enabled,
                 (QStringList{"SettoJustWatch1", "UnsetJustWatch1"}));
    }

    // Bob, removed, still has his review: he copies the code of round one, where he cannot play
    // it (his copy joined). Ann types it into File / "Play a Board Code…": a slip is named, the
    // right code opens the game start dialog preset to its size and minimum, and its start
    // deals round one's board. When that round ends, Ann's review shows her earlier result on
    // the board.
    void boardPlayedAgain()
    {
        const std::optional<BoardCode> expected = BoardCode::fromSquare(
            4, 3, RecordedBoard::squareOf(m_ann.app->history().round(0).cells).letters);
        QVERIFY(expected);

        Troundreview &bobReview = m_bob.app->roundreview();
        bobReview.showReview();
        bobReview.showRound(0);
        QVERIFY(!bobReview.findChild<QPushButton *>(QStringLiteral("button_playboard"))->isEnabled());
        QVERIFY(!m_bob.item("PlayBoardCode1")->isEnabled());
        QApplication::clipboard()->clear();
        QTest::mouseClick(bobReview.findChild<QPushButton *>(QStringLiteral("button_copycode")), Qt::LeftButton);
        const QString code = QApplication::clipboard()->text();
        QCOMPARE(code, expected->text());
        bobReview.hide();

        // Ann's own review offers the board too, between games; closing the dialog forgets it.
        Troundreview &annReview = m_ann.app->roundreview();
        annReview.showReview();
        annReview.showRound(0);
        auto *play = annReview.findChild<QPushButton *>(QStringLiteral("button_playboard"));
        QVERIFY(play->isEnabled());
        Tgamestart &dialog = m_ann.app->gamestart();
        QTest::mouseClick(play, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isVisible(), Timeout);
        QCOMPARE(dialog.boardCode(), expected);
        dialog.close();
        QVERIFY(!dialog.boardCode());
        annReview.hide();

        QClipboard *clipboard = QApplication::clipboard();
        clipboard->clear(); // typed by hand this time
        BoardCodePrompt &prompt = m_ann.app->codePrompt();
        QVERIFY(m_ann.item("PlayBoardCode1")->isEnabled());
        m_ann.item("PlayBoardCode1")->trigger();
        QVERIFY(prompt.isVisible());
        auto *edit = prompt.findChild<QLineEdit *>(QStringLiteral("edit_boardcode"));
        auto *go = prompt.findChild<QPushButton *>(QStringLiteral("button_playcode"));
        QVERIFY(edit->text().isEmpty());
        const QString typed = code.toLower().replace('-', ' ');
        QTest::keyClicks(edit, typed.chopped(1) + (typed.back() == 'z' ? "y" : "z"));
        QVERIFY(!go->isEnabled());
        QVERIFY2(prompt.problem().startsWith(QStringLiteral("The check character does not match")), qPrintable(prompt.problem()));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, typed.right(1));
        QVERIFY2(go->isEnabled(), qPrintable(prompt.problem()));
        QTest::mouseClick(go, Qt::LeftButton);
        QVERIFY(!prompt.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(dialog.isVisible(), Timeout);
        QCOMPARE(dialog.startMessage(), QByteArray("CMD_startgame+Ann+0+180+4+3+0+\xFF"));
        QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("button_start")), Qt::LeftButton);

        QTRY_VERIFY_WITH_TIMEOUT(m_ann.playing(), Timeout);
        QCOMPARE(host().board().cells(), expected->board().cells());
        QVERIFY(m_ann.sameBoardAs(host().board()));
        QTRY_VERIFY_WITH_TIMEOUT(!play->isEnabled(), Timeout); // a game runs

        annReview.showReview();
        QVERIFY(runHostClock(host(), 1));
        QTRY_COMPARE_WITH_TIMEOUT(annReview.shownRound(), 0, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(m_ann.app->history().roundCount(), 1, Timeout);
        const auto *earlier = annReview.findChild<QLabel *>(QStringLiteral("label_earlier"));
        QTRY_VERIFY_WITH_TIMEOUT(earlier->text().startsWith(QStringLiteral("You played this board before. ")), Timeout);
        QVERIFY2(earlier->text().count(QStringLiteral("letters min")) == 1, qPrintable(earlier->text()));
        QVERIFY2(earlier->text().contains(QStringLiteral(", 1 point, 3 letters min")), qPrintable(earlier->text()));
        annReview.hide();
    }

    // The exact bytes a joining window sends, recorded by a bare TCP server acting as host:
    // the login, and a word typed into the window (keys go to the chat input, which the
    // board's key hook overrules). Letters pick tiles by the window's own rules, "0" turns the
    // board, "1" clears, backspace takes a letter back; positions go out on the dealt board.
    void joiningWindowSendsTypedWord_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray cat("CMD_playerdone+2+1+3+3+2+4+3+3+5+3\xFF");
        QTest::newRow("typed") << QStringLiteral("cat") << cat;
        // After a quarter turn the leftmost C on screen is the one at column 6, row 4.
        QTest::newRow("quarter turn") << QStringLiteral("0cat")
                                      << QByteArray("CMD_playerdone+2+1+6+4+2+6+5+3+6+6\xFF");
        // No G beside the first O: the route search lays D-O-G anew through the other O.
        QTest::newRow("route search") << QStringLiteral("dog")
                                      << QByteArray("CMD_playerdone+2+1+3+5+2+4+5+3+5+5\xFF");
        // D-X is cleared with "1"; of C-A-X the X is taken back, then T ends the word.
        QTest::newRow("clear and backspace") << QStringLiteral("dx1cax\bt") << cat;
    }
    void joiningWindowSendsTypedWord()
    {
        QFETCH(QString, keys);
        QFETCH(QByteArray, expected);

        QTcpServer rawHost;
        QVERIFY(rawHost.listen(QHostAddress::LocalHost, 0));
        Copy bob;
        QVERIFY(bob.create(anyWord, rawHost.serverPort()));
        bob.chat().processparams({QStringLiteral("Bob"), QStringLiteral("127.0.0.1"), QStringLiteral("join")});
        QTRY_VERIFY_WITH_TIMEOUT(rawHost.hasPendingConnections(), Timeout);
        QTcpSocket *seat = rawHost.nextPendingConnection();
        QByteArray received;
        connect(seat, &QTcpSocket::readyRead, this, [&] { received += seat->readAll(); });

        seat->write("CMD_sendlogininfo+2\xFF");
        QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray("CMD_logininfo+2+1.0.6+Bob\xFF\xFF"), Timeout);
        received.clear();
        seat->write("CMD_newplayerinfo+2+Bob\xFF");
        seat->write("CMD_startgame+Ann+0+180+4+3+0+\xFF");
        seat->write(fixedBoardMessage());
        seat->write("CMD_nextplayer+2+\xFF");
        QTRY_VERIFY_WITH_TIMEOUT(bob.playing(), Timeout);

        bob.chat().show();
        QVERIFY(activate(&bob.chat()));
        QLineEdit *input = bob.chat().chat().mychat();
        const QString inputBefore = input->text();
        QTest::keyClicks(input, keys);
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(input->text(), inputBefore);
        QTRY_COMPARE_WITH_TIMEOUT(received, expected, Timeout);
        QVERIFY(bob.sounds.played.contains(QStringLiteral("SENDWORD")));
        bob.app.reset(); // before the connection it would see closing
    }

    void cleanupTestCase()
    {
        m_bob.app.reset();
        m_ann.app.reset();
    }
};

QTEST_MAIN(TestWholeGame)
#include "tst_wholegame.moc"
