#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

class QDBusMessage;
class QDBusServiceWatcher;

// Publishes _lexitangle._tcp on port 7772 with TXT version and name through Avahi's D-Bus
// interface. Avahi frees a client's entry groups when the client leaves the bus, so a crashed
// lobby withdraws its table as well.
class TableAnnouncer : public QObject {
    Q_OBJECT
public:
    explicit TableAnnouncer(QObject *parent = nullptr);
    // Publishes through the Avahi daemon on `bus` rather than the system bus.
    explicit TableAnnouncer(const QDBusConnection &bus, QObject *parent = nullptr);
    ~TableAnnouncer() override;           // withdraws
    void publish(const QString &playerName);
    void withdraw();                      // takes effect at once (well within 2 s)
    bool isPublished() const;
Q_SIGNALS:
    void published();
    void problem(const QString &line);    // one clear line for the window/stdout

private Q_SLOTS:
    void groupStateChanged(int state, const QString &error);
    void serverStateChanged(int state, const QString &error);

private:
    void createGroup();
    void addService();
    void freeGroup();
    void fail(const QString &reason);
    void failWith(const QDBusMessage &error);

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_daemonWatcher = nullptr;
    QString m_playerName;
    QString m_instanceName;
    QString m_groupPath;
    bool m_wanted = false;            // publish() called and no withdraw() since
    bool m_groupPending = false;      // EntryGroupNew sent, no answer yet
    bool m_waitingForServer = false;  // the daemon was not running its server yet
    bool m_published = false;
};
