#pragma once

#include "solver/boardsolver.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

// The values the game history is made of. They travel by value from the interface thread to
// the history's own thread, so they hold no pointer and share nothing.
namespace Record {

// How this copy sat at the table.
enum class Role { Solo, Host, Join };
QString roleName(Role role);
std::optional<Role> roleFromName(const QString &name);

// The game's settings as announced; a field the host sent that is no number reads as 0.
struct Settings {
    int playTo = 0;
    int seconds = 0;
    int boardType = 0; // the board size code, 8 for random sizes
    int minLetters = 0;
};

struct Table {
    Role role = Role::Solo;
    QByteArray address; // what this copy connected to
};

// A game as it began for this copy: `key` tells the game apart from the others of this run.
struct GameOpening {
    quint64 key = 0;
    QDateTime started;
    Table table;
    int ownSeat = 0;
    Settings settings;
};

// One seat at a round's end or the game's end. `name` is empty for a seat nobody holds.
struct SeatResult {
    int seat = 0;
    QByteArray name;
    int score = 0; // the round's points
    int total = 0;
};

// One word this player sent and the host's answer. verdict 0 is accepted; 1..3 are the
// refusals of CMD_notvalid (other codes are kept as they came).
struct OwnWord {
    QByteArray word;
    int verdict = 0;
    int points = 0;
    bool first = false;
};

struct Round {
    quint64 gameKey = 0;
    QDateTime ended;
    BoardCells cells{};
    QList<SeatResult> seats;
    QByteArrayList listed; // the host's list of the round's words, in its order
    QList<OwnWord> ownWords;
    // Filled by the history itself, off the interface thread.
    int boardWords = -1;
};

struct GameClosing {
    quint64 key = 0;
    QDateTime ended;
    QByteArray winner;
    bool won = false;
    QList<SeatResult> seats;
};

} // namespace Record

Q_DECLARE_METATYPE(Record::GameOpening)
Q_DECLARE_METATYPE(Record::Round)
Q_DECLARE_METATYPE(Record::GameClosing)
