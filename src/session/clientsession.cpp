#include "session/clientsession.h"

#include "host/tserver.h"
#include "net/esockexception.h"
#include "net/fieldreader.h"
#include "net/messages.h"
#include "net/messageframer.h"
#include "net/protocol.h"
#include "net/receivequeue.h"
#include "net/tsock.h"

#include <QtDebug>

namespace {

// Far above anything a real table sends (a whole board is some 600 bytes, the longest message
// 64 KiB); a host that goes past them is flooding us, and the connection counts as lost. The
// bytes bound keeps what a flood can make us hold well under 100 MB, entries included.
constexpr int MaxQueuedMessages = 100000;
constexpr qsizetype MaxQueuedBytes = 16 * 1024 * 1024;

QString errorText(const ESockException &error) { return QString::fromUtf8(error.what()); }

// The minimum letters are the one setting the client takes as a number without a fallback.
void requireMinimum(const Msg::GameSettings &settings)
{
    if (!parseNumber(settings.minimum))
        throw FieldError("minimum letters not a number: " + settings.minimum.left(32).toStdString());
}

// A list cut short was told as far as it read; the rest of the message is dropped here.
void requireWhole(bool whole)
{
    if (!whole)
        throw FieldError("a repeated group does not read");
}

} // namespace

ClientSession::ClientSession(quint16 port, QObject *parent)
    : QObject(parent),
      m_port(port)
{
    m_queue = new ReceiveQueue(TickMs, this);
    m_queue->setObjectName(QStringLiteral("Timer1"));
    m_queue->setCloseHandler([this](int) { Q_EMIT closed(); });
    registerHandlers();
    connectSocket();
}

ClientSession::~ClientSession() = default;

void ClientSession::registerHandlers()
{
    using namespace Protocol;
    auto add = [this](const char *keyword, void (ClientSession::*handler)(const QByteArray &)) {
        m_queue->addHandler(QByteArray(keyword), [this, handler](const QByteArray &payload, int) {
            (this->*handler)(payload);
        });
    };
    add(Cmd::sendlogininfo, &ClientSession::sendloginfo);
    add(Cmd::chat, &ClientSession::chatrecieved);
    add(Cmd::action, &ClientSession::chatrecieved);
    add(Cmd::newplayerinfo, &ClientSession::newplayerinfo);
    m_queue->addHandler(Cmd::havewrongversion, [this](const QByteArray &p, int) { Q_EMIT otherVersionDiffers(p); });
    m_queue->addHandler(Cmd::wrongversion, [this](const QByteArray &, int) { Q_EMIT ownVersionDiffers(); });
    add(Cmd::existingplayers, &ClientSession::newplayerinfo);
    add(Cmd::playerdisconnected, &ClientSession::playerdisconnected);
    add(Cmd::startgame, &ClientSession::startthegame);
    add(Cmd::nextplayer, &ClientSession::getnextplayer);
    add(Cmd::winner, &ClientSession::winner);
    m_queue->addHandler(Cmd::full, [this](const QByteArray &, int) { Q_EMIT tableFull(); });
    add(Cmd::justwatching, &ClientSession::justwatching);
    add(Cmd::loadboard, &ClientSession::loadboard);
    add(Cmd::goodword, &ClientSession::goodword);
    add(Cmd::addscore, &ClientSession::addscore);
    add(Cmd::notvalid, &ClientSession::notvalid);
    add(Cmd::timeup, &ClientSession::timeup);
    add(Cmd::loadstats, &ClientSession::loadstats);
    add(Cmd::mainlist, &ClientSession::mainlist);
    add(Cmd::playasound, &ClientSession::playasound);
}

void ClientSession::connectSocket()
{
    m_sock = new TSock(this);
    m_sock->setObjectName(QStringLiteral("sock"));
    m_sock->setPortName(QString::number(m_port));
    // One message too long is skipped; it never ends the session.
    m_framer = std::make_unique<MessageFramer>(MessageFramer::DefaultMaxMessage,
                                               MessageFramer::Overflow::SkipMessage);
    m_queue->setLimits(MaxQueuedMessages, MaxQueuedBytes);
    connect(m_sock, &TSock::onRead, this, [this](TSock *sender, qint64) { received(sender); });
    connect(m_sock, &TSock::onInfo, this, &ClientSession::sockInfo);
}

void ClientSession::received(TSock *sender)
{
    QByteArray bytes;
    try {
        bytes = sender->receive();
    } catch (const ESockException &) {
        return;
    }
    for (const QByteArray &message : m_framer->feed(bytes)) {
        if (m_queue->enqueue(message) == ReceiveQueue::Enqueued::Full) {
            qWarning("Lexitangle: the host sent more than %d messages or %lld bytes that "
                     "wait to be handled; closing the connection",
                     MaxQueuedMessages, qlonglong(MaxQueuedBytes));
            // A flooding host's backlog is not worth handling before the close.
            m_queue->dropFrom(0);
            sender->close();
            return;
        }
    }
}

