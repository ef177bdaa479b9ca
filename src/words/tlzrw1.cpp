#include "words/tlzrw1.h"

#include "words/checkedsavefile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace {

constexpr char Identifier[4] = {'W', 'R', 'Z', 'L'};
constexpr int HeaderSize = 8;

QString memoryMessage()
{
    return QStringLiteral("Lzrw1 (de)compression : Failed to get memory for I/O buffers !");
}

QString sizeUnknownMessage(const QString &name)
{
    return QStringLiteral("Lzrw1 compression : Failed to obtain the size of : ") + name;
}

QString openInputMessage(const QString &name)
{
    return QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + name;
}

QString openOutputMessage(const QString &name)
{
    return QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ") + name;
}

QString writeMessage(const QString &name)
{
    return QStringLiteral("Lzrw1 : Error writing to output file : ") + name;
}

QString readMessage(const QString &name)
{
    return QStringLiteral("Lzrw1 : Error reading from input file : ") + name;
}

QString compressReadMessage(const QString &name)
{
    return readMessage(name) + QStringLiteral(" (LZRW1/KH)");
}

QString headerMessage(const QString &name)
{
    return name + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !");
}

QString sizesMessage()
{
    return QStringLiteral(
        "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !");
}

// The input and output buffers of one job: a chunk plus the encoder's slack each.
struct Buffers
{
    Buffers()
        : in(new (std::nothrow) quint8[TLZR::BufferSize])
        , out(new (std::nothrow) quint8[TLZR::BufferSize])
    {
        if (!in || !out)
            throw ELzrw1Exception(memoryMessage());
    }
    std::unique_ptr<quint8[]> in;
    std::unique_ptr<quint8[]> out;
};

// Reads until len bytes have come or the device has no more; returns the count or -1.
qint64 readUpTo(QIODevice &in, quint8 *buffer, qint64 len)
{
    qint64 got = 0;
    while (got < len) {
        const qint64 r = in.read(reinterpret_cast<char *>(buffer) + got, len - got);
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        got += r;
    }
    return got;
}

void readExactly(QIODevice &in, quint8 *buffer, qint64 len, const QString &name)
{
    if (readUpTo(in, buffer, len) != len)
        throw ELzrw1Exception(readMessage(name));
}

void writeAll(QIODevice &out, const void *data, qint64 len, const QString &name)
{
    if (out.write(static_cast<const char *>(data), len) != len)
        throw ELzrw1Exception(writeMessage(name));
}

bool fitsSizeField(qint64 size)
{
    return size >= 0 && size <= qint64(std::numeric_limits<quint32>::max());
}

} // namespace

