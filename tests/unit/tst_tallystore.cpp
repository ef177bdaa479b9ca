#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#include "fulldisk.h"
#include "words/tallystore.h"
#include "words/tlzrw1.h"

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

TallyTable following(const QList<QByteArray> &names)
{
    TallyTable table;
    for (const QByteArray &name : names)
        table.follow(name);
    return table;
}

// Columns 5..8 of every opponent row, comma-joined.
QByteArray sessionFigures(const TallyTable &table)
{
    QList<QByteArray> cells;
    for (int row = 1; row < table.rowCount(); ++row) {
        for (int col = TallyTable::FirstSessionColumn; col < TallyTable::ColumnCount; ++col)
            cells.append(table.cell(col, row));
    }
    return cells.join(',');
}

} // namespace

class TestTallyStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = TallyStore::fileIn(m_dir.path());
        QCOMPARE(QFileInfo(m_path).fileName(), QStringLiteral("Lexitangletally.tld"));
        // Each test starts with an empty folder: no tally, nothing kept aside from before.
        QVERIFY(QDir(m_dir.path()).removeRecursively());
        QVERIFY(QDir().mkpath(m_dir.path()));
    }

    // --- the file a first run leaves ---

    // A fresh tally saved at a normal close is exactly these 24 bytes, which older copies read.
    void firstFileIsExact()
    {
        QVERIFY(TallyStore(m_path).save(TallyTable()));
        QCOMPARE(readAll(m_path), QByteArray::fromHex("57525A4C210000000E00400180390D0A310D0A30003F0125"));
    }

    // No file yet: a fresh tally and no message.
    void missingFileIsFreshTally()
    {
        const TallyStore::Loaded loaded = TallyStore(m_path).load();
        QVERIFY(loaded.error.isEmpty());
        QCOMPARE(loaded.table.toText(), TallyTable().toText());
    }

    // --- round trips ---

    void roundTrip_data()
    {
        QTest::addColumn<QList<QByteArray>>("names");
        QTest::addColumn<int>("wonBy"); // -1 the player, else the index into names
        QTest::newRow("nobody followed") << QList<QByteArray>{} << -1;
        QTest::newRow("two opponents") << QList<QByteArray>{"Ann", "Bob Smith"} << 0;
        QTest::newRow("latin-1 name") << QList<QByteArray>{"C\xE9line", "x"} << 1;
        QTest::newRow("many") << [] {
            QList<QByteArray> names;
            for (int i = 0; i < 300; ++i)
                names.append("player " + QByteArray::number(i));
            return names;
        }() << 7;
    }
    // Totals and names come back as saved; the session figures start again at 0.
    void roundTrip()
    {
        QFETCH(QList<QByteArray>, names);
        QFETCH(int, wonBy);
        TallyTable table = following(names);
        table.addgame(wonBy < 0 ? QByteArray(TallyTable::OwnWin) : names.at(wonBy), names);
        table.addtomineset(TallyTable::MostWords, 17);
        QVERIFY(TallyStore(m_path).save(table));

        const TallyStore::Loaded loaded = TallyStore(m_path).load();
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.table.names(), names);
        for (int row = 0; row < table.rowCount(); ++row) {
            for (int col = 0; col < TallyTable::FirstSessionColumn; ++col)
                QCOMPARE(loaded.table.cell(col, row), table.cell(col, row));
        }
        QCOMPARE(sessionFigures(loaded.table), QList<QByteArray>(names.size() * 4, "0").join(','));
    }

    // Saving replaces the old content whole, also with a shorter tally.
    void saveReplacesLongerFile()
    {
        QVERIFY(TallyStore(m_path).save(following({"Ann", "Bob", "Cid"})));
        QVERIFY(TallyStore(m_path).save(following({"Dee"})));
        QCOMPARE(TallyStore(m_path).load().table.names(), QList<QByteArray>{"Dee"});
    }

    // --- unreadable files ---

    void damagedFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message"); // %1 stands for the file's path

        const QByteArray good = Tlzrw1::compressBytes(following({"Ann"}).toText());
        const QString header = QStringLiteral("%1 : Lzrw1 decompression : this file has no valid header !");
        const QString read = QStringLiteral("Lzrw1 : Error reading from input file : %1");
        const QString sizes = QStringLiteral("Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
        const QString text = QStringLiteral("%1 : the tally in this file is damaged and cannot be read !");

        QTest::newRow("empty file") << QByteArray() << read;
        QTest::newRow("plain text") << QByteArray("9\r\n1\r\n0\r\n") << header;
        QTest::newRow("other method") << QByteArray("!HZL\x00\x00\x00\x00\x01\x00\x80", 11) << header;
        QTest::newRow("cut in a block") << good.left(good.size() - 3) << read;
        QTest::newRow("size field too small")
            << QByteArray(good).replace(4, 1, QByteArray(1, char(good.at(4) - 1))) << sizes;
        // Well-formed containers around texts that are not a tally.
        QTest::newRow("row count above the lines")
            << Tlzrw1::compressBytes("9\r\n12\r\n" + QByteArray("0\r\n").repeated(9)) << text;
        QTest::newRow("count not a number")
            << Tlzrw1::compressBytes("9\r\nx\r\n" + QByteArray("0\r\n").repeated(9)) << text;
        QTest::newRow("no rows") << Tlzrw1::compressBytes("9\r\n0\r\n") << text;
        QTest::newRow("empty text") << Tlzrw1::compressBytes(QByteArray()) << text;
    }
    // The compressor's or the reader's message for the box, and a fresh tally to go on with.
    void damagedFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        writeAll(m_path, bytes);
        const TallyStore::Loaded loaded = TallyStore(m_path).load();
        QCOMPARE(loaded.error, message.arg(m_path));
        QCOMPARE(loaded.table.toText(), TallyTable().toText());
        // The unreadable file is moved aside before any save can replace it.
        QVERIFY(!QFile::exists(m_path));
        QCOMPARE(loaded.keptAs, m_path + QStringLiteral(".bad"));
        QCOMPARE(readAll(loaded.keptAs), bytes);
    }

    // Each unreadable file gets a name of its own, never one an earlier file (or a link) holds,
    // and the message says where it went.
    void unreadableFilesKeptApart()
    {
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("gone")), m_path + QStringLiteral(".bad.1")));
        const QStringList kept = {m_path + QStringLiteral(".bad"), m_path + QStringLiteral(".bad.2")};
        TallyStore store(m_path);
        for (const QString &place : kept) {
            writeAll(m_path, place.toUtf8());
            const TallyStore::Loaded loaded = store.load();
            QCOMPARE(loaded.keptAs, place);
            QVERIFY2(loaded.message().startsWith(loaded.error + QStringLiteral("\n")), qPrintable(loaded.message()));
            QVERIFY2(loaded.message().contains(QDir::toNativeSeparators(place)), qPrintable(loaded.message()));
        }
        for (const QString &place : kept)
            QCOMPARE(readAll(place), place.toUtf8());
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("gone"))));
        QVERIFY(store.save(following({"Ann"})));
    }

    // A file that cannot be moved aside stays where it is, and no save replaces it.
    void unmovableFileNeverReplaced()
    {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Lexitangletally.tld/keep")));
        TallyStore store(m_path);
        const TallyStore::Loaded loaded = store.load();
        QVERIFY(!loaded.error.isEmpty());
        QVERIFY(loaded.keptAs.isEmpty());
        QString error;
        QVERIFY(!store.save(following({"Ann"}), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(QFileInfo::exists(m_path + QStringLiteral("/keep")));
        QVERIFY(QDir(m_path).removeRecursively());
    }

    // Files the formats allow, though this program never writes them so.
    void acceptedFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("names");
        const QByteArray text = following({"Ann"}).toText();
        const QList<QByteArray> ann{"Ann"};
        QTest::newRow("bytes after the last block") << Tlzrw1::compressBytes(text) + "junk" << ann;
        QTest::newRow("LF line ends") << Tlzrw1::compressBytes(QByteArray(text).replace("\r\n", "\n")) << ann;
        QTest::newRow("an extra empty line") << Tlzrw1::compressBytes(text + "\r\n") << ann;
        QTest::newRow("last cell missing") << Tlzrw1::compressBytes(text.chopped(3)) << ann;
        QTest::newRow("row count above the cells")
            << Tlzrw1::compressBytes("9\r\n2\r\n" + QByteArray("0\r\n").repeated(9)) << QList<QByteArray>{"0"};
        QTest::newRow("row count below the lines")
            << Tlzrw1::compressBytes("9\r\n1\r\n" + QByteArray("0\r\n").repeated(18)) << QList<QByteArray>{};
        QTest::newRow("eight columns")
            << Tlzrw1::compressBytes("8\r\n1\r\n" + QByteArray("0\r\n").repeated(8)) << QList<QByteArray>{};
    }
    void acceptedFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, names);
        writeAll(m_path, bytes);
        const TallyStore::Loaded loaded = TallyStore(m_path).load();
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.table.names(), names);
        QCOMPARE(readAll(m_path), bytes);
    }

    // A well-formed container that inflates past anything a tally can be is refused before it
    // is decoded, however well formed the text inside would be.
    void inflatesPastTheCap()
    {
        const QByteArray text = "9\r\n1\r\n" + QByteArray(TallyStore::MaxTextSize, 'a') + "\r\n"
            + QByteArray("0\r\n").repeated(8);
        const QByteArray container = Tlzrw1::compressBytes(text);
        QVERIFY(container.size() < 64 * 1024);
        writeAll(m_path, container);
        const TallyStore::Loaded loaded = TallyStore(m_path).load();
        QCOMPARE(loaded.error, m_path + QStringLiteral(" : the tally in this file is damaged and cannot be read !"));
        QCOMPARE(loaded.table.toText(), TallyTable().toText());
    }

    // Far larger than any tally: refused before it is read.
    void oversizedFile()
    {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(TallyStore::MaxFileSize + 1));
        file.close();
        const TallyStore::Loaded loaded = TallyStore(m_path).load();
        QVERIFY(!loaded.error.isEmpty());
        QCOMPARE(loaded.table.rowCount(), 1);
    }

    // The next save after a refused file writes a good one in its place.
    void saveReplacesDamagedFile()
    {
        writeAll(m_path, "garbage");
        TallyStore store(m_path);
        QVERIFY(!store.load().error.isEmpty());
        QVERIFY(store.save(following({"Ann"})));
        QCOMPARE(store.load().table.names(), QList<QByteArray>{"Ann"});
    }

    // --- failed saves ---

    // A save that cannot complete leaves whatever was there before.
    void failedSaveKeepsOldFile()
    {
        // A folder in the tally's place: the finished file can never be renamed over it.
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("Lexitangletally.tld/keep")));
        QVERIFY(!TallyStore(m_path).save(following({"Ann"})));
        QVERIFY(QFileInfo(m_path).isDir());
        QVERIFY(QFileInfo::exists(m_path + QStringLiteral("/keep")));
        // And nothing half-written is left beside it.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
        QVERIFY(QDir(m_path).removeRecursively());
    }

    // A full disk: the save fails and the old tally stays byte for byte, with nothing beside it.
    void saveOnFullDisk()
    {
        FullDisk disk;
        if (!disk.mounted())
            QSKIP(disk.skipReason());
        TallyStore store(TallyStore::fileIn(disk.folder()));
        QVERIFY(store.save(following({"Ann", "Bob"})));
        const QByteArray before = readAll(store.path());
        QVERIFY(disk.fill());
        QString error;
        QVERIFY(!store.save(following({"Ann", "Bob", "Cid"}), &error));
        QCOMPARE(error, QString::fromLocal8Bit(std::strerror(ENOSPC)));
        QCOMPARE(readAll(store.path()), before);
        QCOMPARE(disk.entries(), QStringList{QStringLiteral("Lexitangletally.tld")});
    }

    // A folder that does not exist: false, nothing created.
    void saveIntoMissingFolderFails()
    {
        const QString path = m_dir.filePath(QStringLiteral("nowhere/Lexitangletally.tld"));
        QVERIFY(!TallyStore(path).save(TallyTable()));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("nowhere"))));
    }

    // --- no working file ---

    // Loading and saving leave nothing in the current folder: no temp.txt, nothing else.
    void noWorkingFileInCurrentFolder()
    {
        QTemporaryDir cwd;
        QVERIFY(cwd.isValid());
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(cwd.path()));
        TallyStore store(m_path);
        const bool saved = store.save(following({"Ann"}));
        const QString error = store.load().error;
        writeAll(m_path, "garbage");
        const QString damaged = store.load().error;
        const QStringList left = QDir(cwd.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QVERIFY(QDir::setCurrent(before));
        QVERIFY(saved);
        QVERIFY(error.isEmpty());
        QVERIFY(!damaged.isEmpty());
        QCOMPARE(left, QStringList());
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestTallyStore)
#include "tst_tallystore.moc"
