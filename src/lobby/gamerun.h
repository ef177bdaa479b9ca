#pragma once

#include "lobby/gamelauncher.h"

#include <QObject>
#include <QPointer>
#include <QString>

class PortMapper;
class PresenceListener;
class RunningGame;
class TableAnnouncer;

// One game started from the lobby, from its start to its end, and what the lobby does meanwhile:
// it hears the game's presence connection, announces a hosted table on the local network while
// the game runs, and asks the router to open the table's port when the player chose to. Shared by
// the window and the command line.
//
// A game has ended when its presence connection closes or its process ends, whichever comes
// first. Then the table is withdrawn and the port mapping deleted; servicesReleased() follows once
// the mapping is gone, so that a command-line host can end without leaving a mapping behind.
class GameRun : public QObject {
    Q_OBJECT
public:
    using Role = GameLauncher::Role;

    // presencePort: 9001 for the game; tests give 0. runtimeDirectory: where a running game's
    // presence object is looked for.
    GameRun(quint16 presencePort, const QString &runtimeDirectory, QObject *parent = nullptr);
    ~GameRun() override;

    GameLauncher &launcher() { return *m_launcher; }
    PresenceListener &presence() { return *m_presence; }

    // True when a copy of the game already runs; start() refuses then.
    bool otherGameRuns() const;
    void bringOtherGameForward();

    // False, with the line in *problem, when the game is already running or cannot be started.
    bool start(Role role, const QString &name, const QString &address, bool openPort, QString *problem);
    bool running() const { return m_running; }
    Role role() const { return m_role; }
    QString address() const { return m_address; }

Q_SIGNALS:
    void started();
    // The presence connection came: the game runs at `address` (empty when hosting).
    void playing();
    // A notice or a problem of the announcer or the port mapper, one line each.
    void line(const QString &text);
    void announced();
    void portOpened(const QString &externalAddress);
    void ended();
    void servicesReleased();

private:
    void gamePresent();
    void gameEnded();
    void startServices();
    void releaseServices();

    GameLauncher *m_launcher;
    PresenceListener *m_presence;
    RunningGame *m_other;
    bool m_listening = false;
    QString m_listenProblem;

    bool m_running = false;
    Role m_role = Role::Solo;
    QString m_name;
    QString m_address;
    bool m_openPort = false;
    bool m_servicesStarted = false;
    QPointer<TableAnnouncer> m_announcer;
    QPointer<PortMapper> m_mapper;
};
