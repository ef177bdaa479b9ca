#include "lobby/presencelistener.h"

#include <QTcpServer>
#include <QTcpSocket>

PresenceListener::PresenceListener(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &PresenceListener::accept);
}

PresenceListener::~PresenceListener()
{
    // The sockets die with us; nobody is left to hear that the game went.
    m_server->disconnect(this);
    for (QTcpSocket *socket : findChildren<QTcpSocket *>())
        socket->disconnect(this);
}

bool PresenceListener::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 PresenceListener::port() const
{
    return m_server->serverPort();
}

QString PresenceListener::errorString() const
{
    return m_server->errorString();
}

void PresenceListener::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_connections >= MaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setParent(this);
        ++m_connections;
        // The game never writes here; anything that does is read away so no buffer grows.
        connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { dropped(socket); });
        if (m_connections == 1)
            Q_EMIT gameConnected();
    }
}

void PresenceListener::dropped(QTcpSocket *socket)
{
    socket->disconnect(this);
    socket->deleteLater();
    if (--m_connections == 0)
        Q_EMIT gameGone();
}
