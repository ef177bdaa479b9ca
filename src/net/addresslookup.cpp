#include "net/addresslookup.h"

#include <QHash>
#include <QHostInfo>

#include <arpa/inet.h>
#include <netdb.h>

namespace AddressLookup {

bool startsWithDigit(const QString &text)
{
    return !text.isEmpty() && text.front() >= u'0' && text.front() <= u'9';
}

std::optional<QHostAddress> parseDottedIPv4(const QString &text)
{
    // inet_aton stops at white space and ignores what follows; an address text has none.
    for (QChar c : text) {
        if (c.isSpace() || c.isNull() || c.unicode() > 0x7f)
            return std::nullopt;
    }
    in_addr address{};
    if (text.isEmpty() || inet_aton(text.toLatin1().constData(), &address) == 0)
        return std::nullopt;
    return QHostAddress(ntohl(address.s_addr));
}

std::optional<QHostAddress> lookUpHostCached(const QString &name)
{
    // Process-wide by design: resolved names stay known for the whole run, as the
    // program's users expect a second join to the same host not to wait again.
    static QHash<QString, QHostAddress> cache;
    const auto known = cache.constFind(name);
    if (known != cache.constEnd())
        return *known;
    if (name.isEmpty())
        return std::nullopt;
    const QHostInfo info = QHostInfo::fromName(name);
    for (const QHostAddress &address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            cache.insert(name, address);
            return address;
        }
    }
    return std::nullopt;
}

std::optional<quint16> lookUpPort(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    if (startsWithDigit(text)) {
        bool ok = false;
        const uint port = text.toUInt(&ok, 10);
        if (!ok || port > 65535)
            return std::nullopt;
        return quint16(port);
    }
    const QByteArray service = text.toLatin1();
    const servent *entry = getservbyname(service.constData(), "tcp");
    if (!entry)
        return std::nullopt;
    return quint16(ntohs(quint16(entry->s_port)));
}

} // namespace AddressLookup