ELzrw1Exception::ELzrw1Exception(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

qint64 Tlzrw1::Compress()
{
    const QFileInfo info(m_inputFile);
    if (!info.exists() || !fitsSizeField(info.size()))
        throw ELzrw1Exception(sizeUnknownMessage(m_inputFile));
    QFile in(m_inputFile);
    if (!in.open(QIODevice::ReadOnly))
        throw ELzrw1Exception(openInputMessage(m_inputFile));
    CheckedSaveFile out(m_outputFile);
    if (!out.open())
        throw ELzrw1Exception(openOutputMessage(m_outputFile));
    // On an exception the temporary file is dropped with `out`; the target is untouched.
    const qint64 written =
        compressStream(m_engine, in, info.size(), out.device(), m_inputFile, m_outputFile);
    if (!out.commit())
        throw ELzrw1Exception(writeMessage(m_outputFile));
    return written;
}

qint64 Tlzrw1::Decompress()
{
    QFile in(m_inputFile);
    if (!in.open(QIODevice::ReadOnly))
        throw ELzrw1Exception(openInputMessage(m_inputFile));
    CheckedSaveFile out(m_outputFile);
    if (!out.open())
        throw ELzrw1Exception(openOutputMessage(m_outputFile));
    const qint64 written = decompressStream(in, out.device(), m_inputFile, m_outputFile);
    if (!out.commit())
        throw ELzrw1Exception(writeMessage(m_outputFile));
    return written;
}

QByteArray Tlzrw1::compressBytes(const QByteArray &data)
{
    if (!fitsSizeField(data.size()))
        throw ELzrw1Exception(sizeUnknownMessage(QString()));
    QBuffer in;
    in.setData(data); // shares, does not copy
    in.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer out(&result);
    out.open(QIODevice::WriteOnly);
    TLZR engine;
    compressStream(engine, in, data.size(), out, QString(), QString());
    out.close();
    return result;
}

std::optional<qint64> Tlzrw1::originalSize(const QByteArray &container)
{
    if (container.size() < HeaderSize || std::memcmp(container.constData(), Identifier, 4) != 0)
        return std::nullopt;
    return qFromLittleEndian<quint32>(container.constData() + 4);
}

QByteArray Tlzrw1::decompressBytes(const QByteArray &container, const QString &nameForMessages)
{
    QBuffer in;
    in.setData(container);
    in.open(QIODevice::ReadOnly);
    QByteArray result;
    QBuffer out(&result);
    out.open(QIODevice::WriteOnly);
    decompressStream(in, out, nameForMessages, QString());
    out.close();
    return result;
}

qint64 Tlzrw1::compressStream(TLZR &engine, QIODevice &in, qint64 size, QIODevice &out,
                              const QString &inName, const QString &outName)
{
    Buffers buffers;
    quint8 header[HeaderSize];
    std::memcpy(header, Identifier, 4);
    qToLittleEndian(quint32(size), header + 4);
    writeAll(out, header, HeaderSize, outName);

    qint64 written = HeaderSize;
    qint64 total = 0;
    qint64 got = 0;
    do {
        got = readUpTo(in, buffers.in.get(), TLZR::ChunkSize);
        total += got;
        // More than the size said: the input changed while it was read, or it never ends
        // (a device); either way the size field already written would be wrong.
        if (got < 0 || total > size)
            throw ELzrw1Exception(compressReadMessage(inName));
        const int length = engine.compress(buffers.in.get(), int(got), buffers.out.get());
        quint8 lengthField[2];
        qToLittleEndian(quint16(length), lengthField);
        writeAll(out, lengthField, 2, outName);
        writeAll(out, buffers.out.get(), length, outName);
        written += 2 + length;
    } while (got == TLZR::ChunkSize);

    // Less than the size said: the input shrank while it was read.
    if (total != size)
        throw ELzrw1Exception(compressReadMessage(inName));
    return written;
}

qint64 Tlzrw1::decompressStream(QIODevice &in, QIODevice &out, const QString &inName,
                                const QString &outName)
{
    Buffers buffers;
    quint8 *const block = buffers.in.get();
    quint8 *const chunk = buffers.out.get();

    quint8 header[HeaderSize];
    readExactly(in, header, 4, inName);
    // "!HZL" marks the other method, which this program never writes and cannot read.
    if (std::memcmp(header, Identifier, 4) != 0)
        throw ELzrw1Exception(headerMessage(inName));
    readExactly(in, header + 4, 4, inName);
    const qint64 originalSize = qFromLittleEndian<quint32>(header + 4);

    qint64 total = 0;
    int produced = 0;
    do {
        readExactly(in, block, 2, inName);
        const int length = qFromLittleEndian<quint16>(block);
        // No writer makes a block longer than a stored full chunk; a longer one is corrupt.
        if (length > TLZR::MaxBlockSize)
            throw ELzrw1Exception(sizesMessage());
        readExactly(in, block, length, inName);
        produced = TLZR::decompress(block, length, chunk);
        // Stop at the first byte too many, so a corrupt file cannot make us write without end.
        if (produced == TLZR::Corrupt || total + produced > originalSize)
            throw ELzrw1Exception(sizesMessage());
        writeAll(out, chunk, produced, outName);
        total += produced;
    } while (produced == TLZR::ChunkSize);

    // The last block is the one short of a full chunk; whatever follows it is not read.
    if (total != originalSize)
        throw ELzrw1Exception(sizesMessage());
    return total;
}
