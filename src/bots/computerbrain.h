#pragma once

#include "solver/boardsolver.h"

#include <QList>
#include <QRandomGenerator>

#include <optional>

class WordBands;

// One word a computer player means to send, and when: milliseconds from the start of the round
// as the player saw it (the round start message arriving).
struct PlannedWord {
    qint64 atMs = 0;
    FoundWord word;
};

// What a computer player finds in a round and when, decided at the round's start from the
// board's full word list, so that it plays like a person of its level: it looks at the board
// for a moment, then finds words at its own pace with now and then a longer pause, the common
// and short ones first; it knows fewer rare words and spots fewer long ones the lower its level,
// and it slows down as the words it can see run out.
//
// It keeps no clock: the caller passes the time since the round began, so a benchmark can play
// rounds without timers. Every word it hands out is one of the solver's, with the solver's
// path, at most once a round, never less than MinGapMs after the one before, never more than
// PaceWords within PaceWindowMs, and never later than EndMarginMs before the round's end.
class ComputerBrain {
public:
    enum Level { Easy = 1, Normal = 2, Hard = 3, Expert = 4 };
    // The host takes one message per 10 ms tick from its queue.
    static constexpr int MinGapMs = 10;
    // Room left at the round's end for a slow network: the host's own round lasts a few
    // seconds longer than the announced time, and a word must reach it before that.
    static constexpr int EndMarginMs = 1500;
    // A person's pace, at every level: one word every 2 s sustained. A quick pair (PLAY, PLAYS)
    // fits inside the window; a long run of them does not.
    static constexpr int PaceWords = 10;
    static constexpr int PaceWindowMs = 20000;

    // level outside 1..4 is taken as the nearest level.
    ComputerBrain(int level, quint32 seed);

    int level() const { return m_level; }

    // Plans a round of roundMs milliseconds (the time this player has, which is less than the
    // announced round time for a player who joins late) over the board's words from
    // BoardSolver::solve. Words whose path the host would not take are never planned.
    void startRound(const QList<FoundWord> &words, const WordBands &bands, qint64 roundMs);
    // Nothing more is handed out until the next round.
    void stopRound();

    // The next word to send now, elapsedMs after the round's start, or nothing: not due yet,
    // too soon after the last one, or too close to the round's end. Called late, it keeps the
    // planned gaps: the words after a late one come as much later, as a person's would, so a
    // stalled timer never makes a burst.
    std::optional<FoundWord> next(qint64 elapsedMs);
    // Milliseconds from elapsedMs until next() has a word, or -1 when the round has no more.
    qint64 msUntilNext(qint64 elapsedMs) const;

    // The round's plan, in sending order.
    const QList<PlannedWord> &plan() const { return m_plan; }
    // The latest moment a word is handed out in the current round.
    qint64 lastMomentMs() const { return m_lastMomentMs; }

private:
    QList<FoundWord> wordsInMind(const QList<FoundWord> &words, const WordBands &bands);
    // The time to see the next word when `found` are found and `left` more are in mind.
    qint64 thinkMs(qsizetype found, qsizetype left);
    // When the next planned word may go out: its planned time, or as long after the word
    // handed out before as the plan left between them.
    qint64 nextDueMs() const;
    double uniform(double low, double high) { return low + (high - low) * m_rng.generateDouble(); }
    // A positive draw with mean 1 and a long tail, like the time a person takes to see a word.
    double waitFactor();

    int m_level;
    QRandomGenerator m_rng;
    QList<PlannedWord> m_plan;
    qsizetype m_next = 0;
    qint64 m_lastMomentMs = -1;
    qint64 m_lastHandedMs = -1;
};
