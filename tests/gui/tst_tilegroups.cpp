#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "client/tilegroups.h"

namespace {

// A strip of `count` 42-pixel squares: white border, a coloured square inside.
QImage strip(int count, QColor colour)
{
    QImage image(42 * count, 42, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int i = 0; i < count; ++i)
        p.fillRect(42 * i + 10, 10, 22, 22, colour);
    return image;
}

void touch(const QString &path, const QByteArray &bytes = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestTileGroups : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_data = std::make_unique<QTemporaryDir>();
        QVERIFY(m_data->isValid());
        m_folder = TileGroups::folderIn(m_data->path());
        QVERIFY(QDir().mkpath(m_folder));
    }

    // --- finding groups ---

    void folderBesideData()
    {
        QCOMPARE(TileGroups::folderIn(QStringLiteral("/opt/game")), QStringLiteral("/opt/game/Lexitangletiles"));
    }

    void groupsFound_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("groups");
        QTest::newRow("none") << QStringList{} << QStringList{};
        QTest::newRow("sorted") << QStringList{"wood.bmp", "Zed.bmp", "fancy.bmp"}
                                << QStringList{"fancy", "wood", "Zed"};
        QTest::newRow("up to the first dot") << QStringList{"a.b.bmp"} << QStringList{"a"};
        QTest::newRow("one name once") << QStringList{"a.bmp", "a.b.bmp"} << QStringList{"a"};
        QTest::newRow("other files left out")
            << QStringList{"notes.txt", "wood.bmp", "wood.bmp.txt", "big.BMP"} << QStringList{"wood"};
        QTest::newRow("any name that can be stored")
            << QStringList{"my tiles.bmp", "caf\u00e9.bmp", "a&b.bmp"}
            << QStringList{"a&b", "caf\u00e9", "my tiles"};
        QTest::newRow("names that cannot") << QStringList{".hidden.bmp", " lead.bmp", "tab\tx.bmp", "ok.bmp"}
                                           << QStringList{"ok"};
        QTest::newRow("case decides ties") << QStringList{"wood.bmp", "Wood.bmp"} << QStringList{"Wood", "wood"};
    }
    void groupsFound()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, groups);
        for (const QString &file : files)
            touch(QDir(m_folder).filePath(file));
        // A folder that happens to end in .bmp is no group.
        QVERIFY(QDir(m_folder).mkdir(QStringLiteral("folder.bmp")));
        QCOMPARE(TileGroups(m_folder).groupNames(), groups);
    }

    void missingFolderHasNoGroups()
    {
        QCOMPARE(TileGroups(m_data->filePath(QStringLiteral("nowhere"))).groupNames(), QStringList());
    }

    // --- loading a group ---

    void notLoaded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("no such file") << QStringLiteral("wood");
        // Listed as "a" from a.b.bmp, but a.bmp is what is looked for.
        QTest::newRow("a from a.b.bmp") << QStringLiteral("a");
        QTest::newRow("not a picture") << QStringLiteral("broken");
        QTest::newRow("outside the folder") << QStringLiteral("../outside");
        QTest::newRow("empty") << QString();
    }
    void notLoaded()
    {
        QFETCH(QString, name);
        QVERIFY(strip(31, Qt::blue).save(QDir(m_folder).filePath(QStringLiteral("a.b.bmp")), "BMP"));
        QVERIFY(strip(31, Qt::blue).save(m_data->filePath(QStringLiteral("outside.bmp")), "BMP"));
        touch(QDir(m_folder).filePath(QStringLiteral("broken.bmp")), "BM this is no bitmap");
        QVERIFY(!TileGroups(m_folder).loadgrouptiles(name).has_value());
    }

    // A group's pictures are its own: cut from the strip in order, white made transparent.
    void loadedGroupReplacesPictures()
    {
        QImage image = strip(31, Qt::blue);
        QPainter(&image).fillRect(42 * 5 + 10, 10, 22, 22, Qt::red); // picture 5 differs
        QVERIFY(image.save(QDir(m_folder).filePath(QStringLiteral("wood.bmp")), "BMP"));
        const std::optional<TileSet> group = TileGroups(m_folder).loadgrouptiles(QStringLiteral("wood"));
        QVERIFY(group.has_value());
        QCOMPARE(group->count(), TileSet::Count);
        const QImage letterA = group->picture(1).toImage();
        QVERIFY(letterA != TileSet::builtIn().picture(1).toImage());
        QCOMPARE(letterA.pixelColor(20, 20), QColor(Qt::blue));
        QCOMPARE(letterA.pixelColor(2, 2).alpha(), 0);
        QCOMPARE(group->picture(5).toImage().pixelColor(20, 20), QColor(Qt::red));
    }

    // A strip of five pictures: the rest are empty (transparent), nothing is read outside it.
    void shortStrip()
    {
        QVERIFY(strip(5, Qt::green).save(QDir(m_folder).filePath(QStringLiteral("short.bmp")), "BMP"));
        const std::optional<TileSet> group = TileGroups(m_folder).loadgrouptiles(QStringLiteral("short"));
        QVERIFY(group.has_value());
        QCOMPARE(group->picture(4).toImage().pixelColor(20, 20), QColor(Qt::green));
        const QImage uncovered = group->picture(TileSet::EmptySlot).toImage();
        QCOMPARE(uncovered.size(), QSize(42, 42));
        QCOMPARE(uncovered.pixelColor(20, 20).alpha(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> m_data;
    QString m_folder;
};

QTEST_MAIN(TestTileGroups)
#include "tst_tilegroups.moc"
