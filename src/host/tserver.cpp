#include "host/tserver.h"

#include "net/esockexception.h"
#include "net/fieldreader.h"
#include "net/messages.h"
#include "net/protocol.h"

#include <QtDebug>

#include <limits>
#include <string>
#include <utility>

// The session half of the host: connections, seats, logins and relays. The game flow lives
// in tservergame.cpp.

namespace {

constexpr int SocktimerIntervalMs = 10;
constexpr int Timer1IntervalMs = 1000;
// A refused connection gets this long to take its CMD_full before it is closed anyway.
constexpr int RefusalGraceMs = 5000;

using Protocol::isSeat;

// A seat number that cannot index the table makes the message unreadable: the queue drops
// it with a warning.
void requireSeatInRange(int n)
{
    if (!isSeat(n))
        throw FieldError("seat " + std::to_string(n) + " out of range");
}

// The host trusts no seat number a client writes: a message speaks only for its sender.
void requireOwnSeat(int n, int senderSeat)
{
    if (senderSeat == 0 || n != senderSeat) {
        throw FieldError("seat field " + std::to_string(n) + " is not the sender's seat "
                         + std::to_string(senderSeat));
    }
}

} // namespace

TServer::TServer(WordChecker &spell, HostSettings &settings, QRandomGenerator &rng,
                 quint16 port, QObject *parent)
    : QObject(parent),
      m_spell(spell),
      m_settings(settings),
      m_rng(rng),
      m_port(port),
      receivedlist(SocktimerIntervalMs)
{
    static const char *const defaultNames[] = {"", "Klot", "Klock", "Kling", "Klick", "Krazy"};
    for (int i = 0; i < int(std::size(defaultNames)); ++i)
        m_seats[i].defaultName = defaultNames[i];

    timer1.setInterval(Timer1IntervalMs);
    connect(&timer1, &QTimer::timeout, this, &TServer::timer1Timer);
    connect(&Sock1, &TSock::onAccept, this, &TServer::Sock1Accept);

    // The dispatch table, in the order the keywords are compared.
    route(Protocol::Cmd::logininfo, &TServer::receivedlogininfo);
    route(Protocol::Cmd::kickhim, &TServer::kickhim);
    route(Protocol::Cmd::chat, &TServer::chat);
    route(Protocol::Cmd::action, &TServer::action);
    receivedlist.addHandler(Protocol::Cmd::startgame, [this](const QByteArray &payload, int source) {
        // A start is honoured from any seat (the message names no seat to check), but only
        // from a connection that holds one. A board chosen by the hosting player waits for
        // that player's own start.
        const int seat = seatOfConnection(source);
        if (seat < 1)
            throw FieldError("a game start from a connection without a seat");
        startgame(payload, seat == 1 ? std::exchange(m_firstBoard, std::nullopt) : std::nullopt);
    });
    route(Protocol::Cmd::justwatch, &TServer::justwatch);
    route(Protocol::Cmd::playerdone, &TServer::playerdone);
    route(Protocol::Cmd::playasound, &TServer::playasound);
    receivedlist.setCloseHandler([this](int id) { connectionClosed(id); });
}

TServer::~TServer()
{
    // Seat connections go first, while the table they would report to still exists.
    const QList<TSock *> connections = findChildren<TSock *>(Qt::FindDirectChildrenOnly);
    for (TSock *connection : connections) {
        connection->blockSignals(true);
        delete connection;
    }
}

void TServer::startListening()
{
    Sock1.setPortName(QString::number(m_port));
    Sock1.setListen(true);
}

quint16 TServer::listeningPort() const
{
    return Sock1.localPort();
}

void TServer::setOwnClient(const QHostAddress &address, quint16 port)
{
    m_ownAddress = address;
    m_ownPort = port;
}

void TServer::socktimerTimer()
{
    receivedlist.tick();
}

const Seat &TServer::seat(int n) const
{
    Q_ASSERT(isSeat(n));
    return m_seats[n - 1];
}

void TServer::route(const char *keyword, void (TServer::*handler)(const QByteArray &, int))
{
    receivedlist.addHandler(keyword, [this, handler](const QByteArray &payload, int source) {
        (this->*handler)(payload, seatOfConnection(source));
    });
}

int TServer::seatOfConnection(int connectionId) const
{
    for (int n = 1; n <= SeatLimit; ++n) {
        const Seat &s = seat(n);
        if (s.connected && s.connectionId == connectionId)
            return n;
    }
    return 0;
}

void TServer::Sock1Accept(TSock *)
{
    // Nothing changes until the accept succeeded, so a failed accept leaves no seat marked
    // and the count as it was.
    TSock *connection = acceptOne();
    if (!connection)
        return;
    const int n = chooseSeat(connection);
    if (n == 0) {
        refuseConnection(connection);
        return;
    }
    m_seatCount = qMax(m_seatCount, n);
    takeSeat(n, connection);
}

