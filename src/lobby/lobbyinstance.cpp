#include "lobby/lobbyinstance.h"

#include "lobby/invitelink.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <QTimer>

namespace {
const QByteArray Verb = QByteArrayLiteral("open");
constexpr int RetryMs = 50;
}

LobbyInstance::LobbyInstance(const QString &directory, QObject *parent)
    : QObject(parent)
    , m_lockPath(QDir(directory).filePath(QStringLiteral("lexitangle-lobby.lock")))
    , m_socketPath(QDir(directory).filePath(QStringLiteral("lexitangle-lobby.sock")))
{
}

LobbyInstance::~LobbyInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock && m_lock->isLocked()) {
        QLocalServer::removeServer(m_socketPath);
        m_lock->unlock();
    }
}

LobbyInstance::Start LobbyInstance::claimOrHandOver(const QString &link)
{
    QDir().mkpath(QFileInfo(m_lockPath).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    m_lock->setStaleLockTime(0);  // only a dead holder makes the lock stale, never its age
    if (m_lock->tryLock(0)) {
        listen();
        return Start::First;
    }
    // An unusable folder must not keep the lobby from opening at all.
    if (m_lock->error() != QLockFile::LockFailedError)
        return Start::First;
    return handOver(request(link)) ? Start::HandedOver : Start::NoAnswer;
}

QByteArray LobbyInstance::request(const QString &link)
{
    if (link.isEmpty())
        return Verb + '\n';
    return Verb + ' ' + link.left(InviteLink::MaxLength + 1).toUtf8() + '\n';
}

std::optional<QString> LobbyInstance::readRequest(const QByteArray &line)
{
    if (line.size() > MaxRequestBytes || !line.endsWith('\n'))
        return std::nullopt;
    const QByteArray body = line.chopped(1);
    if (body == Verb)
        return QString();
    if (!body.startsWith(Verb + ' '))
        return std::nullopt;
    const QString link = QString::fromUtf8(body.mid(Verb.size() + 1));
    // Only what a lobby's command line hands over: a link (checked again when filled in).
    if (link.size() > InviteLink::MaxLength + 1 || !InviteLink::hasScheme(link))
        return std::nullopt;
    return link;
}

// Blocks for at most AnswerTimeoutMs, before this lobby has any window: the running lobby may
// hold the lock a moment before it listens, so refused connections are tried again.
bool LobbyInstance::handOver(const QByteArray &request) const
{
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (socket.waitForConnected(int(deadline.remainingTime()))) {
            socket.write(request);
            const bool sent = socket.waitForBytesWritten(int(deadline.remainingTime()));
            socket.disconnectFromServer();
            if (sent)
                return true;
        }
        QThread::msleep(RetryMs);
    }
    return false;
}

void LobbyInstance::listen()
{
    // We hold the lock, so a socket file left here belongs to a lobby that died.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        qWarning("lobby: cannot listen on %s (%s); a lobby started later opens a second window",
                 qPrintable(m_socketPath), qPrintable(m_server->errorString()));
        return;
    }
    connect(m_server, &QLocalServer::newConnection, this, &LobbyInstance::accept);
}

void LobbyInstance::accept()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        if (m_server->findChildren<QLocalSocket *>(Qt::FindDirectChildrenOnly).size() > MaxPeers) {
            peer->abort();
            peer->deleteLater();
            continue;
        }
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { read(peer); });
        QTimer::singleShot(RequestTimeoutMs, peer, [peer] {
            peer->abort();
            peer->deleteLater();
        });
        read(peer);  // bytes may have come with the connection
    }
}

// One request per connection; whatever else the peer sends is not read.
void LobbyInstance::read(QLocalSocket *peer)
{
    if (!peer->canReadLine() && peer->bytesAvailable() <= MaxRequestBytes)
        return;
    const std::optional<QString> link = readRequest(peer->readLine(MaxRequestBytes + 1));
    peer->disconnect(this);
    peer->abort();
    peer->deleteLater();
    if (link)
        Q_EMIT requested(*link);
    else
        qWarning("lobby: a request on %s was not understood and is ignored", qPrintable(m_socketPath));
}
