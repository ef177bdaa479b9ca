#pragma once

#include "lantable.h"

#include <QByteArray>
#include <QList>

#include <optional>

// What Avahi's resolver reported for one announced table, exactly as it came from the network.
struct ResolvedService {
    int interfaceIndex = -1;
    QString instance;
    QString host;
    QString address;
    quint16 port = 0;
    QList<QByteArray> txt;
};

namespace LanTableReader {

constexpr int NameChars = 20;
constexpr int MachineChars = 63;
constexpr int AddressChars = 45;
constexpr int VersionChars = 16;
constexpr int TxtRecords = 32;  // a longer TXT set is read only this far

// Printable text only (control and format characters such as bidi overrides dropped), at
// most `cap` characters, never a broken surrogate pair.
QString plainText(const QString &text, int cap);

// The value of TXT key `key` (case-insensitive as in DNS-SD), or an empty array.
QByteArray txtValue(const QList<QByteArray> &txt, const QByteArray &key);

// A table to list, or nothing when the address is not an IP address.
std::optional<LanTable> read(const ResolvedService &service);

}
