#include "records/gamerecorder.h"

#include "net/fieldreader.h"
#include "net/protocol.h"
#include "session/clientsession.h"

#include <QDateTime>

namespace {

using Protocol::isSeat;

// The cell code of an empty place on the grid.
constexpr int EmptyCell = 29;

QByteArray bounded(const QByteArray &text) { return text.left(GameRecorder::MaxTextBytes); }

int number(const QByteArray &field) { return parseNumber(field).value_or(0); }

} // namespace

GameRecorder::GameRecorder(QObject *parent)
    : QObject(parent)
{
}

void GameRecorder::listenTo(ClientSession &session)
{
    connect(&session, &ClientSession::loggedInAs, this, &GameRecorder::loggedInAs);
    connect(&session, &ClientSession::seatJoined, this, &GameRecorder::seatJoined);
    connect(&session, &ClientSession::gameStarted, this, &GameRecorder::gameStarted);
    connect(&session, &ClientSession::gameStateLoaded, this, &GameRecorder::gameStateLoaded);
    connect(&session, &ClientSession::boardLoaded, this, &GameRecorder::boardLoaded);
    connect(&session, &ClientSession::wordAccepted, this, &GameRecorder::wordAccepted);
    connect(&session, &ClientSession::wordRefused, this, &GameRecorder::wordRefused);
    connect(&session, &ClientSession::roundOver, this, &GameRecorder::roundOver);
    connect(&session, &ClientSession::roundWordsListed, this, &GameRecorder::roundWordsListed);
    connect(&session, &ClientSession::winnerNamed, this, &GameRecorder::winnerNamed);
}

bool GameRecorder::seated() const { return isSeat(m_ownSeat); }

// A player who leaves keeps his name in the game's results (the host keeps his score) until
// someone else takes the seat.
void GameRecorder::seatJoined(const Msg::SeatName &player)
{
    if (isSeat(player.seat))
        m_names[size_t(player.seat)] = bounded(player.name);
}

void GameRecorder::openGame(const Msg::GameSettings &settings)
{
    m_gameKey = ++m_lastKey;
    m_cells.reset();
    m_ownWords.clear();
    m_roundScores.fill(0);
    m_totals.fill(0);
    Record::GameOpening game;
    game.key = m_gameKey;
    game.started = QDateTime::currentDateTimeUtc();
    if (m_table)
        game.table = m_table();
    game.ownSeat = m_ownSeat;
    game.settings = {number(settings.playTo), number(settings.seconds), number(settings.boardType),
                     number(settings.minimum)};
    Q_EMIT gameOpened(game);
}

void GameRecorder::gameStarted(const Msg::GameStart &start)
{
    openGame(start.settings);
}

void GameRecorder::gameStateLoaded(const Msg::GameState &state)
{
    // A late join: the game is recorded from here on.
    if (state.seat != m_ownSeat || !state.whole)
        return;
    openGame(state.settings);
    for (const Msg::SeatScore &s : state.scores) {
        if (isSeat(s.seat))
            m_totals[size_t(s.seat)] = s.score;
    }
}

void GameRecorder::boardLoaded(const Msg::BoardTiles &tiles)
{
    BoardCells cells;
    cells.fill(EmptyCell);
    for (const Msg::BoardTile &t : tiles.tiles) {
        if (t.x >= 0 && t.x < 10 && t.y >= 0 && t.y < 10)
            cells[size_t(t.x * 10 + t.y)] = t.code;
    }
    m_cells = cells;
    m_ownWords.clear();
}

void GameRecorder::wordAccepted(const Msg::GoodWord &word)
{
    if (word.seat == m_ownSeat && m_cells && m_ownWords.size() < MaxOwnWords)
        m_ownWords.append({bounded(word.word), 0, word.points, word.first == Protocol::First});
}

void GameRecorder::wordRefused(const Msg::NotValid &word)
{
    if (word.seat == m_ownSeat && m_cells && m_ownWords.size() < MaxOwnWords)
        m_ownWords.append({bounded(word.word), word.reason, 0, false});
}

void GameRecorder::roundOver(const Msg::RoundScores &scores)
{
    for (const Msg::RoundScore &s : scores.scores) {
        if (!isSeat(s.seat))
            continue;
        m_roundScores[size_t(s.seat)] = s.bonus;
        m_totals[size_t(s.seat)] = s.total;
    }
}

QList<Record::SeatResult> GameRecorder::seatResults() const
{
    QList<Record::SeatResult> seats;
    for (int seat = 1; seat <= Protocol::SeatCount; ++seat)
        seats.append({seat, m_names[size_t(seat)], m_roundScores[size_t(seat)], m_totals[size_t(seat)]});
    return seats;
}

void GameRecorder::roundWordsListed(const Msg::RoundWords &words)
{
    if (words.seat != m_ownSeat || !seated() || m_gameKey == 0 || !m_cells)
        return;
    Record::Round round;
    round.gameKey = m_gameKey;
    round.ended = QDateTime::currentDateTimeUtc();
    round.cells = *m_cells;
    round.seats = seatResults();
    round.ownWords = std::move(m_ownWords);
    if (words.list != Protocol::NoWords) {
        for (const QByteArray &word : words.list.split('+')) {
            if (round.listed.size() == MaxListedWords)
                break;
            if (!word.isEmpty())
                round.listed.append(bounded(word));
        }
    }
    m_ownWords.clear();
    m_cells.reset(); // one list per board
    m_roundScores.fill(0);
    Q_EMIT roundEnded(round);
}

void GameRecorder::winnerNamed(const QByteArray &name)
{
    if (m_gameKey == 0)
        return;
    Record::GameClosing closing;
    closing.key = m_gameKey;
    closing.ended = QDateTime::currentDateTimeUtc();
    closing.winner = bounded(name);
    closing.won = seated() && !m_names[size_t(m_ownSeat)].isEmpty() && m_names[size_t(m_ownSeat)] == name;
    closing.seats = seatResults();
    m_gameKey = 0;
    Q_EMIT gameEnded(closing);
}
