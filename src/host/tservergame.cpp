#include "host/tserver.h"

#include "host/betterdeal.h"
#include "host/gamerules.h"
#include "host/hostsettings.h"
#include "net/fieldreader.h"
#include "net/messages.h"
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

enum CountdownAction { NoCountdown = 0, EndRound = 1, StartRound = 2, StartGame = 3 };
enum NotValidReason { NotAWord = 1, AlreadyHad = 2, TooShort = 3 };
enum FirstFinder { First = 1, NotFirst = 2 };

int saturatingAdd(int a, int b)
{
    int sum = 0;
    if (qAddOverflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    return sum;
}

// The path of a CMD_playerdone, read whole before anything is judged. Letter places must
// come as 1, 2, 3 ... and positions must lie on the grid; anything else (or a 13th letter)
// makes the message unreadable and it is dropped with a warning.
QList<QPoint> readPath(FieldReader &in)
{
    QList<QPoint> path;
    while (in.groupsLeft()) {
        if (path.size() == GameRules::MaxPathLength)
            throw FieldError("more than 12 letters");
        const int k = in.number();
        const int x = in.number();
        const int y = in.number();
        if (k != path.size() + 1)
            throw FieldError("letter place out of order");
        if (!Board::onGrid(x, y))
            throw FieldError("position off the board");
        path.append(QPoint(x, y));
    }
    return path;
}

} // namespace

void TServer::startgame(const QByteArray &payload)
{
    m_savedGameStart = payload;
    m_gameRunning = true;

    FieldReader in(payload);
    QList<QByteArray> fields;
    for (int i = 0; i < 6; ++i)
        fields.append(in.field());
    // Unreadable settings fall back to the dialog's defaults; the relay still carries the
    // texts as they came.
    m_playTo = parseNumber(fields[1]).value_or(100);
    m_secondsPerRound = std::clamp(parseNumber(fields[2]).value_or(60), MinSecondsPerRound, MaxSecondsPerRound);
    m_boardType = parseNumber(fields[3]).value_or(8);
    m_minimumLetters = parseNumber(fields[4]).value_or(4);
    sendToAll(Msg::startgameToSeats(fields));

    for (Seat &s : m_seats) {
        s.score = 0;
        s.justWatching = false;
        s.roundScore = 0;
        s.roundWords.clear();
    }
    startround();
}

void TServer::startround()
{
    listbox_words.clear();
    for (Seat &s : m_seats) {
        s.roundScore = 0;
        s.roundWords.clear();
    }
    createboard();
    findplayer();
}

void TServer::createboard()
{
    if (m_solver && m_settings.betterBoards())
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
    FieldReader in(payload);
    const int s = in.number();
    if (senderSeat == 0 || s != senderSeat)
        throw FieldError("seat field is not the sender's seat");
    if (m_countdownAction != EndRound || !in.groupsLeft())
        return; // no round running, or no letters: nothing to answer
    const QList<QPoint> path = readPath(in);
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
        sendTo(s, Msg::notvalid(s, NotAWord, word));
        return;
    }
    if (player.roundWords.contains(word)) {
        sendTo(s, Msg::notvalid(s, AlreadyHad, word));
        return;
    }
    if (letters < m_minimumLetters) {
        sendTo(s, Msg::notvalid(s, TooShort, word));
        return;
    }

    int points = GameRules::scoreForLetters(letters);
    int first = NotFirst;
    const auto place = std::lower_bound(listbox_words.begin(), listbox_words.end(), word);
    if (place == listbox_words.end() || *place != word) {
        ++points;
        first = First;
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
