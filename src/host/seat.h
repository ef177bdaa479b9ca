#pragma once

#include <QByteArray>
#include <QList>

class TSock;

// One record of the host's seat table. A seat is connected from the accept on (before its
// player logs in) until its connection closes; score, round score and round words outlive a
// connection, so a player who takes a freed seat mid-game carries on with them.
struct Seat {
    QByteArray name;
    bool connected = false;
    // The open connection while connected; null otherwise.
    TSock *connection = nullptr;
    // The host's own id of that connection (a fresh one at every accept), so a message
    // queued by an old connection is never credited to a later occupant of the seat.
    int connectionId = 0;
    int score = 0;
    bool justWatching = false;
    // Used only for a winner whose seat was vacated (its name is empty by then).
    QByteArray defaultName;
    int roundScore = 0;
    // Words this seat had accepted in the current round.
    QList<QByteArray> roundWords;
};
