#include "tablebrowser.h"

#include "avahibus.h"
#include "lantablereader.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>

namespace {

const QString ItemSignature = QStringLiteral("iisssu");
const QString FoundSignature = QStringLiteral("iissssisqaayu");
constexpr int MaxItems = 2 * TableBrowser::MaxTables;  // each table over IPv4 and IPv6

QString failureLine(const QString &reason)
{
    return QStringLiteral("Tables on this network cannot be found: ") + reason;
}

QList<QByteArray> readTxt(const QVariant &value)
{
    QList<QByteArray> txt;
    if (!value.canConvert<QDBusArgument>())
        return txt;
    const QDBusArgument arg = value.value<QDBusArgument>();
    if (arg.currentSignature() != QLatin1String("aay"))
        return txt;
    arg.beginArray();
    while (!arg.atEnd()) {
        QByteArray record;
        arg >> record;
        if (txt.size() < LanTableReader::TxtRecords)
            txt.append(record);
    }
    arg.endArray();
    return txt;
}

}

TableBrowser::TableBrowser(QObject *parent)
    : TableBrowser(QDBusConnection::systemBus(), parent)
{
}

TableBrowser::TableBrowser(const QDBusConnection &bus, QObject *parent)
    : QObject(parent), m_bus(bus)
{
}

TableBrowser::~TableBrowser()
{
    stop();
}

QString TableBrowser::itemKey(int interfaceIndex, int protocol, const QString &name)
{
    return QStringLiteral("%1/%2/%3").arg(interfaceIndex).arg(protocol).arg(name);
}

// The instance name comes first and the interface last, so that names holding "@" cannot
// make two tables' keys equal.
QString TableBrowser::tableKey(int interfaceIndex, const QString &name)
{
    return QStringLiteral("%1@%2").arg(name).arg(interfaceIndex);
}

void TableBrowser::start()
{
    if (m_running)
        return;
    m_running = true;
    if (!m_bus.isConnected()) {
        m_running = false;  // without a bus nothing can tell us when one appears: start() again
        fail(Avahi::reason(m_bus));
        return;
    }
    if (!m_daemonWatcher) {
        // The daemon may stop and come back (an update, a restart): follow it.
        m_daemonWatcher = new QDBusServiceWatcher(Avahi::Service, m_bus,
            QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
        connect(m_daemonWatcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
            if (!m_running)
                return;
            dropEverything();
            Q_EMIT unavailable(failureLine(QStringLiteral("the Avahi daemon stopped.")));
        });
        connect(m_daemonWatcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
            if (m_running && m_browserPath.isEmpty() && !m_browserPending)
                createBrowser(false);
        });
    }
    subscribe(true);
    createBrowser(false);
}

void TableBrowser::stop()
{
    if (!m_running)
        return;
    m_running = false;
    subscribe(false);
    for (const Item &item : std::as_const(m_items))
        freeItem(item);
    if (!m_browserPath.isEmpty())
        Avahi::send(m_bus, Avahi::call(m_browserPath, Avahi::ServiceBrowser, QStringLiteral("Free")));
    m_items.clear();
    m_tables.clear();
    m_browserPath.clear();
    m_browserPending = false;
}

QList<LanTable> TableBrowser::tables() const
{
    return m_tables.values();
}

// Signals are matched by interface and member, not by path: a browser or resolver made with the
// older *New calls may signal before its path is known (the reply comes after its first items).
void TableBrowser::subscribe(bool on)
{
    if (m_subscribed == on)
        return;
    m_subscribed = on;
    struct Route { QString interface; const char *name; const char *slot; };
    const Route routes[] = {
        {Avahi::ServiceBrowser, "ItemNew", SLOT(itemNew(QDBusMessage))},
        {Avahi::ServiceBrowser, "ItemRemove", SLOT(itemRemove(QDBusMessage))},
        {Avahi::ServiceBrowser, "Failure", SLOT(browserFailure(QDBusMessage))},
        {Avahi::ServiceResolver, "Found", SLOT(resolverFound(QDBusMessage))},
        {Avahi::ServiceResolver, "Failure", SLOT(resolverFailure(QDBusMessage))},
    };
    for (const Route &r : routes) {
        if (on)
            m_bus.connect(Avahi::Service, QString(), r.interface, QString::fromLatin1(r.name), this, r.slot);
        else
            m_bus.disconnect(Avahi::Service, QString(), r.interface, QString::fromLatin1(r.name), this, r.slot);
    }
}

