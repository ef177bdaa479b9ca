#include "records/historykeeper.h"

#include "records/historyworker.h"

#include <QThread>

HistoryKeeper::HistoryKeeper(const QString &path, const QString &wordFile, QObject *parent)
    : QObject(parent), m_path(path)
{
    qRegisterMetaType<Record::GameOpening>();
    qRegisterMetaType<Record::Round>();
    qRegisterMetaType<Record::GameClosing>();
    qRegisterMetaType<HistoryStatistics::Filter>();
    qRegisterMetaType<HistoryStatistics::Figures>();
    qRegisterMetaType<HistoryStore::State>();
    qRegisterMetaType<HistoryStore::PastGame>();
    qRegisterMetaType<RecordedBoard::Square>();
    qRegisterMetaType<QList<HistoryStore::GameEntry>>();
    qRegisterMetaType<QList<HistoryStore::BoardResult>>();

    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("history"));
    m_worker = new HistoryWorker(path, wordFile);
    m_worker->moveToThread(m_thread);
    connect(m_worker, &HistoryWorker::opened, this, [this](HistoryStore::State state) {
        m_state = state;
        Q_EMIT opened(state);
    });
    connect(m_worker, &HistoryWorker::notice, this, &HistoryKeeper::notice);
    connect(m_worker, &HistoryWorker::roundWritten, this, &HistoryKeeper::roundWritten);
    connect(m_worker, &HistoryWorker::gameClosed, this, &HistoryKeeper::gameClosed);
    connect(m_worker, &HistoryWorker::statisticsReady, this, &HistoryKeeper::statisticsReady);
    connect(m_worker, &HistoryWorker::gamesListed, this, &HistoryKeeper::gamesListed);
    connect(m_worker, &HistoryWorker::gameLoaded, this, &HistoryKeeper::gameLoaded);
    connect(m_worker, &HistoryWorker::boardResultsReady, this, &HistoryKeeper::boardResultsReady);
    m_thread->start();
    post([w = m_worker] { w->open(); });
}

HistoryKeeper::~HistoryKeeper()
{
    // The calls already queued run first: every round asked for is written before the end.
    QMetaObject::invokeMethod(m_worker, [w = m_worker] { w->close(); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

template <typename F> void HistoryKeeper::post(F &&call)
{
    QMetaObject::invokeMethod(m_worker, std::forward<F>(call), Qt::QueuedConnection);
}

void HistoryKeeper::gameOpened(const Record::GameOpening &game)
{
    post([w = m_worker, game] { w->gameOpened(game); });
}

void HistoryKeeper::roundEnded(const Record::Round &round)
{
    post([w = m_worker, round] { w->roundEnded(round); });
}

void HistoryKeeper::gameEnded(const Record::GameClosing &closing)
{
    post([w = m_worker, closing] { w->gameEnded(closing); });
}

void HistoryKeeper::requestStatistics(int request, const HistoryStatistics::Filter &filter)
{
    post([w = m_worker, request, filter] { w->statistics(request, filter); });
}

void HistoryKeeper::requestGames()
{
    post([w = m_worker] { w->listGames(); });
}

void HistoryKeeper::requestGame(qint64 id)
{
    post([w = m_worker, id] { w->loadGame(id); });
}

void HistoryKeeper::requestBoardResults(const RecordedBoard::Square &square)
{
    post([w = m_worker, square] { w->boardResults(square); });
}
