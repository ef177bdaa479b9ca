#pragma once

#include "records/gamerecord.h"
#include "records/historystatistics.h"
#include "records/historystore.h"

#include <QHash>
#include <QObject>

#include <memory>

class BoardSolver;

// The history's side of its thread: the store with its own connection, and a solver of its own
// that counts each board's words once the round is over. It only ever gets values (by queued
// calls from HistoryKeeper) and only gives values back (by signals); it shares nothing.
class HistoryWorker : public QObject {
    Q_OBJECT
public:
    // wordFile: the dictionary's working file, read when the first board is counted.
    HistoryWorker(QString path, QString wordFile);
    ~HistoryWorker() override;

    void open();
    void close();
    void gameOpened(const Record::GameOpening &game);
    void roundEnded(Record::Round round);
    void gameEnded(const Record::GameClosing &closing);
    void statistics(int request, const HistoryStatistics::Filter &filter);
    void listGames();
    void loadGame(qint64 id);
    void boardResults(const RecordedBoard::Square &square);

Q_SIGNALS:
    void opened(HistoryStore::State state);
    // One line for the player: a damaged file kept aside, a newer file, a failed write.
    void notice(const QString &text);
    // After each round's transaction: whether it was written, and how long it took.
    void roundWritten(bool written, double milliseconds);
    void gameClosed(bool written);
    void statisticsReady(int request, const HistoryStatistics::Figures &figures);
    void gamesListed(const QList<HistoryStore::GameEntry> &games);
    // found false: the game is not in the history (or the history cannot be read).
    void gameLoaded(qint64 id, bool found, const HistoryStore::PastGame &game);
    void boardResultsReady(const RecordedBoard::Square &square, const QList<HistoryStore::BoardResult> &results);

private:
    int countWords(const Record::Round &round, int minLetters);
    void failed(const QString &what, const QString &reason);
    void told(const QString &text);

    QString m_path;
    QString m_wordFile;
    std::unique_ptr<HistoryStore> m_store;
    std::unique_ptr<BoardSolver> m_solver;
    QHash<quint64, Record::GameOpening> m_games;
    // A failed write is told once, until a write succeeds again.
    bool m_failureTold = false;
};
