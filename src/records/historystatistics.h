#pragma once

#include "records/roundsummary.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QPointF>

class QSqlDatabase;

// The figures of the statistics window, worked out inside SQLite in a few queries over games
// and rounds only (never the words: each round keeps its own summary).
namespace HistoryStatistics {

// Curves have at most this many points, each the mean of the rounds or games of one equal span
// of time between the first and the last.
constexpr int MaxCurvePoints = 300;
// The opponents most often met.
constexpr int MaxOpponents = 200;

struct Filter {
    int boardType = 0;  // the game's board size code; 0: every size
    QDateTime since;    // invalid: all time
    friend bool operator==(const Filter &, const Filter &) = default;
};

struct Opponent {
    QByteArray name;
    int games = 0;
    int winsAgainst = 0; // games this player won with them at the table
    int theirWins = 0;
    double meanScore = 0;
};

struct Figures {
    int games = 0;
    int wins = 0;
    int rounds = 0;
    int wordsFound = 0;
    qint64 points = 0;
    // The round with the most points.
    int bestRoundPoints = -1; // -1: no round
    int bestRoundWords = 0;
    QDateTime bestRoundEnded;
    QByteArray longestWord;
    QByteArray bestWord;
    int bestWordPoints = 0;
    // Rounds whose board's word count is known, and the sum of their shares (0..1).
    int sharedRounds = 0;
    double shareSum = 0;

    double winRate() const { return games ? double(wins) / games : 0; }
    double meanWords() const { return rounds ? double(wordsFound) / rounds : 0; }
    double meanPoints() const { return rounds ? double(points) / rounds : 0; }
    double meanShare() const { return sharedRounds ? shareSum / sharedRounds : 0; }

    // x: milliseconds since 1970; y: share in percent, or points.
    QList<QPointF> shareCurve;
    QList<QPointF> pointsPerGame;
    RoundSummary::Lengths wordsByLength{};
    QList<Opponent> opponents;
};

Figures compute(QSqlDatabase db, const Filter &filter);

} // namespace HistoryStatistics

Q_DECLARE_METATYPE(HistoryStatistics::Filter)
Q_DECLARE_METATYPE(HistoryStatistics::Figures)
