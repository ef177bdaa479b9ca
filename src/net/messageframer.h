#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Cuts the byte stream of one connection into messages at the terminator byte 0xFF and
// keeps the bytes after the last terminator until the rest of their message arrives.
//
// The unfinished message is bounded: a peer that never sends a terminator must not make the
// receiver's memory grow without end. What happens to a message (finished or not) that grows
// past the limit is the owner's choice:
// - Stop: the framer is overflowed: it drops what it holds, ignores all further input, and
//   the owner is expected to close the connection (the host, against a client that breaks
//   the rules).
// - SkipMessage: that one message is discarded up to its terminator, with one warning, and
//   the messages after it come through (a client, which must not end because its host sent
//   one message too long).
class MessageFramer {
public:
    static constexpr qsizetype DefaultMaxMessage = 64 * 1024;
    enum class Overflow { Stop, SkipMessage };

    explicit MessageFramer(qsizetype maxMessage = DefaultMaxMessage,
                           Overflow overflow = Overflow::Stop);

    // The whole messages completed by these bytes, in order, without their terminators.
    // Two terminators in a row would give an empty message, which every dispatcher drops: it
    // is dropped here, so a flood of terminators allocates nothing.
    QList<QByteArray> feed(QByteArrayView bytes);

    bool overflowed() const { return m_overflowed; }
    // Messages discarded for their length (SkipMessage only).
    int skippedMessages() const { return m_skipped; }
    qsizetype partialSize() const { return m_partial.size(); }
    // Forgets the unfinished message and a past overflow (a connection closed or replaced).
    void reset();

private:
    QByteArray m_partial;
    qsizetype m_maxMessage;
    Overflow m_overflow;
    bool m_overflowed = false;
    // Inside a message being discarded: everything up to the next terminator goes.
    bool m_skipping = false;
    int m_skipped = 0;
};
