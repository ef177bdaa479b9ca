// A computer player's play without sockets: its round plan and the way a timer draws words from
// it, the commonness table it reads, and its names and end-of-game lines.
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "bots/computerbrain.h"
#include "bots/computerchat.h"
#include "bots/computernames.h"
#include "bots/wordbands.h"
#include "host/board.h"
#include "host/gamerules.h"
#include "solver/boardsolver.h"
#include "words/lettercodes.h"
#include "words/tdictn.h"

namespace {

QByteArray recordsOf(const QByteArrayList &words)
{
    QByteArray records;
    for (const QByteArray &w : words)
        records += '\x1E' + w.leftJustified(14, ' ');
    return records;
}

QByteArray spelled(const BoardCells &cells, const QList<QPoint> &path)
{
    QByteArray word;
    for (const QPoint &p : path)
        word += convertoletter(cells[size_t(p.x() * Board::Side + p.y())]).toUpper();
    return word;
}

} // namespace

class TestComputerBrain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_dictionary = std::make_unique<TDictn>(m_dir.filePath(QStringLiteral("English")), nullptr);
        m_solver = std::make_unique<BoardSolver>(m_dir.filePath(QStringLiteral("English")));
        QVERIFY(m_solver->tree().wordCount() > 0);
        m_bands = WordBands::load(m_dir.filePath(QStringLiteral("English")));
    }

    void planStaysInTheRound_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("sizeCode");
        QTest::addColumn<int>("roundMs");
        QTest::newRow("Easy, 4x4, a minute") << 1 << 4 << 60000;
        QTest::newRow("Normal, 6x6, a minute") << 2 << 5 << 60000;
        QTest::newRow("Hard, 10x10, 45 s") << 3 << 7 << 45000;
        QTest::newRow("Expert, 10x10, joined with 6 s left") << 4 << 7 << 6000;
        QTest::newRow("Expert, 4x4, a minute") << 4 << 4 << 60000;
        QTest::newRow("Expert, 8x8, three minutes") << 4 << 6 << 180000;
    }
    // Over dealt boards with the real list: every word handed out is a solver word, once, on a
    // path the host takes and spells as that word; none comes after the round's end less the
    // margin, none sooner than 10 ms after the one before, and never more than a person's pace
    // within its window, also when the timer that asks comes seconds late and then polls every
    // millisecond (no burst of overdue words), or first comes after the end.
    void planStaysInTheRound()
    {
        QFETCH(int, level);
        QFETCH(int, sizeCode);
        QFETCH(int, roundMs);
        QRandomGenerator rng(quint32(sizeCode * 10 + level));
        Board board;
        int handedOut = 0;
        for (int round = 0; round < 8; ++round) {
            board.deal(sizeCode, rng);
            const QList<FoundWord> words = m_solver->solve(board.cells(), 4);
            QSet<QByteArray> solverWords;
            for (const FoundWord &w : words)
                solverWords.insert(w.word);
            ComputerBrain brain(level, quint32(round));
            brain.startRound(words, m_bands, roundMs);
            QCOMPARE(brain.lastMomentMs(), roundMs - ComputerBrain::EndMarginMs);
            for (const PlannedWord &p : brain.plan())
                QVERIFY(p.atMs <= brain.lastMomentMs());

            // Stalled for a third of the round, then polled every millisecond until well past the end.
            QSet<QByteArray> sent;
            QList<qint64> moments;
            qint64 last = -1;
            for (qint64 now = roundMs / 3; now < roundMs + 5000; ++now) {
                const auto w = brain.next(now);
                if (!w)
                    continue;
                QVERIFY2(solverWords.contains(w->word), w->word.constData());
                QVERIFY(GameRules::isAcceptablePath(w->path));
                QCOMPARE(spelled(board.cells(), w->path), w->word);
                QVERIFY(!sent.contains(w->word));
                QVERIFY(now <= roundMs - ComputerBrain::EndMarginMs);
                QVERIFY(last < 0 || now - last >= ComputerBrain::MinGapMs);
                const qsizetype n = moments.size();
                QVERIFY(n < ComputerBrain::PaceWords
                        || now - moments[n - ComputerBrain::PaceWords] >= ComputerBrain::PaceWindowMs);
                sent.insert(w->word);
                moments.append(now);
                last = now;
            }
            QCOMPARE(brain.msUntilNext(roundMs), qint64(-1));
            handedOut += int(sent.size());

            // A timer that first wakes after the last moment gets nothing, however much is due.
            brain.startRound(words, m_bands, roundMs);
            QVERIFY(!brain.next(brain.lastMomentMs() + 1));
        }
        QVERIFY(handedOut > 0);
    }

    void bandsTable_data()
    {
        QTest::addColumn<QByteArrayList>("records");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QByteArrayList>("asked");
        QTest::addColumn<QList<int>>("bands");
        const QByteArrayList words{"CAT", "CATS", "DOG", "ZYZZYVA"};
        const QByteArrayList asked{"CAT", "CATS", "DOG", "ZYZZYVA", "COW"};
        const int m = WordBands::MiddleBand;
        QTest::newRow("fits") << words << QByteArray("\x00\x02\x01\x08", 4) << asked
                              << QList<int>{0, 2, 1, 8, m};
        QTest::newRow("list out of order, small letters") << QByteArrayList{"dog", "CATS", "zyzzyva", "CAT"}
                                                          << QByteArray("\x01\x02\x08\x00", 4) << asked
                                                          << QList<int>{0, 2, 1, 8, m};
        QTest::newRow("one code short") << words << QByteArray("\x00\x02\x01", 3) << asked
                                        << QList<int>{m, m, m, m, m};
        QTest::newRow("one code too many") << words << QByteArray("\x00\x02\x01\x08\x08", 5) << asked
                                           << QList<int>{m, m, m, m, m};
        QTest::newRow("a code above the rarest") << words << QByteArray("\x00\x02\x09\x08", 4) << asked
                                                 << QList<int>{m, m, m, m, m};
        QTest::newRow("no table") << words << QByteArray() << asked << QList<int>{m, m, m, m, m};
    }
    // The table belongs to a list only when it has one code per record, each a band; otherwise
    // it is refused whole and every word is middling, as is a word the list lacks.
    void bandsTable()
    {
        QFETCH(QByteArrayList, records);
        QFETCH(QByteArray, table);
        QFETCH(QByteArrayList, asked);
        QFETCH(QList<int>, bands);
        const WordBands wordBands = WordBands::fromData(recordsOf(records), table);
        for (qsizetype i = 0; i < asked.size(); ++i)
            QCOMPARE(wordBands.band(asked[i]), bands[i]);
    }

    // The table the program carries fits the word list it carries: made from the same lists,
    // an everyday word is in the commonest band and a rare one in the rarest.
    void carriedTableFitsTheList()
    {
        const WordBands carried = WordBands::load();
        QVERIFY(carried.hasTable());
        QCOMPARE(carried.band("HOUSE"), 0);
        QCOMPARE(carried.band("ZYZZYVA"), WordBands::BandCount - 1);
    }

    // Nine computer players joining a table one after another get nine names no one else has,
    // each marked as a computer's and safe on the wire; and a player says at most one line a
    // game, but not after every game.
    void namesAndLines()
    {
        QRandomGenerator rng(5);
        QByteArrayList table{"You", "Mia (cpu)"};
        for (int i = 0; i < 9; ++i) {
            const QByteArray name = ComputerNames::pick(table, rng);
            QVERIFY(!table.contains(name));
            QVERIFY(name.endsWith(ComputerNames::Suffix));
            QVERIFY(!name.contains('\xFF') && !name.contains('\n') && !name.contains('\r'));
            table.append(name);
        }

        ComputerChat chat(9);
        int games = 0;
        int spoken = 0;
        for (; games < 100; ++games) {
            chat.newGame();
            const bool first = chat.gameOverLine(games % 2 == 0).has_value();
            QVERIFY(!chat.gameOverLine(true).has_value());
            spoken += first ? 1 : 0;
        }
        QVERIFY(spoken > 0 && spoken < games);
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TDictn> m_dictionary;
    std::unique_ptr<BoardSolver> m_solver;
    WordBands m_bands;
};

QTEST_GUILESS_MAIN(TestComputerBrain)
#include "tst_computerbrain.moc"
