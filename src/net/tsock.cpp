#include "net/tsock.h"

#include "net/addresslookup.h"
#include "net/esockexception.h"
#include "net/wsaerrors.h"

#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <exception>
#include <utility>

namespace {

// A listener that hit a hard accept error (too many open files ...) stops accepting; it
// tries again after this pause instead of spinning on a descriptor that stays readable.
constexpr int AcceptRetryMs = 1000;
// One read takes at most this much; the rest waits in the system's buffer, where a peer that
// floods us is slowed by TCP itself instead of growing our memory.
constexpr qint64 ReadSlice = 32768;

bool isBindError(QAbstractSocket::SocketError error)
{
    return error == QAbstractSocket::AddressInUseError
        || error == QAbstractSocket::SocketAccessError
        || error == QAbstractSocket::SocketAddressNotAvailableError;
}

} // namespace

TSock::TSock(QObject *parent)
    : QObject(parent), m_hostLookup(&AddressLookup::lookUpHostCached)
{
}

TSock::~TSock()
{
    // Owners are being torn down around us: close without telling anyone.
    blockSignals(true);
    releaseSocket();
    releaseServer();
}

void TSock::setHostName(const QString &name)
{
    if (m_connected)
        report(Lookup, QStringLiteral("Setting HostName While Connected Has No Effect"));
    m_hostName = name;
}

void TSock::setPortName(const QString &name)
{
    if (m_connected)
        report(Lookup, QStringLiteral("Setting PortName While Connected Has No Effect"));
    m_portName = name;
}

bool TSock::open()
{
    if (m_socket || m_server)
        return m_connected;
    auto *socket = new QTcpSocket(this);
    socket->setProxy(QNetworkProxy::NoProxy);
    adoptSocket(socket);
    if (!m_localAddress.isNull()
        && !socket->bind(m_localAddress, 0, QAbstractSocket::DontShareAddress))
        throw ESockException(QStringLiteral("Open - Error Binding Socket"));
    // A failed lookup leaves the (unconnected) socket in place; close() releases it.
    const quint16 port = resolvePort(m_portName);
    const QHostAddress address = resolveHost(m_hostName);
    socket->connectToHost(address, port);
    return m_connected;
}

bool TSock::close()
{
    const bool released = m_socket || m_server;
    releaseSocket();
    releaseServer();
    m_connected = false;
    m_closing = false;
    if (!m_listening) {
        // Close must always finish: an info handler's failure is not the caller's problem.
        try {
            report(Close, QStringLiteral("Socket Closed"));
        } catch (...) {
        }
    }
    m_listening = false;
    return released;
}

bool TSock::send(const QByteArray &bytes)
{
    if (!m_socket && !m_server)
        throw ESockException(QStringLiteral("Send - Socket Not Connected"));
    if (m_server)
        throw ESockException(QStringLiteral("Send - Cannot Send On A Listener Socket"));
    if (bytes.isEmpty())
        return true;
    if (m_closing || m_socket->state() == QAbstractSocket::UnconnectedState)
        return false;
    if (m_maxPendingOutput > 0
        && m_socket->bytesToWrite() + bytes.size() > m_maxPendingOutput) {
        // The peer does not take its data: drop the connection instead of buffering without
        // end. The owner hears of it from the event loop, as of any other peer close, so a
        // broadcast loop that called us is not re-entered.
        m_closing = true;
        const QPointer<QTcpSocket> guard(m_socket);
        m_socket->abort();
        QMetaObject::invokeMethod(this, [this, guard] {
            if (!guard || guard != m_socket)
                return;
            if (m_connected)
                peerClosed();
            else
                close();
        }, Qt::QueuedConnection);
        return false;
    }
    report(Send, QStringLiteral("Non-Blocking Outgoing Data"));
    m_socket->write(bytes);
    return true;
}

QByteArray TSock::receive()
{
    if (!m_socket && !m_server && m_input.isEmpty())
        throw ESockException(QStringLiteral("Receive - Socket Not Connected"));
    if (m_server)
        throw ESockException(QStringLiteral("Receive - Cannot Receive On A Listener Socket"));
    return std::exchange(m_input, QByteArray());
}

