#include "records/historystatistics.h"

#include "net/protocol.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {

using namespace HistoryStatistics;

// The rounds and games the filter keeps: a join and condition over rounds r and games g, with
// their values in order. Every figure is worked out inside SQLite; only sums, single rows and
// curves of at most MaxCurvePoints points come out.
struct Selection {
    QString games;  // FROM games g WHERE ...
    QString rounds; // FROM rounds r JOIN games g ... WHERE ...
    QVariantList values;
};

Selection select(const Filter &filter)
{
    QString where = QStringLiteral(" WHERE 1");
    Selection s;
    if (filter.boardType != 0) {
        where += QStringLiteral(" AND g.board_type = ?");
        s.values.append(filter.boardType);
    }
    if (filter.since.isValid()) {
        where += QStringLiteral(" AND g.started >= ?");
        s.values.append(filter.since.toMSecsSinceEpoch());
    }
    s.games = QStringLiteral(" FROM games g") + where;
    // Every round belongs to a game: without a filter the games need not be read at all.
    s.rounds = s.values.isEmpty() ? QStringLiteral(" FROM rounds r WHERE 1")
                                  : QStringLiteral(" FROM rounds r JOIN games g ON g.id = r.game_id") + where;
    return s;
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

// Means of the points in each of MaxCurvePoints equal spans of time (x, in milliseconds) from
// the first to the last; a span without points has none. Grouping by span needs no sorting of
// the rows themselves, so a curve over tens of thousands of rounds costs one scan.
QList<QPointF> curve(QSqlDatabase &db, const QString &x, const QString &y, const QString &from,
                     const QVariantList &values)
{
    QSqlQuery q(db);
    QList<QPointF> points;
    if (!run(q, QStringLiteral("SELECT min(%1), max(%1)").arg(x) + from, values) || !q.next() || q.value(0).isNull())
        return points;
    const qint64 first = q.value(0).toLongLong();
    const qint64 span = q.value(1).toLongLong() - first + 1;
    if (!run(q,
             QStringLiteral("SELECT avg(%1), avg(%2)").arg(x, y) + from
                 + QStringLiteral(" GROUP BY (%1 - ?) * %2 / ? ORDER BY 1").arg(x).arg(MaxCurvePoints),
             values + QVariantList{first, span}))
        return points;
    while (q.next())
        points.append(QPointF(q.value(0).toDouble(), q.value(1).toDouble()));
    return points;
}

void readGames(QSqlDatabase &db, const Selection &s, Figures &f)
{
    QSqlQuery q(db);
    if (run(q, QStringLiteral("SELECT count(*), total(g.won)") + s.games, s.values) && q.next()) {
        f.games = q.value(0).toInt();
        f.wins = q.value(1).toInt();
    }
    f.pointsPerGame = curve(db, QStringLiteral("g.started"), QStringLiteral("g.own_score"), s.games, s.values);
}

void readRoundSums(QSqlDatabase &db, const Selection &s, Figures &f)
{
    QString lengths;
    for (int letters = 1; letters <= Protocol::MaxWordLetters; ++letters)
        lengths += QStringLiteral(", total(r.len%1)").arg(letters);
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral("SELECT count(*), total(r.found), total(r.points), total(r.board_words > 0),"
                            " total(CASE WHEN r.board_words > 0 THEN min(1.0, r.found * 1.0 / r.board_words) END)")
                 + lengths + s.rounds,
             s.values)
        || !q.next())
        return;
    f.rounds = q.value(0).toInt();
    f.wordsFound = q.value(1).toInt();
    f.points = q.value(2).toLongLong();
    f.sharedRounds = q.value(3).toInt();
    f.shareSum = q.value(4).toDouble();
    for (int letters = 1; letters <= Protocol::MaxWordLetters; ++letters)
        f.wordsByLength[size_t(letters)] = q.value(4 + letters).toInt();
}

// The first round, in the order they were played, that is top by `order`.
bool topRound(const Selection &s, const QString &columns, const QString &condition,
              const QString &order, QSqlQuery &q)
{
    return run(q,
               QStringLiteral("SELECT ") + columns + s.rounds + condition + QStringLiteral(" ORDER BY ") + order
                   + QStringLiteral(" DESC, r.ended, r.id LIMIT 1"),
               s.values)
        && q.next();
}

void readBest(QSqlDatabase &db, const Selection &s, Figures &f)
{
    QSqlQuery q(db);
    if (topRound(s, QStringLiteral("r.points, r.found, r.ended"), QString(), QStringLiteral("r.points"), q)) {
        f.bestRoundPoints = q.value(0).toInt();
        f.bestRoundWords = q.value(1).toInt();
        f.bestRoundEnded = QDateTime::fromMSecsSinceEpoch(q.value(2).toLongLong());
    }
    if (topRound(s, QStringLiteral("r.longest"), QStringLiteral(" AND length(r.longest) > 0"),
                 QStringLiteral("length(r.longest)"), q))
        f.longestWord = q.value(0).toByteArray();
    if (topRound(s, QStringLiteral("r.best_word, r.best_points"), QStringLiteral(" AND length(r.best_word) > 0"),
                 QStringLiteral("r.best_points"), q)) {
        f.bestWord = q.value(0).toByteArray();
        f.bestWordPoints = q.value(1).toInt();
    }
    f.shareCurve = curve(db, QStringLiteral("r.ended"), QStringLiteral("min(100.0, r.found * 100.0 / r.board_words)"),
                         s.rounds + QStringLiteral(" AND r.board_words > 0"), s.values);
}

void readOpponents(QSqlDatabase &db, const Selection &s, Figures &f)
{
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral("SELECT p.name, count(*), total(g.won), total(g.winner = p.name), avg(p.score)"
                            " FROM players p JOIN games g ON g.id = p.game_id")
                 + s.games.mid(s.games.indexOf(QStringLiteral(" WHERE")))
                 + QStringLiteral(" AND p.seat <> g.own_seat GROUP BY p.name ORDER BY count(*) DESC, p.name LIMIT ?"),
             s.values + QVariantList{MaxOpponents}))
        return;
    while (q.next())
        f.opponents.append({q.value(0).toByteArray(), q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt(),
                            q.value(4).toDouble()});
}

} // namespace

HistoryStatistics::Figures HistoryStatistics::compute(QSqlDatabase db, const Filter &filter)
{
    Figures f;
    if (!db.isOpen())
        return f;
    const Selection s = select(filter);
    // One read transaction: the figures all come from the same moment of the history.
    db.transaction();
    readGames(db, s, f);
    readRoundSums(db, s, f);
    readBest(db, s, f);
    readOpponents(db, s, f);
    db.commit();
    return f;
}
