#pragma once

#include <QHostAddress>
#include <QString>

#include <optional>

// Host and port texts of a TSock turned into an IPv4 address and a port number.
namespace AddressLookup {

// True when the text begins with an ASCII decimal digit: such texts are numbers, not names.
bool startsWithDigit(const QString &text);

// A host text that begins with a digit is an address, never a name: it is parsed as dotted
// IPv4 (the short forms "127.1" included) and nullopt when it is not one. No lookup happens.
std::optional<QHostAddress> parseDottedIPv4(const QString &text);

// The system resolver's first IPv4 address for a host name. Answers are kept for the
// life of the process (one lookup per name and run), since a lookup blocks the thread.
std::optional<QHostAddress> lookUpHostCached(const QString &name);

// A port text that begins with a digit is a decimal number 0..65535; otherwise it is a
// service name for "tcp". nullopt when neither works.
std::optional<quint16> lookUpPort(const QString &text);

} // namespace AddressLookup
