#include "lobby/gamelauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QString GameName = QStringLiteral("lexitangle");
constexpr int PollMs = 500;

int openProcessDescriptor(qint64 pid)
{
#ifdef SYS_pidfd_open
    return int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
#else
    Q_UNUSED(pid);
    errno = ENOSYS;
    return -1;
#endif
}

bool alive(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

GameLauncher::GameLauncher(QObject *parent)
    : QObject(parent)
    , m_program(findGame(QCoreApplication::applicationDirPath()))
{
}

GameLauncher::~GameLauncher()
{
    if (m_pidfd >= 0)
        ::close(m_pidfd);
}

QString GameLauncher::findGame(const QString &besideFolder)
{
    const QFileInfo beside(QDir(besideFolder).filePath(GameName));
    if (beside.isFile() && beside.isExecutable())
        return beside.absoluteFilePath();
    return QStandardPaths::findExecutable(GameName);
}

QStringList GameLauncher::arguments(Role role, const QString &name, const QString &address)
{
    switch (role) {
    case Role::Solo:
        return {};
    case Role::Host:
        return {name, address.isEmpty() ? QStringLiteral("127.0.0.1") : address, QStringLiteral("true")};
    case Role::Join:
        return {name, address, QStringLiteral("join")};
    }
    return {};
}

bool GameLauncher::start(const QStringList &arguments, QString *problem)
{
    if (running()) {
        *problem = QStringLiteral("The game started from here is still running.");
        return false;
    }
    if (m_program.isEmpty()) {
        *problem = QStringLiteral("The game (lexitangle) was found neither beside the lobby nor on PATH.");
        return false;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(m_program, arguments, QString(), &pid) || pid <= 0) {
        *problem = QStringLiteral("The game could not be started from %1.").arg(QDir::toNativeSeparators(m_program));
        return false;
    }
    watch(pid);
    return true;
}

void GameLauncher::watch(qint64 pid)
{
    m_pid = pid;
    // A detached game is not our child: a process descriptor becomes readable when it ends,
    // and it cannot be fooled by the number being given to another process later.
    m_pidfd = openProcessDescriptor(pid);
    if (m_pidfd >= 0) {
        m_notifier = new QSocketNotifier(m_pidfd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &GameLauncher::ended);
        return;
    }
    m_poll = new QTimer(this);
    connect(m_poll, &QTimer::timeout, this, &GameLauncher::checkAlive);
    m_poll->start(PollMs);
}

void GameLauncher::checkAlive()
{
    if (!alive(m_pid))
        ended();
}

void GameLauncher::ended()
{
    // Called from their own signals: they go once that has returned.
    if (m_notifier) {
        m_notifier->setEnabled(false);
        m_notifier->deleteLater();
        m_notifier = nullptr;
    }
    if (m_poll) {
        m_poll->stop();
        m_poll->deleteLater();
        m_poll = nullptr;
    }
    if (m_pidfd >= 0)
        ::close(m_pidfd);
    m_pidfd = -1;
    m_pid = 0;
    Q_EMIT finished();
}
