#include <QTest>

#include "client/wordentry.h"
#include "net/messages.h"
#include "host/board.h"
#include "words/lettercodes.h"

#include <algorithm>

namespace {

using Choice = WordEntry::Choice;
using Typed = WordEntry::Typed;

// A board message payload from rows drawn as text: rows[r][c] is a letter or '.' for an empty
// cell; missing rows and columns are empty. Built with the host's own board text, so the
// client is always tested against what the host really sends.
QByteArray payloadOf(const QStringList &rows)
{
    Board board;
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            const char ch = rows[r][c].toLatin1();
            if (ch >= 'a' && ch <= 'z')
                board.set(c, r, ch - 'a' + 1);
        }
    }
    return board.boardText().mid(1); // the text after "CMD_loadboard+"
}

QStringList fullRows(QChar letter)
{
    return QStringList(10, QString(10, letter));
}

int code(char letter)
{
    return letter - 'a' + 1;
}

QList<QPoint> pathOf(const WordEntry &entry)
{
    QList<QPoint> path;
    for (int n = 1; n <= entry.wordLength(); ++n)
        path << entry.wordTile(n);
    return path;
}

// Every marked cell with its mark, column by column.
QList<QPair<QPoint, int>> marksOf(const WordEntry &entry)
{
    QList<QPair<QPoint, int>> marks;
    for (int c = 0; c < 10; ++c) {
        for (int r = 0; r < 10; ++r) {
            if (entry.markAt(c, r) != WordEntry::NoMark)
                marks.append({QPoint(c, r), entry.markAt(c, r)});
        }
    }
    return marks;
}

// One letter per outcome: A added, R refused.
QByteArray clickAll(WordEntry &entry, const QList<QPoint> &cells)
{
    QByteArray outcomes;
    for (const QPoint p : cells)
        outcomes += entry.chooseCell(p.x(), p.y()) == Choice::Added ? 'A' : 'R';
    return outcomes;
}

// One letter per outcome: P placed, W rerouted, R refused, I ignored.
QByteArray typeAll(WordEntry &entry, const QByteArray &letters)
{
    QByteArray outcomes;
    for (const char ch : letters) {
        switch (entry.typeLetter(code(ch))) {
        case Typed::Placed: outcomes += 'P'; break;
        case Typed::Rerouted: outcomes += 'W'; break;
        case Typed::Refused: outcomes += 'R'; break;
        case Typed::Ignored: outcomes += 'I'; break;
        }
    }
    return outcomes;
}

bool isOdd(int sizeCode)
{
    return sizeCode == 9 || sizeCode == 10 || sizeCode == 11;
}

} // namespace

