#include "host/tserver.h"

#include "host/betterdeal.h"
#include "host/gamerules.h"
#include "host/hostsettings.h"
#include "net/fieldreader.h"
#include "net/messages.h"
#include "net/protocol.h"
#include "words/lettercodes.h"
#include "words/wordchecker.h"

#include <QPoint>
#include <QtNumeric>

#include <algorithm>
#include <limits>

// The game half of the host: game start, rounds and their countdown, words, the winner.

namespace {

// The pause between rounds comes from a menu; a day is far beyond any of its choices.
constexpr int MaxCountdownSeconds = 86400;
// The host's round runs this much longer than the players are told, so a word sent in the
// last second still arrives in time.
constexpr int RoundGraceSeconds = 4;
// loadstats tells a late joiner the time left as the countdown minus this.
constexpr int TimeLeftOffset = RoundGraceSeconds + 1;
// The seconds per round are taken as sent (0 makes a round of the 4 grace seconds, a
// negative number one of a single tick); only what would overflow the countdown's sums is
// brought inside: the grace added at a round's start, the offset taken off for loadstats.
constexpr int MinSecondsPerRound = std::numeric_limits<int>::min() + TimeLeftOffset + 1;
constexpr int MaxSecondsPerRound = std::numeric_limits<int>::max() - RoundGraceSeconds;
constexpr int AutoStartSeconds = 60;

// What the countdown does when it ends; a late joiner's CMD_loadstats tells it as the phase.
enum CountdownAction {
    NoCountdown = Protocol::NoCountdown,
    EndRound = Protocol::RoundRunning,
    StartRound = Protocol::BetweenRounds,
    StartGame = Protocol::NextGameWaiting,
};

int saturatingAdd(int a, int b)
{
    int sum = 0;
    if (qAddOverflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    return sum;
}

// The path of a CMD_playerdone as read (letter places in order, at most 12); positions must
// lie on the grid, or the message is unreadable and dropped with a warning.
QList<QPoint> pointsOnGrid(const QList<Msg::Cell> &cells)
{
    QList<QPoint> path;
    for (const Msg::Cell &cell : cells) {
        if (!Board::onGrid(cell.x, cell.y))
            throw FieldError("position off the board");
        path.append(QPoint(cell.x, cell.y));
    }
    return path;
}

} // namespace

void TServer::startgame(const QByteArray &payload, const std::optional<BoardCode> &first)
{
    m_savedGameStart = payload;
    m_gameRunning = true;

    const Msg::GameStart start = Msg::readStartgame(payload);
    const Msg::GameSettings &settings = start.settings;
    // Unreadable settings fall back to the dialog's defaults; the relay still carries the
    // texts as they came.
    m_playTo = parseNumber(settings.playTo).value_or(100);
    m_secondsPerRound = std::clamp(parseNumber(settings.seconds).value_or(60), MinSecondsPerRound, MaxSecondsPerRound);
    m_boardType = parseNumber(settings.boardType).value_or(8);
    m_minimumLetters = parseNumber(settings.minimum).value_or(4);
    sendToAll(Msg::startgameToSeats(start.fields()));

    for (Seat &s : m_seats) {
        s.score = 0;
        s.justWatching = false;
        s.roundScore = 0;
        s.roundWords.clear();
    }
    // A board of another size than the game's would not match what every client was told.
    const std::optional<Board> chosen =
        first && first->sizeCode() == m_boardType ? std::optional<Board>(first->board()) : std::nullopt;
    startround(chosen ? &*chosen : nullptr);
}

void TServer::startround(const Board *chosen)
{
    listbox_words.clear();
    for (Seat &s : m_seats) {
        s.roundScore = 0;
        s.roundWords.clear();
    }
    createboard(chosen);
    findplayer();
}

void TServer::createboard(const Board *chosen)
{
    if (chosen)
        m_board = *chosen;
    else if (m_solver && m_settings.betterBoards())
        BetterDeal::deal(m_board, m_boardType, m_minimumLetters, m_rng, *m_solver);
    else
        m_board.deal(m_boardType, m_rng);
    sendToAll(Msg::loadboard(m_board.boardText()));
}

void TServer::findplayer()
{
    for (int n = 1; n <= m_seatCount; ++n)
        sendTo(n, Msg::nextplayer(n));
    startCountdown(m_secondsPerRound + RoundGraceSeconds, EndRound);
}

void TServer::startCountdown(int seconds, int action)
{
    timer1.stop();
    m_roundCountdown = seconds;
    m_countdownAction = action;
    timer1.start();
}

void TServer::timer1Timer()
{
    // Only a running countdown counts down, whoever calls.
    if (!timer1.isActive())
        return;
    --m_roundCountdown;
    if (m_roundCountdown >= 1)
        return;
    timer1.stop();
    switch (m_countdownAction) {
    case EndRound:
        outoftime();
        break;
    case StartRound:
        startround();
        break;
    case StartGame:
        startgame(m_savedGameStart);
        break;
    default:
        break;
    }
}

void TServer::playerdone(const QByteArray &payload, int senderSeat)
{
    const Msg::PlayerDone done = Msg::readPlayerdone(payload);
    const int s = done.seat;
    if (senderSeat == 0 || s != senderSeat)
        throw FieldError("seat field is not the sender's seat");
    if (m_countdownAction != EndRound || done.path.isEmpty())
        return; // no round running, or no letters: nothing to answer
    const QList<QPoint> path = pointsOnGrid(done.path);
    // Repeated cells and jumps cannot come from the client's word entry: no reply.
    if (!GameRules::isAcceptablePath(path))
        return;

    QByteArray word;
    for (const QPoint &p : path)
        word += convertoletter(m_board.at(p.x(), p.y())).toUpper();
    const int letters = int(path.size());

    // The order of the checks decides the reason a player is told.
    Seat &player = seatRef(s);
    if (!m_spell.isword(word)) {
        sendTo(s, Msg::notvalid(s, Protocol::NotAWord, word));
        return;
    }
    if (player.roundWords.contains(word)) {
        sendTo(s, Msg::notvalid(s, Protocol::AlreadyHad, word));
        return;
    }
    if (letters < m_minimumLetters) {
        sendTo(s, Msg::notvalid(s, Protocol::TooShort, word));
        return;
    }

    int points = GameRules::scoreForLetters(letters);
    int first = Protocol::NotFirst;
    const auto place = std::lower_bound(listbox_words.begin(), listbox_words.end(), word);
    if (place == listbox_words.end() || *place != word) {
        ++points;
        first = Protocol::First;
        listbox_words.insert(place, word);
    }
    player.roundWords.append(word);
    player.roundScore = saturatingAdd(player.roundScore, points);
    player.score = saturatingAdd(player.score, points);
    sendToAll(Msg::addscore(s, points, player.score));
    sendTo(s, Msg::goodword(s, points, word, letters, first));
}

void TServer::sendGameState(int n)
{
    sendTo(n, Msg::loadboard(m_board.boardText()));
    Msg::SeatValues scores{};
    for (int i = 1; i <= SeatLimit; ++i)
        scores[i - 1] = seat(i).score;
    sendTo(n, Msg::loadstats(n, m_playTo, m_secondsPerRound, m_boardType, m_minimumLetters,
                             m_roundCountdown - TimeLeftOffset, m_countdownAction, scores));
}

void TServer::outoftime()
{
    timer1.stop();
    m_countdownAction = StartRound;

    Msg::SeatValues roundScores{};
    Msg::SeatValues totals{};
    for (int n = 1; n <= SeatLimit; ++n) {
        roundScores[n - 1] = seat(n).roundScore;
        totals[n - 1] = seat(n).score;
    }
    sendToAll(Msg::timeup(roundScores, totals));
    for (int n = 1; n <= m_seatCount; ++n)
        sendTo(n, Msg::mainlist(n, listbox_words));

    if (!checkforwin()) {
        const int pause = std::clamp(m_settings.timeBetweenRounds(), 0, MaxCountdownSeconds);
        startCountdown(pause, StartRound);
    }
}

bool TServer::checkforwin()
{
    // Every seat up to the seat count takes part, also one whose player has left.
    GameRules::Standings standings;
    standings.playTo = m_playTo;
    for (int n = 1; n <= m_seatCount; ++n)
        standings.scores.append(seat(n).score);
    const int winner = GameRules::winningSeat(standings);
    if (winner == 0)
        return false;

    const Seat &s = seat(winner);
    sendToAll(Msg::winner(s.name.isEmpty() ? s.defaultName : s.name));
    m_gameRunning = false;
    if (m_settings.autoStart())
        startCountdown(AutoStartSeconds, StartGame);
    return true;
}
