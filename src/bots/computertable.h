#pragma once

#include "bots/computerplayer.h"
#include "bots/wordbands.h"
#include "net/messages.h"

#include <QByteArrayList>
#include <QList>
#include <QMap>
#include <QObject>
#include <QRandomGenerator>
#include <QSet>
#include <QString>
#include <QTimer>

#include <optional>

class BoardSolver;
class ClientSession;

// The computer players of a hosting copy (solo or host): seats and removes them to match the
// player's choice of how many and how strong. It watches the table through the copy's own
// session, as the player sees it, and changes the table only between rounds: a change made
// during a round waits for its end.
//
// People come first. Computers never take the last free seat, so someone can always join: the
// host and up to eight computers leave one open. When a person takes it, the computer seated
// last stands up at the round's end and waits, and sits down again when a seat frees.
//
// A computer the table refused, or whose connection closed or broke, tries again after a pause
// that doubles from a few seconds up to a minute, for as long as the number chosen wants it.
// One the hosting player removed ("Remove From Game") stays away until a number is chosen
// anew; a new run seats them all from the stored choice. A joining copy's table seats nobody.
class ComputerTable : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxComputers = 9;
    // Seats computers leave to people.
    static constexpr int OpenSeats = 1;
    static constexpr int FirstRetryMs = 3000;
    static constexpr int LongestRetryMs = 60000;

    // own: the hosting copy's own session, whose host the computers join. solver: the one the
    // copy shares; wordFile: the dictionary's working file, for the words' commonness.
    ComputerTable(ClientSession &own, BoardSolver &solver, const QString &wordFile,
                  QObject *parent = nullptr);
    // Every computer closes its connection with nothing sent first.
    ~ComputerTable() override;

    // The player's choice, 0..9 (clamped): also brings back computers removed since.
    void setCount(int count);
    // 1..4 (clamped); seated computers play at it from their next round.
    void setLevel(int level);
    // The program closes: every computer leaves at once, nothing sent first, and none comes back.
    void closeAll();
    // The pauses before a refused or dropped computer tries again (tests shorten them).
    void setRetryPauses(int firstMs, int longestMs);

    int count() const { return m_count; }
    int level() const { return m_level; }
    const QList<ComputerPlayer *> &players() const { return m_players; }
    // Computers chosen, not removed by the player, and not at the table or on their way to it.
    int waiting() const;
    // The pause before the next try, should one fail now.
    int retryPauseMs() const { return m_retryMs; }

Q_SIGNALS:
    void waitingChanged(int waiting);

private:
    void seatChanged(const Msg::SeatName &player, bool joined);
    void scheduleUpdate();
    void update();
    void seatOne();
    void ended(ComputerPlayer *player, ComputerPlayer::Ending why);
    void removalAsked(int seat);
    void retryLater();
    void reportWaiting();
    // Seats the computers may hold: all, less the people's and the one kept open for the next.
    int seatsForComputers() const;
    bool isComputerAt(int seat, const QByteArray &name) const;
    QByteArrayList namesInUse() const;

    ClientSession &m_own;
    BoardSolver &m_solver;
    QString m_wordFile;
    std::optional<WordBands> m_bands; // read when the first computer sits down
    QRandomGenerator m_rng;
    QList<ComputerPlayer *> m_players;     // seated or on their way, in the order they came
    QSet<ComputerPlayer *> m_removing;      // the player asked for their removal
    QByteArrayList m_standing;              // names of computers waiting to sit down again
    QMap<int, QByteArray> m_seated;         // seats 1..10 as the own client sees them
    QTimer m_retry;
    int m_firstRetryMs = FirstRetryMs;
    int m_longestRetryMs = LongestRetryMs;
    int m_retryMs = FirstRetryMs;
    int m_count = 0;
    int m_level = 2;
    int m_removed = 0;
    int m_reportedWaiting = 0;
    bool m_roundRunning = false;
    bool m_updatePending = false;
    bool m_closed = false;
};