// Debian 12's avahi (0.8) has ServiceBrowserPrepare + Start, which cannot lose early items;
// older daemons only have ServiceBrowserNew.
void TableBrowser::createBrowser(bool legacy)
{
    m_browserPending = true;
    const QVariantList args{Avahi::IfUnspec, Avahi::ProtoUnspec, Avahi::ServiceType, QString(), 0u};
    const QDBusMessage request = legacy
        ? Avahi::call(QStringLiteral("/"), Avahi::Server, QStringLiteral("ServiceBrowserNew"), args)
        : Avahi::call(QStringLiteral("/"), Avahi::Server2, QStringLiteral("ServiceBrowserPrepare"), args);
    Avahi::callAsync(m_bus, this, request, [this, legacy](const QDBusMessage &reply) {
        if (!m_running)
            return;
        if (reply.type() == QDBusMessage::ErrorMessage) {
            m_browserPending = false;
            if (!legacy && Avahi::isUnknownMethod(reply))
                createBrowser(true);
            else
                fail(Avahi::reason(reply));
            return;
        }
        const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
        if (path.isEmpty()) {
            m_browserPending = false;
            fail(QStringLiteral("the Avahi daemon gave no browser."));
            return;
        }
        m_browserPath = path;
        m_browserPending = false;
        if (!legacy)
            Avahi::send(m_bus, Avahi::call(path, Avahi::ServiceBrowser, QStringLiteral("Start")));
    });
}

bool TableBrowser::isOurBrowser(const QDBusMessage &message) const
{
    if (!m_running)
        return false;
    if (!m_browserPath.isEmpty())
        return message.path() == m_browserPath;
    return m_browserPending;
}

void TableBrowser::itemNew(const QDBusMessage &message)
{
    if (message.signature() != ItemSignature || !isOurBrowser(message))
        return;
    const QVariantList a = message.arguments();
    if (a.at(3).toString() != Avahi::ServiceType)
        return;
    addItem(a.at(0).toInt(), a.at(1).toInt(), a.at(2).toString(), a.at(4).toString());
}

void TableBrowser::addItem(int interfaceIndex, int protocol, const QString &name, const QString &domain)
{
    const QString key = itemKey(interfaceIndex, protocol, name);
    if (m_items.contains(key))
        return;
    if (m_items.size() >= MaxItems) {
        qWarning("lobby: more than %d announcements on the network; the rest are not listed", MaxItems);
        return;
    }
    Item item;
    item.interfaceIndex = interfaceIndex;
    item.protocol = protocol;
    item.name = name;
    item.domain = domain;
    m_items.insert(key, item);
    createResolver(key, false);
}

void TableBrowser::createResolver(const QString &key, bool legacy)
{
    const Item &item = m_items[key];
    // Resolving an IPv4 announcement to an IPv4 address (and IPv6 to IPv6) keeps the two apart.
    const QVariantList args{item.interfaceIndex, item.protocol, item.name, Avahi::ServiceType,
                            item.domain, item.protocol, 0u};
    const QDBusMessage request = legacy
        ? Avahi::call(QStringLiteral("/"), Avahi::Server, QStringLiteral("ServiceResolverNew"), args)
        : Avahi::call(QStringLiteral("/"), Avahi::Server2, QStringLiteral("ServiceResolverPrepare"), args);
    Avahi::callAsync(m_bus, this, request, [this, key, legacy](const QDBusMessage &reply) {
        const auto it = m_items.find(key);
        const QString path = reply.type() == QDBusMessage::ReplyMessage
            ? reply.arguments().value(0).value<QDBusObjectPath>().path() : QString();
        if (it == m_items.end() || !m_running) {
            // Gone while the daemon made its resolver: free that too.
            if (!path.isEmpty())
                Avahi::send(m_bus, Avahi::call(path, Avahi::ServiceResolver, QStringLiteral("Free")));
            return;
        }
        if (reply.type() == QDBusMessage::ErrorMessage) {
            if (!legacy && Avahi::isUnknownMethod(reply))
                createResolver(key, true);
            return;
        }
        it->resolverPath = path;
        if (!legacy && !path.isEmpty())
            Avahi::send(m_bus, Avahi::call(path, Avahi::ServiceResolver, QStringLiteral("Start")));
    });
}

