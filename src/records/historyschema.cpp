#include "records/historyschema.h"

#include "records/recordedboard.h"
#include "records/roundsummary.h"
#include "records/sqlvalues.h"
#include "net/protocol.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <functional>

namespace {

// Times are milliseconds since 1970 in UTC. Texts from the network are kept as the bytes that
// came (BLOB), so a name is never re-encoded on its way in or out.
const char *const VersionOne[] = {
    "CREATE TABLE games ("
    " id INTEGER PRIMARY KEY,"
    " started INTEGER NOT NULL,"
    " ended INTEGER,"
    " role TEXT NOT NULL,"
    " host_name BLOB NOT NULL DEFAULT '',"
    " host_address BLOB NOT NULL DEFAULT '',"
    " own_seat INTEGER NOT NULL,"
    " board_type INTEGER NOT NULL,"
    " min_letters INTEGER NOT NULL,"
    " seconds INTEGER NOT NULL,"
    " play_to INTEGER NOT NULL,"
    " winner BLOB,"
    " won INTEGER NOT NULL DEFAULT 0)",
    "CREATE TABLE players ("
    " game_id INTEGER NOT NULL REFERENCES games(id),"
    " seat INTEGER NOT NULL,"
    " name BLOB NOT NULL,"
    " score INTEGER NOT NULL,"
    " PRIMARY KEY (game_id, seat))",
    "CREATE TABLE rounds ("
    " id INTEGER PRIMARY KEY,"
    " game_id INTEGER NOT NULL REFERENCES games(id),"
    " number INTEGER NOT NULL,"
    " ended INTEGER NOT NULL,"
    " cells TEXT NOT NULL,"
    " listed BLOB NOT NULL,"
    " board_words INTEGER)",
    "CREATE TABLE round_scores ("
    " round_id INTEGER NOT NULL REFERENCES rounds(id),"
    " seat INTEGER NOT NULL,"
    " score INTEGER NOT NULL,"
    " total INTEGER NOT NULL,"
    " PRIMARY KEY (round_id, seat))",
    "CREATE TABLE own_words ("
    " round_id INTEGER NOT NULL REFERENCES rounds(id),"
    " position INTEGER NOT NULL,"
    " word BLOB NOT NULL,"
    " verdict INTEGER NOT NULL,"
    " points INTEGER NOT NULL,"
    " first INTEGER NOT NULL,"
    " PRIMARY KEY (round_id, position))",
};

// The board and the host's list are read one round at a time (the review), while the figures
// scan every round: the bulky texts move to a table of their own, so a scan reads small rows.
const char *const VersionTwo[] = {
    "CREATE TABLE boards ("
    " round_id INTEGER PRIMARY KEY REFERENCES rounds(id),"
    " cells TEXT NOT NULL,"
    " listed BLOB NOT NULL,"
    " side INTEGER NOT NULL DEFAULT 0,"
    " letters TEXT NOT NULL DEFAULT '')",
    "INSERT INTO boards (round_id, cells, listed) SELECT id, cells, listed FROM rounds",
    "ALTER TABLE rounds DROP COLUMN cells",
    "ALTER TABLE rounds DROP COLUMN listed",
    "ALTER TABLE games ADD COLUMN own_score INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE rounds ADD COLUMN found INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE rounds ADD COLUMN points INTEGER NOT NULL DEFAULT 0",
    "ALTER TABLE rounds ADD COLUMN longest BLOB NOT NULL DEFAULT ''",
    "ALTER TABLE rounds ADD COLUMN best_word BLOB NOT NULL DEFAULT ''",
    "ALTER TABLE rounds ADD COLUMN best_points INTEGER NOT NULL DEFAULT 0",
    "CREATE INDEX games_started ON games(started)",
    "CREATE INDEX games_board ON games(board_type, started)",
    "CREATE INDEX rounds_game ON rounds(game_id, number)",
    "CREATE INDEX boards_square ON boards(side, letters)",
    "CREATE INDEX players_name ON players(name)",
};

bool run(QSqlDatabase &db, const char *sql, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(QString::fromLatin1(sql)))
        return true;
    *error = q.lastError().text();
    return false;
}

template <size_t N> bool runAll(QSqlDatabase &db, const char *const (&statements)[N], QString *error)
{
    for (const char *sql : statements) {
        if (!run(db, sql, error))
            return false;
    }
    return true;
}

