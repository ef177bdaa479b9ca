#include <QTest>

#include "words/lettercodes.h"

class TestLetterCodes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every code maps to exactly one of: a letter, "*" or the never-dealt "t".
    void convertoletter_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("letter");
        QTest::newRow("a") << 1 << QByteArray("a");
        QTest::newRow("q single") << 17 << QByteArray("q");
        QTest::newRow("z") << 26 << QByteArray("z");
        QTest::newRow("last frame") << 27 << QByteArray("*");
        QTest::newRow("path frame") << 28 << QByteArray("*");
        QTest::newRow("empty") << 29 << QByteArray("*");
        QTest::newRow("zero") << 0 << QByteArray("t");
        QTest::newRow("thirty") << 30 << QByteArray("t");
        QTest::newRow("negative") << -5 << QByteArray("t");
    }
    void convertoletter()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, letter);
        QCOMPARE(::convertoletter(code), letter);
    }
};

QTEST_GUILESS_MAIN(TestLetterCodes)
#include "tst_lettercodes.moc"
