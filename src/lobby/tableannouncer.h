#pragma once

#include <QObject>
#include <QString>

// Publishes _lexitangle._tcp on port 7772 with TXT version and name through the system's
// DNS-SD daemon (Avahi, over D-Bus).
class TableAnnouncer : public QObject {
    Q_OBJECT
public:
    explicit TableAnnouncer(QObject *parent = nullptr);
    ~TableAnnouncer() override;           // withdraws
    void publish(const QString &playerName);
    void withdraw();                      // takes effect at once (well within 2 s)
    bool isPublished() const;
Q_SIGNALS:
    void published();
    void problem(const QString &line);    // one clear line for the window/stdout
};
