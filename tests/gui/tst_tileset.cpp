#include <QImage>
#include <QTest>

#include <cmath>
#include <limits>

#include "client/tileset.h"

namespace {

constexpr int Side = TileSet::TileSize;

QRgb squareColour(int i)
{
    return qRgb(10 + 7 * i, 200 - 5 * i, 40);
}

// A strip in which square i is filled with squareColour(i), holds a pure white block
// at 16..25 (which must turn transparent) and a near-white pixel at (2, 2) (which must
// not).
QImage makeStrip(int width, int height, QImage::Format format)
{
    QImage strip(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int i = x / Side;
            const int cx = x % Side;
            QRgb c = squareColour(i);
            if (cx >= 16 && cx <= 25 && y >= 16 && y <= 25)
                c = qRgb(255, 255, 255);
            else if (cx == 2 && y == 2)
                c = qRgb(254, 255, 255);
            strip.setPixel(x, y, c);
        }
    }
    return strip.convertToFormat(format);
}

// The pixel at logical (x, y) of a picture, whatever its device pixel ratio.
QRgb pixelAt(const QPixmap &picture, qreal x, qreal y)
{
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const qreal dpr = picture.devicePixelRatio();
    return image.pixel(int(x * dpr), int(y * dpr));
}

bool isDarkRed(QRgb c)
{
    return qAlpha(c) == 255 && qRed(c) > 100 && qGreen(c) < 60 && qBlue(c) < 60;
}

} // namespace

