#include "tableannouncer.h"

#include "avahibus.h"

#include "net/protocol.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>

namespace {

constexpr int InstanceNameBytes = 63;  // a DNS label

// Longest prefix of `name` whose UTF-8 form is a valid instance name.
QString instanceName(const QString &name)
{
    QString out = name;
    while (out.toUtf8().size() > InstanceNameBytes)
        out.chop(out.back().isLowSurrogate() ? 2 : 1);
    return out.isEmpty() ? QStringLiteral("Lexitangle") : out;
}

}

TableAnnouncer::TableAnnouncer(QObject *parent)
    : TableAnnouncer(QDBusConnection::systemBus(), parent)
{
}

TableAnnouncer::TableAnnouncer(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
    qDBusRegisterMetaType<QList<QByteArray>>();  // the TXT records, D-Bus "aay"
}

TableAnnouncer::~TableAnnouncer()
{
    withdraw();
}

bool TableAnnouncer::isPublished() const
{
    return m_published;
}

void TableAnnouncer::publish(const QString &playerName)
{
    withdraw();
    m_wanted = true;
    m_playerName = playerName;
    m_instanceName = instanceName(playerName);
    if (!m_bus.isConnected()) {
        m_wanted = false;
        fail(Avahi::reason(m_bus));
        return;
    }
    if (!m_daemonWatcher) {
        // A daemon that restarts has forgotten the table: announce it again.
        m_daemonWatcher = new QDBusServiceWatcher(Avahi::Service, m_bus,
            QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
        connect(m_daemonWatcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
            if (!m_groupPath.isEmpty())
                m_bus.disconnect(Avahi::Service, m_groupPath, Avahi::EntryGroup, QStringLiteral("StateChanged"),
                                 this, SLOT(groupStateChanged(int,QString)));
            m_groupPath.clear();
            m_published = false;
        });
        connect(m_daemonWatcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
            if (m_wanted && m_groupPath.isEmpty() && !m_groupPending)
                createGroup();
        });
        m_bus.connect(Avahi::Service, QStringLiteral("/"), Avahi::Server, QStringLiteral("StateChanged"),
                      this, SLOT(serverStateChanged(int,QString)));
    }
    createGroup();
}

void TableAnnouncer::createGroup()
{
    m_groupPending = true;
    const QDBusMessage request = Avahi::call(QStringLiteral("/"), Avahi::Server, QStringLiteral("EntryGroupNew"));
    Avahi::callAsync(m_bus, this, request, [this](const QDBusMessage &reply) {
        m_groupPending = false;
        if (reply.type() == QDBusMessage::ErrorMessage) {
            if (m_wanted)
                failWith(reply);
            return;
        }
        m_groupPath = reply.arguments().value(0).value<QDBusObjectPath>().path();
        if (m_groupPath.isEmpty())
            return;
        if (!m_wanted) {  // withdrawn while the daemon made the group
            freeGroup();
            return;
        }
        m_bus.connect(Avahi::Service, m_groupPath, Avahi::EntryGroup, QStringLiteral("StateChanged"),
                      this, SLOT(groupStateChanged(int,QString)));
        addService();
    });
}

void TableAnnouncer::addService()
{
    const QList<QByteArray> txt{"version=" + Protocol::Version, "name=" + m_playerName.toUtf8()};
    const QDBusMessage add = Avahi::call(m_groupPath, Avahi::EntryGroup, QStringLiteral("AddService"),
        {Avahi::IfUnspec, Avahi::ProtoUnspec, 0u, m_instanceName, Avahi::ServiceType, QString(),
         QString(), QVariant::fromValue(Avahi::GamePort), QVariant::fromValue(txt)});
    const QString path = m_groupPath;
    Avahi::callAsync(m_bus, this, add, [this, path](const QDBusMessage &reply) {
        if (path != m_groupPath)
            return;
        if (reply.type() == QDBusMessage::ErrorMessage) {
            // While the daemon still registers its own host name it takes no services yet.
            if (reply.errorName() == QLatin1String("org.freedesktop.Avahi.BadStateError")) {
                m_waitingForServer = true;
                return;
            }
            failWith(reply);
            return;
        }
        Avahi::callAsync(m_bus, this, Avahi::call(path, Avahi::EntryGroup, QStringLiteral("Commit")),
                         [this, path](const QDBusMessage &reply) {
                             if (path == m_groupPath && reply.type() == QDBusMessage::ErrorMessage)
                                 failWith(reply);
                         });
    });
}

void TableAnnouncer::serverStateChanged(int state, const QString &)
{
    if (state == Avahi::ServerRunning && m_waitingForServer && m_wanted && !m_groupPath.isEmpty()) {
        m_waitingForServer = false;
        addService();
    }
}

void TableAnnouncer::groupStateChanged(int state, const QString &error)
{
    if (!m_wanted)
        return;
    switch (state) {
    case Avahi::GroupEstablished:
        if (!m_published) {
            m_published = true;
            Q_EMIT published();
        }
        break;
    case Avahi::GroupCollision: {
        // Another table on the network has this name: take the daemon's alternative ("Ann #2").
        m_published = false;
        const QDBusMessage ask = Avahi::call(QStringLiteral("/"), Avahi::Server,
                                             QStringLiteral("GetAlternativeServiceName"), {m_instanceName});
        const QString path = m_groupPath;
        Avahi::callAsync(m_bus, this, ask, [this, path](const QDBusMessage &reply) {
            if (path != m_groupPath || !m_wanted)
                return;
            if (reply.type() == QDBusMessage::ErrorMessage) {
                failWith(reply);
                return;
            }
            m_instanceName = reply.arguments().value(0).toString();
            Avahi::send(m_bus, Avahi::call(path, Avahi::EntryGroup, QStringLiteral("Reset")));
            addService();
        });
        break;
    }
    case Avahi::GroupFailure:
        m_published = false;
        fail(QStringLiteral("the Avahi daemon answered \"%1\".").arg(error.left(120)));
        break;
    default:
        break;
    }
}

void TableAnnouncer::withdraw()
{
    m_wanted = false;
    m_waitingForServer = false;
    m_published = false;
    freeGroup();
}

// Freeing the group makes the daemon send its goodbye packets at once, so browsers elsewhere
// drop the table without waiting for its records to expire.
void TableAnnouncer::freeGroup()
{
    if (m_groupPath.isEmpty())
        return;
    m_bus.disconnect(Avahi::Service, m_groupPath, Avahi::EntryGroup, QStringLiteral("StateChanged"),
                     this, SLOT(groupStateChanged(int,QString)));
    Avahi::send(m_bus, Avahi::call(m_groupPath, Avahi::EntryGroup, QStringLiteral("Free")));
    m_groupPath.clear();
}

void TableAnnouncer::fail(const QString &reason)
{
    Q_EMIT problem(QStringLiteral("This table cannot be announced on the network: ") + reason);
}

void TableAnnouncer::failWith(const QDBusMessage &error)
{
    fail(Avahi::reason(error));
}
