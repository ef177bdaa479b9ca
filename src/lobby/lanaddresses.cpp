#include "lobby/lanaddresses.h"

#include <QNetworkInterface>

namespace LanAddresses {

QStringList ofThisMachine()
{
    QStringList addresses;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol && !ip.isLoopback()
                && !addresses.contains(ip.toString()))
                addresses.append(ip.toString());
        }
    }
    return addresses;
}

} // namespace LanAddresses
