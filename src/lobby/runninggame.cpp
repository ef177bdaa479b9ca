#include "lobby/runninggame.h"

#include "system/gamepresence.h"

#include <QLocalSocket>
#include <QLockFile>

RunningGame::RunningGame(const QString &runtimeDirectory, QObject *parent)
    : QObject(parent)
    , m_directory(runtimeDirectory)
{
}

bool RunningGame::runs() const
{
    // Taking the lock tells whether anyone holds it; a lock whose holder died is taken over, as
    // the game itself would. Released at once, so a game started next still gets it.
    QLockFile lock(GamePresence::presenceLockPath(m_directory));
    lock.setStaleLockTime(0);
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    return lock.error() == QLockFile::LockFailedError;
}

void RunningGame::bringForward()
{
    auto *socket = new QLocalSocket(this);
    connect(socket, &QLocalSocket::connected, socket, [socket] {
        socket->write(GamePresence::ActivateRequest);
        socket->disconnectFromServer();
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::errorOccurred, socket, &QObject::deleteLater);
    socket->connectToServer(GamePresence::markerSocketPath(m_directory));
}
