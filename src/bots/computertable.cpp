#include "bots/computertable.h"

#include "bots/computerbrain.h"
#include "bots/computernames.h"
#include "bots/computerplayer.h"
#include "net/protocol.h"
#include "net/tsock.h"
#include "session/clientsession.h"

#include <QTimer>

#include <algorithm>
#include <utility>

ComputerTable::ComputerTable(ClientSession &own, BoardSolver &solver, const QString &wordFile,
                             QObject *parent)
    : QObject(parent),
      m_own(own),
      m_solver(solver),
      m_wordFile(wordFile),
      m_rng(QRandomGenerator::securelySeeded())
{
    connect(&own, &ClientSession::loggedInAs, this, &ComputerTable::scheduleUpdate);
    connect(&own, &ClientSession::seatJoined, this, [this](const Msg::SeatName &p) { seatChanged(p, true); });
    connect(&own, &ClientSession::seatLeft, this, [this](const Msg::SeatName &p) { seatChanged(p, false); });
    connect(&own, &ClientSession::roundStarted, this, [this](int seat) {
        if (seat == m_own.ownSeat())
            m_roundRunning = true;
    });
    connect(&own, &ClientSession::roundOver, this, [this] {
        m_roundRunning = false;
        scheduleUpdate();
    });
}

ComputerTable::~ComputerTable() { closeAll(); }

void ComputerTable::closeAll()
{
    m_closed = true;
    const QList<ComputerPlayer *> players = std::exchange(m_players, {});
    qDeleteAll(players);
}

void ComputerTable::setCount(int count)
{
    m_count = std::clamp(count, 0, MaxComputers);
    m_lost = 0;
    scheduleUpdate();
}

void ComputerTable::setLevel(int level)
{
    m_level = std::clamp(level, int(ComputerBrain::Easy), int(ComputerBrain::Expert));
    for (ComputerPlayer *player : std::as_const(m_players))
        player->setLevel(m_level);
}

void ComputerTable::seatChanged(const Msg::SeatName &player, bool joined)
{
    if (!Protocol::isSeat(player.seat))
        return;
    if (joined) {
        m_seated.insert(player.seat, player.name);
    } else {
        m_seated.remove(player.seat);
        scheduleUpdate(); // a free seat may be one a computer is waiting for
    }
}

// The table changes after the message that asked for it has been handled, never inside it.
void ComputerTable::scheduleUpdate()
{
    if (m_updatePending || m_closed)
        return;
    m_updatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_updatePending = false;
        update();
    });
}

void ComputerTable::update()
{
    if (m_closed || !m_own.isHost() || !m_own.loggedIn() || m_roundRunning)
        return;
    const int wanted = std::max(0, m_count - m_lost);
    // Removed like a person who leaves: the connection closes, nothing is said first.
    while (m_players.size() > wanted)
        delete m_players.takeLast();
    int free = Protocol::SeatCount - occupiedSeats();
    for (; m_players.size() < wanted && free > 0; --free)
        seatOne();
}

void ComputerTable::seatOne()
{
    if (!m_bands)
        m_bands = WordBands::load(m_wordFile);
    const QByteArray name = ComputerNames::pick(namesInUse(), m_rng);
    auto *player = new ComputerPlayer(name, m_level, m_own.sock().peerPort(), m_solver, *m_bands,
                                      m_rng.generate(), this);
    m_players.append(player);
    connect(player, &ComputerPlayer::gaveUp, this, [this, player] { lost(player); });
    player->join();
}

void ComputerTable::lost(ComputerPlayer *player)
{
    if (!m_players.removeOne(player))
        return;
    ++m_lost;
    player->deleteLater(); // it is inside its own signal
}

int ComputerTable::occupiedSeats() const
{
    int occupied = int(m_seated.size());
    if (!m_seated.contains(m_own.ownSeat()))
        ++occupied; // the own seat, told a moment later
    for (const ComputerPlayer *player : m_players) {
        const int seat = player->seat();
        if (!m_seated.contains(seat) || m_seated.value(seat) != player->name())
            ++occupied; // on its way: connected, not yet announced
    }
    return occupied;
}

QByteArrayList ComputerTable::namesInUse() const
{
    QByteArrayList names = m_seated.values();
    for (const ComputerPlayer *player : m_players)
        names.append(player->name());
    return names;
}
