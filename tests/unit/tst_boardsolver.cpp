// The board solver over word lists the test writes as working files, and the host's re-deal
// ("Better Boards") over the real list.
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "host/betterdeal.h"
#include "host/board.h"
#include "host/gamerules.h"
#include "solver/boardsolver.h"
#include "solver/pathfinder.h"
#include "words/lettercodes.h"
#include "words/tdictn.h"

#include <map>
#include <set>

namespace {

// Records as the dictionary keeps them: marker, word blank padded to 14, in ascending order.
QString writeWordFile(const QTemporaryDir &dir, QByteArrayList words)
{
    std::sort(words.begin(), words.end());
    QByteArray records;
    for (const QByteArray &w : words)
        records += '\x1E' + w.left(14) + QByteArray(14 - std::min<qsizetype>(14, w.size()), ' ');
    const QString path = dir.filePath(QStringLiteral("English"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(records) != records.size())
        return QString();
    return path;
}

// rows[r] holds the letters of row `first + r`, from column `first` on.
BoardCells boardOf(int first, const QList<QByteArray> &rows)
{
    BoardCells cells;
    cells.fill(LetterCodes::Empty);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            cells[size_t((first + c) * 10 + first + r)] = rows[r][c] - 'A' + 1;
    return cells;
}

// The word a path spells on the board, as the host spells it, or empty for a path the host
// would not take.
QByteArray spelled(const BoardCells &cells, const QList<QPoint> &path)
{
    if (!GameRules::isAcceptablePath(path))
        return {};
    QByteArray word;
    for (const QPoint &p : path)
        word += convertoletter(cells[size_t(p.x() * 10 + p.y())]).toUpper();
    return word;
}

QByteArrayList wordsOf(const QList<FoundWord> &found)
{
    QByteArrayList words;
    for (const FoundWord &w : found)
        words << w.word;
    return words;
}

} // namespace

class TestBoardSolver : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A 4x4 board and a list written by the test: exactly the listed words that chains of
    // neighbours spell, longest first then alphabetical, each with a path the host accepts
    // and spells as the word, and the host's points. TREE and ROAR need a tile twice, DOGS
    // a jump: none of them is found.
    void fixedBoard()
    {
        QTemporaryDir dir;
        const QString file = writeWordFile(dir, {"CAT", "CATS", "CAR", "CARE", "CARET", "CORD", "DOG", "DOGS",
                                                 "TREE", "ROAR", "RATE", "TEAR", "GORE", "QUIZ", "ZZZZZ"});
        QVERIFY(!file.isEmpty());
        BoardSolver solver(file);
        QVERIFY(!solver.treeBuilt()); // nothing is read before it is needed
        const BoardCells cells = boardOf(3, {"CATS", "OREX", "DOGQ", "ZZZY"});

        const QList<FoundWord> found = solver.solve(cells, 4);
        QCOMPARE(wordsOf(found), QByteArrayList({"CARET", "CARE", "CATS", "CORD", "GORE", "RATE", "TEAR"}));
        for (const FoundWord &w : found) {
            QCOMPARE(spelled(cells, w.path), w.word);
            QCOMPARE(w.points, GameRules::scoreForLetters(int(w.word.size())));
        }
        QCOMPARE(wordsOf(solver.solve(cells, 3)).mid(7), QByteArrayList({"CAR", "CAT", "DOG"}));
        QCOMPARE(solver.countWords(cells, 3, 1000), 10);
        QCOMPARE(solver.countWords(cells, 3, 4), 4);
        QVERIFY(solver.solve(cells, 13).isEmpty());
    }

