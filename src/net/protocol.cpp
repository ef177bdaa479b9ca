#include "net/protocol.h"

namespace Protocol {

QByteArray cleanText(QByteArray text)
{
    text.removeIf([](char c) { return c == Terminator; });
    return text;
}

} // namespace Protocol