class TestWordEntry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- what is sent to the host ---

    void playerdoneText_data()
    {
        QTest::addColumn<int>("rotations");
        QTest::addColumn<bool>("odd");
        QTest::addColumn<QByteArray>("message");
        // Shown cells (4,4), (5,4), (5,5), own seat 3.
        QTest::newRow("unturned") << 0 << false << QByteArray("CMD_playerdone+3+1+4+4+2+5+4+3+5+5");
        // A quarter turn: shown (X, Y) is dealt (Y, 9 - X).
        QTest::newRow("quarter") << 1 << false << QByteArray("CMD_playerdone+3+1+4+5+2+4+4+3+5+4");
        QTest::newRow("half") << 2 << false << QByteArray("CMD_playerdone+3+1+5+5+2+4+5+3+4+4");
        QTest::newRow("three quarters") << 3 << false << QByteArray("CMD_playerdone+3+1+5+4+2+5+5+3+4+5");
        // Odd sizes turn about index 8: shown (X, Y) is dealt (Y, 8 - X).
        QTest::newRow("odd quarter") << 1 << true << QByteArray("CMD_playerdone+3+1+4+4+2+4+3+3+5+3");
        QTest::newRow("odd half") << 2 << true << QByteArray("CMD_playerdone+3+1+4+4+2+3+4+3+3+3");
    }
    void playerdoneText()
    {
        QFETCH(int, rotations);
        QFETCH(bool, odd);
        QFETCH(QByteArray, message);
        WordEntry entry;
        entry.setOddSize(odd);
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf(fullRows('e')))));
        for (int i = 0; i < rotations; ++i)
            entry.rotateboard();
        QCOMPARE(clickAll(entry, {{4, 4}, {5, 4}, {5, 5}}), QByteArray("AAA"));
        QCOMPARE(entry.playerdoneText(3), message + char(0xFF));
    }

    // Every shown tile is found again on the dealt board through getreal, for every size and
    // turn, and the playing square never leaves its place (odd sizes included).
    void rotationKeepsSquare_data()
    {
        QTest::addColumn<int>("sizeCode");
        for (int sizeCode : {4, 9, 5, 10, 6, 11, 7})
            QTest::newRow(qPrintable(QString("size code %1").arg(sizeCode))) << sizeCode;
    }
    void rotationKeepsSquare()
    {
        QFETCH(int, sizeCode);
        QRandomGenerator rng(quint32(sizeCode) + 100);
        Board board;
        board.deal(sizeCode, rng);
        QRandomGenerator again(quint32(sizeCode) + 100);
        const auto [first, last] = Board::squareFor(sizeCode, again);

        WordEntry entry;
        entry.setOddSize(isOdd(sizeCode));
        QVERIFY(entry.loadBoard(Msg::readLoadboard(board.boardText().mid(1))));
        for (int step = 1; step <= 4; ++step) {
            entry.rotateboard();
            QCOMPARE(entry.rotationStep(), step % 4);
            for (int x = 0; x < 10; ++x) {
                for (int y = 0; y < 10; ++y) {
                    const bool inside = x >= first && x <= last && y >= first && y <= last;
                    const int shown = entry.shownCode(x, y);
                    QCOMPARE(LetterCodes::isLetter(shown), inside);
                    if (inside) {
                        const QPoint real = entry.getreal(x, y);
                        QCOMPARE(board.at(real.x(), real.y()), shown);
                    }
                }
            }
        }
    }

    // Four quarter turns give back the deal exactly, and every turn empties the word.
    void fourTurnsRestoreDeal()
    {
        QRandomGenerator rng(77);
        Board board;
        board.deal(7, rng);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(board.boardText().mid(1))));
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(clickAll(entry, {{0, 0}, {1, 1}}), QByteArray("AA"));
            entry.rotateboard();
            QCOMPARE(entry.wordLength(), 0);
            QVERIFY(!entry.lastTile());
            QVERIFY(marksOf(entry).isEmpty());
        }
        QCOMPARE(entry.rotationStep(), 0);
        for (int c = 0; c < 10; ++c) {
            for (int r = 0; r < 10; ++r)
                QCOMPARE(entry.shownCode(c, r), board.at(c, r));
        }
    }

    // A full board under the odd-size flag (a flag that does not match the deal) loses its
    // outer row from view instead of showing stale tiles that would be sent off the grid.
    void mismatchedOddFlagSendsNothingOffGrid()
    {
        WordEntry entry;
        entry.setOddSize(true);
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf(fullRows('o')))));
        for (int step = 1; step <= 3; ++step) {
            entry.rotateboard();
            for (int x = 0; x < 10; ++x) {
                for (int y = 0; y < 10; ++y) {
                    if (!LetterCodes::isLetter(entry.shownCode(x, y)))
                        continue;
                    const QPoint real = entry.getreal(x, y);
                    QVERIFY2(Board::onGrid(real.x(), real.y()),
                             qPrintable(QString("step %1 shown %2,%3").arg(step).arg(x).arg(y)));
                }
            }
        }
    }

    // The flag arriving while the board is turned re-lays the view about the new centre.
    void oddFlagChangeWhileTurned()
    {
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf({"x"})))); // one tile at (0,0)
        entry.rotateboard();
        QCOMPARE(entry.shownCode(9, 0), code('x'));
        entry.setOddSize(true);
        QCOMPARE(entry.shownCode(9, 0), LetterCodes::Empty);
        QCOMPARE(entry.shownCode(8, 0), code('x'));
        QCOMPARE(entry.getreal(8, 0), QPoint(0, 0));
    }

    // --- choosing tiles with the mouse ---

    void chooseCell_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<QPoint>>("clicks");
        QTest::addColumn<QByteArray>("outcomes");
        QTest::addColumn<QByteArray>("word");
        const QStringList full = fullRows('s');
        QTest::newRow("chain with diagonal") << full << QList<QPoint>{{0, 0}, {1, 0}, {2, 1}} << QByteArray("AAA") << QByteArray("sss");
        QTest::newRow("first tile anywhere") << full << QList<QPoint>{{9, 9}} << QByteArray("A") << QByteArray("s");
        QTest::newRow("not adjacent") << full << QList<QPoint>{{0, 0}, {2, 0}, {1, 1}} << QByteArray("ARA") << QByteArray("ss");
        QTest::newRow("last tile again") << full << QList<QPoint>{{4, 4}, {4, 4}} << QByteArray("AR") << QByteArray("s");
        QTest::newRow("earlier tile") << full << QList<QPoint>{{4, 4}, {5, 4}, {4, 4}} << QByteArray("AAR") << QByteArray("ss");
        QTest::newRow("empty cell") << QStringList{"ab", "c."} << QList<QPoint>{{0, 0}, {1, 1}, {0, 1}} << QByteArray("ARA") << QByteArray("ac");
        QTest::newRow("empty first cell") << QStringList{".b"} << QList<QPoint>{{0, 0}, {1, 0}} << QByteArray("RA") << QByteArray("b");
        QTest::newRow("off grid") << full << QList<QPoint>{{-1, 0}, {10, 3}, {0, 0}, {-1, 0}} << QByteArray("RRAR") << QByteArray("s");
    }
    void chooseCell()
    {
        QFETCH(QStringList, rows);
        QFETCH(QList<QPoint>, clicks);
        QFETCH(QByteArray, outcomes);
        QFETCH(QByteArray, word);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf(rows))));
        QCOMPARE(clickAll(entry, clicks), outcomes);
        QCOMPARE(entry.wordText(), word);
    }

    // The last tile has the red frame, the others the black one; slots past the word are empty.
    void framesAndSlots()
    {
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf({"dog"}))));
        QCOMPARE(clickAll(entry, {{0, 0}, {1, 0}, {2, 0}}), QByteArray("AAA"));
        const QList<QPair<QPoint, int>> expected = {{{0, 0}, 28}, {{1, 0}, 28}, {{2, 0}, 27}};
        QCOMPARE(marksOf(entry), expected);
        QCOMPARE(entry.slotCode(1), code('d'));
        QCOMPARE(entry.slotCode(3), code('g'));
        QCOMPARE(entry.slotCode(4), WordEntry::EmptySlot);
        QCOMPARE(entry.slotCode(12), WordEntry::EmptySlot);
        QCOMPARE(entry.wordText(), QByteArray("dog"));
    }

    // A snake of 13 letters: the 12th tile is taken, the 13th refused (click) or ignored (typed).
    void twelveTilesAtMost_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::newRow("clicked") << false;
        QTest::newRow("typed") << true;
    }
    void twelveTilesAtMost()
    {
        QFETCH(bool, typed);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf({"abcdefghij", ".......mlk"}))));
        if (typed) {
            QCOMPARE(typeAll(entry, "abcdefghijkl"), QByteArray(12, 'P'));
            QCOMPARE(typeAll(entry, "m"), QByteArray("I"));
        } else {
            const QList<QPoint> snake = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0},
                                         {7, 0}, {8, 0}, {9, 0}, {9, 1}, {8, 1}};
            QCOMPARE(clickAll(entry, snake), QByteArray(12, 'A'));
            QCOMPARE(clickAll(entry, {{7, 1}}), QByteArray("R"));
        }
        QCOMPARE(entry.wordLength(), 12);
        QCOMPARE(entry.wordText(), QByteArray("abcdefghijkl"));
        QCOMPARE(entry.lastTile(), std::optional<QPoint>(QPoint(8, 1)));
    }

    // --- typing ---

    void typeFirstLetter_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QPoint>("chosen");
        QTest::newRow("leftmost column wins over higher row") << QStringList{"...e", "", "", "..e", "", "", "", "..e"} << QPoint(2, 3);
        QTest::newRow("topmost in the column") << QStringList{"", "", "", "", "", "", "", "", ".e", ".e"} << QPoint(1, 8);
        QTest::newRow("corner") << QStringList{"", "", "", "", "", "", "", "", "", ".........e"} << QPoint(9, 9);
    }
    void typeFirstLetter()
    {
        QFETCH(QStringList, rows);
        QFETCH(QPoint, chosen);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf(rows))));
        QCOMPARE(typeAll(entry, "e"), QByteArray("P"));
        QCOMPARE(pathOf(entry), QList<QPoint>{chosen});
        QCOMPARE(entry.markAt(chosen.x(), chosen.y()), WordEntry::LastTileMark);
    }

    // Letters that cannot start a word change nothing and make no noise.
    void typeIgnored_data()
    {
        QTest::addColumn<int>("letter");
        QTest::newRow("absent letter") << code('q');
        QTest::newRow("code 0") << 0;
        QTest::newRow("frame code") << 27;
        QTest::newRow("empty code") << 29;
    }
    void typeIgnored()
    {
        QFETCH(int, letter);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf({"ab", "cd"}))));
        QCOMPARE(entry.typeLetter(letter), Typed::Ignored);
        QCOMPARE(entry.wordLength(), 0);
        QVERIFY(marksOf(entry).isEmpty());
    }

    // Beside the last tile the directions are tried left column top to bottom, above, below,
    // right column top to bottom; cells already in the word are passed over.
    void typeNextLetter_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QByteArray>("letters");
        QTest::addColumn<QList<QPoint>>("path");
        // 'c' at the middle (1,1); 't' at below (1,2), right-above (2,0) and left-below (0,2).
        QTest::newRow("left column first") << QStringList{"..t", ".c.", "tt."} << QByteArray("ct") << QList<QPoint>{{1, 1}, {0, 2}};
        QTest::newRow("above before below") << QStringList{".t.", ".c.", ".t."} << QByteArray("ct") << QList<QPoint>{{1, 1}, {1, 0}};
        QTest::newRow("right column last") << QStringList{"..t", ".c.", "..t"} << QByteArray("ct") << QList<QPoint>{{1, 1}, {2, 0}};
        QTest::newRow("used cell passed over") << QStringList{"aba"} << QByteArray("aba") << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}};
    }
    void typeNextLetter()
    {
        QFETCH(QStringList, rows);
        QFETCH(QByteArray, letters);
        QFETCH(QList<QPoint>, path);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf(rows))));
        QCOMPARE(typeAll(entry, letters), QByteArray(letters.size(), 'P'));
        QCOMPARE(pathOf(entry), path);
    }

    // The route search lays the word anew where the typed letter fits; start cells are taken
    // column by column, directions in their order, and dead ends are backed out of.
    void routeSearch_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QByteArray>("letters");
        QTest::addColumn<QList<QPoint>>("path");
        // C-A at (0,0),(1,0); no T by that A; the C at (3,0) has an A below with a T beside it.
        QTest::newRow("c-a-t moves") << QStringList{"ca.c", "...at"} << QByteArray("cat") << QList<QPoint>{{3, 0}, {3, 1}, {4, 1}};
        // From the second C, the A up-left (direction 1) is a dead end; the one down-right works.
        QTest::newRow("backtracks a level") << QStringList{"ca", "", "", "", "....a", ".....c", "......a", ".......t"}
                                            << QByteArray("cat") << QList<QPoint>{{5, 5}, {6, 6}, {7, 7}};
        // The old tiles do not block the new route: it may start on the old first tile.
        // (Typed C-A is (0,1),(0,0): the A above comes before the one down-right.)
        QTest::newRow("reuses old start") << QStringList{"a", "c", ".a", "..t"} << QByteArray("cat")
                                          << QList<QPoint>{{0, 1}, {1, 2}, {2, 3}};
        // Two complete routes from the same start: direction 2 (left) beats direction 7 (right).
        QTest::newRow("direction order") << QStringList{"ca", "", "", "", "", "...tacat"} << QByteArray("cat")
                                         << QList<QPoint>{{5, 5}, {4, 5}, {3, 5}};
    }
    void routeSearch()
    {
        QFETCH(QStringList, rows);
        QFETCH(QByteArray, letters);
        QFETCH(QList<QPoint>, path);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf(rows))));
        const QByteArray expected = QByteArray(letters.size() - 1, 'P') + 'W';
        QCOMPARE(typeAll(entry, letters), expected);
        QCOMPARE(pathOf(entry), path);
        QCOMPARE(entry.wordText(), letters);
        // Frames follow the new route only.
        QList<QPair<QPoint, int>> marks;
        for (const QPoint p : path)
            marks.append({p, p == path.last() ? WordEntry::LastTileMark : WordEntry::PathMark});
        std::sort(marks.begin(), marks.end(), [](const auto &a, const auto &b) {
            return a.first.x() != b.first.x() ? a.first.x() < b.first.x() : a.first.y() < b.first.y();
        });
        QCOMPARE(marksOf(entry), marks);
    }

    // A letter that fits nowhere is refused and the word, its tiles and frames stay as they were.
    void routeSearchFails()
    {
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf({"ca.c", "...a", ".......z"}))));
        QCOMPARE(typeAll(entry, "ca"), QByteArray("PP"));
        const QList<QPoint> path = pathOf(entry);
        const auto marks = marksOf(entry);
        QCOMPARE(typeAll(entry, "zt"), QByteArray("RR"));
        QCOMPARE(pathOf(entry), path);
        QCOMPARE(marksOf(entry), marks);
        QCOMPARE(entry.lastTile(), std::optional<QPoint>(QPoint(1, 0)));
        QCOMPARE(entry.wordText(), QByteArray("ca"));
    }

    // --- deleting and clearing ---

    // Deleting the only tile leaves no last tile, so the next one may be anywhere.
    void deleteOnlyTile()
    {
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf(fullRows('r')))));
        QCOMPARE(clickAll(entry, {{0, 0}}), QByteArray("A"));
        QVERIFY(entry.deleteoneletter());
        QVERIFY(!entry.lastTile());
        QVERIFY(marksOf(entry).isEmpty());
        QCOMPARE(clickAll(entry, {{9, 9}}), QByteArray("A"));
        QVERIFY(entry.deleteoneletter());
        QVERIFY(!entry.deleteoneletter());
        QCOMPARE(entry.wordLength(), 0);
    }

    // The removed tile can be chosen again; the new last tile keeps its black frame.
    void deleteLastOfSeveral()
    {
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf({"dog"}))));
        QCOMPARE(clickAll(entry, {{0, 0}, {1, 0}, {2, 0}}), QByteArray("AAA"));
        QVERIFY(entry.deleteoneletter());
        const QList<QPair<QPoint, int>> expected = {{{0, 0}, 28}, {{1, 0}, 28}};
        QCOMPARE(marksOf(entry), expected);
        QCOMPARE(entry.slotCode(3), WordEntry::EmptySlot);
        QCOMPARE(entry.lastTile(), std::optional<QPoint>(QPoint(1, 0)));
        QCOMPARE(clickAll(entry, {{2, 0}}), QByteArray("A"));
        QCOMPARE(entry.wordText(), QByteArray("dog"));
    }

    void pressclearEmptiesWord()
    {
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf({"dog"}))));
        QCOMPARE(typeAll(entry, "dog"), QByteArray("PPP"));
        entry.pressclear();
        QCOMPARE(entry.wordLength(), 0);
        QVERIFY(!entry.lastTile());
        QVERIFY(marksOf(entry).isEmpty());
        QCOMPARE(entry.playerdoneText(1), QByteArray("CMD_playerdone+1") + char(0xFF));
    }

    // --- loading a board ---

    // What the host deals is what the client holds, cell for cell.
    void loadHostBoard()
    {
        QRandomGenerator rng(4242);
        Board board;
        board.deal(8, rng);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(board.boardText().mid(1))));
        for (int c = 0; c < 10; ++c) {
            for (int r = 0; r < 10; ++r) {
                QCOMPARE(entry.dealtCode(c, r), board.at(c, r));
                QCOMPARE(entry.shownCode(c, r), board.at(c, r));
            }
        }
    }

    // Triples naming a cell off the grid touch nothing; the others still load.
    void loadSkipsOffGridTriples()
    {
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard("2+2+7+10+0+5+-1+3+5+3+10+5+0+0+1+99999+99999+3")));
        for (int c = 0; c < 10; ++c) {
            for (int r = 0; r < 10; ++r) {
                const int expected = c == 2 && r == 2 ? 7 : c == 0 && r == 0 ? 1 : LetterCodes::Empty;
                QCOMPARE(entry.dealtCode(c, r), expected);
            }
        }
    }

    // A field that is not a number stops the load there; the cells before it stay loaded.
    void loadRejectsBadFields_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("firstCell");
        QTest::newRow("empty") << QByteArray() << LetterCodes::Empty;
        QTest::newRow("short triple") << QByteArray("0+0+1+4+4") << 1;
        QTest::newRow("trailing plus") << QByteArray("0+0+1+") << 1;
        QTest::newRow("letter in field") << QByteArray("0+0+1+a+0+1") << 1;
        QTest::newRow("bad first field") << QByteArray("x+0+1") << LetterCodes::Empty;
        QTest::newRow("empty field") << QByteArray("0+0+1++0+1") << 1;
        QTest::newRow("too large") << QByteArray("0+0+99999999999") << LetterCodes::Empty;
    }
    void loadRejectsBadFields()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, firstCell);
        WordEntry entry;
        QVERIFY(!entry.loadBoard(Msg::readLoadboard(payload)));
        QCOMPARE(entry.dealtCode(0, 0), firstCell);
        QCOMPARE(entry.shownCode(0, 0), firstCell);
    }

    // A new board replaces every cell of the old one, drops the word and the turn.
    void loadResetsEverything()
    {
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard(payloadOf(fullRows('a')))));
        entry.rotateboard();
        QCOMPARE(clickAll(entry, {{3, 3}, {3, 4}}), QByteArray("AA"));
        QVERIFY(entry.loadBoard(Msg::readLoadboard("5+5+2")));
        QCOMPARE(entry.rotationStep(), 0);
        QCOMPARE(entry.wordLength(), 0);
        QVERIFY(marksOf(entry).isEmpty());
        QCOMPARE(entry.shownCode(3, 3), LetterCodes::Empty);
        QCOMPARE(entry.shownCode(5, 5), 2);
    }

    // Codes without a picture are kept as sent but drawn as empty and never chosen.
    void codesWithoutPicture_data()
    {
        QTest::addColumn<int>("cellCode");
        QTest::addColumn<int>("picture");
        QTest::newRow("31") << 31 << 29;
        QTest::newRow("negative") << -3 << 29;
        QTest::newRow("huge") << 1000000 << 29;
        QTest::newRow("frame code has a picture") << 27 << 27;
        QTest::newRow("plain tile 0") << 0 << 0;
    }
    void codesWithoutPicture()
    {
        QFETCH(int, cellCode);
        QFETCH(int, picture);
        WordEntry entry;
        QVERIFY(entry.loadBoard(Msg::readLoadboard("4+4+" + QByteArray::number(cellCode) + "+4+5+1")));
        QCOMPARE(entry.dealtCode(4, 4), cellCode);
        QCOMPARE(entry.shownPicture(4, 4), picture);
        QCOMPARE(entry.shownPicture(-1, 4), LetterCodes::Empty);
        QCOMPARE(entry.chooseCell(4, 4), Choice::Refused);
        QCOMPARE(entry.chooseCell(4, 5), Choice::Added);
        QCOMPARE(entry.chooseCell(4, 4), Choice::Refused);
        entry.rotateboard();
        entry.rotateboard();
        QCOMPARE(entry.shownPicture(5, 5), picture);
    }
};

QTEST_GUILESS_MAIN(TestWordEntry)
#include "tst_wordentry.moc"
