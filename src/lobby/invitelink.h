#pragma once

#include "lobby/jointarget.h"

#include <QString>

// Invite links "lexitangle://ADDRESS": an IPv4 address, a host name, or an IPv6 address in
// brackets, optionally followed by ":7772" (the game's only port). A link is untrusted text from
// a web page or a chat: anything beyond that form is refused with one line, and what is accepted
// is only ever an argument of the game, never shell text.
namespace InviteLink {

inline const QString Scheme = QStringLiteral("lexitangle");
// Longer than any address with its scheme and port; longer texts are refused unread.
constexpr int MaxLength = 300;

// The link to the table at `address` (an IPv4 or IPv6 address or a host name).
QString forAddress(const QString &address);

// True when the text begins with a URL scheme ("lexitangle:", "http:" ...), so that it is to be
// read as a link rather than an address.
bool hasScheme(const QString &text);

// A link, and nothing else.
JoinTarget parse(const QString &link);

// What a player typed or pasted into "Join by address": a link, an IPv4 address, an IPv6
// address (bare or in brackets), or a host name, each optionally with ":7772".
JoinTarget parseTyped(const QString &text);

} // namespace InviteLink
