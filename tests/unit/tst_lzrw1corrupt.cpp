#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include "words/tlzr.h"
#include "words/tlzrw1.h"

#include <memory>
#include <optional>
#include <vector>

// Long runs of damaged input through the decoder, from a fixed seed: it must never touch memory
// outside its buffers (the sanitizer build watches), and every result is either the exact
// original size or an ELzrw1Exception.
namespace {

// Plain byte-by-byte decoder written from the format description, to check the fast one.
std::optional<QByteArray> referenceDecode(const QByteArray &block)
{
    const auto at = [&](qsizetype i) { return quint8(block.at(i)); };
    const qsizetype length = block.size();
    if (length <= 1)
        return QByteArray();
    if (at(0) == 0x80)
        return length - 1 <= 32768 ? std::optional(block.mid(1)) : std::nullopt;
    if (length < 3)
        return std::nullopt;
    QByteArray out;
    unsigned control = at(1) << 8 | at(2);
    int bits = 16;
    qsizetype pos = 3;
    while (pos < length) {
        if (bits == 0) {
            if (pos + 3 > length)
                return std::nullopt;
            control = at(pos) << 8 | at(pos + 1);
            pos += 2;
            bits = 16;
        }
        if (!(control & 0x8000)) {
            out += char(at(pos++));
        } else {
            if (pos + 2 > length)
                return std::nullopt;
            const int offset = at(pos) * 16 + (at(pos + 1) >> 4);
            if (offset == 0) {
                if (pos + 4 > length)
                    return std::nullopt;
                out += QByteArray(at(pos + 1) * 256 + at(pos + 2) + 16, char(at(pos + 3)));
                pos += 4;
            } else {
                if (offset > out.size())
                    return std::nullopt;
                for (int i = 0; i < (at(pos + 1) & 0x0F) + 3; ++i)
                    out += out.at(out.size() - offset);
                pos += 2;
            }
        }
        if (out.size() > 32768)
            return std::nullopt;
        control = (control << 1) & 0xFFFF;
        --bits;
    }
    return out;
}

// Runs the engine on an exactly sized heap copy into an exactly sized chunk buffer.
int fastDecode(const QByteArray &block, QByteArray *chunk)
{
    std::unique_ptr<quint8[]> in(new quint8[size_t(std::max<qsizetype>(block.size(), 1))]);
    std::memcpy(in.get(), block.constData(), size_t(block.size()));
    std::unique_ptr<quint8[]> out(new quint8[TLZR::ChunkSize]);
    const int n = TLZR::decompress(in.get(), int(block.size()), out.get());
    if (n >= 0)
        *chunk = QByteArray(reinterpret_cast<const char *>(out.get()), n);
    return n;
}

QByteArray randomBytes(QRandomGenerator &rng, qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (char &c : data)
        c = char(rng.bounded(256));
    return data;
}

// A block that looks like the encoder's work: items of every kind, offsets mostly plausible,
// sometimes reaching too far back, runs sometimes too long, the end sometimes cut.
QByteArray plausibleBlock(QRandomGenerator &rng)
{
    QByteArray block(1, char(rng.bounded(4) == 0 ? rng.bounded(256) : 0x40));
    const int groups = 1 + int(rng.bounded(rng.bounded(2) ? 8 : 300));
    int produced = 0;
    for (int g = 0; g < groups; ++g) {
        const quint16 control = quint16(rng.bounded(0x10000));
        block += char(control >> 8);
        block += char(control);
        for (int bit = 15; bit >= 0; --bit) {
            if (!(control >> bit & 1)) {
                block += char(rng.bounded(256));
                ++produced;
            } else if (rng.bounded(6) == 0) {
                const int count = int(rng.bounded(rng.bounded(2) ? 300 : 4096));
                block += char(0);
                block += char(count >> 8);
                block += char(count);
                block += char(rng.bounded(256));
                produced += count + 16;
            } else {
                const int limit = std::clamp(produced + 3, 1, 4095);
                const int offset = 1 + int(rng.bounded(rng.bounded(3) ? std::min(limit, 40) : limit));
                const int len = int(rng.bounded(16));
                block += char(offset >> 4);
                block += char((offset & 0x0F) << 4 | len);
                produced += len + 3;
            }
        }
    }
    if (rng.bounded(3) == 0)
        block.truncate(rng.bounded(int(block.size()) + 1));
    return block;
}

QByteArray sampleText(QRandomGenerator &rng, qsizetype size)
{
    static const char *const words[] = {"tally", "Alice", "0", "12", "\r\n", "ZYMURGY", " ", "aa"};
    QByteArray data;
    while (data.size() < size) {
        if (rng.bounded(10) == 0)
            data += QByteArray(int(rng.bounded(5000)), char(rng.bounded(256)));
        data += words[rng.bounded(8)];
    }
    data.truncate(size);
    return data;
}

QByteArray damage(QRandomGenerator &rng, QByteArray c)
{
    const auto anyPos = [&] { return qsizetype(rng.bounded(int(c.size()))); };
    switch (rng.bounded(8)) {
    case 0: // flip a few bits
        for (int i = 1 + int(rng.bounded(4)); i > 0; --i) {
            const qsizetype pos = anyPos();
            c[pos] = char(c[pos] ^ (1 << rng.bounded(8)));
        }
        break;
    case 1: // overwrite a few bytes
        for (int i = 1 + int(rng.bounded(8)); i > 0; --i)
            c[anyPos()] = char(rng.bounded(256));
        break;
    case 2:
        c.truncate(anyPos());
        break;
    case 3:
        c += randomBytes(rng, 1 + rng.bounded(64));
        break;
    case 4:
        c.insert(anyPos(), randomBytes(rng, 1 + rng.bounded(16)));
        break;
    case 5:
        c.remove(anyPos(), 1 + rng.bounded(16));
        break;
    case 6: // another original size
        qToLittleEndian(quint32(rng.generate() % 200000), c.data() + 4);
        break;
    default: // the header of a valid file, then random blocks
        c.truncate(8);
        for (int i = int(rng.bounded(4)); i >= 0; --i) {
            const QByteArray block = rng.bounded(2) ? plausibleBlock(rng)
                                                    : randomBytes(rng, rng.bounded(400));
            quint8 length[2];
            qToLittleEndian(quint16(block.size()), length);
            c += QByteArray(reinterpret_cast<const char *>(length), 2) + block;
        }
        break;
    }
    return c;
}

} // namespace

