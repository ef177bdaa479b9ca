#pragma once

#include "bots/wordbands.h"
#include "net/messages.h"

#include <QByteArrayList>
#include <QList>
#include <QMap>
#include <QObject>
#include <QRandomGenerator>
#include <QString>

#include <optional>

class BoardSolver;
class ClientSession;
class ComputerPlayer;

// The computer players of a hosting copy (solo or host): seats and removes them to match the
// player's choice of how many and how strong. It watches the table through the copy's own
// session, as the player sees it, and changes the table only between rounds: a change made
// during a round waits for its end. It never seats more computers than there are free seats.
//
// A computer whose connection ends (removed by the hosting player, the table full, another
// version) is not seated again until the player chooses a number anew; a new run seats them
// all from the stored choice. A joining copy's table seats nobody.
class ComputerTable : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxComputers = 9;

    // own: the hosting copy's own session, whose host the computers join. solver: the one the
    // copy shares; wordFile: the dictionary's working file, for the words' commonness.
    ComputerTable(ClientSession &own, BoardSolver &solver, const QString &wordFile,
                  QObject *parent = nullptr);
    // Every computer closes its connection with nothing sent first.
    ~ComputerTable() override;

    // The player's choice, 0..9 (clamped): also brings back computers lost since.
    void setCount(int count);
    // 1..4 (clamped); seated computers play at it from their next round.
    void setLevel(int level);
    // The program closes: every computer leaves at once, nothing sent first, and none comes back.
    void closeAll();

    int count() const { return m_count; }
    int level() const { return m_level; }
    const QList<ComputerPlayer *> &players() const { return m_players; }

private:
    void seatChanged(const Msg::SeatName &player, bool joined);
    void scheduleUpdate();
    void update();
    void seatOne();
    void lost(ComputerPlayer *player);
    // Seats taken or being taken: the players the own copy sees, and computers on their way.
    int occupiedSeats() const;
    QByteArrayList namesInUse() const;

    ClientSession &m_own;
    BoardSolver &m_solver;
    QString m_wordFile;
    std::optional<WordBands> m_bands; // read when the first computer sits down
    QRandomGenerator m_rng;
    QList<ComputerPlayer *> m_players;
    QMap<int, QByteArray> m_seated; // seats 1..10 as the own client sees them
    int m_count = 0;
    int m_level = 2;
    int m_lost = 0;
    bool m_roundRunning = false;
    bool m_updatePending = false;
    bool m_closed = false;
};
