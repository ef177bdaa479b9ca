#pragma once

#include <QByteArray>
#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;

// The program's one network object: a TCP listener or a TCP connection, driven by Qt's event
// loop. It moves bytes only; framing is the owner's business.
//
// Events are signals and are emitted only from the event loop (never from inside the
// operation that caused them, except the info reports that an operation makes itself), so an
// owner that sends from a handler is never re-entered. Owners must not delete a TSock inside
// one of its own signals; use deleteLater().
//
// Operations that fail throw ESockException with the fixed texts of the layer.
class TSock : public QObject {
    Q_OBJECT
public:
    // The kind numbers of onInfo reports.
    enum InfoKind { Lookup = 0, Connect = 1, Close = 2, Listen = 3, Receive = 4, Send = 5,
                    Accept = 6, Error = 7 };

    // Turns a host name (never one beginning with a digit) into an address; nullopt when the
    // name is unknown. The default asks the system resolver through a process-wide cache.
    using HostLookup = std::function<std::optional<QHostAddress>(const QString &name)>;

    explicit TSock(QObject *parent = nullptr);
    ~TSock() override;

    QString hostName() const { return m_hostName; }
    QString portName() const { return m_portName; }
    // Plain assignments; on a connected object each first reports kind 0
    // "Setting HostName While Connected Has No Effect" (or PortName).
    void setHostName(const QString &name);
    void setPortName(const QString &name);

    // Starts connecting to hostName():portName(). Returns the connected flag, which is false
    // for a new attempt: completion arrives as onConnect, failure as a kind-7 report only.
    // With a socket already present (connecting, connected or failed) it only returns the flag.
    // With a local address set, the socket is bound to it first (a port the system chooses,
    // shared with nobody), so localPort() names the connection before it is accepted.
    bool open();
    // The address open() binds to; a null address (the default) binds nothing.
    void setLocalAddress(const QHostAddress &address) { m_localAddress = address; }
    // Releases the socket and reports kind 2 "Socket Closed" (not on a listener). Unsent
    // output is dropped; received input stays available to receive(). Returns whether there
    // was a socket to release. Safe to call at any time, also inside any handler.
    bool close();
    // Queues bytes for sending; Qt hands them to the network from the event loop, in order.
    // Returns false when nothing was queued: the attempt to connect failed, or the output
    // bound would be exceeded, in which case the connection is closed like a peer close
    // (onDisconnect, then "Socket Closed"), from the event loop.
    bool send(const QByteArray &bytes);
    // All received bytes not yet taken.
    QByteArray receive();
    // Takes one waiting connection of a listener. The new object starts connected, is
    // parented to `parent` (or this listener) and gets its events from the next event loop
    // turn on, so the owner connects to its signals right after accept() returns; bytes or
    // a close that came in before the accept are reported then. nullptr when nothing waits.
    TSock *accept(QObject *parent = nullptr);

    // Starts listening on portName() on every local IPv4 address (backlog 5), or stops.
    void setListen(bool listen);
    bool listening() const { return m_listening; }
    bool connected() const { return m_connected; }

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The local port of the listener or connection; 0 without a socket. Lets tests listen on
    // port "0" and connect to whatever the system chose.
    quint16 localPort() const;
    // The port of the other end of a connection; 0 without one.
    quint16 peerPort() const;
    // Bytes given to send() that the network has not taken yet.
    qint64 pendingOutput() const;
    // Bytes received and not yet taken by receive().
    qint64 pendingInput() const { return m_input.size(); }

    // Upper bound of pendingOutput(); 0 (the default) means unbounded. A peer that stops
    // reading would otherwise make the sender's memory grow without end.
    void setMaxPendingOutput(qint64 bytes) { m_maxPendingOutput = bytes; }
    qint64 maxPendingOutput() const { return m_maxPendingOutput; }

    // Replaces the host name resolver (tests count lookups with it).
    void setHostLookup(HostLookup lookup) { m_hostLookup = std::move(lookup); }

Q_SIGNALS:
    void onConnect(TSock *sender);
    // The peer closed the connection; emitted before the object closes itself.
    void onDisconnect(TSock *sender);
    void onInfo(TSock *sender, int kind, const QString &text);
    // count: the size of the pending input after the arrival. One arrival is at most 32 KiB;
    // a larger burst comes as several.
    void onRead(TSock *sender, qint64 count);
    // The network took output.
    void onWrite(TSock *sender);
    // A connection waits on this listener; take it with accept().
    void onAccept(TSock *sender);

private:
    void adoptSocket(QTcpSocket *socket);
    static void sendAtOnce(QTcpSocket *socket);
    void releaseSocket();
    void releaseServer();
    void report(int kind, const QString &text);
    quint16 resolvePort(const QString &text);
    QHostAddress resolveHost(const QString &text);
    void startListening();
    void stopListening();

    void socketConnected();
    void socketReadyRead();
    void socketBytesWritten();
    void socketError(QAbstractSocket::SocketError error, const QString &text);
    void peerClosed();
    void catchUpAfterAccept();
    void serverAcceptError();

    QString m_hostName;
    QString m_portName;
    QHostAddress m_localAddress;
    QPointer<QTcpSocket> m_socket;
    QPointer<QTcpServer> m_server;
    QByteArray m_input;
    HostLookup m_hostLookup;
    qint64 m_maxPendingOutput = 0;
    int m_tag = 0;
    bool m_connected = false;
    bool m_listening = false;
    // Set when the output bound was hit: the close is on its way, sends are refused.
    bool m_closing = false;
};
