#pragma once

#include "lantable.h"

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <optional>

class QDBusMessage;
class QDBusServiceWatcher;

// A live list of _lexitangle._tcp tables on the local network, at most 200, found through
// Avahi's D-Bus interface. A table announced over both IPv4 and IPv6 is one table (listed with
// its IPv4 address when it has one); the same table seen on two network interfaces is two.
class TableBrowser : public QObject {
    Q_OBJECT
public:
    explicit TableBrowser(QObject *parent = nullptr);
    // Browses through the Avahi daemon on `bus` rather than the system bus.
    explicit TableBrowser(const QDBusConnection &bus, QObject *parent = nullptr);
    ~TableBrowser() override;
    void start();
    void stop();
    QList<LanTable> tables() const;

    static constexpr int MaxTables = 200;
Q_SIGNALS:
    void tableFound(const LanTable &table);   // also when a known table's details change
    void tableLost(const QString &key);
    void unavailable(const QString &line);    // e.g. "Tables on this network cannot be found: the Avahi daemon is not running."

private Q_SLOTS:
    // QtDBus delivers signals to slots named by string; these take the whole message so that
    // its signature is checked before any argument is read.
    void itemNew(const QDBusMessage &message);
    void itemRemove(const QDBusMessage &message);
    void browserFailure(const QDBusMessage &message);
    void resolverFound(const QDBusMessage &message);
    void resolverFailure(const QDBusMessage &message);

private:
    // One service as the daemon browses it: per interface and per IP protocol.
    struct Item {
        int interfaceIndex = -1;
        int protocol = -1;
        QString name;
        QString domain;
        QString resolverPath;
        std::optional<LanTable> table;  // once resolved
    };

    void subscribe(bool on);
    void createBrowser(bool legacy);
    void browserCreated(const QString &path);
    void addItem(int interfaceIndex, int protocol, const QString &name, const QString &domain);
    void createResolver(const QString &itemKey, bool legacy);
    void freeItem(const Item &item);
    void refreshTable(const QString &tableKey);
    void dropEverything();
    void fail(const QString &reason);
    bool isOurBrowser(const QDBusMessage &message) const;

    static QString itemKey(int interfaceIndex, int protocol, const QString &name);
    static QString tableKey(int interfaceIndex, const QString &name);

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_daemonWatcher = nullptr;
    bool m_running = false;
    bool m_subscribed = false;
    bool m_browserPending = false;  // created, its path not known yet
    QString m_browserPath;
    QHash<QString, Item> m_items;
    QMap<QString, LanTable> m_tables;
};
