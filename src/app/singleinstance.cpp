#include "app/singleinstance.h"

#include "system/gamepresence.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
constexpr int ConnectTimeoutMs = 1000;
}

SingleInstance::SingleInstance(const QString &marker, const QString &directory, QObject *parent)
    : QObject(parent)
    , m_lockPath(QDir(directory).filePath(marker + QStringLiteral(".lock")))
    , m_socketPath(QDir(directory).filePath(marker + QStringLiteral(".sock")))
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock && m_lock->isLocked()) {
        QLocalServer::removeServer(m_socketPath);
        m_lock->unlock();
    }
}

QString SingleInstance::runtimeDirectory()
{
    return GamePresence::runtimeDirectory();
}

bool SingleInstance::anotherCopyRuns(bool activate)
{
    QDir().mkpath(QFileInfo(m_lockPath).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    m_lock->setStaleLockTime(0); // only a dead owner makes the lock stale, never its age
    if (m_lock->tryLock(0)) {
        listenForLaterCopies();
        return false;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        // The directory is unusable: run rather than refuse to start at all.
        return false;
    }
    if (activate)
        askFirstCopyToActivate(m_socketPath);
    return true;
}

void SingleInstance::listenForLaterCopies()
{
    // We hold the lock, so a socket file left here belongs to a copy that died.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                // Only the one fixed request exists; anything else is ignored.
                if (peer->bytesAvailable() > 64) {
                    peer->abort();
                    return;
                }
                if (peer->canReadLine() && peer->readLine() == GamePresence::ActivateRequest)
                    Q_EMIT activationRequested();
            });
        }
    });
}

void SingleInstance::askFirstCopyToActivate(const QString &socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(ConnectTimeoutMs))
        return;
    socket.write(GamePresence::ActivateRequest);
    socket.waitForBytesWritten(ConnectTimeoutMs);
    socket.disconnectFromServer();
}
