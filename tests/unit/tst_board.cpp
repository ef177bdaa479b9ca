#include <QTest>

#include "host/board.h"
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
};

QTEST_GUILESS_MAIN(TestBoard)
#include "tst_board.moc"