    // A snake through every tile of a 4x4 spells 13 letters in a row: the 12-letter word is
    // found along it, the 13-letter one never (a word has at most 12 tiles).
    void twelveTileLimit()
    {
        QTemporaryDir dir;
        const QString file = writeWordFile(dir, {"ABCDEFGHIJKL", "ABCDEFGHIJKLM", "ABCDEFGHIJK"});
        BoardSolver solver(file);
        const BoardCells cells = boardOf(3, {"ABCD", "HGFE", "IJKL", "PONM"});
        QCOMPARE(wordsOf(solver.solve(cells, 4)), QByteArrayList({"ABCDEFGHIJKL", "ABCDEFGHIJK"}));
        QCOMPARE(solver.solve(cells, 4).first().points, 12);
        QCOMPARE(solver.tree().wordCount(), 2);
        QCOMPARE(PathFinder(cells).find("ABCDEFGHIJKLM").size(), 0);
    }

    // The path search's caps: on a board where pruning cannot settle a word (a B in the corner
    // whose only A neighbour the word needs on both sides), the word's own steps end its
    // search; the board's steps end every search after them, even an easy one.
    void pathSearchWithinItsSteps()
    {
        BoardCells cells;
        cells.fill(1);
        cells[0] = 2;
        cells[1] = cells[11] = LetterCodes::Empty;
        PathFinder paths(cells, PathFinder::WordSteps * 3 / 2);
        QVERIFY(paths.find("AAAAAAAAAABA").isEmpty());
        QCOMPARE(paths.stepsLeft(), PathFinder::WordSteps / 2);
        QCOMPARE(spelled(cells, paths.find("AAAAAAAAAAB")), QByteArray("AAAAAAAAAAB"));
        QVERIFY(paths.find("AAAAAAAAAABA").isEmpty());
        QCOMPARE(paths.stepsLeft(), 0);
        QVERIFY(paths.find("AAAA").isEmpty());
    }

    void oddSizes_data()
    {
        QTest::addColumn<int>("sizeCode");
        QTest::newRow("5x5") << 9;
        QTest::newRow("7x7") << 10;
        QTest::newRow("9x9") << 11;
    }
    // Odd sizes sit off the centre of the grid as dealt. With every two-letter string in the
    // list, the solver finds exactly the letter pairs of neighbouring tiles of the dealt board,
    // at the dealt positions (the host accepts and spells each path).
    void oddSizes()
    {
        QFETCH(int, sizeCode);
        QByteArrayList pairs;
        for (char a = 'A'; a <= 'Z'; ++a)
            for (char b = 'A'; b <= 'Z'; ++b)
                pairs << QByteArray(1, a) + b;
        QTemporaryDir dir;
        BoardSolver solver(writeWordFile(dir, pairs));
        QRandomGenerator rng{quint32(sizeCode)};
        Board board;
        board.deal(sizeCode, rng);
        const BoardCells &cells = board.cells();

        std::set<QByteArray> expected;
        for (int c = 0; c < 10; ++c)
            for (int r = 0; r < 10; ++r)
                for (int dc = -1; dc <= 1; ++dc)
                    for (int dr = -1; dr <= 1; ++dr) {
                        const QByteArray w = spelled(cells, {QPoint(c, r), QPoint(c + dc, r + dr)});
                        if (w.size() == 2 && !w.contains('*'))
                            expected.insert(w);
                    }
        const QList<FoundWord> found = solver.solve(cells, 2);
        QCOMPARE(found.size(), qsizetype(expected.size()));
        for (const FoundWord &w : found) {
            QVERIFY(expected.count(w.word));
            QCOMPARE(spelled(cells, w.path), w.word);
        }
    }

