#include "bots/computertable.h"

#include "bots/computerbrain.h"
#include "bots/computernames.h"
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
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &ComputerTable::update);
    connect(&own, &ClientSession::loggedInAs, this, &ComputerTable::scheduleUpdate);
    connect(&own, &ClientSession::seatJoined, this, [this](const Msg::SeatName &p) { seatChanged(p, true); });
    connect(&own, &ClientSession::seatLeft, this, [this](const Msg::SeatName &p) { seatChanged(p, false); });
    connect(&own, &ClientSession::removalAsked, this, &ComputerTable::removalAsked);
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
    m_retry.stop();
    m_removing.clear();
    const QList<ComputerPlayer *> players = std::exchange(m_players, {});
    qDeleteAll(players);
}

void ComputerTable::setCount(int count)
{
    m_count = std::clamp(count, 0, MaxComputers);
    m_removed = 0;
    m_retryMs = m_firstRetryMs;
    scheduleUpdate();
}

void ComputerTable::setLevel(int level)
{
    m_level = std::clamp(level, int(ComputerBrain::Easy), int(ComputerBrain::Expert));
    for (ComputerPlayer *player : std::as_const(m_players))
        player->setLevel(m_level);
}

void ComputerTable::setRetryPauses(int firstMs, int longestMs)
{
    m_firstRetryMs = std::max(1, firstMs);
    m_longestRetryMs = std::max(m_firstRetryMs, longestMs);
    m_retryMs = m_firstRetryMs;
}

int ComputerTable::waiting() const
{
    if (m_closed || !m_own.isHost() || !m_own.loggedIn())
        return 0;
    return std::max(0, m_count - m_removed - int(m_players.size()));
}

void ComputerTable::seatChanged(const Msg::SeatName &player, bool joined)
{
    if (!Protocol::isSeat(player.seat))
        return;
    if (joined)
        m_seated.insert(player.seat, player.name);
    else
        m_seated.remove(player.seat);
    // A person who sits down may take the open seat; one who leaves frees a seat.
    scheduleUpdate();
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
    const int chosen = m_count - m_removed;
    const int wanted = std::clamp(seatsForComputers(), 0, chosen);
    // Removed like a person who leaves: the connection closes, nothing is said first. The last
    // to sit down stands up first; if the number chosen still wants it, it waits for a seat.
    while (m_players.size() > wanted) {
        ComputerPlayer *player = m_players.takeLast();
        if (m_players.size() < chosen)
            m_standing.prepend(player->name());
        m_removing.remove(player);
        delete player;
    }
    while (m_players.size() < wanted)
        seatOne();
    while (m_standing.size() > waiting())
        m_standing.removeLast();
    // Everyone wanted has a seat from the host: the next refusal starts the pauses afresh. Being
    // on the way is not enough, or refusals would never lengthen them.
    const bool allSeated = std::all_of(m_players.cbegin(), m_players.cend(),
                                       [](const ComputerPlayer *player) { return player->seat() > 0; });
    if (waiting() == 0 && allSeated)
        m_retryMs = m_firstRetryMs;
    reportWaiting();
}

void ComputerTable::seatOne()
{
    if (!m_bands)
        m_bands = WordBands::load(m_wordFile);
    const QByteArrayList inUse = namesInUse();
    QByteArray name;
    while (!m_standing.isEmpty() && name.isEmpty()) {
        name = m_standing.takeFirst(); // back under its own name, so the tally follows it
        if (inUse.contains(name))
            name.clear();
    }
    if (name.isEmpty())
        name = ComputerNames::pick(inUse, m_rng);
    auto *player = new ComputerPlayer(name, m_level, m_own.sock().peerPort(), m_solver, *m_bands,
                                      m_rng.generate(), this);
    m_players.append(player);
    connect(player, &ComputerPlayer::ended, this,
            [this, player](ComputerPlayer::Ending why) { ended(player, why); });
    player->join();
}

void ComputerTable::ended(ComputerPlayer *player, ComputerPlayer::Ending why)
{
    if (!m_players.removeOne(player))
        return;
    const bool removed = m_removing.remove(player) || why == ComputerPlayer::Ending::OtherVersion;
    if (removed) {
        ++m_removed;
    } else {
        m_standing.append(player->name());
        retryLater();
    }
    player->deleteLater(); // it is inside its own signal
    reportWaiting();
}

// Only the hosting player's own request marks a removal: the host's close that follows is then
// not a dropped connection.
void ComputerTable::removalAsked(int seat)
{
    for (ComputerPlayer *player : std::as_const(m_players)) {
        if (player->seat() == seat)
            m_removing.insert(player);
    }
}

// One pause for every computer that failed meanwhile; it doubles with each pause that ends in
// another failure, up to the longest.
void ComputerTable::retryLater()
{
    if (m_closed || m_retry.isActive())
        return;
    m_retry.start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, m_longestRetryMs);
}

void ComputerTable::reportWaiting()
{
    const int now = waiting();
    if (now == m_reportedWaiting)
        return;
    m_reportedWaiting = now;
    Q_EMIT waitingChanged(now);
}

int ComputerTable::seatsForComputers() const
{
    int people = 0;
    for (auto it = m_seated.cbegin(); it != m_seated.cend(); ++it)
        people += isComputerAt(it.key(), it.value()) ? 0 : 1;
    if (!m_seated.contains(m_own.ownSeat()))
        ++people; // the own seat, told a moment later
    return Protocol::SeatCount - OpenSeats - people;
}

bool ComputerTable::isComputerAt(int seat, const QByteArray &name) const
{
    return std::any_of(m_players.cbegin(), m_players.cend(), [seat, &name](const ComputerPlayer *player) {
        return player->seat() == seat && player->name() == name;
    });
}

QByteArrayList ComputerTable::namesInUse() const
{
    QByteArrayList names = m_seated.values();
    for (const ComputerPlayer *player : m_players)
        names.append(player->name());
    return names;
}
