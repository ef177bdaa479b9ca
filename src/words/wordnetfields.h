#pragma once

#include <QByteArrayView>

#include <optional>

// Reads the fields of one line of WordNet's database, which are separated by spaces. Every
// number is read with its width and base checked, so a damaged line never yields a value its
// field cannot hold. Index files are read whole when the database opens, so this runs over
// every one of their 155,000 lines: it works on plain pointers.
class WordNetFields {
public:
    explicit WordNetFields(QByteArrayView line) : m_at(line.data()), m_end(line.data() + line.size()) {}

    // The next field; empty at the end of the line.
    QByteArrayView next()
    {
        skipSpaces();
        const char *start = m_at;
        while (m_at < m_end && *m_at != ' ')
            ++m_at;
        return QByteArrayView(start, m_at - start);
    }

    // The next field as a number of exactly `digits` digits in `base` (10 or 16), or of one to
    // nine decimal digits when `digits` is 0.
    std::optional<quint32> number(int base, int digits = 0)
    {
        const QByteArrayView field = next();
        const qsizetype width = field.size();
        if (width == 0 || (digits > 0 && width != digits) || (digits == 0 && width > 9))
            return std::nullopt;
        quint32 value = 0;
        for (char c : field) {
            int d = -1;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            if (d < 0)
                return std::nullopt;
            value = value * quint32(base) + quint32(d);
        }
        return value;
    }

    // What follows the fields read so far, without the spaces before it.
    QByteArrayView rest()
    {
        skipSpaces();
        return QByteArrayView(m_at, m_end - m_at);
    }

    bool atEnd() { return rest().isEmpty(); }

private:
    void skipSpaces()
    {
        while (m_at < m_end && *m_at == ' ')
            ++m_at;
    }

    const char *m_at;
    const char *m_end;
};
