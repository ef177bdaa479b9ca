#include "lobby/playername.h"

namespace PlayerName {

namespace {

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f);
}

} // namespace

QString problem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("Please enter your name.");
    for (QChar c : name) {
        if (isControl(c))
            return QStringLiteral("A name cannot contain control characters such as tabs or line breaks.");
    }
    for (QChar c : name) {
        if (c.unicode() > 0xff)
            return QStringLiteral("A name can only use Western European (Latin-1) letters; \"%1\" is not one.")
                .arg(c.isSurrogate() ? QStringLiteral("that character") : QString(c));
    }
    // 0xFF ends every message of the game, so a name holding it would cut the login short.
    if (name.contains(QChar(0xff)))
        return QStringLiteral("A name cannot contain the letter \u00ff.");
    if (name.contains(u'+') || name.contains(u'|'))
        return QStringLiteral("A name cannot contain \"+\" or \"|\".");
    // The game's toolkit takes arguments such as "-reverse" for itself, so the name would vanish
    // from the game's command line and the address would be taken for the name.
    if (name.startsWith(u'-'))
        return QStringLiteral("A name cannot begin with \"-\".");
    if (name.size() > MaxLength)
        return QStringLiteral("A name can have at most %1 characters.").arg(MaxLength);
    return {};
}

} // namespace PlayerName