QString ClientSession::open(const QString &address, quint16 port, const QHostAddress &local)
{
    m_sock->setHostName(address);
    m_sock->setPortName(QString::number(port));
    m_sock->setLocalAddress(local);
    m_closeQueued = false;
    try {
        m_sock->open();
    } catch (const ESockException &error) {
        return errorText(error);
    }
    return {};
}

QString ClientSession::hostpress(TServer &server)
{
    try {
        server.startListening();
    } catch (const ESockException &error) {
        return errorText(error);
    }
    m_host = true;
    // Bound before it connects, the own connection is known to the host by its port, so seat
    // 1 is ours whoever reaches the listener first.
    const QString error = open(QStringLiteral("127.0.0.1"), server.listeningPort(), QHostAddress::LocalHost);
    if (error.isEmpty())
        server.setOwnClient(QHostAddress::LocalHost, m_sock->localPort());
    return error;
}

QString ClientSession::joinpress(const QString &address)
{
    return open(address, m_port, QHostAddress());
}

void ClientSession::removeSeat(int seat)
{
    Q_EMIT removalAsked(seat);
    sendMessage(Msg::kickhim(m_ownSeat, seat));
}

void ClientSession::sendMessage(const QByteArray &whole)
{
    if (m_sender) {
        m_sender(whole);
        return;
    }
    try {
        m_sock->send(whole);
    } catch (const ESockException &error) {
        qWarning("Lexitangle: %s", error.what());
    }
}

void ClientSession::sendloginfo(const QByteArray &payload)
{
    m_ownSeat = Msg::readSeat(payload);
    m_loggedIn = true;
    sendMessage(Msg::logininfo(m_ownSeat, Protocol::Version, m_playerName));
    Q_EMIT loggedInAs(m_ownSeat);
}

void ClientSession::newplayerinfo(const QByteArray &payload)
{
    Q_EMIT seatJoined(Msg::readSeatName(payload));
}

void ClientSession::playerdisconnected(const QByteArray &payload)
{
    Q_EMIT seatLeft(Msg::readSeatName(payload));
}

void ClientSession::justwatching(const QByteArray &payload)
{
    const Msg::Watching change = Msg::readJustwatching(payload);
    if (Protocol::isSeat(change.seat))
        Q_EMIT watchingChanged(change);
}

void ClientSession::chatrecieved(const QByteArray &payload) { Q_EMIT chatLine(Msg::readChat(payload)); }

void ClientSession::playasound(const QByteArray &payload)
{
    Q_EMIT chatterSound(Msg::readPlayasound(payload));
}

void ClientSession::startthegame(const QByteArray &payload)
{
    const Msg::GameStart start = Msg::readStartgame(payload);
    requireMinimum(start.settings);
    Q_EMIT gameStarted(start);
}

void ClientSession::loadboard(const QByteArray &payload)
{
    const Msg::BoardTiles tiles = Msg::readLoadboard(payload);
    Q_EMIT boardLoaded(tiles);
    requireWhole(tiles.whole);
}

void ClientSession::loadstats(const QByteArray &payload)
{
    const Msg::GameState state = Msg::readLoadstats(payload);
    requireMinimum(state.settings);
    Q_EMIT gameStateLoaded(state);
    requireWhole(state.whole);
}

void ClientSession::getnextplayer(const QByteArray &payload) { Q_EMIT roundStarted(Msg::readSeat(payload)); }
void ClientSession::goodword(const QByteArray &payload) { Q_EMIT wordAccepted(Msg::readGoodword(payload)); }
void ClientSession::notvalid(const QByteArray &payload) { Q_EMIT wordRefused(Msg::readNotvalid(payload)); }
void ClientSession::addscore(const QByteArray &payload) { Q_EMIT scoreAdded(Msg::readAddscore(payload)); }

void ClientSession::timeup(const QByteArray &payload)
{
    const Msg::RoundScores scores = Msg::readTimeup(payload);
    Q_EMIT roundOver(scores);
    requireWhole(scores.whole);
}

void ClientSession::mainlist(const QByteArray &payload) { Q_EMIT roundWordsListed(Msg::readMainlist(payload)); }
void ClientSession::winner(const QByteArray &payload) { Q_EMIT winnerNamed(Msg::readWinner(payload)); }

void ClientSession::sockInfo(TSock *, int kind, const QString &)
{
    // A lost connection is told by the report's kind; its text is only for people. A host
    // closes right after its last words (CMD_full): the close takes its turn behind every
    // message that came before it, once however often it is reported.
    if (kind == TSock::Close && !m_closeQueued) {
        m_closeQueued = true;
        m_queue->enqueueClose(0);
    }
}
