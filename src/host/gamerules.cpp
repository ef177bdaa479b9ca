#include "host/gamerules.h"

#include <cstdlib>

namespace GameRules {

int scoreForLetters(int letters)
{
    if (letters >= 4 && letters <= 10)
        return letters - 3;
    // Long words are rewarded beyond the linear scale.
    if (letters == 11 || letters == 12)
        return letters;
    return 0;
}

bool areNeighbours(QPoint a, QPoint b)
{
    const int dx = std::abs(a.x() - b.x());
    const int dy = std::abs(a.y() - b.y());
    return dx <= 1 && dy <= 1 && (dx != 0 || dy != 0);
}

bool isAcceptablePath(const QList<QPoint> &path)
{
    if (path.isEmpty() || path.size() > MaxPathLength)
        return false;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QPoint p = path[i];
        if (p.x() < 0 || p.x() > 9 || p.y() < 0 || p.y() > 9)
            return false;
        if (i == 0)
            continue;
        if (!areNeighbours(path[i - 1], p))
            return false;
        for (qsizetype j = 0; j < i; ++j) {
            if (path[j] == p)
                return false;
        }
    }
    return true;
}

int winningSeat(const Standings &standings)
{
    const QList<int> &scores = standings.scores;
    int leader = -1;
    for (qsizetype i = 0; i < scores.size(); ++i) {
        if (leader < 0 || scores[i] > scores[leader])
            leader = int(i);
    }
    if (leader < 0 || scores[leader] < standings.playTo)
        return 0;
    for (qsizetype i = 0; i < scores.size(); ++i) {
        if (i != leader && scores[i] == scores[leader])
            return 0; // a tie at the top plays on into the next round
    }
    return leader + 1;
}

} // namespace GameRules
