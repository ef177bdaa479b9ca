#pragma once

#include "records/gamerecord.h"
#include "records/recordedboard.h"

#include <QByteArrayList>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVariantList>
#include <QString>

#include <optional>
#include <utility>

class QSqlQuery;

// The game history: one SQLite file (Qt's QSQLITE driver) beside the settings and the tally,
// with every game this copy played, round by round. Not tied to a thread, but each store uses
// its connection only on the thread that opened it: in the program that is the history's own
// thread (HistoryKeeper), never the interface.
//
// Each round is written in one transaction, in the WAL journal: whatever goes wrong (a full
// disk, a crash) loses at most the round being written. A file that cannot be read as a
// history is moved aside as an unreadable tally is (".bad", ".bad.1" ...) and a new one is
// started; a history from a newer version of the program is never written to.
class HistoryStore {
public:
    enum class State {
        Closed,
        Open,    // reading and recording
        Newer,   // written by a newer version: left alone, nothing read or recorded
        Unusable // could not be opened or created: nothing recorded this run
    };

    // One game of the history, for a list by date.
    struct GameEntry {
        qint64 id = 0;
        QDateTime started;
        Record::Role role = Record::Role::Solo;
        QByteArray hostName;
        int boardType = 0;
        int rounds = 0;
        int ownScore = 0;
        QByteArray winner; // empty: the game ended without one
        bool won = false;
    };

    // One round as the review shows it again.
    struct PastRound {
        BoardCells cells{};
        int minLetters = 0;
        QByteArrayList ownWords;   // accepted, in the order they came
        QByteArrayList tableWords; // the host's list
    };
    struct PastGame {
        GameEntry entry;
        QList<PastRound> rounds;
    };

    // This player's result on a board played before.
    struct BoardResult {
        qint64 gameId = 0;
        int round = 0; // 1-based within its game
        QDateTime ended;
        int minLetters = 0;
        int found = 0;
        int points = 0;
        int boardWords = -1; // -1: not known
    };

    explicit HistoryStore(QString path);
    ~HistoryStore();
    HistoryStore(const HistoryStore &) = delete;
    HistoryStore &operator=(const HistoryStore &) = delete;

    // "<folder>/Lexitanglehistory.db", named like the tally.
    static QString fileIn(const QString &folder);
    QString path() const { return m_path; }

    // Opens the file, creating or bringing it up to the current version. Returns the one line
    // to tell the player, empty when there is nothing to tell.
    QString open();
    State state() const { return m_state; }
    // Where a damaged file was moved; empty when none was.
    QString keptAs() const { return m_keptAs; }
    // A line for the player that a write left (the file went bad and was kept aside), once.
    QString takeNotice() { return std::exchange(m_notice, QString()); }

    // Writes one round in one transaction, with the game's row when it is the game's first.
    // False with the reason in *error; the history is then as it was before.
    bool writeRound(const Record::GameOpening &game, const Record::Round &round, QString *error);
    // The game's end: its winner and final scores. A game without a written round has no row
    // and nothing is written.
    bool closeGame(const Record::GameClosing &closing, QString *error);

    // Games newest first, at most `limit`.
    QList<GameEntry> games(int limit = 100000);
    std::optional<PastGame> game(qint64 id);
    // Rounds on this square (side and letters as RecordedBoard::squareOf gives them), oldest first.
    QList<BoardResult> resultsOnBoard(const RecordedBoard::Square &square);

    // The open connection, for the statistics; invalid unless state() is Open.
    QSqlDatabase database() const;

    // A failure whose SQLite code says the file itself is damaged.
    static bool isDamage(const QSqlError &error);

private:
    // Empty when the file is ours and readable, else why not; *version gets its version.
    QString check(int *version);
    bool connect(bool readOnly);
    void disconnect();
    QString startAfresh(const QString &why);
    bool tryWriteRound(const Record::GameOpening &game, const Record::Round &round, QString *error);
    // A prepared statement with its values bound in order; a failure is kept in m_error.
    bool exec(QSqlQuery &q, const QString &sql, const QVariantList &values);
    bool insertGame(const Record::GameOpening &game, qint64 *id);
    bool insertRound(qint64 gameId, int ownSeat, const Record::Round &round);
    bool writeSeats(qint64 gameId, const QList<Record::SeatResult> &seats);
    bool fail(const QSqlError &error, QString *reason);

    QString m_path;
    QString m_connection;
    State m_state = State::Closed;
    QString m_keptAs;
    QString m_notice;
    bool m_startingAfresh = false;
    QSqlError m_error;
    // The row of each game of this run that has one, by its key.
    QHash<quint64, qint64> m_gameRows;
};
