#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;
class QTimer;

// Starts the game the way its command line is documented: no arguments for a solo game, or the
// player's name, the host's address and "true" to host or "join" to join. The game is started
// directly (never through a shell) and detached, so that it outlives the lobby: closing the lobby
// never ends a table that others play at. Its end is noticed through a process file descriptor.
class GameLauncher : public QObject {
    Q_OBJECT
public:
    enum class Role { Solo, Host, Join };

    explicit GameLauncher(QObject *parent = nullptr);
    ~GameLauncher() override;

    // The game's executable "lexitangle": beside the lobby's own executable first (a build
    // folder or an unpacked copy), then on PATH. Empty when there is none.
    static QString findGame(const QString &besideFolder);
    // The documented arguments. The address is not used when hosting (the game always seats its
    // own player through 127.0.0.1) but is passed all the same.
    static QStringList arguments(Role role, const QString &name = {}, const QString &address = {});

    // Another program instead of the one found (tests).
    void setProgram(const QString &program) { m_program = program; }
    QString program() const { return m_program; }

    // False, with the line to show in *problem, when the game cannot be found or started.
    bool start(const QStringList &arguments, QString *problem);
    bool running() const { return m_pid > 0; }

Q_SIGNALS:
    void finished();

private:
    void watch(qint64 pid);
    void checkAlive();
    void ended();

    QString m_program;
    qint64 m_pid = 0;
    int m_pidfd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer *m_poll = nullptr; // only where the kernel has no process descriptors
};
