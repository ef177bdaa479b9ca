#pragma once

#include "words/tlzr.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <stdexcept>

class QIODevice;

// Every failure of the compressor; message() is the text shown to the player.
class ELzrw1Exception : public std::runtime_error
{
public:
    explicit ELzrw1Exception(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// The file-to-file compressor of the tally file, method Fast (LZRW1-KH) only.
//
// Container: "WRZL" (57 52 5A 4C), the original size (unsigned 32-bit, little-endian), then
// one block per 32768-byte chunk: a 16-bit little-endian block length and the block data. The
// last chunk is shorter than 32768 bytes, so a size that is a whole multiple of 32768 (0 too)
// ends with the empty block 01 00 80. Reading stops after that block; bytes after it are
// ignored.
//
// The output is written to a temporary file beside it and renamed into place only when the
// whole job has succeeded: after any failure no output (partial or not) is left behind and a
// file that was there before stays as it was. The input is only read.
class Tlzrw1
{
public:
    void setInputFile(const QString &path) { m_inputFile = path; }
    QString inputFile() const { return m_inputFile; }
    void setOutputFile(const QString &path) { m_outputFile = path; }
    QString outputFile() const { return m_outputFile; }

    // Both return the number of bytes written to the output file and throw ELzrw1Exception.
    qint64 Compress();
    qint64 Decompress();

    // The same container in memory. nameForMessages stands for the input file in the texts.
    static QByteArray compressBytes(const QByteArray &data);
    static QByteArray decompressBytes(const QByteArray &container, const QString &nameForMessages);
    // The original size a container announces, before anything is decoded; nullopt when the
    // bytes do not begin with the identifier and the size field.
    static std::optional<qint64> originalSize(const QByteArray &container);

private:
    // Both return the number of bytes written to out.
    static qint64 compressStream(TLZR &engine, QIODevice &in, qint64 size, QIODevice &out,
                                 const QString &inName, const QString &outName);
    static qint64 decompressStream(QIODevice &in, QIODevice &out, const QString &inName,
                                   const QString &outName);

    QString m_inputFile;
    QString m_outputFile;
    TLZR m_engine; // created with the component, as its hash table is allocated once
};
