#include "records/historystore.h"

#include "records/historyschema.h"
#include "records/roundsummary.h"
#include "records/sqlvalues.h"
#include "words/keepaside.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <utility>

namespace {

// SQLite's primary result codes that say the file itself is bad.
constexpr int SqliteCorrupt = 11;
constexpr int SqliteNotADatabase = 26;
// A database's companions: its write-ahead log and that log's index.
const QStringList Companions{QStringLiteral("-wal"), QStringLiteral("-shm")};

QString where(const QString &path) { return QDir::toNativeSeparators(path); }

using SqlValues::blob;
using SqlValues::text;

QVariant msecs(const QDateTime &time) { return time.isValid() ? QVariant(time.toMSecsSinceEpoch()) : QVariant(qint64(0)); }
QDateTime fromMsecs(const QVariant &v) { return QDateTime::fromMSecsSinceEpoch(v.toLongLong()); }

const Record::SeatResult *seatOf(const QList<Record::SeatResult> &seats, int seat)
{
    for (const Record::SeatResult &s : seats) {
        if (s.seat == seat)
            return &s;
    }
    return nullptr;
}

QByteArray nameOf(const QList<Record::SeatResult> &seats, int seat)
{
    const Record::SeatResult *s = seatOf(seats, seat);
    return s ? s->name : QByteArray();
}

} // namespace

HistoryStore::HistoryStore(QString path)
    : m_path(std::move(path))
{
    static std::atomic<int> serial{0};
    m_connection = QStringLiteral("lexitangle-history-%1").arg(++serial);
}

HistoryStore::~HistoryStore()
{
    disconnect();
}

QString HistoryStore::fileIn(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("Lexitanglehistory.db"));
}

QSqlDatabase HistoryStore::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

bool HistoryStore::isDamage(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xFF; // extended codes keep it below
    return ok && (code == SqliteCorrupt || code == SqliteNotADatabase);
}

bool HistoryStore::connect(bool readOnly)
{
    disconnect();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(m_path);
    db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000")
                                  : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    return db.open();
}

void HistoryStore::disconnect()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QString HistoryStore::check(int *version)
{
    if (!connect(true))
        return database().lastError().text();
    QSqlDatabase db = database();
    *version = HistorySchema::versionOf(db);
    if (*version < 0)
        return db.lastError().text().isEmpty() ? QStringLiteral("file is not a database") : db.lastError().text();
    QSqlQuery q(db);
    if (*version == 0) {
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
            return q.lastError().text();
        // Someone else's database under our name: kept aside like a damaged one.
        if (q.value(0).toInt() != 0)
            return QStringLiteral("not a game history");
        return QString();
    }
    if (*version > HistorySchema::Version)
        return QString();
    if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next())
        return q.lastError().text();
    if (q.value(0).toString() != QStringLiteral("ok"))
        return q.value(0).toString();
    return QString();
}

QString HistoryStore::open()
{
    m_gameRows.clear();
    m_keptAs.clear();
    if (QFileInfo::exists(m_path)) {
        int version = 0;
        const QString problem = check(&version);
        disconnect();
        if (!problem.isEmpty())
            return startAfresh(problem);
        if (version > HistorySchema::Version) {
            m_state = State::Newer;
            return QStringLiteral("The game history %1 was written by a newer version of Lexitangle. "
                                  "It is left as it is, and no games are recorded in this run.")
                .arg(where(m_path));
        }
    }
    QString error;
    if (connect(false)) {
        QSqlDatabase db = database();
        QSqlQuery q(db);
        // WAL: a round's commit appends to the log, and a reader never waits for a writer.
        // The statistics scan every round's row several times: 16 MiB of cache keeps those of
        // some 10,000 games in memory between one scan and the next.
        q.exec(QStringLiteral("PRAGMA cache_size = -16384"));
        if (q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) && q.exec(QStringLiteral("PRAGMA synchronous = FULL"))
            && HistorySchema::upgrade(db, HistorySchema::Version, &error)) {
            m_state = State::Open;
            return QString();
        }
        if (error.isEmpty())
            error = q.lastError().text();
        if (isDamage(q.lastError()) || isDamage(db.lastError()))
            return startAfresh(error);
    } else {
        error = database().lastError().text();
    }
    disconnect();
    m_state = State::Unusable;
    return QStringLiteral("The game history %1 cannot be opened (%2). No games are recorded in this run.")
        .arg(where(m_path), error);
}

