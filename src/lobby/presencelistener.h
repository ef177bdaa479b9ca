#pragma once

#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

// Listens on 127.0.0.1 for the presence connection that a copy of the game started as host or
// joiner opens at start-up and keeps while it runs. Nothing is ever sent on it; whatever arrives is
// read and dropped. A game counts as present from its first connection until the last one closes.
class PresenceListener : public QObject {
    Q_OBJECT
public:
    // Connections beyond this are closed at once: only one game runs per user.
    static constexpr int MaxConnections = 4;

    explicit PresenceListener(QObject *parent = nullptr);
    ~PresenceListener() override;

    // port: 9001 for the game; tests give 0 and read port(). False, with the reason in
    // errorString(), when the port is taken (another lobby listens there).
    bool listen(quint16 port);
    quint16 port() const;
    QString errorString() const;
    bool gamePresent() const { return m_connections > 0; }

Q_SIGNALS:
    void gameConnected();
    void gameGone();

private:
    void accept();
    void dropped(QTcpSocket *socket);

    QTcpServer *m_server;
    int m_connections = 0;
};
