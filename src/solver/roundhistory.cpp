#include "solver/roundhistory.h"

#include "host/gamerules.h"

#include <QSet>

#include <algorithm>

namespace {

// Lists never carry more words than a board can hold; this bounds a hostile host.
constexpr int MaxListedWords = 20000;

bool longestFirst(const RoundHistory::Row &a, const RoundHistory::Row &b)
{
    return a.word.size() != b.word.size() ? a.word.size() > b.word.size() : a.word < b.word;
}

// Words as the host spells them: capitals only, at most 12 letters.
bool isPlayableWord(const QByteArray &word)
{
    if (word.isEmpty() || word.size() > GameRules::MaxPathLength)
        return false;
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

} // namespace

RoundHistory::RoundHistory(BoardSolver *solver, QObject *parent)
    : QObject(parent), m_solver(solver)
{
}

void RoundHistory::startGame()
{
    m_rounds.clear();
    m_playing.reset();
    Q_EMIT roundsChanged();
}

void RoundHistory::boardDealt(const BoardCells &cells)
{
    m_playing = Round();
    m_playing->cells = cells;
    m_playing->dealt = QDateTime::currentDateTimeUtc();
}

void RoundHistory::wordAccepted(const QByteArray &word)
{
    if (m_playing && isPlayableWord(word) && !m_playing->ownWords.contains(word))
        m_playing->ownWords.append(word);
}

void RoundHistory::roundListed(const QByteArray &list, int minLetters)
{
    if (!m_playing)
        return; // a list for a board this copy never saw
    Round round = std::move(*m_playing);
    m_playing.reset();
    round.minLetters = minLetters;
    QSet<QByteArray> seen;
    for (const QByteArray &word : list.split('+')) {
        if (round.tableWords.size() == MaxListedWords)
            break;
        if (isPlayableWord(word) && !seen.contains(word)) {
            seen.insert(word);
            round.tableWords.append(word);
        }
    }
    m_rounds.append(std::move(round));
    Q_EMIT roundsChanged();
}

namespace {

// Only words as the host spells them, each once, no more than a list may carry.
QByteArrayList playableWords(const QByteArrayList &words)
{
    QByteArrayList kept;
    QSet<QByteArray> seen;
    for (const QByteArray &word : words) {
        if (kept.size() == MaxListedWords)
            break;
        if (isPlayableWord(word) && !seen.contains(word)) {
            seen.insert(word);
            kept.append(word);
        }
    }
    return kept;
}

} // namespace

void RoundHistory::loadRounds(QList<Round> rounds)
{
    // A recorded game is read from a file, which may have been changed since.
    for (Round &round : rounds) {
        round.ownWords = playableWords(round.ownWords);
        round.tableWords = playableWords(round.tableWords);
        round.rows.reset();
    }
    m_rounds = std::move(rounds);
    m_playing.reset();
    Q_EMIT roundsChanged();
}

const QList<RoundHistory::Row> &RoundHistory::rows(int index)
{
    Round &round = m_rounds[index];
    if (!round.rows)
        round.rows = computeRows(round);
    return *round.rows;
}

QList<RoundHistory::Row> RoundHistory::computeRows(const Round &round)
{
    const QSet<QByteArray> mine(round.ownWords.begin(), round.ownWords.end());
    QSet<QByteArray> table(round.tableWords.begin(), round.tableWords.end());
    table.unite(mine); // the host lists every accepted word; a late list should not hide one
    QList<Row> rows;
    QSet<QByteArray> shown;
    if (m_solver) {
        for (FoundWord &w : m_solver->solve(round.cells, round.minLetters)) {
            const Finder finder = mine.contains(w.word) ? Finder::Me : table.contains(w.word) ? Finder::Table : Finder::Nobody;
            shown.insert(w.word);
            rows.append({std::move(w.word), w.points, finder, std::move(w.path)});
        }
    }
    bool added = false;
    for (const QByteArray &word : table) {
        if (shown.contains(word))
            continue;
        rows.append({word, GameRules::scoreForLetters(int(word.size())), mine.contains(word) ? Finder::Me : Finder::Table,
                     BoardSolver::findPath(round.cells, word)});
        added = true;
    }
    if (added)
        std::sort(rows.begin(), rows.end(), longestFirst);
    return rows;
}

RoundHistory::Summary RoundHistory::summary(int index)
{
    Summary s;
    for (const Row &row : rows(index)) {
        ++s.words;
        s.points += row.points;
        if (row.finder == Finder::Me) {
            ++s.myWords;
            s.myPoints += row.points;
        }
        if (row.finder != Finder::Nobody)
            ++s.tableWords;
    }
    return s;
}

QString RoundHistory::summaryText(const Summary &s)
{
    return QStringLiteral("You found %1 of %2 words, %3 of %4 points; the table found %5")
        .arg(s.myWords)
        .arg(s.words)
        .arg(s.myPoints)
        .arg(s.points)
        .arg(s.tableWords);
}
