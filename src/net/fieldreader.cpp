#include "net/fieldreader.h"

#include <limits>
#include <string>

std::optional<int> parseNumber(QByteArrayView text)
{
    const bool negative = text.startsWith('-');
    const QByteArrayView digits = negative ? text.sliced(1) : text;
    if (digits.isEmpty())
        return std::nullopt;
    // Accumulate as a negative value: its range includes the 32-bit minimum.
    constexpr qint64 Min = std::numeric_limits<int>::min();
    qint64 value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 - (c - '0');
        if (value < Min)
            return std::nullopt;
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<int>::max())
            return std::nullopt;
    }
    return int(value);
}

FieldReader::FieldReader(QByteArray payload) : m_payload(std::move(payload)) {}

QByteArray FieldReader::field()
{
    if (m_exhausted)
        return QByteArray();
    const qsizetype plus = m_payload.indexOf('+', m_pos);
    if (plus < 0) {
        QByteArray last = m_payload.sliced(m_pos);
        m_pos = m_payload.size();
        m_exhausted = true;
        return last;
    }
    QByteArray text = m_payload.sliced(m_pos, plus - m_pos);
    m_pos = plus + 1;
    return text;
}

int FieldReader::number()
{
    const QByteArray text = field();
    const std::optional<int> value = parseNumber(text);
    if (!value) {
        // The text ends up in a log line: keep it short and free of control bytes.
        throw FieldError(text.isEmpty()
                             ? std::string("missing number field")
                             : "not a number: " + text.left(32).toPercentEncoding().toStdString());
    }
    return *value;
}

QByteArray FieldReader::rest() const
{
    return m_payload.sliced(qMin(m_pos, m_payload.size()));
}