QString HistoryStore::startAfresh(const QString &why)
{
    disconnect();
    m_gameRows.clear();
    // A file just made that is damaged at once says the disk is at fault: nothing more is moved.
    m_keptAs = m_startingAfresh ? QString() : KeepAside::move(m_path, Companions);
    if (m_keptAs.isEmpty()) {
        m_state = State::Unusable;
        return QStringLiteral("The game history %1 cannot be read (%2). It could not be moved aside, so it is "
                              "left as it is and no games are recorded in this run.")
            .arg(where(m_path), why);
    }
    const QString kept = m_keptAs;
    m_startingAfresh = true;
    const QString opened = open(); // a fresh file: nothing to tell unless that fails too
    m_startingAfresh = false;
    m_keptAs = kept;
    if (m_state != State::Open)
        return opened;
    return QStringLiteral("The game history %1 cannot be read (%2). It was kept as %3 and a new history "
                          "has been started.")
        .arg(where(m_path), why, where(m_keptAs));
}

bool HistoryStore::exec(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    bool ok = q.prepare(sql);
    for (qsizetype i = 0; ok && i < values.size(); ++i)
        q.addBindValue(values[i]);
    ok = ok && q.exec();
    if (!ok)
        m_error = q.lastError();
    return ok;
}

bool HistoryStore::fail(const QSqlError &error, QString *reason)
{
    m_error = error;
    if (reason)
        *reason = error.text();
    database().rollback();
    return false;
}

bool HistoryStore::insertGame(const Record::GameOpening &game, qint64 *id)
{
    QSqlQuery q(database());
    const bool ok = exec(q,
                         QStringLiteral("INSERT INTO games (started, ended, role, host_address, own_seat, board_type,"
                                        " min_letters, seconds, play_to) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                         {msecs(game.started), msecs(game.started), Record::roleName(game.table.role),
                          blob(game.table.address), game.ownSeat, game.settings.boardType, game.settings.minLetters,
                          game.settings.seconds, game.settings.playTo});
    if (ok)
        *id = q.lastInsertId().toLongLong();
    return ok;
}

bool HistoryStore::writeSeats(qint64 gameId, const QList<Record::SeatResult> &seats)
{
    QSqlQuery q(database());
    for (const Record::SeatResult &s : seats) {
        if (s.name.isEmpty())
            continue; // an empty seat has nobody to remember
        if (!exec(q,
                  QStringLiteral("INSERT INTO players (game_id, seat, name, score) VALUES (?, ?, ?, ?)"
                                 " ON CONFLICT (game_id, seat) DO UPDATE SET name = excluded.name, score = excluded.score"),
                  {gameId, s.seat, blob(s.name), s.total}))
            return false;
    }
    return true;
}

