#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariantList>

#include <functional>

class QObject;

// Avahi's D-Bus interface on the system bus: names, constants and one asynchronous call, so that
// no request ever waits on the interface thread. D-Bus through QtDBus rather than libavahi-client:
// no second C library with its own poll loop to bridge into Qt's, the daemon's signals arrive on
// Qt's event loop, and a missing daemon is an ordinary error reply rather than a failed client.
namespace Avahi {

inline const QString Service = QStringLiteral("org.freedesktop.Avahi");
inline const QString Server = QStringLiteral("org.freedesktop.Avahi.Server");
inline const QString Server2 = QStringLiteral("org.freedesktop.Avahi.Server2");  // avahi 0.8: *Prepare
inline const QString EntryGroup = QStringLiteral("org.freedesktop.Avahi.EntryGroup");
inline const QString ServiceBrowser = QStringLiteral("org.freedesktop.Avahi.ServiceBrowser");
inline const QString ServiceResolver = QStringLiteral("org.freedesktop.Avahi.ServiceResolver");

inline const QString ServiceType = QStringLiteral("_lexitangle._tcp");
constexpr quint16 GamePort = 7772;

constexpr int IfUnspec = -1;
constexpr int ProtoUnspec = -1;
constexpr int ProtoInet = 0;
constexpr int ProtoInet6 = 1;

enum ServerState { ServerInvalid, ServerRegistering, ServerRunning, ServerCollision, ServerFailure };
enum GroupState { GroupUncommitted, GroupRegistering, GroupEstablished, GroupCollision, GroupFailure };

QDBusMessage call(const QString &path, const QString &interface, const QString &method,
                  const QVariantList &args = {});

// Sends `message` and hands its reply (or error) to `done` on the event loop, unless `context`
// is gone by then.
void callAsync(const QDBusConnection &bus, QObject *context, const QDBusMessage &message,
               std::function<void(const QDBusMessage &reply)> done);

// Sends a request whose answer nobody needs (freeing an object of ours in the daemon).
void send(const QDBusConnection &bus, const QDBusMessage &message);

// Why the daemon cannot be used, as the end of a sentence: "the Avahi daemon is not running."
QString reason(const QDBusMessage &error);
QString reason(const QDBusConnection &bus);

// True when the daemon lacks a method newer than Debian 12's avahi (ServiceBrowserPrepare and
// friends), so the older form must be used.
bool isUnknownMethod(const QDBusMessage &error);

}
