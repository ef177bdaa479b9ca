#pragma once

#include <QMetaType>
#include <QString>

// One table seen on the local network. Every text came from the network: plain text, capped in
// length (name 20 chars as the game allows, machine 63, address 45).
struct LanTable {
    QString key;         // unique per announced table and network interface (IPv4 and IPv6 are one)
    QString playerName;  // TXT "name"
    QString machine;     // the announcing host's name
    QString address;     // resolved IPv4 or IPv6 literal
    quint16 port = 7772;
    QString version;     // TXT "version", "1.0.6" from this program

    bool operator==(const LanTable &) const = default;
};

Q_DECLARE_METATYPE(LanTable)
