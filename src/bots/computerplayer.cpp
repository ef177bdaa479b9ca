#include "bots/computerplayer.h"

#include "host/board.h"
#include "net/colortext.h"
#include "net/fieldreader.h"
#include "net/protocol.h"
#include "net/tsock.h"
#include "session/clientsession.h"

#include <algorithm>

namespace {

// A round that the host announces as longer than a day is still planned as one day: the plan
// then ends long before the round, which is all that matters.
constexpr qint64 LongestRoundMs = 24LL * 3600 * 1000;
// A late joiner's time left is the host's countdown less its grace; below this there is
// nothing worth planning.
constexpr int LeastSecondsToJoin = 5;

} // namespace

ComputerPlayer::ComputerPlayer(const QByteArray &name, int level, quint16 port, BoardSolver &solver,
                               const WordBands &bands, quint32 seed, QObject *parent)
    : QObject(parent),
      m_name(name),
      m_level(level),
      m_solver(solver),
      m_bands(bands),
      m_rng(seed),
      m_session(std::make_unique<ClientSession>(port)),
      m_brain(level, m_rng.generate()),
      m_chat(m_rng.generate())
{
    m_session->setPlayerName(m_name);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ComputerPlayer::playNext);
    m_chatTimer.setSingleShot(true);
    connect(&m_chatTimer, &QTimer::timeout, this, [this] { say(m_pendingLine); });
    m_sinceSend.start();
    connectSession();
}

ComputerPlayer::~ComputerPlayer()
{
    // The session goes with its socket; what it reports while it goes is nobody's business.
    m_session->blockSignals(true);
    m_timer.stop();
    m_chatTimer.stop();
}

void ComputerPlayer::connectSession()
{
    ClientSession *s = m_session.get();
    // The session answers the greeting itself; that answer counts as a message sent.
    connect(s, &ClientSession::loggedInAs, this, [this] { m_sinceSend.start(); });
    connect(s, &ClientSession::gameStarted, this, &ComputerPlayer::gameStarted);
    connect(s, &ClientSession::boardLoaded, this, &ComputerPlayer::boardLoaded);
    connect(s, &ClientSession::gameStateLoaded, this, &ComputerPlayer::gameStateLoaded);
    connect(s, &ClientSession::roundStarted, this, &ComputerPlayer::roundStarted);
    connect(s, &ClientSession::roundOver, this, &ComputerPlayer::stopPlaying);
    connect(s, &ClientSession::watchingChanged, this, &ComputerPlayer::watchingChanged);
    connect(s, &ClientSession::winnerNamed, this, &ComputerPlayer::winnerNamed);
    connect(s, &ClientSession::tableFull, this, [this] { end(Ending::Refused); });
    connect(s, &ClientSession::ownVersionDiffers, this, [this] { end(Ending::OtherVersion); });
    connect(s, &ClientSession::closed, this, [this] { end(Ending::Closed); });
    // A connection that cannot be made, or breaks, is reported as an error only.
    connect(&s->sock(), &TSock::onInfo, this, [this](TSock *, int kind, const QString &) {
        if (kind == TSock::Error)
            end(Ending::Closed);
    });
}

void ComputerPlayer::join()
{
    if (!m_session->joinpress(QStringLiteral("127.0.0.1")).isEmpty())
        QTimer::singleShot(0, this, [this] { end(Ending::Closed); });
}

int ComputerPlayer::seat() const { return m_session->ownSeat(); }

void ComputerPlayer::takeSettings(const Msg::GameSettings &settings)
{
    // As the host reads them: what is not a number is the dialog's default.
    m_seconds = parseNumber(settings.seconds).value_or(60);
    m_minimum = std::clamp(parseNumber(settings.minimum).value_or(4), 1, Protocol::MaxWordLetters);
}

void ComputerPlayer::gameStarted(const Msg::GameStart &start)
{
    stopPlaying();
    takeSettings(start.settings);
    m_watching = false; // the host clears every seat's mark at a game start
    m_chat.newGame();
}

