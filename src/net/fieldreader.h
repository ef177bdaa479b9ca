#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <stdexcept>

// A payload that cannot be read as its message says (a missing or non-numeric field).
// The dispatcher catches it: the message is dropped with a warning.
struct FieldError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A decimal signed 32-bit number: an optional "-" and one or more digits, nothing else.
std::optional<int> parseNumber(QByteArrayView text);

// Takes a payload apart field by field, front to back.
//
// Repeated groups are read while groupsLeft(): that is the classic "append +@ and read
// groups until only @ is left" loop. As there, a payload that ends in "+" (or is empty)
// still has a group to read, and reading its empty number field throws, so a truncated or
// padded group list is refused instead of being half applied.
class FieldReader {
public:
    explicit FieldReader(QByteArray payload);

    // The text before the next "+", which is consumed with it; with no "+" left, the whole
    // rest (after which nothing is left). Past the end: empty.
    QByteArray field();
    // field() as a number; throws FieldError when it is empty or not a valid number.
    int number();
    // The unread rest of the payload, "+" included (a rest field runs to the end).
    QByteArray rest() const;
    // Nothing unread remains.
    bool atEnd() const { return m_pos >= m_payload.size(); }
    // Another group follows: the last field taken was not the payload's final one.
    bool groupsLeft() const { return !m_exhausted; }

private:
    QByteArray m_payload;
    qsizetype m_pos = 0;
    bool m_exhausted = false;
};
