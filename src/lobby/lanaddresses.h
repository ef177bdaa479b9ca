#pragma once

#include <QStringList>

// The addresses by which others on the local network reach this machine: the IPv4 addresses of
// the interfaces that are up, loopback excluded. Only IPv4, since a table listens on IPv4.
namespace LanAddresses {

QStringList ofThisMachine();

} // namespace LanAddresses
