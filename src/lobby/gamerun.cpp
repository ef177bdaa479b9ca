#include "lobby/gamerun.h"

#include "lobby/portmapper.h"
#include "lobby/presencelistener.h"
#include "lobby/runninggame.h"
#include "lobby/tableannouncer.h"
#include "net/protocol.h"

#include <QHostAddress>
#include <QTimer>

namespace {
// How long a router may take to delete the mapping before the lobby stops waiting for it; the
// mapper's destructor still asks once more, bounded.
constexpr int ReleaseWaitMs = 5000;
}

GameRun::GameRun(quint16 presencePort, const QString &runtimeDirectory, QObject *parent)
    : QObject(parent)
    , m_launcher(new GameLauncher(this))
    , m_presence(new PresenceListener(this))
    , m_other(new RunningGame(runtimeDirectory, this))
{
    m_listening = m_presence->listen(presencePort);
    if (!m_listening)
        m_listenProblem = QStringLiteral("The lobby cannot listen on 127.0.0.1:%1 (%2); it will notice the "
                                         "game's end only when the game's program ends.")
                              .arg(presencePort)
                              .arg(m_presence->errorString());
    connect(m_presence, &PresenceListener::gameConnected, this, &GameRun::gamePresent);
    connect(m_presence, &PresenceListener::gameGone, this, &GameRun::gameEnded);
    connect(m_launcher, &GameLauncher::finished, this, &GameRun::gameEnded);
}

// The announcer and the mapper are children: their destructors withdraw the table and delete
// the mapping, also when the lobby closes while the game goes on.
GameRun::~GameRun() = default;

bool GameRun::otherGameRuns() const
{
    return m_other->runs();
}

void GameRun::bringOtherGameForward()
{
    m_other->bringForward();
}

bool GameRun::start(Role role, const QString &name, const QString &address, bool openPort, QString *problem)
{
    if (m_running) {
        *problem = QStringLiteral("The game started from the lobby is still running.");
        return false;
    }
    // The game's connection is IPv4 (its host listens on IPv4 only): started with an IPv6
    // address it could only report that it found no such host.
    if (role == Role::Join && QHostAddress(address).protocol() == QAbstractSocket::IPv6Protocol) {
        *problem = QStringLiteral("The game connects over IPv4 only, so it cannot reach %1. Ask the host "
                                  "for an IPv4 address or a host name.")
                       .arg(address);
        return false;
    }
    if (otherGameRuns()) {
        *problem = QStringLiteral("Lexitangle is already running on this computer.");
        return false;
    }
    if (!m_launcher->start(GameLauncher::arguments(role, name, address), problem))
        return false;
    m_running = true;
    m_role = role;
    m_name = name;
    m_address = role == Role::Join ? address : QString();
    m_openPort = role == Role::Host && openPort;
    Q_EMIT started();
    // A solo game opens no presence connection; one that cannot be heard is taken as present.
    if (role != Role::Solo && !m_listening) {
        Q_EMIT line(m_listenProblem);
        gamePresent();
    }
    return true;
}

void GameRun::gamePresent()
{
    // A game that this lobby did not start (one started by hand) may connect too; it changes nothing.
    if (!m_running || m_role == Role::Solo)
        return;
    Q_EMIT playing();
    if (m_role == Role::Host)
        startServices();
}

void GameRun::startServices()
{
    if (m_announcer)
        return;
    m_announcer = new TableAnnouncer(this);
    connect(m_announcer, &TableAnnouncer::published, this, &GameRun::announced);
    connect(m_announcer, &TableAnnouncer::problem, this, &GameRun::line);
    m_announcer->publish(m_name);
    // The port is opened only at the player's word.
    if (!m_openPort)
        return;
    m_mapper = new PortMapper(Protocol::TablePort, this);
    connect(m_mapper, &PortMapper::opened, this, &GameRun::portOpened);
    connect(m_mapper, &PortMapper::failed, this, &GameRun::line);
    m_mapper->open();
}

void GameRun::gameEnded()
{
    if (!m_running)
        return;
    m_running = false;
    releaseServices();
    Q_EMIT ended();
}

void GameRun::releaseServices()
{
    if (m_announcer) {
        m_announcer->withdraw();
        m_announcer->deleteLater();
        m_announcer = nullptr;
    }
    if (!m_mapper) {
        QTimer::singleShot(0, this, &GameRun::servicesReleased);
        return;
    }
    PortMapper *mapper = m_mapper;
    m_mapper = nullptr;
    auto *wait = new QTimer(this);
    wait->setSingleShot(true);
    // Once only: whichever comes first, the mapping's end or the wait's, cuts off the other.
    auto done = [this, mapper, wait] {
        wait->stop();
        mapper->disconnect(wait);
        wait->deleteLater();
        mapper->disconnect(this);
        mapper->deleteLater();
        Q_EMIT servicesReleased();
    };
    connect(mapper, &PortMapper::closedDown, wait, done);
    connect(wait, &QTimer::timeout, wait, done);
    wait->start(ReleaseWaitMs);
    mapper->close();
}
