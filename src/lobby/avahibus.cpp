#include "avahibus.h"

#include <QDBusPendingCallWatcher>

namespace Avahi {
namespace {

constexpr int CallTimeoutMs = 5000;

QString shortText(QString s)
{
    s.truncate(120);
    for (QChar &c : s)
        if (!c.isPrint())
            c = u' ';
    return s;
}

}

QDBusMessage call(const QString &path, const QString &interface, const QString &method,
                  const QVariantList &args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(Service, path, interface, method);
    m.setArguments(args);
    return m;
}

void callAsync(const QDBusConnection &bus, QObject *context, const QDBusMessage &message,
               std::function<void(const QDBusMessage &reply)> done)
{
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, CallTimeoutMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(watcher->reply());
                     });
}

void send(const QDBusConnection &bus, const QDBusMessage &message)
{
    QDBusConnection(bus).send(message);
}

QString reason(const QDBusMessage &error)
{
    const QString name = error.errorName();
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
        || name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")
        || name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn")))
        return QStringLiteral("the Avahi daemon is not running.");
    if (name == QLatin1String("org.freedesktop.DBus.Error.AccessDenied"))
        return QStringLiteral("the Avahi daemon refused this program.");
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply")
        || name == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
        return QStringLiteral("the Avahi daemon did not answer.");
    if (name == QLatin1String("org.freedesktop.DBus.Error.Disconnected"))
        return QStringLiteral("the connection to the system message bus (D-Bus) was lost.");
    return QStringLiteral("the Avahi daemon answered \"%1\".").arg(shortText(error.errorMessage()));
}

QString reason(const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return QStringLiteral("the system message bus (D-Bus) is not running.");
    return QStringLiteral("the Avahi daemon is not running.");
}

bool isUnknownMethod(const QDBusMessage &error)
{
    const QString name = error.errorName();
    return name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod")
        || name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface")
        || name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject");
}

}
