#include <QTest>

#include "host/gamerules.h"

using namespace GameRules;

class TestGameRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- scoring ---

    void scoreForLetters_data()
    {
        QTest::addColumn<int>("letters");
        QTest::addColumn<int>("points");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("3 letters, minimum 3") << 3 << 0;
        QTest::newRow("4") << 4 << 1;
        QTest::newRow("5") << 5 << 2;
        QTest::newRow("7") << 7 << 4;
        QTest::newRow("10") << 10 << 7;
        QTest::newRow("11 jumps") << 11 << 11;
        QTest::newRow("12 jumps") << 12 << 12;
        QTest::newRow("13 is no word") << 13 << 0;
        QTest::newRow("negative") << -4 << 0;
    }
    void scoreForLetters()
    {
        QFETCH(int, letters);
        QFETCH(int, points);
        QCOMPARE(GameRules::scoreForLetters(letters), points);
    }

    // --- paths ---

    void areNeighbours_data()
    {
        QTest::addColumn<QPoint>("a");
        QTest::addColumn<QPoint>("b");
        QTest::addColumn<bool>("neighbours");
        QTest::newRow("right") << QPoint(4, 4) << QPoint(5, 4) << true;
        QTest::newRow("above") << QPoint(4, 4) << QPoint(4, 3) << true;
        QTest::newRow("diagonal") << QPoint(4, 4) << QPoint(3, 5) << true;
        QTest::newRow("itself") << QPoint(4, 4) << QPoint(4, 4) << false;
        QTest::newRow("two columns") << QPoint(4, 4) << QPoint(6, 4) << false;
        QTest::newRow("knight") << QPoint(4, 4) << QPoint(5, 6) << false;
        QTest::newRow("far apart") << QPoint(0, 0) << QPoint(9, 9) << false;
    }
    void areNeighbours()
    {
        QFETCH(QPoint, a);
        QFETCH(QPoint, b);
        QFETCH(bool, neighbours);
        QCOMPARE(GameRules::areNeighbours(a, b), neighbours);
        QCOMPARE(GameRules::areNeighbours(b, a), neighbours);
    }

    void isAcceptablePath_data()
    {
        QTest::addColumn<QList<QPoint>>("path");
        QTest::addColumn<bool>("acceptable");
        // Along row 0, then down and back along row 1.
        QList<QPoint> twelve;
        for (int c = 0; c < 10; ++c)
            twelve << QPoint(c, 0);
        twelve << QPoint(9, 1) << QPoint(8, 1);
        QList<QPoint> thirteen = twelve;
        thirteen << QPoint(7, 1);

        QTest::newRow("empty") << QList<QPoint>{} << false;
        QTest::newRow("one tile") << QList<QPoint>{{3, 4}} << true;
        QTest::newRow("chain") << QList<QPoint>{{3, 4}, {4, 4}, {4, 5}} << true;
        QTest::newRow("diagonals") << QList<QPoint>{{0, 0}, {1, 1}, {0, 2}, {1, 3}} << true;
        QTest::newRow("corner cells") << QList<QPoint>{{9, 9}, {8, 9}, {9, 8}} << true;
        QTest::newRow("twelve tiles") << twelve << true;
        QTest::newRow("thirteen tiles") << thirteen << false;
        QTest::newRow("back to previous") << QList<QPoint>{{3, 4}, {4, 4}, {3, 4}} << false;
        QTest::newRow("loop to first") << QList<QPoint>{{3, 4}, {4, 4}, {4, 5}, {3, 4}} << false;
        QTest::newRow("same cell twice in a row") << QList<QPoint>{{3, 4}, {3, 4}} << false;
        QTest::newRow("jump") << QList<QPoint>{{3, 4}, {5, 4}} << false;
        QTest::newRow("jump later") << QList<QPoint>{{3, 4}, {4, 4}, {4, 5}, {6, 7}} << false;
        QTest::newRow("left of grid") << QList<QPoint>{{0, 4}, {-1, 4}} << false;
        QTest::newRow("below grid") << QList<QPoint>{{4, 9}, {4, 10}} << false;
        QTest::newRow("first off grid") << QList<QPoint>{{10, 0}, {9, 0}} << false;
        QTest::newRow("sentinel") << QList<QPoint>{{-1, -1}} << false;
    }
    void isAcceptablePath()
    {
        QFETCH(QList<QPoint>, path);
        QFETCH(bool, acceptable);
        QCOMPARE(GameRules::isAcceptablePath(path), acceptable);
    }

    // --- winner ---

    void winningSeat_data()
    {
        QTest::addColumn<QList<int>>("scores");
        QTest::addColumn<int>("playTo");
        QTest::addColumn<int>("winner");
        QTest::newRow("nobody there yet") << QList<int>{50, 99, 98} << 100 << 0;
        QTest::newRow("tie at the top plays on") << QList<int>{40, 103, 103} << 100 << 0;
        QTest::newRow("exactly play-to wins") << QList<int>{99, 100} << 100 << 2;
        QTest::newRow("clear leader") << QList<int>{120, 110} << 100 << 1;
        QTest::newRow("tie below the leader") << QList<int>{101, 130, 101} << 100 << 2;
        QTest::newRow("last seat") << QList<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 150} << 100 << 10;
        QTest::newRow("tied but under play-to") << QList<int>{60, 60} << 100 << 0;
        QTest::newRow("lone seat") << QList<int>{100} << 100 << 1;
        QTest::newRow("no seats") << QList<int>{} << 100 << 0;
        QTest::newRow("play-to zero, all zero, tie") << QList<int>{0, 0} << 0 << 0;
        QTest::newRow("play-to zero, one seat") << QList<int>{0} << 0 << 1;
    }
    void winningSeat()
    {
        QFETCH(QList<int>, scores);
        QFETCH(int, playTo);
        QFETCH(int, winner);
        QCOMPARE(GameRules::winningSeat({scores, playTo}), winner);
    }
};

QTEST_GUILESS_MAIN(TestGameRules)
#include "tst_gamerules.moc"
