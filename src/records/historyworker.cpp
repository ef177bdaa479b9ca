#include "records/historyworker.h"

#include "solver/boardsolver.h"

#include <QDir>
#include <QElapsedTimer>

#include <limits>

namespace {

// Games of this run whose end never came (the connection was lost) are forgotten past this.
constexpr int MaxOpenGames = 64;

} // namespace

HistoryWorker::HistoryWorker(QString path, QString wordFile)
    : m_path(std::move(path)), m_wordFile(std::move(wordFile))
{
}

HistoryWorker::~HistoryWorker() = default;

void HistoryWorker::open()
{
    m_store = std::make_unique<HistoryStore>(m_path);
    told(m_store->open());
    Q_EMIT opened(m_store->state());
}

void HistoryWorker::close()
{
    m_store.reset();
    m_solver.reset();
}

void HistoryWorker::told(const QString &text)
{
    if (!text.isEmpty())
        Q_EMIT notice(text);
}

void HistoryWorker::failed(const QString &what, const QString &reason)
{
    if (m_failureTold)
        return;
    m_failureTold = true;
    Q_EMIT notice(QStringLiteral("Could not record %1 in %2 (%3). The games recorded before are kept.")
                      .arg(what, QDir::toNativeSeparators(m_path), reason));
}

void HistoryWorker::gameOpened(const Record::GameOpening &game)
{
    if (m_games.size() >= MaxOpenGames)
        m_games.clear();
    m_games.insert(game.key, game);
}

int HistoryWorker::countWords(const Record::Round &round, int minLetters)
{
    if (!m_solver)
        m_solver = std::make_unique<BoardSolver>(m_wordFile);
    // Without a word list there is nothing to count against: the count stays unknown.
    if (m_solver->tree().nodeCount() <= 1)
        return -1;
    return m_solver->countWords(round.cells, minLetters, std::numeric_limits<int>::max());
}

void HistoryWorker::roundEnded(Record::Round round)
{
    const auto game = m_games.constFind(round.gameKey);
    if (!m_store || m_store->state() != HistoryStore::State::Open || game == m_games.constEnd())
        return;
    QElapsedTimer clock;
    clock.start();
    round.boardWords = countWords(round, game->settings.minLetters);
    QString error;
    const bool written = m_store->writeRound(*game, round, &error);
    told(m_store->takeNotice());
    if (written)
        m_failureTold = false;
    else
        failed(QStringLiteral("this round"), error);
    Q_EMIT roundWritten(written, clock.nsecsElapsed() / 1e6);
}

void HistoryWorker::gameEnded(const Record::GameClosing &closing)
{
    const bool known = m_games.remove(closing.key) > 0;
    if (!m_store || !known)
        return;
    QString error;
    const bool written = m_store->closeGame(closing, &error);
    if (!written)
        failed(QStringLiteral("the end of this game"), error);
    Q_EMIT gameClosed(written);
}

void HistoryWorker::statistics(int request, const HistoryStatistics::Filter &filter)
{
    HistoryStatistics::Figures figures;
    if (m_store && m_store->state() == HistoryStore::State::Open)
        figures = HistoryStatistics::compute(m_store->database(), filter);
    Q_EMIT statisticsReady(request, figures);
}

void HistoryWorker::listGames()
{
    Q_EMIT gamesListed(m_store ? m_store->games() : QList<HistoryStore::GameEntry>());
}

void HistoryWorker::loadGame(qint64 id)
{
    const auto game = m_store ? m_store->game(id) : std::nullopt;
    Q_EMIT gameLoaded(id, game.has_value(), game.value_or(HistoryStore::PastGame()));
}

void HistoryWorker::boardResults(const RecordedBoard::Square &square)
{
    Q_EMIT boardResultsReady(square, m_store ? m_store->resultsOnBoard(square) : QList<HistoryStore::BoardResult>());
}
