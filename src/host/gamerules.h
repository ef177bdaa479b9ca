#pragma once

#include <QList>
#include <QPoint>

#include "net/protocol.h"

// The host's rules for words and winners, free of sockets and seats so they can be checked
// on their own.
namespace GameRules {

// A word never has more tiles than this: the client stops at 12 and the host keeps 12 places.
constexpr int MaxPathLength = Protocol::MaxWordLetters;

// Base points for a word of this many letters (the first-finder bonus comes on top).
int scoreForLetters(int letters);

// True for the eight cells around a, never for a itself.
bool areNeighbours(QPoint a, QPoint b);

// A path the host will spell: 1 to 12 cells, all on the 10x10 grid, no cell twice, each one a
// neighbour of the one before. An empty path is refused: there is nothing to spell.
bool isAcceptablePath(const QList<QPoint> &path);

// What the winner check needs to know about the table.
struct Standings {
    QList<int> scores; // scores[0] is seat 1; the list covers seats 1..seat count
    int playTo = 100;
};

// The seat that wins now, or 0 when the game goes on: nobody has reached playTo, or the top
// score is shared. Among equal top scores the lowest seat leads.
int winningSeat(const Standings &standings);

} // namespace GameRules