int TServer::chooseSeat(const TSock *connection) const
{
    if (isOwnClient(connection) && !seat(1).connected)
        return 1;
    // The first free seat up to the seat count, else one more seat. Seat 1 is nobody
    // else's while the own client is known.
    const int first = m_ownPort != 0 ? 2 : 1;
    for (int i = first; i <= m_seatCount; ++i) {
        if (!seat(i).connected)
            return i;
    }
    const int next = qMax(m_seatCount, first - 1) + 1;
    return next <= SeatLimit ? next : 0;
}

bool TServer::isOwnClient(const TSock *connection) const
{
    return m_ownPort != 0 && connection->peerPort() == m_ownPort
        && QHostAddress(connection->hostName()) == m_ownAddress;
}

void TServer::takeSeat(int n, TSock *connection)
{
    Seat &s = seatRef(n);
    s.connected = true;
    s.connection = connection;
    s.connectionId = m_nextConnectionId;
    // Wrapping needs 2^31 accepts; the connections that held the low ids are long gone.
    m_nextConnectionId = m_nextConnectionId == std::numeric_limits<int>::max()
        ? 1 : m_nextConnectionId + 1;
    connection->setTag(n);
    connection->setMaxPendingOutput(MaxPendingOutput);
    m_peers.insert(connection, Peer{s.connectionId});
    connect(connection, &TSock::onDisconnect, this, &TServer::tempsockDisconnect);
    connect(connection, &TSock::onRead, this, &TServer::Sock1Read);
    connect(connection, &TSock::onInfo, this, &TServer::tempsockInfo);
    sendTo(n, Msg::sendlogininfo(n));
}

TSock *TServer::acceptOne()
{
    try {
        return Sock1.accept(this);
    } catch (const ESockException &error) {
        qWarning("accept failed: %s", error.what());
        return nullptr;
    }
}

void TServer::refuseConnection(TSock *connection)
{
    // Closing at once would discard the refusal before the network took it.
    const auto finish = [connection] {
        if (connection->connected() && connection->pendingOutput() > 0)
            return;
        connection->close();
        connection->deleteLater();
    };
    connect(connection, &TSock::onWrite, connection, finish);
    connect(connection, &TSock::onRead, connection, [connection] {
        try {
            connection->receive();
        } catch (const ESockException &) {
        }
    });
    connect(connection, &TSock::onDisconnect, connection, &QObject::deleteLater);
    // The connection's own timer: a single-shot timer with a context would outlive the
    // connection by the whole grace, and a churning peer would pile them up by thousands.
    auto *grace = new QTimer(connection);
    grace->setSingleShot(true);
    connect(grace, &QTimer::timeout, connection, [connection] {
        connection->close();
        connection->deleteLater();
    });
    grace->start(RefusalGraceMs);
    try {
        connection->send(Msg::full());
    } catch (const ESockException &) {
    }
    finish();
}

void TServer::Sock1Read(TSock *sender, qint64)
{
    const auto peer = m_peers.find(sender);
    if (peer == m_peers.end())
        return;
    QByteArray bytes;
    try {
        bytes = sender->receive();
    } catch (const ESockException &) {
        return;
    }
    const QList<QByteArray> messages = peer->framer.feed(bytes);
    const int id = peer->id;
    const bool overflowed = peer->framer.overflowed();
    for (const QByteArray &message : messages)
        receivedlist.enqueue(message, id);
    if (overflowed) {
        qWarning("closing seat %d: a message grew past %lld bytes", sender->tag(),
                 qlonglong(MaxPartialMessage));
        closeForAbuse(sender, id);
    } else if (receivedlist.pendingFrom(id) > MaxQueuedPerConnection) {
        qWarning("closing seat %d: more than %d messages waiting", sender->tag(),
                 MaxQueuedPerConnection);
        closeForAbuse(sender, id);
    }
}

void TServer::closeForAbuse(TSock *connection, int id)
{
    receivedlist.dropFrom(id);
    connection->close();
}

void TServer::tempsockDisconnect(TSock *sender)
{
    const int n = sender->tag();
    if (isSeat(n) && seat(n).connection == sender)
        disconnectsock(n);
}

void TServer::tempsockInfo(TSock *sender, int kind, const QString &)
{
    // Only a close matters, told by the report's kind. It is reported more than once for one
    // connection; the first report frees the seat and forgets the connection, later ones find
    // nothing to do.
    if (kind != TSock::Close)
        return;
    const auto peer = m_peers.constFind(sender);
    if (peer == m_peers.constEnd())
        return;
    const int id = peer->id;
    m_peers.erase(peer);
    // What the connection sent before it closed is still handled as from its seat; the seat
    // is freed by the close's own entry, after those. Nothing more is sent to it meanwhile.
    const int n = sender->tag();
    if (isSeat(n) && seat(n).connectionId == id && seat(n).connected) {
        seatRef(n).connection = nullptr;
        receivedlist.enqueueClose(id);
    }
    sender->deleteLater();
}

void TServer::connectionClosed(int connectionId)
{
    const int n = seatOfConnection(connectionId);
    if (n > 0)
        freeSeat(n);
}

