#pragma once

#include <QByteArray>
#include <QRandomGenerator>

#include <optional>

// What a computer player says when a game ends, now and then: something short and friendly,
// never more than one line a game, and not after every game, so a table of them does not
// chorus "gg" each time.
class ComputerChat {
public:
    // A line is said after this share of games.
    static constexpr double Chance = 0.4;

    explicit ComputerChat(quint32 seed);

    // A new game starts: the player may speak again at its end.
    void newGame() { m_spoken = false; }
    // The line for the end of this game, or nothing. won: this player won it.
    std::optional<QByteArray> gameOverLine(bool won);
    // How long after the game's end to send the line, so that it reads as typed.
    int delayMs();

private:
    QRandomGenerator m_rng;
    bool m_spoken = false;
};
