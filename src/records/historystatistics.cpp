#include "records/historystatistics.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {

using namespace HistoryStatistics;

// The games the filter keeps, as a condition on games g, with its values in order.
QString gameCondition(const Filter &filter, QVariantList *values)
{
    QString where = QStringLiteral(" WHERE 1");
    if (filter.boardType != 0) {
        where += QStringLiteral(" AND g.board_type = ?");
        values->append(filter.boardType);
    }
    if (filter.since.isValid()) {
        where += QStringLiteral(" AND g.started >= ?");
        values->append(filter.since.toMSecsSinceEpoch());
    }
    return where;
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return false;
    for (const QVariant &v : values)
        q.addBindValue(v);
    return q.exec();
}

void readGames(QSqlDatabase &db, const QString &where, const QVariantList &values, Figures &f)
{
    QSqlQuery q(db);
    if (!run(q, QStringLiteral("SELECT g.started, g.won, g.own_score FROM games g") + where
                    + QStringLiteral(" ORDER BY g.started, g.id"),
             values))
        return;
    QList<QPointF> points;
    while (q.next()) {
        ++f.games;
        f.wins += q.value(1).toInt() != 0;
        points.append(QPointF(q.value(0).toDouble(), q.value(2).toDouble()));
    }
    f.pointsPerGame = thin(points, MaxCurvePoints);
}

void readRounds(QSqlDatabase &db, const QString &where, const QVariantList &values, Figures &f)
{
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral("SELECT r.ended, r.found, r.points, r.board_words, r.longest, r.best_word,"
                            " r.best_points, r.lengths FROM rounds r JOIN games g ON g.id = r.game_id")
                 + where + QStringLiteral(" ORDER BY r.ended, r.id"),
             values))
        return;
    QList<QPointF> shares;
    while (q.next()) {
        const int found = q.value(1).toInt();
        const int points = q.value(2).toInt();
        ++f.rounds;
        f.wordsFound += found;
        f.points += points;
        if (points > f.bestRoundPoints) {
            f.bestRoundPoints = points;
            f.bestRoundWords = found;
            f.bestRoundEnded = QDateTime::fromMSecsSinceEpoch(q.value(0).toLongLong());
        }
        if (!q.value(3).isNull() && q.value(3).toInt() > 0) {
            const double share = qMin(1.0, double(found) / q.value(3).toInt());
            ++f.sharedRounds;
            f.shareSum += share;
            shares.append(QPointF(q.value(0).toDouble(), share * 100));
        }
        const QByteArray longest = q.value(4).toByteArray();
        if (longest.size() > f.longestWord.size())
            f.longestWord = longest;
        const int bestPoints = q.value(6).toInt();
        if (!q.value(5).toByteArray().isEmpty() && (f.bestWord.isEmpty() || bestPoints > f.bestWordPoints)) {
            f.bestWord = q.value(5).toByteArray();
            f.bestWordPoints = bestPoints;
        }
        RoundSummary::addLengths(q.value(7).toByteArray(), f.wordsByLength);
    }
    f.shareCurve = thin(shares, MaxCurvePoints);
}

void readOpponents(QSqlDatabase &db, const QString &where, const QVariantList &values, Figures &f)
{
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral("SELECT p.name, count(*), sum(g.won), sum(g.winner = p.name), avg(p.score)"
                            " FROM players p JOIN games g ON g.id = p.game_id")
                 + where
                 + QStringLiteral(" AND p.seat <> g.own_seat GROUP BY p.name ORDER BY count(*) DESC, p.name LIMIT ?"),
             values + QVariantList{MaxOpponents}))
        return;
    while (q.next())
        f.opponents.append({q.value(0).toByteArray(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                            q.value(4).toDouble()});
}

} // namespace

QList<QPointF> HistoryStatistics::thin(const QList<QPointF> &points, int most)
{
    if (most <= 0 || points.size() <= most)
        return points;
    QList<QPointF> out;
    out.reserve(most);
    const qsizetype n = points.size();
    for (int b = 0; b < most; ++b) {
        const qsizetype from = n * b / most;
        const qsizetype to = n * (b + 1) / most;
        QPointF sum;
        for (qsizetype i = from; i < to; ++i)
            sum += points[i];
        out.append(sum / double(to - from));
    }
    return out;
}

HistoryStatistics::Figures HistoryStatistics::compute(QSqlDatabase db, const Filter &filter)
{
    Figures f;
    if (!db.isOpen())
        return f;
    QVariantList values;
    const QString where = gameCondition(filter, &values);
    // One read transaction: the figures all come from the same moment of the history.
    db.transaction();
    readGames(db, where, values, f);
    readRounds(db, where, values, f);
    readOpponents(db, where, values, f);
    db.commit();
    return f;
}