TSock *TSock::accept(QObject *parent)
{
    if (!m_listening || !m_server)
        throw ESockException(QStringLiteral("Accept - Socket Not In Listening Mode"));
    QTcpSocket *socket = m_server->nextPendingConnection();
    if (!socket) {
        report(Accept, QStringLiteral("Could Not Accept Connection"));
        return nullptr;
    }
    auto *child = new TSock(parent ? parent : this);
    child->m_hostLookup = m_hostLookup;
    child->m_maxPendingOutput = m_maxPendingOutput;
    child->adoptSocket(socket);
    sendAtOnce(socket);
    child->m_connected = true;
    {
        // The new object's first reports go to the listener's info handlers: its owner has
        // had no chance to connect to it yet.
        const QMetaObject::Connection link =
            connect(child, &TSock::onInfo, this, &TSock::onInfo);
        child->setPortName(m_portName);
        child->setHostName(socket->peerAddress().toString());
        disconnect(link);
    }
    report(Accept, QStringLiteral("Created New TSock Structure"));
    QMetaObject::invokeMethod(child, &TSock::catchUpAfterAccept, Qt::QueuedConnection);
    return child;
}

void TSock::setListen(bool listen)
{
    if (listen)
        startListening();
    else
        stopListening();
}

quint16 TSock::localPort() const
{
    if (m_server)
        return m_server->serverPort();
    if (m_socket)
        return m_socket->localPort();
    return 0;
}

quint16 TSock::peerPort() const
{
    return m_socket ? m_socket->peerPort() : 0;
}

qint64 TSock::pendingOutput() const
{
    return m_socket ? m_socket->bytesToWrite() : 0;
}

void TSock::adoptSocket(QTcpSocket *socket)
{
    socket->setParent(this);
    socket->setReadBufferSize(ReadSlice);
    m_socket = socket;
    connect(socket, &QTcpSocket::connected, this, &TSock::socketConnected);
    connect(socket, &QTcpSocket::readyRead, this, &TSock::socketReadyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &TSock::socketBytesWritten);
    // Qt may report an error or the end of a connection from inside a call we make (a
    // connect that fails at once, a write that fails). Owners hear of both from the event
    // loop only, so they are never re-entered from their own open() or send().
    const QPointer<QTcpSocket> guard(socket);
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, guard](QAbstractSocket::SocketError error) {
                const QString text = guard ? guard->errorString() : QString();
                QMetaObject::invokeMethod(this, [this, guard, error, text] {
                    if (guard && guard == m_socket)
                        socketError(error, text);
                }, Qt::QueuedConnection);
            });
    connect(socket, &QTcpSocket::disconnected, this, [this, guard] {
        QMetaObject::invokeMethod(this, [this, guard] {
            if (guard && guard == m_socket)
                peerClosed();
        }, Qt::QueuedConnection);
    });
}