    // Records out of order: only the words the dictionary's binary search finds are taken,
    // so the solver never offers a word the host refuses.
    void unsortedRecordsFollowTheDictionary()
    {
        QTemporaryDir dir;
        const QByteArrayList order = {"CORD", "CARE", "AAAA", "RATE", "TEAR"};
        QByteArray records;
        for (const QByteArray &w : order)
            records += '\x1E' + w + QByteArray(10, ' ');
        const WordTree tree = WordTree::fromRecords(records);
        const QString path = dir.filePath(QStringLiteral("English"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(records) == records.size());
        file.close();
        TDictn dictionary(path, nullptr);
        for (const QByteArray &w : order)
            QCOMPARE(tree.contains(w), dictionary.isword(w));
        QVERIFY(tree.wordCount() < int(order.size()));
    }

    // "Better Boards" over the real list, fixed seed: the first deal is exactly the plain
    // deal; every accepted 4x4 holds the floor unless all 50 deals were used; accepted boards
    // hold more words than plain deals, and their letters, measured against plain deals, have
    // fewer of the hard letters J K Q X Z.
    void betterDealLetterFrequencies()
    {
        QTemporaryDir dir;
        const QString working = dir.filePath(QStringLiteral("English"));
        TDictn dictionary(working, nullptr);
        BoardSolver solver(working);
        QVERIFY(solver.tree().wordCount() > 100000);

        // Replaying the same seed with plain deals reaches the accepted board on the same deal.
        QRandomGenerator plainRng(77), betterRng(77);
        Board plain, better;
        const int first = BetterDeal::deal(better, 4, 4, betterRng, solver);
        for (int i = 0; i < first; ++i)
            plain.deal(4, plainRng);
        QVERIFY(plain.cells() == better.cells());

        const int boards = 400;
        const int floor = BetterDeal::floorFor(16, 4);
        QCOMPARE(floor, 30);
        // Longer minimums lower the floor, but a board always needs one word.
        QVERIFY(BetterDeal::floorFor(16, 5) < floor);
        QCOMPARE(BetterDeal::floorFor(16, 7), 1);
        QCOMPARE(BetterDeal::floorFor(100, 4), 188);
        std::map<int, int> plainCount, betterCount;
        int redeals = 0;
        long plainWords = 0, betterWords = 0;
        for (int i = 0; i < boards; ++i) {
            plain.deal(4, plainRng);
            const int deals = BetterDeal::deal(better, 4, 4, betterRng, solver);
            QVERIFY(deals >= 1 && deals <= BetterDeal::MaxDeals);
            const int words = solver.countWords(better.cells(), 4, 100000);
            QVERIFY(deals == BetterDeal::MaxDeals || words >= floor);
            redeals += deals - 1;
            betterWords += words;
            plainWords += solver.countWords(plain.cells(), 4, 100000);
            for (int cell = 0; cell < Board::CellCount; ++cell) {
                ++plainCount[plain.cells()[size_t(cell)]];
                ++betterCount[better.cells()[size_t(cell)]];
            }
        }
        QCOMPARE(plainCount[LetterCodes::Empty], boards * 84);
        QCOMPARE(betterCount[LetterCodes::Empty], boards * 84);
        auto share = [boards](std::map<int, int> &count, const char *letters) {
            int n = 0;
            for (const char *l = letters; *l; ++l)
                n += count[*l - 'A' + 1];
            return double(n) / (boards * 16);
        };
        const double plainRare = share(plainCount, "JKQXZ"), betterRare = share(betterCount, "JKQXZ");
        qInfo("%d boards, %d extra deals; words a board %.1f plain, %.1f better; vowels %.3f plain, %.3f better; "
              "J K Q X Z %.4f plain, %.4f better",
              boards, redeals, double(plainWords) / boards, double(betterWords) / boards,
              share(plainCount, "AEIOU"), share(betterCount, "AEIOU"), plainRare, betterRare);
        QString perLetter;
        for (int code = 1; code <= 26; ++code)
            perLetter += QStringLiteral("%1 %2/%3  ").arg(QChar('A' + code - 1)).arg(plainCount[code]).arg(betterCount[code]);
        qInfo("letters plain/better: %s", qPrintable(perLetter));
        QVERIFY(redeals > 0);
        QVERIFY(betterWords > plainWords);
        QVERIFY(betterRare < plainRare);
    }
};

QTEST_GUILESS_MAIN(TestBoardSolver)
#include "tst_boardsolver.moc"