class TestTileSet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- built-in pictures ----------------------------------------------------------

    // 31 pictures, each 42 x 42 logical pixels and sharp (device pixels = 42 x ratio);
    // a broken ratio falls back to something sane instead of huge or empty pictures.
    void builtInSizes_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("pixels");
        QTest::newRow("1") << 1.0 << 42;
        QTest::newRow("1.5") << 1.5 << 63;
        QTest::newRow("2") << 2.0 << 84;
        QTest::newRow("3") << 3.0 << 126;
        QTest::newRow("zero") << 0.0 << 42;
        QTest::newRow("negative") << -2.0 << 42;
        QTest::newRow("nan") << std::numeric_limits<qreal>::quiet_NaN() << 42;
        QTest::newRow("infinite") << std::numeric_limits<qreal>::infinity() << 42;
        QTest::newRow("absurd") << 1e9 << 336;
    }
    void builtInSizes()
    {
        QFETCH(qreal, ratio);
        QFETCH(int, pixels);
        const TileSet set = TileSet::builtIn(ratio);
        QCOMPARE(set.count(), 31);
        for (int i = 0; i < set.count(); ++i) {
            const QPixmap &p = set.picture(i);
            QCOMPARE(p.size(), QSize(pixels, pixels));
            QCOMPARE(p.deviceIndependentSize(), QSizeF(Side, Side));
        }
    }

    // The frames show the tile beneath: transparent inside, solid along all four edges.
    void framesAreHollow_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("last tile, 1") << int(TileSet::LastTileFrame) << 1.0;
        QTest::newRow("last tile, 2") << int(TileSet::LastTileFrame) << 2.0;
        QTest::newRow("path, 1") << int(TileSet::PathFrame) << 1.0;
        QTest::newRow("path, 2") << int(TileSet::PathFrame) << 2.0;
    }
    void framesAreHollow()
    {
        QFETCH(int, index);
        QFETCH(qreal, ratio);
        const TileSet set = TileSet::builtIn(ratio);
        const QPixmap &frame = set.picture(index);
        for (qreal inside : {6.0, 21.0, 35.0}) {
            QCOMPARE(qAlpha(pixelAt(frame, inside, 21)), 0);
            QCOMPARE(qAlpha(pixelAt(frame, 21, inside)), 0);
        }
        for (qreal edge : {0.0, 2.0, 3.0, 39.0, 41.0}) {
            QCOMPARE(qAlpha(pixelAt(frame, edge, 21)), 255);
            QCOMPARE(qAlpha(pixelAt(frame, 21, edge)), 255);
        }
        const QRgb colour = pixelAt(frame, 3, 21);
        if (index == TileSet::LastTileFrame)
            QVERIFY(qRed(colour) > 150 && qGreen(colour) < 80 && qBlue(colour) < 80);
        else
            QVERIFY(qRed(colour) < 60 && qGreen(colour) < 60 && qBlue(colour) < 60);
    }

    // Each letter tile carries its own letter: all 26 differ, and each shows dark red
    // ink on an opaque tile.
    void lettersAreDrawn()
    {
        const TileSet set = TileSet::builtIn();
        QList<QImage> images;
        for (int i = TileSet::FirstLetter; i <= TileSet::LastLetter; ++i) {
            const QImage image = set.picture(i).toImage().convertToFormat(QImage::Format_ARGB32);
            int ink = 0;
            for (int y = 8; y < 34; ++y) {
                for (int x = 8; x < 34; ++x) {
                    QCOMPARE(qAlpha(image.pixel(x, y)), 255);
                    ink += isDarkRed(image.pixel(x, y)) ? 1 : 0;
                }
            }
            QVERIFY2(ink > 20, qPrintable(QStringLiteral("no letter on tile %1").arg(i)));
            QVERIFY2(!images.contains(image), qPrintable(QStringLiteral("tile %1 repeats").arg(i)));
            images << image;
        }
    }

    // Empty cells tile the board without holes; the empty slot's diamond is darker
    // than the tile around it.
    void emptyPictures()
    {
        const TileSet set = TileSet::builtIn(2.0);
        const QImage cell = set.picture(TileSet::EmptyCell).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < cell.height(); ++y) {
            for (int x = 0; x < cell.width(); ++x)
                QCOMPARE(qAlpha(cell.pixel(x, y)), 255);
        }
        const QPixmap &slot = set.picture(TileSet::EmptySlot);
        QVERIFY(qGray(pixelAt(slot, 21, 21)) < qGray(pixelAt(slot, 6, 21)));
        QVERIFY(qGray(pixelAt(slot, 21, 21)) < qGray(pixelAt(slot, 21, 6)));
    }

    // --- tile group strips ----------------------------------------------------------

    // Square i of the strip becomes picture i; pure white becomes transparent and
    // nothing else does, whatever the file's pixel format.
    void stripCutsSquares_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("rgb32") << int(QImage::Format_RGB32);
        QTest::newRow("argb32") << int(QImage::Format_ARGB32);
        QTest::newRow("premultiplied") << int(QImage::Format_ARGB32_Premultiplied);
        QTest::newRow("rgb888") << int(QImage::Format_RGB888);
        QTest::newRow("indexed") << int(QImage::Format_Indexed8);
    }
    void stripCutsSquares()
    {
        QFETCH(int, format);
        const auto set = TileSet::fromStrip(makeStrip(1302, 42, QImage::Format(format)));
        QVERIFY(set.has_value());
        QCOMPARE(set->count(), 31);
        for (int i = 0; i < set->count(); ++i) {
            const QPixmap &p = set->picture(i);
            QCOMPARE(p.size(), QSize(Side, Side));
            QCOMPARE(pixelAt(p, 5, 5), squareColour(i));
            QCOMPARE(pixelAt(p, 41, 41), squareColour(i));
            QCOMPARE(qAlpha(pixelAt(p, 20, 20)), 0);
            QCOMPARE(pixelAt(p, 2, 2), qRgb(254, 255, 255));
        }
    }

    // A strip that is too small never makes the cutter read outside the image: what it
    // covers is cut as usual and everything else is transparent. A larger image is cut
    // at the same places.
    void stripOfAnySize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("one pixel") << QSize(1, 1);
        QTest::newRow("short and low") << QSize(100, 30);
        QTest::newRow("half a square wide") << QSize(21, 42);
        QTest::newRow("two pixels short") << QSize(1300, 42);
        QTest::newRow("too low") << QSize(1302, 20);
        QTest::newRow("larger") << QSize(1500, 60);
    }
    void stripOfAnySize()
    {
        QFETCH(QSize, size);
        const auto set = TileSet::fromStrip(makeStrip(size.width(), size.height(), QImage::Format_RGB32));
        QVERIFY(set.has_value());
        QCOMPARE(set->count(), 31);
        for (int i = 0; i < set->count(); ++i) {
            const QImage image = set->picture(i).toImage().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), QSize(Side, Side));
            for (int y : {0, 5, 12, 30, 41}) {
                for (int x : {0, 5, 12, 30, 41}) {
                    const bool covered = Side * i + x < size.width() && y < size.height();
                    QCOMPARE(qAlpha(image.pixel(x, y)), covered ? 255 : 0);
                }
            }
        }
    }

    void nullStripGivesNothing()
    {
        QVERIFY(!TileSet::fromStrip(QImage()).has_value());
    }

    // --- lookup -------------------------------------------------------------------

    // A code outside 0..30 draws the empty cell instead of indexing past the list.
    void outOfRangeIsEmptyCell_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("-1") << -1;
        QTest::newRow("31") << 31;
        QTest::newRow("255") << 255;
        QTest::newRow("min") << std::numeric_limits<int>::min();
        QTest::newRow("max") << std::numeric_limits<int>::max();
    }
    void outOfRangeIsEmptyCell()
    {
        QFETCH(int, index);
        const TileSet builtIn = TileSet::builtIn();
        QCOMPARE(&builtIn.picture(index), &builtIn.picture(TileSet::EmptyCell));
        const auto strip = TileSet::fromStrip(makeStrip(1302, 42, QImage::Format_RGB32));
        QCOMPARE(pixelAt(strip->picture(index), 5, 5), squareColour(TileSet::EmptyCell));
    }
};

QTEST_MAIN(TestTileSet)
#include "tst_tileset.moc"
