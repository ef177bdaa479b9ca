#include <QDir>
#include <QImage>
#include <QTest>

#include "widgets/artwork.h"

class TestArtwork : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every picture the windows place is carried, at the size its place is made for.
    void pictureSizes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("rotate") << "button_rotate" << QSize(90, 29);
        QTest::newRow("clear") << "button_clear" << QSize(84, 30);
        QTest::newRow("send") << "button_send" << QSize(96, 30);
        QTest::newRow("start game") << "button_startgame" << QSize(120, 30);
        QTest::newRow("dialog start") << "button_start" << QSize(120, 30);
        QTest::newRow("close words") << "button_allwords" << QSize(96, 30);
        QTest::newRow("round review") << "button_review" << QSize(96, 30);
        QTest::newRow("logo") << "image_logo" << QSize(40, 420);
        QTest::newRow("words title") << "title_wordsfound" << QSize(150, 21);
        QTest::newRow("min letters") << "image_minletters" << QSize(517, 7);
        QTest::newRow("timer") << "image_timer" << QSize(170, 20);
        QTest::newRow("timer track") << "image_timerback" << QSize(170, 20);
        QTest::newRow("eyes") << "image_eyes" << QSize(23, 10);
        QTest::newRow("check off") << "check_off" << QSize(34, 21);
        QTest::newRow("check on") << "check_on" << QSize(34, 21);
    }
    void pictureSizes()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QPixmap picture = Artwork::picture(name, 1);
        QVERIFY2(!picture.isNull(), qPrintable(name));
        QCOMPARE(picture.size(), size);
        // At 200 % the picture drawn twice as large takes the same room.
        const QPixmap large = Artwork::picture(name, 2);
        QCOMPARE(large.size(), size * 2);
        QCOMPARE(large.devicePixelRatio(), 2.0);
        QCOMPARE(large.deviceIndependentSize().toSize(), size);
    }

    // The background is laid under everything: it must cover, without holes.
    void backgroundIsOpaque()
    {
        const QImage image = Artwork::picture(QStringLiteral("background")).toImage();
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= 32 && image.height() >= 32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(qAlpha(image.pixel(x, y)), 255);
        }
    }

    // The two check pictures must be told apart.
    void checksDiffer()
    {
        QVERIFY(Artwork::picture(QStringLiteral("check_off")).toImage()
                != Artwork::picture(QStringLiteral("check_on")).toImage());
    }

    // Only plain file names reach the resources.
    void badNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("missing") << "nothing_here";
        QTest::newRow("parent") << "../art/background";
        QTest::newRow("with extension") << "background.png";
        QTest::newRow("capitals") << "Background";
        QTest::newRow("absolute") << "/etc/passwd";
    }
    void badNames()
    {
        QFETCH(QString, name);
        QVERIFY(Artwork::picture(name).isNull());
    }
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
