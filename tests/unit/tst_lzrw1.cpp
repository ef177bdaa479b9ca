#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include "fulldisk.h"
#include "words/tlzr.h"
#include "words/tlzrw1.h"

#include <functional>
#include <memory>
#include <vector>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The tally text of a first start: 9 columns, 1 row, nine cells holding 0.
QByteArray emptyTallyText()
{
    return QByteArray("9\r\n1\r\n") + QByteArray("0\r\n").repeated(9);
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray data(size, Qt::Uninitialized);
    for (char &c : data)
        c = char(rng.bounded(256));
    return data;
}

// Lines like a big tally: names and small numbers, CR LF, much repetition at short distance.
QByteArray tallyLikeText(qsizetype size, quint32 seed)
{
    static const char *const names[] = {"Alice", "bob smith", "Zed", "QuizKid", "0", ""};
    QRandomGenerator rng(seed);
    QByteArray data;
    while (data.size() < size) {
        if (rng.bounded(3) == 0)
            data += names[rng.bounded(6)];
        else
            data += QByteArray::number(rng.bounded(40));
        data += "\r\n";
    }
    data.truncate(size);
    return data;
}

// Long runs of one byte (beyond the longest run item) between short random stretches.
QByteArray runsData(qsizetype size, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray data;
    while (data.size() < size) {
        data += QByteArray(rng.bounded(1, 9000), char(rng.bounded(256)));
        data += randomBytes(rng.bounded(40), rng.generate());
    }
    data.truncate(size);
    return data;
}

QByteArray makeData(const QByteArray &kind, qsizetype size)
{
    const quint32 seed = quint32(size) * 7919u + 17u;
    if (kind == "random")
        return randomBytes(size, seed);
    if (kind == "tally")
        return tallyLikeText(size, seed);
    return runsData(size, seed);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

QByteArray encodeChunk(const QByteArray &chunk)
{
    TLZR engine;
    std::vector<quint8> out(TLZR::BufferSize);
    const int length = engine.compress(reinterpret_cast<const quint8 *>(chunk.constData()),
                                       int(chunk.size()), out.data());
    return QByteArray(reinterpret_cast<const char *>(out.data()), length);
}

// Decodes into an exactly sized heap copy of the block, so a sanitizer sees any stray access.
int decodeBlock(const QByteArray &block, QByteArray *chunk = nullptr)
{
    std::unique_ptr<quint8[]> in(new quint8[size_t(std::max<qsizetype>(block.size(), 1))]);
    std::memcpy(in.get(), block.constData(), size_t(block.size()));
    std::unique_ptr<quint8[]> out(new quint8[TLZR::ChunkSize]);
    const int n = TLZR::decompress(in.get(), int(block.size()), out.get());
    if (chunk && n >= 0)
        *chunk = QByteArray(reinterpret_cast<const char *>(out.get()), n);
    return n;
}

QString thrownMessage(const std::function<void()> &job)
{
    try {
        job();
    } catch (const ELzrw1Exception &e) {
        return e.message();
    }
    return QStringLiteral("<no exception>");
}

// Puts the file names into a message pattern: %1 the input, %2 the output.
QString withNames(QString pattern, const QString &input, const QString &output = QString())
{
    return pattern.replace(QLatin1String("%1"), input).replace(QLatin1String("%2"), output);
}

const QString SizesMessage = QStringLiteral(
    "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");

} // namespace

