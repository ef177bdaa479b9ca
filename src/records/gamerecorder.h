#pragma once

#include "net/messages.h"
#include "records/gamerecord.h"

#include <QObject>

#include <array>
#include <functional>
#include <optional>

class ClientSession;

// Turns what a client session reads into the game history's values: a game as it opens,
// each round as its words are listed, the game as its winner is named. It keeps only what the
// host has already told everybody, and hands each value on by signal at once, so the
// interface thread never waits for the history.
//
// Only a seated player's games are recorded: a spy plays none. Every text from the host is
// bounded before it is kept.
class GameRecorder : public QObject {
    Q_OBJECT
public:
    // Longest text kept of a name or word from the host.
    static constexpr int MaxTextBytes = 64;
    // Most words kept of one round's list, and of this player's own in one round.
    static constexpr int MaxListedWords = 20000;
    static constexpr int MaxOwnWords = 2000;

    explicit GameRecorder(QObject *parent = nullptr);

    // Role and address of the table this copy sits at, asked as each game opens (the copy
    // chooses them when it starts, after the recorder is made).
    using TableSource = std::function<Record::Table()>;
    void setTableSource(TableSource source) { m_table = std::move(source); }
    void listenTo(ClientSession &session);

    void loggedInAs(int seat) { m_ownSeat = seat; }
    void seatJoined(const Msg::SeatName &player);
    void gameStarted(const Msg::GameStart &start);
    void gameStateLoaded(const Msg::GameState &state);
    void boardLoaded(const Msg::BoardTiles &tiles);
    void wordAccepted(const Msg::GoodWord &word);
    void wordRefused(const Msg::NotValid &word);
    void roundOver(const Msg::RoundScores &scores);
    void roundWordsListed(const Msg::RoundWords &words);
    void winnerNamed(const QByteArray &name);

Q_SIGNALS:
    void gameOpened(const Record::GameOpening &game);
    void roundEnded(const Record::Round &round);
    void gameEnded(const Record::GameClosing &closing);

private:
    void openGame(const Msg::GameSettings &settings);
    QList<Record::SeatResult> seatResults() const;
    bool seated() const;

    TableSource m_table;
    int m_ownSeat = 0;
    quint64 m_lastKey = 0;
    // The game being played; 0 between games.
    quint64 m_gameKey = 0;
    // Seats 1..10 at index 1..10.
    std::array<QByteArray, 11> m_names{};
    std::array<int, 11> m_roundScores{};
    std::array<int, 11> m_totals{};
    // The round being played: its board and this player's words so far.
    std::optional<BoardCells> m_cells;
    QList<Record::OwnWord> m_ownWords;
};