void TableBrowser::itemRemove(const QDBusMessage &message)
{
    if (message.signature() != ItemSignature || !isOurBrowser(message))
        return;
    const QVariantList a = message.arguments();
    const int interfaceIndex = a.at(0).toInt();
    const QString name = a.at(2).toString();
    const auto it = m_items.find(itemKey(interfaceIndex, a.at(1).toInt(), name));
    if (it == m_items.end())
        return;
    freeItem(*it);
    m_items.erase(it);
    refreshTable(tableKey(interfaceIndex, name));
}

void TableBrowser::browserFailure(const QDBusMessage &message)
{
    if (!isOurBrowser(message))
        return;
    dropEverything();
    fail(Avahi::reason(QDBusMessage::createError(QStringLiteral("org.freedesktop.Avahi.Failure"),
                                                 message.arguments().value(0).toString())));
}

// A resolver stays alive while its item is listed, and reports again when the details change.
void TableBrowser::resolverFound(const QDBusMessage &message)
{
    if (message.signature() != FoundSignature || !m_running)
        return;
    const QVariantList a = message.arguments();
    const int interfaceIndex = a.at(0).toInt();
    const QString name = a.at(2).toString();
    const auto it = m_items.find(itemKey(interfaceIndex, a.at(1).toInt(), name));
    if (it == m_items.end() || a.at(3).toString() != Avahi::ServiceType)
        return;
    ResolvedService service;
    service.interfaceIndex = interfaceIndex;
    service.instance = name;
    service.host = a.at(5).toString();
    service.address = a.at(7).toString();
    service.port = a.at(8).value<quint16>();
    service.txt = readTxt(a.at(9));
    it->table = LanTableReader::read(service);
    if (it->table)
        it->table->key = tableKey(interfaceIndex, name);
    refreshTable(tableKey(interfaceIndex, name));
}

// Resolving timed out: the item stays unlisted until the daemon removes it or it is found again.
void TableBrowser::resolverFailure(const QDBusMessage &message)
{
    for (Item &item : m_items) {
        if (!item.resolverPath.isEmpty() && item.resolverPath == message.path()) {
            Avahi::send(m_bus, Avahi::call(item.resolverPath, Avahi::ServiceResolver, QStringLiteral("Free")));
            item.resolverPath.clear();
            return;
        }
    }
}

void TableBrowser::freeItem(const Item &item)
{
    if (!item.resolverPath.isEmpty())
        Avahi::send(m_bus, Avahi::call(item.resolverPath, Avahi::ServiceResolver, QStringLiteral("Free")));
}

// Lists the table under `key` with its best resolved address (IPv4 before IPv6), or removes it.
void TableBrowser::refreshTable(const QString &key)
{
    std::optional<LanTable> best;
    for (const Item &item : std::as_const(m_items)) {
        if (!item.table || item.table->key != key)
            continue;
        if (!best || item.protocol == Avahi::ProtoInet)
            best = item.table;
    }
    const auto listed = m_tables.find(key);
    if (!best) {
        if (listed != m_tables.end()) {
            m_tables.erase(listed);
            Q_EMIT tableLost(key);
        }
        return;
    }
    if (listed != m_tables.end() && *listed == *best)
        return;
    if (listed == m_tables.end() && m_tables.size() >= MaxTables)
        return;
    m_tables.insert(key, *best);
    Q_EMIT tableFound(*best);
}

void TableBrowser::dropEverything()
{
    const QStringList keys = m_tables.keys();
    m_items.clear();
    m_tables.clear();
    m_browserPath.clear();
    m_browserPending = false;
    for (const QString &key : keys)
        Q_EMIT tableLost(key);
}

void TableBrowser::fail(const QString &reason)
{
    Q_EMIT unavailable(failureLine(reason));
}