void ComputerPlayer::boardLoaded(const Msg::BoardTiles &tiles)
{
    // A board that does not read whole is not played: a path on it could be one the host's
    // board does not have.
    m_boardKnown = false;
    if (!tiles.whole)
        return;
    BoardCells cells{};
    for (const Msg::BoardTile &tile : tiles.tiles) {
        if (!Board::onGrid(tile.x, tile.y))
            return;
        cells[size_t(tile.x * Board::Side + tile.y)] = tile.code;
    }
    m_cells = cells;
    m_boardKnown = true;
}

void ComputerPlayer::gameStateLoaded(const Msg::GameState &state)
{
    if (state.seat != m_session->ownSeat())
        return;
    takeSettings(state.settings);
    m_chat.newGame();
    // Seated in a running round: it plays the time that is left, as a person would.
    if (state.phase == Protocol::RoundRunning && state.timeLeft >= LeastSecondsToJoin && !m_watching)
        startPlaying(qint64(state.timeLeft) * 1000);
}

void ComputerPlayer::roundStarted(int seat)
{
    if (seat != m_session->ownSeat())
        return;
    stopPlaying();
    if (!m_watching)
        startPlaying(qint64(m_seconds) * 1000);
}

void ComputerPlayer::watchingChanged(const Msg::Watching &change)
{
    if (change.seat != m_session->ownSeat())
        return;
    m_watching = change.watching;
    if (m_watching)
        stopPlaying();
}

void ComputerPlayer::winnerNamed(const QByteArray &winner)
{
    stopPlaying();
    if (const std::optional<QByteArray> line = m_chat.gameOverLine(winner == m_name)) {
        m_pendingLine = *line;
        m_chatTimer.start(m_chat.delayMs());
    }
}

void ComputerPlayer::startPlaying(qint64 roundMs)
{
    if (!m_boardKnown || !Protocol::isSeat(m_session->ownSeat()))
        return;
    if (m_brain.level() != m_level)
        m_brain = ComputerBrain(m_level, m_rng.generate());
    m_brain.startRound(m_solver.solve(m_cells, m_minimum), m_bands, std::min(roundMs, LongestRoundMs));
    m_roundClock.start();
    arm();
}

void ComputerPlayer::stopPlaying()
{
    m_brain.stopRound();
    m_timer.stop();
}

void ComputerPlayer::arm()
{
    const qint64 due = m_brain.msUntilNext(m_roundClock.elapsed());
    if (due < 0)
        return;
    m_timer.start(int(std::max(due, gapLeft())));
}

void ComputerPlayer::playNext()
{
    // Nothing goes out closer to the message before than the host's tick.
    if (gapLeft() > 0) {
        m_timer.start(int(gapLeft()));
        return;
    }
    if (const std::optional<FoundWord> word = m_brain.next(m_roundClock.elapsed())) {
        // The solver's positions are the dealt board's, as the host reads them.
        QList<Msg::Cell> path;
        for (const QPoint &p : word->path)
            path.append(Msg::Cell{p.x(), p.y()});
        send(Msg::playerdone(m_session->ownSeat(), path));
    }
    arm();
}

void ComputerPlayer::say(const QByteArray &line)
{
    if (gapLeft() > 0) {
        m_chatTimer.start(int(gapLeft()));
        return;
    }
    send(Msg::chatToHost(m_session->ownSeat(), line, colorToText(0)));
}

qint64 ComputerPlayer::gapLeft() const
{
    return std::max<qint64>(0, ComputerBrain::MinGapMs - m_sinceSend.elapsed());
}

void ComputerPlayer::send(const QByteArray &whole)
{
    if (m_ended || !m_session->loggedIn())
        return;
    m_session->sendMessage(whole);
    m_sinceSend.start();
}

void ComputerPlayer::end(Ending why)
{
    if (m_ended)
        return;
    m_ended = true;
    stopPlaying();
    m_chatTimer.stop();
    // A refusal or another version leaves the connection open; a computer does not stay.
    m_session->blockSignals(true);
    m_session->sock().close();
    Q_EMIT ended(why);
}
