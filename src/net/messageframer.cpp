#include "net/messageframer.h"

#include "net/protocol.h"

#include <utility>

MessageFramer::MessageFramer(qsizetype maxMessage) : m_maxMessage(maxMessage) {}

QList<QByteArray> MessageFramer::feed(QByteArrayView bytes)
{
    QList<QByteArray> messages;
    if (m_overflowed)
        return messages;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        const qsizetype end = bytes.indexOf(Protocol::Terminator, start);
        const QByteArrayView piece =
            bytes.sliced(start, (end < 0 ? bytes.size() : end) - start);
        // Check before appending, so an endless message never costs more than the limit.
        if (m_partial.size() + piece.size() > m_maxMessage) {
            m_overflowed = true;
            m_partial.clear();
            m_partial.squeeze();
            return messages;
        }
        m_partial.append(piece);
        if (end < 0)
            break;
        messages.append(std::exchange(m_partial, QByteArray()));
        start = end + 1;
    }
    return messages;
}

void MessageFramer::reset()
{
    m_partial.clear();
    m_overflowed = false;
}
