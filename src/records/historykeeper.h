#pragma once

#include "records/gamerecord.h"
#include "records/historystatistics.h"
#include "records/historystore.h"

#include <QObject>
#include <QString>

class HistoryWorker;
class QThread;

// The game history as the interface thread sees it. SQLite may wait on a slow disk, so the
// store lives on a thread of its own (a HistoryWorker with its own connection); everything
// goes there as values by queued calls and comes back by signal, and nothing here ever waits
// for it, except the destructor, which lets the writes already asked for finish.
class HistoryKeeper : public QObject {
    Q_OBJECT
public:
    // path: the history file; wordFile: the dictionary's working file, for the board counts.
    HistoryKeeper(const QString &path, const QString &wordFile, QObject *parent = nullptr);
    ~HistoryKeeper() override;

    QString path() const { return m_path; }

    // Recording, fed by a GameRecorder.
    void gameOpened(const Record::GameOpening &game);
    void roundEnded(const Record::Round &round);
    void gameEnded(const Record::GameClosing &closing);

    // Questions; each answer comes by the signal of the same name. `request` is handed back
    // so that an answer to an older question can be told apart.
    void requestStatistics(int request, const HistoryStatistics::Filter &filter);
    void requestGames();
    void requestGame(qint64 id);
    void requestBoardResults(const RecordedBoard::Square &square);

    // Until the file is open, Closed.
    HistoryStore::State state() const { return m_state; }

Q_SIGNALS:
    void opened(HistoryStore::State state);
    void notice(const QString &text);
    void roundWritten(bool written, double milliseconds);
    void gameClosed(bool written);
    void statisticsReady(int request, const HistoryStatistics::Figures &figures);
    void gamesListed(const QList<HistoryStore::GameEntry> &games);
    void gameLoaded(qint64 id, bool found, const HistoryStore::PastGame &game);
    void boardResultsReady(const RecordedBoard::Square &square, const QList<HistoryStore::BoardResult> &results);

private:
    template <typename F> void post(F &&call);

    QString m_path;
    QThread *m_thread;
    HistoryWorker *m_worker;
    HistoryStore::State m_state = HistoryStore::State::Closed;
};