class TestLzrw1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- The encoder's exact block bytes, and the decoder's way back. ---

    void blockBytes_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("empty chunk") << QByteArray() << hex("80");
        QTest::newRow("abc stored") << QByteArray("abc") << hex("80616263");
        QTest::newRow("100 a: one run") << QByteArray(100, 'a') << hex("40800000005461");
        QTest::newRow("abc x6: back-reference 3/15")
            << QByteArray("abc").repeated(6) << hex("40100061626300 3C");
        QTest::newRow("first tally text") << emptyTallyText()
                                          << hex("40 0180 39 0D0A 31 0D0A 30 003F 0125");
        QTest::newRow("5000 a: runs cut at 4095")
            << QByteArray(5000, 'a') << hex("40 C000 000FEF61 00037961");
        QTest::newRow("15 a: too short for a run")
            << QByteArray(15, 'a') << hex("40 4000 61 001B");
        QTest::newRow("abcd x10: matches stop at 18")
            << QByteArray("abcd").repeated(10) << hex("40 0C00 61626364 004F 014F");
        QTest::newRow("offset 4095 reaches")
            << QByteArray("xyz") + QByteArray(4092, '-') + "xyz"
            << hex("40 1800 78797A 000FEC2D FFF0");
        QTest::newRow("offset 4096 is too far")
            << QByteArray("xyz") + QByteArray(4093, '-') + "xyz"
            << hex("40 1000 78797A 000FED2D 78797A");
        // The 17th item opens a second group; its control word follows the 16th item.
        QTest::newRow("second group")
            << QByteArray("0123456789ABCDEFGHIJ") + QByteArray(20, 'z')
            << hex("40 0000 30313233343536373839414243444546 0800 4748494A 0000047A");
    }
    void blockBytes()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(QByteArray, block);
        QCOMPARE(encodeChunk(chunk), block);
        QByteArray decoded;
        QCOMPARE(decodeBlock(block, &decoded), int(chunk.size()));
        QCOMPARE(decoded, chunk);
    }

    // --- Refusals of the decoder: never outside the buffers, never a half-trusted block. ---

    void decodeRefuses_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("expected"); // chunk length, or -1 for a refusal
        QTest::newRow("length 0") << QByteArray() << 0;
        QTest::newRow("length 1, any flag") << hex("40") << 0;
        QTest::newRow("control word cut") << hex("4000") << -1;
        QTest::newRow("other flag reads as compressed") << hex("00 0000 616263") << 3;
        QTest::newRow("unused bits set at the end") << hex("40 7FFF 61") << 1;
        // A run holds at most 15 * 256 + 255 + 16 = 4111 bytes (b1 < 16 keeps the offset 0);
        // eight runs of 4096 fill a chunk exactly.
        const QByteArray eightRuns = hex("000FF041").repeated(8);
        QTest::newRow("longest run item") << hex("40 8000 000FFF41") << 4111;
        QTest::newRow("runs to exactly 32768") << hex("40 FF00") + eightRuns << 32768;
        QTest::newRow("run past 32768") << hex("40 FF80") + eightRuns + hex("00000041") << -1;
        QTest::newRow("stored full chunk") << hex("80") + QByteArray(32768, 'q') << 32768;
        QTest::newRow("stored one byte too many") << hex("80") + QByteArray(32769, 'q') << -1;
        QTest::newRow("literal after a full chunk") << hex("40 FF00") + eightRuns + "b" << -1;
        QTest::newRow("match after a full chunk") << hex("40 FF80") + eightRuns + hex("0010") << -1;
        QTest::newRow("back-reference at the start") << hex("40 8000 0010") << -1;
        QTest::newRow("back-reference one before the start") << hex("40 4000 61 0020") << -1;
        QTest::newRow("back-reference to the first byte") << hex("40 4000 61 0013") << 7;
        QTest::newRow("largest offset, nothing behind it") << hex("40 4000 61 FFF0") << -1;
        QTest::newRow("copy item cut") << hex("40 4000 61 00") << -1;
        QTest::newRow("run cut after 3 bytes") << hex("40 8000 000000") << -1;
        QTest::newRow("run cut after 2 bytes") << hex("40 8000 0000") << -1;
        QTest::newRow("second control word cut")
            << hex("40 0000") + QByteArray(16, 'l') + hex("00") << -1;
        QTest::newRow("second control word without items")
            << hex("40 0000") + QByteArray(16, 'l') + hex("0000") << -1;
        QTest::newRow("second group with one literal")
            << hex("40 0000") + QByteArray(16, 'l') + hex("0000 6D") << 17;
    }
    void decodeRefuses()
    {
        QFETCH(QByteArray, block);
        QFETCH(int, expected);
        QCOMPARE(decodeBlock(block), expected);
    }

    // The overlapping copy repeats the bytes it is producing.
    void overlappingCopy()
    {
        QByteArray chunk;
        QCOMPARE(decodeBlock(hex("40 2000 6162 002F"), &chunk), 20);
        QCOMPARE(chunk, QByteArray("ab").repeated(10));
    }

    // --- The container, byte for byte. ---

    void containerBytes_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("container");
        QTest::newRow("empty") << QByteArray() << hex("57525A4C 00000000 0100 80");
        QTest::newRow("abc") << QByteArray("abc") << hex("57525A4C 03000000 0400 80616263");
        QTest::newRow("first tally")
            << emptyTallyText()
            << hex("57 52 5A 4C 21 00 00 00 0E 00 40 01 80 39 0D 0A 31 0D 0A 30 00 3F 01 25");
    }
    void containerBytes()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, container);
        QCOMPARE(Tlzrw1::compressBytes(data), container);
        QCOMPARE(Tlzrw1::decompressBytes(container, QStringLiteral("x")), data);

        QTemporaryDir dir;
        Tlzrw1 doit;
        writeFile(dir.filePath("temp.txt"), data);
        doit.setInputFile(dir.filePath("temp.txt"));
        doit.setOutputFile(dir.filePath("tally.tld"));
        QCOMPARE(doit.Compress(), qint64(container.size()));
        QCOMPARE(readFile(dir.filePath("tally.tld")), container);

        doit.setInputFile(dir.filePath("tally.tld"));
        doit.setOutputFile(dir.filePath("back.txt"));
        QCOMPARE(doit.Decompress(), qint64(data.size()));
        QCOMPARE(readFile(dir.filePath("back.txt")), data);
    }

    // A whole number of chunks ends with an empty block; every block is one chunk.
    void wholeChunksEndWithEmptyBlock_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("blocks");
        QTest::newRow("32767") << 32767 << 1;
        QTest::newRow("32768") << 32768 << 2;
        QTest::newRow("32769") << 32769 << 2;
        QTest::newRow("65536") << 65536 << 3;
    }
    void wholeChunksEndWithEmptyBlock()
    {
        QFETCH(int, size);
        QFETCH(int, blocks);
        const QByteArray container = Tlzrw1::compressBytes(randomBytes(size, 5));
        QCOMPARE(container.left(4), QByteArray("WRZL"));
        QCOMPARE(qFromLittleEndian<quint32>(container.constData() + 4), quint32(size));
        int count = 0;
        qsizetype pos = 8;
        while (pos < container.size()) {
            const int length = qFromLittleEndian<quint16>(container.constData() + pos);
            // Random bytes never shrink: each chunk is stored.
            QCOMPARE(quint8(container.at(pos + 2)), TLZR::FlagStored);
            pos += 2 + length;
            ++count;
        }
        QCOMPARE(pos, container.size());
        QCOMPARE(count, blocks);
        if (size % TLZR::ChunkSize == 0)
            QCOMPARE(container.right(3), hex("010080"));
    }

    // --- Round trips, in memory and file to file. ---

    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("data");
        const int sizes[] = {0, 1, 2, 3, 4, 15, 16, 17, 18, 19, 4095, 4096, 32767, 32768,
                             32769, 65535, 65536, 65537, 100000, 250000};
        for (const char *kind : {"random", "tally", "runs"}) {
            for (int size : sizes)
                QTest::addRow("%s %d", kind, size) << makeData(kind, size);
        }
        QTest::addRow("zeros 70000") << QByteArray(70000, '\0');
    }
    void roundTrip()
    {
        QFETCH(QByteArray, data);
        const QByteArray container = Tlzrw1::compressBytes(data);
        QCOMPARE(Tlzrw1::decompressBytes(container, QStringLiteral("mem")), data);

        QTemporaryDir dir;
        Tlzrw1 doit;
        writeFile(dir.filePath("in"), data);
        doit.setInputFile(dir.filePath("in"));
        doit.setOutputFile(dir.filePath("packed"));
        QCOMPARE(doit.Compress(), qint64(container.size()));
        QCOMPARE(readFile(dir.filePath("packed")), container);
        doit.setInputFile(dir.filePath("packed"));
        doit.setOutputFile(dir.filePath("out"));
        QCOMPARE(doit.Decompress(), qint64(data.size()));
        QCOMPARE(readFile(dir.filePath("out")), data);
    }

    // Compressible chunks really shrink, and a chunk never grows by more than its flag byte.
    void blockSizeBounds()
    {
        const QByteArray text = makeData("tally", 32768);
        QVERIFY(encodeChunk(text).size() < text.size() / 2);
        for (int size : {1, 100, 32768}) {
            const QByteArray noise = randomBytes(size, 99);
            QCOMPARE(encodeChunk(noise).size(), size + 1);
        }
    }

    // Compressing a file onto itself replaces it with its container, all read before.
    void compressInPlace()
    {
        QTemporaryDir dir;
        const QByteArray data = makeData("tally", 70000);
        writeFile(dir.filePath("t"), data);
        Tlzrw1 doit;
        doit.setInputFile(dir.filePath("t"));
        doit.setOutputFile(dir.filePath("t"));
        doit.Compress();
        QCOMPARE(readFile(dir.filePath("t")), Tlzrw1::compressBytes(data));
    }

    // --- Failures: the exact message, no output left, the input and an old output unchanged. ---

    void decompressFailures_data()
    {
        QTest::addColumn<QByteArray>("container");
        QTest::addColumn<QString>("message"); // %1 stands for the input name

        const QString header = QStringLiteral("%1 : Lzrw1 decompression : this file has no valid header !");
        const QString read = QStringLiteral("Lzrw1 : Error reading from input file : %1");
        const QByteArray abc = hex("57525A4C 03000000 0400 80616263");
        const QByteArray big = Tlzrw1::compressBytes(makeData("tally", 40000));

        QTest::newRow("other identifier") << hex("57525A4D 00000000 0100 80") << header;
        QTest::newRow("Good method identifier") << hex("21485A4C 00000000 0100 80") << header;
        QTest::newRow("empty file") << QByteArray() << read;
        QTest::newRow("identifier cut") << hex("57525A") << read;
        QTest::newRow("size cut") << hex("57525A4C 0300") << read;
        QTest::newRow("no block") << hex("57525A4C 03000000") << read;
        QTest::newRow("block length cut") << hex("57525A4C 03000000 04") << read;
        QTest::newRow("cut inside a block") << abc.chopped(1) << read;
        QTest::newRow("cut inside a later block") << big.chopped(5) << read;
        QTest::newRow("last block missing")
            << Tlzrw1::compressBytes(QByteArray(32768, 'k')).chopped(3) << read;
        QTest::newRow("original size too small") << hex("57525A4C 02000000 0400 80616263")
                                                  << SizesMessage;
        QTest::newRow("original size too large") << hex("57525A4C 04000000 0400 80616263")
                                                  << SizesMessage;
        QTest::newRow("block longer than a stored chunk")
            << hex("57525A4C 00800000 0280") + hex("80") + QByteArray(32769, 'q') << SizesMessage;
        QTest::newRow("block decodes past 32768")
            << hex("57525A4C 10800000 2700 40FF80") + hex("000FF041").repeated(8) + hex("00000041")
            << SizesMessage;
        QTest::newRow("back-reference before start") << hex("57525A4C 03000000 0500 4080000010")
                                                      << SizesMessage;
        QTest::newRow("copy item cut by the block end")
            << hex("57525A4C 03000000 0500 4040006100") << SizesMessage;
    }
    void decompressFailures()
    {
        QFETCH(QByteArray, container);
        QFETCH(QString, message);

        QCOMPARE(thrownMessage([&] { Tlzrw1::decompressBytes(container, "Lexitangletally.tld"); }),
                 withNames(message, "Lexitangletally.tld"));

        QTemporaryDir dir;
        const QString in = dir.filePath("tally.tld");
        const QString out = dir.filePath("temp.txt");
        writeFile(in, container);
        Tlzrw1 doit;
        doit.setInputFile(in);
        doit.setOutputFile(out);
        QCOMPARE(thrownMessage([&] { doit.Decompress(); }), withNames(message, in));
        QVERIFY(!QFile::exists(out));
        QCOMPARE(readFile(in), container);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"tally.tld"});

        // A file already at the output path is not touched by a failed job.
        writeFile(out, "old");
        QCOMPARE(thrownMessage([&] { doit.Decompress(); }), withNames(message, in));
        QCOMPARE(readFile(out), QByteArray("old"));
    }

    // Reading stops at the first block short of a full chunk: whatever follows it is not read.
    void trailingBytesIgnored_data()
    {
        QTest::addColumn<QByteArray>("container");
        QTest::addColumn<QByteArray>("data");
        const QByteArray abc = hex("57525A4C 03000000 0400 80616263");
        const QByteArray full = QByteArray(32768, 'k');
        QTest::newRow("a byte after the last block") << abc + hex("00") << QByteArray("abc");
        QTest::newRow("a block after the last block") << abc + hex("0100 80") << QByteArray("abc");
        QTest::newRow("junk after the empty block of a whole chunk")
            << Tlzrw1::compressBytes(full) + "junk" << full;
    }
    void trailingBytesIgnored()
    {
        QFETCH(QByteArray, container);
        QFETCH(QByteArray, data);
        QCOMPARE(Tlzrw1::decompressBytes(container, QStringLiteral("mem")), data);
        QTemporaryDir dir;
        writeFile(dir.filePath("in"), container);
        Tlzrw1 doit;
        doit.setInputFile(dir.filePath("in"));
        doit.setOutputFile(dir.filePath("out"));
        QCOMPARE(doit.Decompress(), qint64(data.size()));
        QCOMPARE(readFile(dir.filePath("out")), data);
    }

    // A full disk under the output: the write error, and an output file that was there before
    // stays as it was, with nothing beside it.
    void fullDiskKeepsOldOutput_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::newRow("compress") << true;
        QTest::newRow("decompress") << false;
    }
    void fullDiskKeepsOldOutput()
    {
        QFETCH(bool, compress);
        FullDisk disk;
        if (!disk.mounted())
            QSKIP(disk.skipReason());
        QTemporaryDir dir;
        const QByteArray text = emptyTallyText();
        writeFile(dir.filePath("in"), compress ? text : Tlzrw1::compressBytes(text));
        const QString out = disk.filePath(QStringLiteral("out"));
        writeFile(out, "old");
        QVERIFY(disk.fill());
        Tlzrw1 doit;
        doit.setInputFile(dir.filePath("in"));
        doit.setOutputFile(out);
        QCOMPARE(thrownMessage([&] { compress ? doit.Compress() : doit.Decompress(); }),
                 QStringLiteral("Lzrw1 : Error writing to output file : ") + out);
        QCOMPARE(readFile(out), QByteArray("old"));
        QCOMPARE(disk.entries(), QStringList{QStringLiteral("out")});
    }

    void openFailures_data()
    {
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QString>("input");  // relative to the temporary folder
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message"); // %1 input path, %2 output path
        const QString openIn = QStringLiteral("Lzrw1 (de)compression : Failed to open input file : %1");
        const QString openOut = QStringLiteral("Lzrw1 (de)compression : Failed to open output file : %2");
        QTest::newRow("compress: missing input") << true << "missing" << "out"
                                                 << "Lzrw1 compression : Failed to obtain the size of : %1";
        QTest::newRow("compress: input is a folder") << true << "sub" << "out" << openIn;
        QTest::newRow("compress: no such output folder") << true << "file" << "nodir/out" << openOut;
        QTest::newRow("compress: output is a folder") << true << "file" << "sub" << openOut;
        QTest::newRow("decompress: missing input") << false << "missing" << "out" << openIn;
        QTest::newRow("decompress: input is a folder") << false << "sub" << "out" << openIn;
        QTest::newRow("decompress: no such output folder") << false << "file" << "nodir/out" << openOut;
    }
    void openFailures()
    {
        QFETCH(bool, compress);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        writeFile(dir.filePath("file"), Tlzrw1::compressBytes("abc"));
        Tlzrw1 doit;
        doit.setInputFile(dir.filePath(input));
        doit.setOutputFile(dir.filePath(output));
        const QString expected = withNames(message, dir.filePath(input), dir.filePath(output));
        QCOMPARE(thrownMessage([&] { compress ? doit.Compress() : doit.Decompress(); }), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"file"});
        QCOMPARE(readFile(dir.filePath("file")), Tlzrw1::compressBytes("abc"));
    }

    // An input that yields other than its size (a /proc file claims size 0, /dev/zero never
    // ends) would give a container with a wrong size field; it is refused after the output was
    // begun, and the tally file that was there before survives.
    void compressRefusesInputOfWrongSize_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("grows") << "/proc/self/status";
        QTest::newRow("never ends") << "/dev/zero";
    }
    void compressRefusesInputOfWrongSize()
    {
        QFETCH(QString, input);
        if (!QFile::exists(input))
            QSKIP("needs a Linux-like /proc and /dev");
        QTemporaryDir dir;
        Tlzrw1 doit;
        doit.setInputFile(input);
        doit.setOutputFile(dir.filePath("tally.tld"));
        const QString message =
            QStringLiteral("Lzrw1 : Error reading from input file : ") + input + " (LZRW1/KH)";
        QCOMPARE(thrownMessage([&] { doit.Compress(); }), message);
        QVERIFY(!QFile::exists(dir.filePath("tally.tld")));

        const QByteArray previous = Tlzrw1::compressBytes(emptyTallyText());
        writeFile(dir.filePath("tally.tld"), previous);
        QCOMPARE(thrownMessage([&] { doit.Compress(); }), message);
        QCOMPARE(readFile(dir.filePath("tally.tld")), previous);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"tally.tld"});
    }

    // what() carries the same text for code that only knows std::exception.
    void exceptionText()
    {
        try {
            Tlzrw1::decompressBytes(QByteArray("nope"), QStringLiteral("é.tld"));
            QFAIL("no exception");
        } catch (const std::runtime_error &e) {
            QCOMPARE(QString::fromUtf8(e.what()),
                     QStringLiteral("é.tld : Lzrw1 decompression : this file has no valid header !"));
        }
    }
};

QTEST_GUILESS_MAIN(TestLzrw1)
#include "tst_lzrw1.moc"
