#include <QTest>

#include "host/board.h"
#include "host/boardcode.h"
#include "words/lettercodes.h"

#include <cmath>
#include <map>

namespace {

using Square = std::pair<int, int>;

// The tile frequencies players rely on, letter code -> draws out of 98, written out
// independently of the board's own table.
const std::map<int, int> &letterWeights()
{
    static const std::map<int, int> weights = {
        {1, 9},  {5, 12}, {9, 9},  {15, 8}, {21, 3}, {4, 5},  {7, 3},  {8, 2},  {12, 4},
        {13, 2}, {14, 6}, {16, 2}, {18, 6}, {19, 4}, {20, 6}, {25, 2}, {2, 2},  {3, 2},
        {6, 2},  {10, 1}, {11, 1}, {23, 2}, {17, 1}, {22, 2}, {24, 1}, {26, 1},
    };
    return weights;
}

// Codes worked out by hand from the format, so the format cannot drift unnoticed: codes
// already pasted into chats must keep reading as the same boards.
const char *const Code4 = "44-FQY8G-RZ9HS-2AJT3-B6";         // abcd efgh ijkl mnop, 4 letters
const char *const Code5 = "55-9FNU2-8EMTZ-7DKSY-6CJRX-5BHQW-J"; // zyxwv ... cb, 5 letters
const char *const Code10 =
    "X7-3W2NZ-UVCA2-6NKJ3-KCXW8-JN4SE-QJP5Z-28SCB-YTXJW-RS97X-3JGFY-G9UT5-FJZPB-MFK2W-X5P98-VQUFT-"
    "NP64U-YFDCV-D6RQ2-CFWK8-HCGXT-Q";
// Every character a slip could put into a code: the symbols and the look-alikes left out.
const QString Typeable = QStringLiteral("23456789ABCDEFGHJKMNPQRSTUVWXYZ01ILO");

QByteArray pangrams(int count)
{
    return QByteArray("thequickbrownfoxjumpsoverthelazydog").repeated(3).left(count);
}

bool inSquare(int c, int r, Square sq)
{
    return c >= sq.first && c <= sq.second && r >= sq.first && r <= sq.second;
}

} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- playing square per size code ---

    void squareFor_data()
    {
        QTest::addColumn<int>("sizeCode");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("4x4") << 4 << 3 << 6;
        QTest::newRow("5x5 off centre") << 9 << 2 << 6;
        QTest::newRow("6x6") << 5 << 2 << 7;
        QTest::newRow("7x7 off centre") << 10 << 1 << 7;
        QTest::newRow("8x8") << 6 << 1 << 8;
        QTest::newRow("9x9 off centre") << 11 << 0 << 8;
        QTest::newRow("10x10") << 7 << 0 << 9;
        QTest::newRow("unknown 0") << 0 << 3 << 6;
        QTest::newRow("unknown 3") << 3 << 3 << 6;
        QTest::newRow("unknown 12") << 12 << 3 << 6;
        QTest::newRow("negative") << -7 << 3 << 6;
    }
    // Every code deals letters exactly inside its square and leaves all else empty.
    void squareFor()
    {
        QFETCH(int, sizeCode);
        QFETCH(int, first);
        QFETCH(int, last);
        QRandomGenerator rng(11);
        QCOMPARE(Board::squareFor(sizeCode, rng), Square(first, last));

        Board board;
        board.deal(sizeCode, rng);
        int tiles = 0;
        for (int c = 0; c < Board::Side; ++c) {
            for (int r = 0; r < Board::Side; ++r) {
                const int code = board.at(c, r);
                if (inSquare(c, r, {first, last})) {
                    QVERIFY2(LetterCodes::isLetter(code), qPrintable(QString("cell %1,%2").arg(c).arg(r)));
                    ++tiles;
                } else {
                    QCOMPARE(code, LetterCodes::Empty);
                }
            }
        }
        QCOMPARE(tiles, (last - first + 1) * (last - first + 1));
    }

    // Random picks 4x4, 6x6, 8x8 and 10x10, each of them, and never an odd size.
    void randomIsEvenOnly()
    {
        QRandomGenerator rng(2024);
        const QSet<Square> allowed = {{3, 6}, {2, 7}, {1, 8}, {0, 9}};
        QSet<Square> seen;
        for (int i = 0; i < 400; ++i) {
            const Square sq = Board::squareFor(8, rng);
            QVERIFY2(allowed.contains(sq), qPrintable(QString("%1..%2").arg(sq.first).arg(sq.second)));
            seen.insert(sq);
        }
        QCOMPARE(seen, allowed);
    }

    // Deal a fresh board over an old one: nothing of the old deal survives outside the square.
    void dealClearsOldBoard()
    {
        QRandomGenerator rng(5);
        Board board;
        board.deal(7, rng);
        board.deal(4, rng);
        QCOMPARE(board.at(0, 0), LetterCodes::Empty);
        QCOMPARE(board.at(9, 9), LetterCodes::Empty);
        QCOMPARE(board.at(2, 4), LetterCodes::Empty);
    }

    // --- grid access ---

    void offGrid_data()
    {
        QTest::addColumn<int>("c");
        QTest::addColumn<int>("r");
        QTest::newRow("left") << -1 << 4;
        QTest::newRow("right") << 10 << 4;
        QTest::newRow("above") << 4 << -1;
        QTest::newRow("below") << 4 << 10;
        QTest::newRow("far") << 1000 << -1000;
    }
    // Off-grid reads are empty and off-grid writes change nothing (in particular no
    // neighbouring cell through a wrapped index).
    void offGrid()
    {
        QFETCH(int, c);
        QFETCH(int, r);
        Board board;
        QRandomGenerator rng(1);
        board.deal(7, rng);
        const QByteArray before = board.boardText();
        board.set(c, r, 5);
        QCOMPARE(board.boardText(), before);
        QCOMPARE(board.at(c, r), LetterCodes::Empty);
    }

    // --- letter draws ---

    void letterForDraw_data()
    {
        QTest::addColumn<int>("v");
        QTest::addColumn<int>("code");
        QTest::newRow("0 a") << 0 << 1;
        QTest::newRow("8 a") << 8 << 1;
        QTest::newRow("9 e") << 9 << 5;
        QTest::newRow("20 e") << 20 << 5;
        QTest::newRow("21 i") << 21 << 9;
        QTest::newRow("40 u") << 40 << 21;
        QTest::newRow("41 d") << 41 << 4;
        QTest::newRow("62 n") << 62 << 14;
        QTest::newRow("63 p") << 63 << 16;
        QTest::newRow("82 y") << 82 << 25;
        QTest::newRow("83 b") << 83 << 2;
        QTest::newRow("89 j") << 89 << 10;
        QTest::newRow("90 k") << 90 << 11;
        QTest::newRow("93 q") << 93 << 17;
        QTest::newRow("96 x") << 96 << 24;
        QTest::newRow("97 z") << 97 << 26;
        QTest::newRow("98 none") << 98 << 29;
        QTest::newRow("-1 none") << -1 << 29;
    }
    void letterForDraw()
    {
        QFETCH(int, v);
        QFETCH(int, code);
        QCOMPARE(Board::letterForDraw(v), code);
    }

    // The whole table: every draw maps to the letter whose weight the players expect.
    void drawTableWeights()
    {
        std::map<int, int> counts;
        for (int v = 0; v < Board::DrawCount; ++v)
            ++counts[Board::letterForDraw(v)];
        QCOMPARE(counts, letterWeights());
    }

    // Over 2000 full boards (fixed seed, so the result is repeatable) every letter turns up
    // within 6 standard deviations of its expected count, and nothing but letters is dealt.
    void letterFrequencies()
    {
        QRandomGenerator rng(0x1e71);
        std::map<int, int> counts;
        const int deals = 2000;
        Board board;
        for (int i = 0; i < deals; ++i) {
            board.deal(7, rng);
            for (int c = 0; c < Board::Side; ++c) {
                for (int r = 0; r < Board::Side; ++r)
                    ++counts[board.at(c, r)];
            }
        }
        const double n = deals * double(Board::CellCount);
        for (const auto &[code, count] : counts)
            QVERIFY2(letterWeights().count(code), qPrintable(QString("code %1 dealt").arg(code)));
        for (const auto &[code, weight] : letterWeights()) {
            const double p = weight / 98.0;
            const double expected = n * p;
            const double sigma = std::sqrt(n * p * (1 - p));
            const int seen = counts.count(code) ? counts.at(code) : 0;
            QVERIFY2(std::abs(seen - expected) <= 6 * sigma,
                     qPrintable(QString("code %1: %2 seen, %3 expected").arg(code).arg(seen).arg(expected)));
        }
    }

    // --- board text ---

    void boardText_data()
    {
        QTest::addColumn<int>("sizeCode");
        for (int code : {4, 5, 6, 7, 8, 9, 10, 11})
            QTest::newRow(qPrintable(QString("code %1").arg(code))) << code;
    }
    // 300 numbers, leading "+", no trailing "+", triples in column-then-row order that read
    // back as the board.
    void boardText()
    {
        QFETCH(int, sizeCode);
        QRandomGenerator rng(quint32(sizeCode) * 7919u);
        Board board;
        board.deal(sizeCode, rng);
        const QByteArray text = board.boardText();
        QVERIFY(text.startsWith("+0+0+"));
        QVERIFY(text.contains("+9+9+" + QByteArray::number(board.at(9, 9))));
        QVERIFY(text.endsWith("+9+9+" + QByteArray::number(board.at(9, 9))));
        QVERIFY(!text.endsWith('+'));

        const QList<QByteArray> fields = text.split('+');
        QCOMPARE(fields.size(), 301);
        QVERIFY(fields.first().isEmpty());
        for (int i = 0; i < Board::CellCount; ++i) {
            bool ok[3] = {};
            const int c = fields[1 + 3 * i].toInt(&ok[0]);
            const int r = fields[2 + 3 * i].toInt(&ok[1]);
            const int code = fields[3 + 3 * i].toInt(&ok[2]);
            QVERIFY(ok[0] && ok[1] && ok[2]);
            QCOMPARE(c, i / 10);
            QCOMPARE(r, i % 10);
            QCOMPARE(code, board.at(c, r));
        }
    }

    // A 4x4 board opens with the empty cells of column 0.
    void boardTextOf4x4()
    {
        QRandomGenerator rng(3);
        Board board;
        board.deal(4, rng);
        QVERIFY(board.boardText().startsWith("+0+0+29+0+1+29+0+2+29"));
        QVERIFY(board.boardText().endsWith("+9+9+29"));
    }

    // A full board has no empty cell to list.
    void fullBoardHasNoEmpty()
    {
        QRandomGenerator rng(99);
        Board board;
        for (int i = 0; i < 50; ++i) {
            board.deal(7, rng);
            const QList<QByteArray> fields = board.boardText().split('+');
            for (int k = 3; k < fields.size(); k += 3)
                QVERIFY(fields[k] != "29");
        }
    }

    // --- board codes ---

    void boardCodeReads_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<QByteArray>("letters");
        QTest::addColumn<QString>("shown");
        QTest::newRow("4X4 as shown") << Code4 << 4 << 4 << QByteArray("abcdefghijklmnop") << Code4;
        QTest::newRow("small letters, spaces for dashes")
            << QString(Code4).toLower().replace('-', ' ') << 4 << 4 << QByteArray("abcdefghijklmnop") << Code4;
        QTest::newRow("no dashes, surrounding blanks, a line break")
            << " 44FQY8GRZ9HS\n2AJT3B6\t" << 4 << 4 << QByteArray("abcdefghijklmnop") << Code4;
        QTest::newRow("typographic dashes") << QString(Code4).replace('-', QChar(0x2013)) << 4 << 4
                                            << QByteArray("abcdefghijklmnop") << Code4;
        QTest::newRow("the same tile everywhere, 3 letters")
            << "43-KT29G-QX6DM-U3AHR-Y6" << 4 << 3 << QByteArray(16, 'e') << "43-KT29G-QX6DM-U3AHR-Y6";
        QTest::newRow("5X5") << Code5 << 5 << 5 << QByteArray("zyxwvutsrqponmlkjihgfedcb") << Code5;
        QTest::newRow("10X10, X for the side") << Code10 << 10 << 7 << pangrams(100) << Code10;
    }
    // A good code reads as its board, is shown again exactly as given, and lands on the grid
    // where a deal of that size puts its letters.
    void boardCodeReads()
    {
        QFETCH(QString, text);
        QFETCH(int, side);
        QFETCH(int, minimum);
        QFETCH(QByteArray, letters);
        QFETCH(QString, shown);
        QString error = QStringLiteral("untouched");
        const std::optional<BoardCode> code = BoardCode::decode(text, &error);
        QVERIFY2(code, qPrintable(error));
        QCOMPARE(code->side(), side);
        QCOMPARE(code->minLetters(), minimum);
        QCOMPARE(code->letters(), letters);
        QCOMPARE(code->text(), shown);
        QCOMPARE(BoardCode::fromSquare(side, minimum, letters), code);

        const Board board = code->board();
        const int first = Board::fixedSquareFor(code->sizeCode()).first;
        QCOMPARE(Board::fixedSquareFor(code->sizeCode()).second, first + side - 1);
        for (int c = 0; c < Board::Side; ++c) {
            for (int r = 0; r < Board::Side; ++r) {
                const bool tile = inSquare(c, r, {first, first + side - 1});
                const int expected = tile ? letters[(r - first) * side + (c - first)] - 'a' + 1 : LetterCodes::Empty;
                QCOMPARE(board.at(c, r), expected);
            }
        }
    }

    // Every dealt size survives the trip through a code: the board it reads back as is the
    // deal, cell for cell.
    void boardCodeKeepsEveryDeal_data()
    {
        QTest::addColumn<int>("sizeCode");
        for (int code : {4, 9, 5, 10, 6, 11, 7})
            QTest::newRow(qPrintable(QString("code %1").arg(code))) << code;
    }
    void boardCodeKeepsEveryDeal()
    {
        QFETCH(int, sizeCode);
        QRandomGenerator rng(quint32(sizeCode) * 104729u);
        for (int deal = 0; deal < 20; ++deal) {
            Board dealt;
            dealt.deal(sizeCode, rng);
            const auto [first, last] = Board::fixedSquareFor(sizeCode);
            const int side = last - first + 1;
            QByteArray letters;
            for (int r = first; r <= last; ++r)
                for (int c = first; c <= last; ++c)
                    letters += char('a' + dealt.at(c, r) - 1);
            const std::optional<BoardCode> made = BoardCode::fromSquare(side, 3 + deal % 5, letters);
            QVERIFY(made);
            QCOMPARE(made->sizeCode(), sizeCode);
            const std::optional<BoardCode> read = BoardCode::decode(made->text());
            QVERIFY(read);
            QCOMPARE(read->board().cells(), dealt.cells());
            QCOMPARE(read->minLetters(), 3 + deal % 5);
        }
    }

    void boardCodeRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("line");
        const QString code4(Code4);
        QTest::newRow("empty") << "" << "Type or paste a board code.";
        QTest::newRow("dashes only") << " - -" << "Type or paste a board code.";
        QTest::newRow("O for 0") << QString(code4).replace('Q', 'O') << "\"O\" is not used in board codes";
        QTest::newRow("zero") << QString(code4).replace('F', '0') << "\"0\" is not used in board codes";
        QTest::newRow("small l") << QString(code4).replace('Z', 'l') << "\"l\" is not used in board codes";
        QTest::newRow("accented letter") << code4 + QChar(0xE9) << QString("\"%1\" is not used").arg(QChar(0xE9));
        QTest::newRow("invisible character") << code4.left(4) + QChar(0x200B) + code4.mid(4)
                                             << "U+200B is not used in board codes";
        QTest::newRow("a chat line around it") << "Ann: " + code4 << "\":\" is not used in board codes";
        QTest::newRow("size 3") << "3" + code4.mid(1) << "board size, 4 to 9 or X for 10X10; \"3\" is none";
        QTest::newRow("size as a letter") << "A" + code4.mid(1) << "\"A\" is none of them";
        QTest::newRow("minimum 8") << "48" + code4.mid(2) << "minimum word length, 3 to 7; \"8\" is none";
        QTest::newRow("minimum 2") << "42" + code4.mid(2) << "minimum word length, 3 to 7; \"2\" is none";
        QTest::newRow("the size alone") << "4" << "The code ends after its first character.";
        QTest::newRow("one short") << code4.chopped(1) << "A 4X4 board code has 19 characters, dashes aside; this one has 18.";
        QTest::newRow("one too many") << code4 + "2" << "A 4X4 board code has 19 characters, dashes aside; this one has 20.";
        QTest::newRow("4X4 letters under a 5X5 size") << "5" + code4.mid(1) << "A 5X5 board code has 28 characters";
        QTest::newRow("tile no letter") << "44-AQY8G-RZ9HS-2AJT3-B6"
                                        << "\"A\", character 3 of the code (dashes aside), stands for no letter from A to Z";
        QTest::newRow("check character") << code4.chopped(1) + "7" << "The check character does not match";
        QTest::newRow("neighbours swapped") << "44-QFY8G-RZ9HS-2AJT3-B6" << "The check character does not match";
    }
    // Each kind of mistake is named in one line, and nothing is read from a bad code.
    void boardCodeRefused()
    {
        QFETCH(QString, text);
        QFETCH(QString, line);
        QString error;
        QVERIFY(!BoardCode::decode(text, &error));
        QVERIFY2(error.contains(line), qPrintable(error));
        QVERIFY(!BoardCode::decode(text)); // no line asked for: still refused
    }

    void boardCodeCatchesEverySlip_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("4X4") << QString(Code4);
        QTest::newRow("5X5") << QString(Code5);
        QTest::newRow("10X10") << QString(Code10);
        QTest::newRow("every tile the same") << QStringLiteral("43-KT29G-QX6DM-U3AHR-Y6");
    }
    // Any one character typed wrong, and any two neighbours swapped, is refused: never read as
    // another board.
    void boardCodeCatchesEverySlip()
    {
        QFETCH(QString, code);
        const QString plain = QString(code).remove('-');
        QVERIFY(BoardCode::decode(plain));
        for (int i = 0; i < plain.size(); ++i) {
            for (const QChar c : Typeable) {
                if (c == plain[i])
                    continue;
                QString slip = plain;
                slip[i] = c;
                QVERIFY2(!BoardCode::decode(slip), qPrintable(slip));
            }
            if (i + 1 < plain.size() && plain[i] != plain[i + 1]) {
                QString swapped = plain;
                std::swap(swapped[i], swapped[i + 1]);
                QVERIFY2(!BoardCode::decode(swapped), qPrintable(swapped));
            }
        }
    }

    void boardCodeOnlyForDealtBoards_data()
    {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<QByteArray>("letters");
        QTest::newRow("3X3") << 3 << 4 << QByteArray(9, 'a');
        QTest::newRow("11X11") << 11 << 4 << QByteArray(121, 'a');
        QTest::newRow("minimum 2") << 4 << 2 << QByteArray(16, 'a');
        QTest::newRow("minimum 8") << 4 << 8 << QByteArray(16, 'a');
        QTest::newRow("a tile short") << 4 << 4 << QByteArray(15, 'a');
        QTest::newRow("a hole") << 4 << 4 << QByteArray("abcdefgh.jklmnop");
        QTest::newRow("capital") << 4 << 4 << QByteArray("abcdefghIjklmnop");
        QTest::newRow("beyond z") << 4 << 4 << QByteArray("abcdefgh{jklmnop");
    }
    // A board no deal makes (a crafted host may send one) gets no code.
    void boardCodeOnlyForDealtBoards()
    {
        QFETCH(int, side);
        QFETCH(int, minimum);
        QFETCH(QByteArray, letters);
        QVERIFY(!BoardCode::fromSquare(side, minimum, letters));
    }
};

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"