void TSock::sendAtOnce(QTcpSocket *socket)
{
    // Every message goes out in one write of its own. Held back for the acknowledgement of
    // the one before (Nagle), a verdict would wait some 40 ms behind any stream of chat.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

void TSock::releaseSocket()
{
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    // We may be inside one of the socket's own signals: cut it loose, delete it later.
    socket->disconnect(this);
    // Hand what is still queued to the system before closing, as a closesocket() would
    // deliver it: a host that sends a last message and drops the connection at once
    // (a refused eleventh player) must not lose that message.
    if (socket->state() == QAbstractSocket::ConnectedState)
        socket->flush();
    socket->abort();
    socket->deleteLater();
}

void TSock::releaseServer()
{
    if (!m_server)
        return;
    QTcpServer *server = m_server;
    m_server = nullptr;
    server->disconnect(this);
    server->close();
    server->deleteLater();
}

void TSock::report(int kind, const QString &text)
{
    try {
        emit onInfo(this, kind, text);
    } catch (...) {
        throw ESockException(QStringLiteral("Error here"));
    }
}

quint16 TSock::resolvePort(const QString &text)
{
    report(Lookup, QStringLiteral("Lookup Of Port ") + text);
    const std::optional<quint16> port = AddressLookup::lookUpPort(text);
    if (!port)
        throw ESockException(QStringLiteral("Port Lookup - Could Not Find Service Entry"));
    return *port;
}

QHostAddress TSock::resolveHost(const QString &text)
{
    report(Lookup, QStringLiteral("Lookup Of Host ") + text);
    // A text that starts with a digit is an address; it is never handed to the resolver.
    const std::optional<QHostAddress> address = AddressLookup::startsWithDigit(text)
        ? AddressLookup::parseDottedIPv4(text)
        : m_hostLookup(text);
    if (!address)
        throw ESockException(QStringLiteral("Host Lookup - Could Not Find Host Entry"));
    return *address;
}

void TSock::startListening()
{
    if (m_socket && !m_listening)
        throw ESockException(QStringLiteral("Listen - Socket Already In Use"));
    if (m_listening) {
        report(Listen, QStringLiteral("Listening Already Running"));
        return;
    }
    const quint16 port = resolvePort(m_portName);
    auto *server = new QTcpServer(this);
    server->setProxy(QNetworkProxy::NoProxy);
    server->setListenBacklogSize(5);
    if (!server->listen(QHostAddress::AnyIPv4, port)) {
        // Nothing half-made stays behind: a later attempt (on another port) starts clean.
        const QAbstractSocket::SocketError error = server->serverError();
        delete server;
        throw ESockException(isBindError(error)
                                 ? QStringLiteral("Listen - Error Binding Socket")
                                 : QStringLiteral("Listen - Error Starting Listen"));
    }
    m_server = server;
    connect(server, &QTcpServer::newConnection, this, [this] { emit onAccept(this); });
    connect(server, &QTcpServer::acceptError, this, &TSock::serverAcceptError);
    m_listening = true;
    report(Listen, QStringLiteral("Listening Started"));
}

void TSock::stopListening()
{
    m_listening = false;
    close();
    report(Listen, QStringLiteral("Listening Stopped"));
}

void TSock::socketConnected()
{
    if (m_socket)
        sendAtOnce(m_socket);
    m_connected = true;
    report(Connect, QStringLiteral("Non-Blocking Socket Connected"));
    emit onConnect(this);
}

void TSock::socketReadyRead()
{
    if (!m_socket || !m_socket->isReadable())
        return;
    m_input.append(m_socket->readAll());
    const QPointer<TSock> self(this);
    report(Receive, QStringLiteral("Non-Blocking Incoming Data"));
    if (self)
        emit onRead(this, m_input.size());
}

void TSock::socketBytesWritten()
{
    const QPointer<TSock> self(this);
    report(Send, QStringLiteral("Non-Blocking Outgoing Data"));
    if (self)
        emit onWrite(this);
}

void TSock::socketError(QAbstractSocket::SocketError error, const QString &text)
{
    // A failed attempt to connect is only reported; the object keeps its socket. On an
    // established connection a network error ends the connection: it is reported and then
    // closes the object like a peer close. A plain remote close is that peer close itself
    // and no error at all (Qt also folds a reset on receive into it).
    if (!m_connected || error != QAbstractSocket::RemoteHostClosedError) {
        const QPointer<TSock> self(this);
        report(Error, wsaErrorText(wsaCodeFor(error, text)));
        if (!self)
            return;
    }
    if (m_socket && m_connected && m_socket->state() != QAbstractSocket::ConnectedState)
        peerClosed();
}

void TSock::peerClosed()
{
    // Only an established connection can be closed by its peer; a failed attempt to
    // connect is a kind-7 report and nothing more.
    if (!m_socket || !m_connected)
        return;
    const QPointer<TSock> self(this);
    std::exception_ptr failure;
    try {
        emit onDisconnect(this);
    } catch (...) {
        failure = std::current_exception();
    }
    // The object closes itself even when the handler failed, so it never lingers half-dead.
    if (self)
        close();
    if (failure)
        std::rethrow_exception(failure);
}

void TSock::catchUpAfterAccept()
{
    // Bytes and a close that arrived while the connection waited to be accepted were
    // signalled to nobody; report them now that the owner listens.
    if (!m_socket)
        return;
    if (m_socket->bytesAvailable() > 0)
        socketReadyRead();
    if (m_socket && m_socket->state() != QAbstractSocket::ConnectedState)
        peerClosed();
}

void TSock::serverAcceptError()
{
    if (!m_server)
        return;
    QTcpServer *server = m_server;
    const QPointer<TSock> self(this);
    report(Error, wsaErrorText(wsaCodeFor(server->serverError(), server->errorString())));
    if (self && m_server == server)
        QTimer::singleShot(AcceptRetryMs, server, [server] { server->resumeAccepting(); });
}
