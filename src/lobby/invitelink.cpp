#include "lobby/invitelink.h"

#include "net/protocol.h"

#include <QHostAddress>
#include <QRegularExpression>

#include <algorithm>

namespace InviteLink {

namespace {

const QString PortText = QString::number(Protocol::TablePort);

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f) || c.category() == QChar::Other_Format
        || u == 0x2028 || u == 0x2029;
}

bool hasControl(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), isControl);
}

bool isIPv6(const QString &text)
{
    QHostAddress address;
    return address.setAddress(text) && address.protocol() == QAbstractSocket::IPv6Protocol;
}

// Dotted decimal with exactly four parts of 0..255. The short forms the C library also reads
// ("127.1", "0x7f.1") are refused: a link that means another address than it shows is a trap.
bool isDottedQuad(const QString &text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok, 10);
        if (part.isEmpty() || part.size() > 3 || !ok || value > 255 || (part.size() > 1 && part.front() == u'0'))
            return false;
        for (QChar c : part)
            if (c < u'0' || c > u'9')
                return false;
    }
    return true;
}

// A DNS name of ASCII letters, digits and '-', labels of 1 to 63 characters, at most 253 in all,
// optionally ending in '.'.
bool isHostName(const QString &text)
{
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    QString name = text;
    if (name.endsWith(u'.'))
        name.chop(1);
    if (name.isEmpty() || name.size() > 253)
        return false;
    const QStringList labels = name.split(u'.');
    return std::all_of(labels.cbegin(), labels.cend(),
                       [](const QString &l) { return label.match(l).hasMatch(); });
}

QString quoted(const QString &text) { return u'"' + text + u'"'; }

// The host part without brackets and port: an address or a name the game can be started with.
JoinTarget checkHost(const QString &host)
{
    const bool startsWithDigit = !host.isEmpty() && host.front() >= u'0' && host.front() <= u'9';
    if (startsWithDigit && !host.contains(u':')) {
        // The game reads any host text that begins with a digit as an IPv4 address.
        if (isDottedQuad(host))
            return {host, {}};
        return JoinTarget::refused(quoted(host) + QStringLiteral(" is not an IPv4 address such as 192.168.1.20."));
    }
    if (isHostName(host))
        return {host, {}};
    return JoinTarget::refused(quoted(host) + QStringLiteral(" is not an address or a host name."));
}

JoinTarget checkPort(const QString &port)
{
    if (port == PortText)
        return {};
    if (port.isEmpty())
        return JoinTarget::refused(QStringLiteral("The port number is missing after \":\"."));
    return JoinTarget::refused(QStringLiteral("Lexitangle always uses port %1, not %2.").arg(PortText, quoted(port)));
}

// "host", "host:7772", "[v6]" or "[v6]:7772". `bareIPv6` lets an unbracketed IPv6 address through
// (typed text); a link needs the brackets, since its port would be ambiguous otherwise.
JoinTarget hostAndPort(const QString &authority, bool bareIPv6)
{
    if (authority.isEmpty())
        return JoinTarget::refused(QStringLiteral("There is no address in it."));
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            return JoinTarget::refused(QStringLiteral("The \"]\" after the IPv6 address is missing."));
        const QString host = authority.mid(1, close - 1);
        const QString after = authority.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(u':'))
                return JoinTarget::refused(quoted(after) + QStringLiteral(" after the address is not a port."));
            const JoinTarget port = checkPort(after.mid(1));
            if (!port.problem.isEmpty())
                return port;
        }
        if (host.contains(u'%') || !isIPv6(host))
            return JoinTarget::refused(quoted(host) + QStringLiteral(" in brackets is not an IPv6 address."));
        return {host, {}};
    }
    if (authority.count(u':') > 1) {
        if (bareIPv6 && isIPv6(authority))
            return {authority, {}};
        return JoinTarget::refused(QStringLiteral("An IPv6 address goes in brackets, like lexitangle://[2001:db8::1]."));
    }
    const qsizetype colon = authority.indexOf(u':');
    if (colon >= 0) {
        const JoinTarget port = checkPort(authority.mid(colon + 1));
        if (!port.problem.isEmpty())
            return port;
    }
    return checkHost(colon >= 0 ? authority.left(colon) : authority);
}

JoinTarget refusedLink(const QString &why)
{
    return JoinTarget::refused(QStringLiteral("This invite link cannot be used. ") + why);
}

} // namespace

QString forAddress(const QString &address)
{
    const QString host = isIPv6(address) ? u'[' + address + u']' : address;
    return Scheme + QStringLiteral("://") + host;
}

bool hasScheme(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^\\s*[A-Za-z][A-Za-z0-9+.-]*:(?![0-9]*$)"));
    // "host:7772" and "host:" are an address and a port, not a scheme; "[::1]" has no scheme.
    return scheme.match(text).hasMatch() && !text.trimmed().startsWith(u'[') && !isIPv6(text.trimmed());
}

JoinTarget parse(const QString &link)
{
    const QString text = link.trimmed();
    if (text.size() > MaxLength)
        return refusedLink(QStringLiteral("It is too long."));
    if (hasControl(text))
        return refusedLink(QStringLiteral("It contains control characters."));
    const qsizetype colon = text.indexOf(u':');
    if (colon <= 0 || text.left(colon).compare(Scheme, Qt::CaseInsensitive) != 0)
        return refusedLink(QStringLiteral("It does not begin with lexitangle://"));
    if (!text.mid(colon + 1).startsWith(QStringLiteral("//")))
        return refusedLink(QStringLiteral("An invite link looks like lexitangle://192.168.1.20"));
    const QString rest = text.mid(colon + 3);
    static const QRegularExpression authorityEnd(QStringLiteral("[/?#]"));
    qsizetype end = rest.indexOf(authorityEnd);
    if (end < 0)
        end = rest.size();
    const QString authority = rest.left(end);
    QString tail = rest.mid(end);
    if (authority.contains(u'@'))
        return refusedLink(QStringLiteral("It carries a user name or password."));
    if (tail.startsWith(u'/')) {
        static const QRegularExpression pathEnd(QStringLiteral("[?#]"));
        const qsizetype pathLength = tail.indexOf(pathEnd) < 0 ? tail.size() : tail.indexOf(pathEnd);
        // A lone "/" is what some programs add to any link they pass on.
        if (pathLength > 1)
            return refusedLink(QStringLiteral("It has a path after the address."));
        tail = tail.mid(pathLength);
    }
    if (tail.startsWith(u'?'))
        return refusedLink(QStringLiteral("It has a query (\"?\") after the address."));
    if (tail.startsWith(u'#'))
        return refusedLink(QStringLiteral("It has a fragment (\"#\") after the address."));
    if (authority.contains(u'%'))
        return refusedLink(QStringLiteral("Its address contains \"%\"."));
    const JoinTarget target = hostAndPort(authority, false);
    if (!target.isValid())
        return refusedLink(target.problem);
    return target;
}

JoinTarget parseTyped(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return JoinTarget::refused(QStringLiteral("Please enter an address or an invite link."));
    if (hasScheme(text))
        return parse(text);
    if (text.size() > MaxLength)
        return JoinTarget::refused(QStringLiteral("This address is too long."));
    if (hasControl(text))
        return JoinTarget::refused(QStringLiteral("This address contains control characters."));
    return hostAndPort(text, true);
}

} // namespace InviteLink
