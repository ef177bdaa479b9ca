#pragma once

#include "records/gamerecord.h"

#include <QByteArray>

#include <array>

// What the statistics need of one round, worked out once when the round is written (and by
// the step that brings a version-1 history up to date), so that no statistic ever has to read
// the words themselves.
struct RoundSummary {
    // Letters 1..12 at index 1..12; index 0 is unused.
    using Lengths = std::array<int, 13>;

    int found = 0;  // this player's accepted words
    int points = 0; // this player's points in the round, as the host counted them
    QByteArray longest;
    QByteArray bestWord;
    int bestPoints = 0;
    Lengths lengths{};

    // `points`: the round's points of this player's seat.
    static RoundSummary of(const QList<Record::OwnWord> &words, int points);

    // The columns that keep the counts by length: "len1" .. "len12", comma-separated.
    static QString lengthColumns(const QString &prefix = QString());
};