void TServer::freeSeat(int n)
{
    Seat &s = seatRef(n);
    const QByteArray name = s.name;
    s.connected = false;
    s.connection = nullptr;
    s.connectionId = 0;
    s.name.clear();
    s.justWatching = false;
    const QByteArray message = Msg::playerdisconnected(n, name);
    for (int i = 1; i <= m_seatCount; ++i) {
        if (i != n)
            sendTo(i, message);
    }
}

void TServer::disconnectsock(int n)
{
    if (!isSeat(n))
        return;
    const Seat &s = seat(n);
    if (s.connected && s.connection)
        s.connection->close();
}

void TServer::sendTo(int n, const QByteArray &message)
{
    const Seat &s = seat(n);
    if (!s.connected || !s.connection)
        return;
    try {
        // A peer that stops reading is closed by the connection itself once its output
        // passes the bound; the close frees the seat like any other.
        s.connection->send(message);
    } catch (const ESockException &error) {
        qWarning("sending to seat %d failed: %s", n, error.what());
    }
}

void TServer::sendToAll(const QByteArray &message)
{
    for (int n = 1; n <= m_seatCount; ++n)
        sendTo(n, message);
}

void TServer::relay(const char *what, int senderSeat, const QByteArray &message)
{
    // Every client would refuse it and, before it learnt to skip such a message, end; the
    // sender keeps the seat.
    const qsizetype length = message.size() - 1; // the terminator is not counted
    if (length > MaxRelayedMessage) {
        qWarning("dropped %s line of seat %d: relayed it would be %lld bytes, more than %lld",
                 what, senderSeat, qlonglong(length), qlonglong(MaxRelayedMessage));
        return;
    }
    sendToAll(message);
}

void TServer::receivedlogininfo(const QByteArray &payload, int senderSeat)
{
    const Msg::Login login = Msg::readLogininfo(payload);
    const int n = login.seat;
    requireOwnSeat(n, senderSeat);
    const QByteArray name = Protocol::cleanText(login.name);
    // The longest message that carries a name must still be one a client takes.
    if (Msg::playerdisconnected(SeatLimit, name).size() - 1 > MaxRelayedMessage)
        throw FieldError("a name of " + std::to_string(name.size()) + " bytes");
    seatRef(n).name = name;

    sendToAll(Msg::newplayerinfo(n, seat(n).name));
    for (int i = 1; i <= m_seatCount; ++i) {
        if (i != n && seat(i).connected)
            sendTo(n, Msg::existingplayers(i, seat(i).name));
    }
    if (login.version != Protocol::Version) {
        // The player keeps the seat; both sides are only told.
        sendTo(1, Msg::havewrongversion(seat(n).name));
        sendTo(n, Msg::wrongversion());
    }
    if (m_gameRunning)
        sendGameState(n);
}

void TServer::kickhim(const QByteArray &payload, int senderSeat)
{
    const Msg::Kick kick = Msg::readKickhim(payload);
    requireOwnSeat(kick.requester, senderSeat);
    if (kick.requester != 1)
        return; // only the hosting player removes players
    requireSeatInRange(kick.target);
    disconnectsock(kick.target);
}

void TServer::justwatch(const QByteArray &payload, int senderSeat)
{
    const Msg::WatchRequest request = Msg::readJustwatch(payload);
    const int n = request.seat;
    requireSeatInRange(n);
    // A player changes its own state; the hosting player may change anyone's.
    if (senderSeat != 1)
        requireOwnSeat(n, senderSeat);
    // The mode is compared as text: "2" and "1" exactly, anything else changes nothing.
    if (request.mode == QByteArray::number(Protocol::StopWatching)) {
        seatRef(n).justWatching = false;
        sendToAll(Msg::justwatching(n, Protocol::StopWatching));
    } else if (request.mode == QByteArray::number(Protocol::StartWatching) && m_gameRunning) {
        seatRef(n).justWatching = true;
        sendToAll(Msg::justwatching(n, Protocol::StartWatching));
    }
}

void TServer::chat(const QByteArray &payload, int senderSeat)
{
    const Msg::SeatText line = Msg::readSeatText(payload);
    requireOwnSeat(line.seat, senderSeat);
    // The line is relayed byte for byte, "+" and "|colour" included.
    relay("a chat", line.seat, Msg::chatToSeats(seat(line.seat).name, line.rest));
}

void TServer::action(const QByteArray &payload, int senderSeat)
{
    const Msg::SeatText line = Msg::readSeatText(payload);
    requireOwnSeat(line.seat, senderSeat);
    relay("an action", line.seat, Msg::actionToSeats(seat(line.seat).name, line.rest));
}

void TServer::playasound(const QByteArray &payload, int senderSeat)
{
    const Msg::SeatText sound = Msg::readSeatText(payload);
    requireOwnSeat(sound.seat, senderSeat);
    relay("a sound", sound.seat, Msg::playasoundToSeats(sound.seat, sound.rest));
}
