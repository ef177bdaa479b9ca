#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Cuts the byte stream of one connection into messages at the terminator byte 0xFF and
// keeps the bytes after the last terminator until the rest of their message arrives.
//
// The unfinished message is bounded: a peer that never sends a terminator must not make the
// receiver's memory grow without end. Once a message (finished or not) grows past the limit
// the framer is overflowed: it drops what it holds, ignores all further input, and the owner
// is expected to close the connection.
class MessageFramer {
public:
    static constexpr qsizetype DefaultMaxMessage = 64 * 1024;

    explicit MessageFramer(qsizetype maxMessage = DefaultMaxMessage);

    // The whole messages completed by these bytes, in order, without their terminators.
    // Two terminators in a row give an empty message, which is kept.
    QList<QByteArray> feed(QByteArrayView bytes);

    bool overflowed() const { return m_overflowed; }
    qsizetype partialSize() const { return m_partial.size(); }
    // Forgets the unfinished message and a past overflow (a connection closed or replaced).
    void reset();

private:
    QByteArray m_partial;
    qsizetype m_maxMessage;
    bool m_overflowed = false;
};