bool HistoryStore::insertRound(qint64 gameId, int ownSeat, const Record::Round &round)
{
    QSqlDatabase db = database();
    QSqlQuery q(db);
    if (!exec(q, QStringLiteral("SELECT COALESCE(MAX(number), 0) + 1 FROM rounds WHERE game_id = ?"), {gameId}) || !q.next())
        return false;
    const int number = q.value(0).toInt();
    const Record::SeatResult *own = seatOf(round.seats, ownSeat);
    const RoundSummary s = RoundSummary::of(round.ownWords, own ? own->score : 0);
    const RecordedBoard::Square square = RecordedBoard::squareOf(round.cells);
    QVariantList values{gameId, number, msecs(round.ended),
                        round.boardWords >= 0 ? QVariant(round.boardWords) : QVariant(),
                        s.found, s.points, blob(s.longest), blob(s.bestWord), s.bestPoints};
    for (size_t letters = 1; letters < s.lengths.size(); ++letters)
        values.append(s.lengths[letters]);
    const QString marks = QStringLiteral("?, ").repeated(int(values.size()) - 1) + QStringLiteral("?");
    if (!exec(q,
              QStringLiteral("INSERT INTO rounds (game_id, number, ended, board_words,"
                             " found, points, longest, best_word, best_points, ")
                  + RoundSummary::lengthColumns() + QStringLiteral(") VALUES (") + marks + QStringLiteral(")"),
              values))
        return false;
    const qint64 roundId = q.lastInsertId().toLongLong();
    if (!exec(q, QStringLiteral("INSERT INTO boards (round_id, cells, listed, side, letters) VALUES (?, ?, ?, ?, ?)"),
              {roundId, text(RecordedBoard::gridText(round.cells)), blob(round.listed.join('+')), square.side,
               text(square.letters)}))
        return false;
    for (const Record::SeatResult &seat : round.seats) {
        if (seat.name.isEmpty() && seat.score == 0 && seat.total == 0)
            continue;
        if (!exec(q, QStringLiteral("INSERT INTO round_scores (round_id, seat, score, total) VALUES (?, ?, ?, ?)"),
                  {roundId, seat.seat, seat.score, seat.total}))
            return false;
    }
    for (qsizetype i = 0; i < round.ownWords.size(); ++i) {
        const Record::OwnWord &w = round.ownWords[i];
        if (!exec(q,
                  QStringLiteral("INSERT INTO own_words (round_id, position, word, verdict, points, first)"
                                 " VALUES (?, ?, ?, ?, ?, ?)"),
                  {roundId, int(i), blob(w.word), w.verdict, w.points, int(w.first)}))
            return false;
    }
    return exec(q, QStringLiteral("UPDATE games SET ended = ?, own_score = ?, host_name = ? WHERE id = ?"),
                {msecs(round.ended), own ? own->total : 0, blob(nameOf(round.seats, 1)), gameId});
}

bool HistoryStore::writeRound(const Record::GameOpening &game, const Record::Round &round, QString *error)
{
    if (tryWriteRound(game, round, error))
        return true;
    if (m_state != State::Open || !isDamage(m_error))
        return false;
    // The file went bad under us: it is kept aside, and this round starts the new one.
    m_notice = startAfresh(m_error.text());
    return m_state == State::Open && tryWriteRound(game, round, error);
}

bool HistoryStore::tryWriteRound(const Record::GameOpening &game, const Record::Round &round, QString *error)
{
    if (m_state != State::Open) {
        if (error)
            *error = QStringLiteral("the history is not open");
        return false;
    }
    QSqlDatabase db = database();
    if (!db.transaction())
        return fail(db.lastError(), error);
    qint64 gameId = m_gameRows.value(game.key, 0);
    const bool newGame = gameId == 0;
    const bool ok = (!newGame || insertGame(game, &gameId)) && insertRound(gameId, game.ownSeat, round)
        && writeSeats(gameId, round.seats);
    if (!ok)
        return fail(m_error, error);
    if (!db.commit())
        return fail(db.lastError(), error);
    if (newGame)
        m_gameRows.insert(game.key, gameId);
    return true;
}

bool HistoryStore::closeGame(const Record::GameClosing &closing, QString *error)
{
    const qint64 gameId = m_gameRows.value(closing.key, 0);
    if (m_state != State::Open || gameId == 0)
        return true;
    QSqlDatabase db = database();
    if (!db.transaction())
        return fail(db.lastError(), error);
    QSqlQuery q(db);
    qint64 ownSeat = 0;
    if (exec(q, QStringLiteral("SELECT own_seat FROM games WHERE id = ?"), {gameId}) && q.next())
        ownSeat = q.value(0).toLongLong();
    const Record::SeatResult *own = seatOf(closing.seats, int(ownSeat));
    const bool ok = exec(q,
                         QStringLiteral("UPDATE games SET ended = ?, winner = ?, won = ?,"
                                        " own_score = COALESCE(?, own_score) WHERE id = ?"),
                         {msecs(closing.ended), blob(closing.winner), int(closing.won),
                          own ? QVariant(own->total) : QVariant(), gameId})
        && writeSeats(gameId, closing.seats);
    if (!ok)
        return fail(m_error, error);
    if (!db.commit())
        return fail(db.lastError(), error);
    return true;
}