// The accepted words of one round, for its summary.
QList<Record::OwnWord> acceptedWords(QSqlDatabase &db, qint64 round)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT word, points FROM own_words WHERE round_id = ? AND verdict = 0 ORDER BY position"));
    q.addBindValue(round);
    QList<Record::OwnWord> words;
    if (q.exec()) {
        while (q.next())
            words.append({q.value(0).toByteArray(), 0, q.value(1).toInt(), false});
    }
    return words;
}

// Every round's summary and square, from the rows version 1 kept.
bool fillSummaries(QSqlDatabase &db, QString *error)
{
    QSqlQuery rounds(db);
    rounds.setForwardOnly(true);
    if (!rounds.exec(QStringLiteral(
            "SELECT r.id, b.cells, COALESCE(s.score, 0) FROM rounds r JOIN games g ON g.id = r.game_id"
            " JOIN boards b ON b.round_id = r.id LEFT JOIN round_scores s ON s.round_id = r.id AND s.seat = g.own_seat"))) {
        *error = rounds.lastError().text();
        return false;
    }
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE rounds SET (found, points, longest, best_word, best_points, ")
                   + RoundSummary::lengthColumns() + QStringLiteral(") = (")
                   + QStringLiteral("?, ").repeated(4 + Protocol::MaxWordLetters) + QStringLiteral("?) WHERE id = ?"));
    QSqlQuery board(db);
    board.prepare(QStringLiteral("UPDATE boards SET side = ?, letters = ? WHERE round_id = ?"));
    while (rounds.next()) {
        const qint64 id = rounds.value(0).toLongLong();
        const auto cells = RecordedBoard::cellsFromGrid(rounds.value(1).toByteArray());
        const RecordedBoard::Square square = cells ? RecordedBoard::squareOf(*cells) : RecordedBoard::Square();
        const RoundSummary s = RoundSummary::of(acceptedWords(db, id), rounds.value(2).toInt());
        using namespace SqlValues;
        for (const QVariant &v : {QVariant(s.found), QVariant(s.points), blob(s.longest), blob(s.bestWord),
                                  QVariant(s.bestPoints)})
            update.addBindValue(v);
        for (size_t letters = 1; letters < s.lengths.size(); ++letters)
            update.addBindValue(s.lengths[letters]);
        update.addBindValue(id);
        for (const QVariant &v : {QVariant(square.side), text(square.letters), QVariant(id)})
            board.addBindValue(v);
        if (!update.exec() || !board.exec()) {
            *error = update.lastError().isValid() ? update.lastError().text() : board.lastError().text();
            return false;
        }
    }
    return run(db,
               "UPDATE games SET own_score = COALESCE((SELECT score FROM players p"
               " WHERE p.game_id = games.id AND p.seat = games.own_seat), 0)",
               error);
}

bool stepOne(QSqlDatabase &db, QString *error) { return runAll(db, VersionOne, error); }

// This player's accepted words by their number of letters, one column per length.
bool addLengthColumns(QSqlDatabase &db, QString *error)
{
    for (int letters = 1; letters <= Protocol::MaxWordLetters; ++letters) {
        const QByteArray sql = "ALTER TABLE rounds ADD COLUMN len" + QByteArray::number(letters) + " INTEGER NOT NULL DEFAULT 0";
        if (!run(db, sql.constData(), error))
            return false;
    }
    return true;
}

bool stepTwo(QSqlDatabase &db, QString *error)
{
    return runAll(db, VersionTwo, error) && addLengthColumns(db, error) && fillSummaries(db, error);
}

const std::function<bool(QSqlDatabase &, QString *)> Steps[] = {stepOne, stepTwo};
static_assert(std::size(Steps) == HistorySchema::Version);

} // namespace

int HistorySchema::versionOf(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return -1;
    return q.value(0).toInt();
}

bool HistorySchema::upgrade(QSqlDatabase &db, int target, QString *error)
{
    for (int version = versionOf(db); version < target && version < Version; ++version) {
        if (version < 0) {
            *error = db.lastError().text();
            return false;
        }
        if (!db.transaction()) {
            *error = db.lastError().text();
            return false;
        }
        const bool done = Steps[version](db, error)
            && run(db, QStringLiteral("PRAGMA user_version = %1").arg(version + 1).toLatin1().constData(), error);
        if (!done || !db.commit()) {
            if (done)
                *error = db.lastError().text();
            db.rollback();
            return false;
        }
    }
    return true;
}
