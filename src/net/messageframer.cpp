#include "net/messageframer.h"

#include "net/protocol.h"

#include <QtDebug>

#include <utility>

MessageFramer::MessageFramer(qsizetype maxMessage, Overflow overflow)
    : m_maxMessage(maxMessage), m_overflow(overflow)
{
}

QList<QByteArray> MessageFramer::feed(QByteArrayView bytes)
{
    QList<QByteArray> messages;
    if (m_overflowed)
        return messages;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        const qsizetype end = bytes.indexOf(Protocol::Terminator, start);
        if (m_skipping) {
            if (end < 0)
                break;
            m_skipping = false;
            start = end + 1;
            continue;
        }
        const QByteArrayView piece =
            bytes.sliced(start, (end < 0 ? bytes.size() : end) - start);
        // Check before appending, so an endless message never costs more than the limit.
        if (m_partial.size() + piece.size() > m_maxMessage) {
            m_partial.clear();
            m_partial.squeeze();
            if (m_overflow == Overflow::Stop) {
                m_overflowed = true;
                return messages;
            }
            ++m_skipped;
            qWarning("discarding a message longer than %lld bytes", qlonglong(m_maxMessage));
            m_skipping = true;
            continue; // the same bytes again, now as the message being discarded
        }
        if (end < 0) {
            m_partial.append(piece);
            break;
        }
        if (!m_partial.isEmpty()) {
            m_partial.append(piece);
            messages.append(std::exchange(m_partial, QByteArray()));
        } else if (!piece.isEmpty()) {
            messages.append(piece.toByteArray()); // sized exactly, no spare room kept
        }
        start = end + 1;
    }
    return messages;
}

void MessageFramer::reset()
{
    m_partial.clear();
    m_overflowed = false;
    m_skipping = false;
}