QList<HistoryStore::GameEntry> HistoryStore::games(int limit)
{
    QList<GameEntry> list;
    if (m_state != State::Open)
        return list;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!exec(q,
              QStringLiteral("SELECT g.id, g.started, g.role, g.host_name, g.board_type,"
                             " (SELECT count(*) FROM rounds r WHERE r.game_id = g.id), g.own_score, g.winner, g.won"
                             " FROM games g ORDER BY g.started DESC, g.id DESC LIMIT ?"),
              {limit}))
        return list;
    while (q.next()) {
        GameEntry e;
        e.id = q.value(0).toLongLong();
        e.started = fromMsecs(q.value(1));
        e.role = Record::roleFromName(q.value(2).toString()).value_or(Record::Role::Solo);
        e.hostName = q.value(3).toByteArray();
        e.boardType = q.value(4).toInt();
        e.rounds = q.value(5).toInt();
        e.ownScore = q.value(6).toInt();
        e.winner = q.value(7).toByteArray();
        e.won = q.value(8).toBool();
        list.append(e);
    }
    return list;
}

std::optional<HistoryStore::PastGame> HistoryStore::game(qint64 id)
{
    if (m_state != State::Open)
        return std::nullopt;
    QSqlQuery q(database());
    if (!exec(q,
              QStringLiteral("SELECT g.started, g.role, g.host_name, g.board_type, g.own_score, g.winner, g.won,"
                             " g.min_letters FROM games g WHERE g.id = ?"),
              {id})
        || !q.next())
        return std::nullopt;
    PastGame game;
    GameEntry &e = game.entry;
    e.id = id;
    e.started = fromMsecs(q.value(0));
    e.role = Record::roleFromName(q.value(1).toString()).value_or(Record::Role::Solo);
    e.hostName = q.value(2).toByteArray();
    e.boardType = q.value(3).toInt();
    e.ownScore = q.value(4).toInt();
    e.winner = q.value(5).toByteArray();
    e.won = q.value(6).toBool();
    const int minLetters = q.value(7).toInt();

    if (!exec(q,
              QStringLiteral("SELECT r.id, b.cells, b.listed FROM rounds r JOIN boards b ON b.round_id = r.id"
                             " WHERE r.game_id = ? ORDER BY r.number"),
              {id}))
        return std::nullopt;
    QList<qint64> roundIds;
    while (q.next()) {
        const auto cells = RecordedBoard::cellsFromGrid(q.value(1).toByteArray());
        if (!cells)
            continue; // a round whose board does not read has nothing to show
        PastRound round;
        round.cells = *cells;
        round.minLetters = minLetters;
        const QByteArray listed = q.value(2).toByteArray();
        if (!listed.isEmpty())
            round.tableWords = listed.split('+');
        game.rounds.append(round);
        roundIds.append(q.value(0).toLongLong());
    }
    for (qsizetype i = 0; i < roundIds.size(); ++i) {
        if (!exec(q, QStringLiteral("SELECT word FROM own_words WHERE round_id = ? AND verdict = 0 ORDER BY position"),
                  {roundIds[i]}))
            return std::nullopt;
        while (q.next())
            game.rounds[i].ownWords.append(q.value(0).toByteArray());
    }
    e.rounds = int(game.rounds.size());
    return game;
}

QList<HistoryStore::BoardResult> HistoryStore::resultsOnBoard(const RecordedBoard::Square &square)
{
    QList<BoardResult> results;
    if (m_state != State::Open || square.side == 0)
        return results;
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!exec(q,
              QStringLiteral("SELECT r.game_id, r.number, r.ended, g.min_letters, r.found, r.points, r.board_words"
                             " FROM boards b JOIN rounds r ON r.id = b.round_id JOIN games g ON g.id = r.game_id"
                             " WHERE b.side = ? AND b.letters = ? ORDER BY r.ended, r.id"),
              {square.side, text(square.letters)}))
        return results;
    while (q.next()) {
        BoardResult r;
        r.gameId = q.value(0).toLongLong();
        r.round = q.value(1).toInt();
        r.ended = fromMsecs(q.value(2));
        r.minLetters = q.value(3).toInt();
        r.found = q.value(4).toInt();
        r.points = q.value(5).toInt();
        r.boardWords = q.value(6).isNull() ? -1 : q.value(6).toInt();
        results.append(r);
    }
    return results;
}