class TestLzrw1Corrupt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Random and plausible blocks: the fast decoder agrees with the plain one on every block,
    // refusals included, and never leaves its buffers.
    void blocksAgreeWithPlainDecoder()
    {
        QRandomGenerator rng(20240611);
        int decoded = 0;
        int refused = 0;
        for (int i = 0; i < 60000; ++i) {
            const QByteArray block = i % 3 == 0 ? randomBytes(rng, rng.bounded(600))
                                                : plausibleBlock(rng);
            QByteArray chunk;
            const int n = fastDecode(block, &chunk);
            const std::optional<QByteArray> expected = referenceDecode(block);
            QCOMPARE(n >= 0, expected.has_value());
            if (n >= 0) {
                QCOMPARE(chunk, *expected);
                ++decoded;
            } else {
                QCOMPARE(n, TLZR::Corrupt);
                ++refused;
            }
        }
        // Both outcomes must really be exercised for the comparison to mean anything.
        QVERIFY(decoded > 2000);
        QVERIFY(refused > 20000);
    }

    // Damaged containers in memory: the exact original size or the exception, nothing else.
    void damagedContainers()
    {
        QRandomGenerator rng(777);
        std::vector<QByteArray> valid;
        for (qsizetype size : {0, 33, 700, 5000, 32768, 40000, 70000})
            valid.push_back(Tlzrw1::compressBytes(sampleText(rng, size)));
        valid.push_back(Tlzrw1::compressBytes(randomBytes(rng, 33000)));

        int decoded = 0;
        int refused = 0;
        for (int i = 0; i < 20000; ++i) {
            const QByteArray container = damage(rng, valid[i % valid.size()]);
            try {
                const QByteArray data = Tlzrw1::decompressBytes(container, QStringLiteral("t"));
                QCOMPARE(quint32(data.size()), qFromLittleEndian<quint32>(container.constData() + 4));
                ++decoded;
            } catch (const ELzrw1Exception &) {
                ++refused;
            }
        }
        QVERIFY(decoded > 500);
        QVERIFY(refused > 5000);
    }

    // File to file: a refused container leaves no output file and no temporary file behind.
    void damagedFiles()
    {
        QRandomGenerator rng(4242);
        QTemporaryDir dir;
        const QByteArray valid = Tlzrw1::compressBytes(sampleText(rng, 45000));
        Tlzrw1 doit;
        doit.setInputFile(dir.filePath("tally.tld"));
        doit.setOutputFile(dir.filePath("temp.txt"));
        for (int i = 0; i < 300; ++i) {
            const QByteArray container = damage(rng, valid);
            QFile file(dir.filePath("tally.tld"));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(container);
            file.close();
            QFile::remove(dir.filePath("temp.txt"));
            try {
                const qint64 written = doit.Decompress();
                QCOMPARE(written, qint64(qFromLittleEndian<quint32>(container.constData() + 4)));
                QVERIFY(QFile::exists(dir.filePath("temp.txt")));
            } catch (const ELzrw1Exception &) {
                QVERIFY(!QFile::exists(dir.filePath("temp.txt")));
            }
            QVERIFY(QDir(dir.path()).entryList(QDir::Files).size() <= 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestLzrw1Corrupt)
#include "tst_lzrw1corrupt.moc"
