#include "solver/roundhistory.h"

#include "host/gamerules.h"
#include "solver/pathfinder.h"

#include <algorithm>

namespace {

bool longestFirst(const RoundHistory::Row &a, const RoundHistory::Row &b)
{
    return a.word.size() != b.word.size() ? a.word.size() > b.word.size() : a.word < b.word;
}

// Words as the host spells them: capitals only, at most 12 letters.
bool isPlayableWord(QByteArrayView word)
{
    if (word.isEmpty() || word.size() > GameRules::MaxPathLength)
        return false;
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// The words of a kept text, each followed by '+'.
QByteArrayList wordsOf(const QByteArray &kept)
{
    QByteArrayList words = kept.split('+');
    words.removeLast();
    return words;
}

// The playable words of a host's list ("+"-separated), each once and followed by '+'. A list
// longer than a message can be is cut at its last whole word.
QByteArray keptWords(QByteArrayView text)
{
    if (text.size() > RoundHistory::MaxListBytes) {
        const QByteArrayView head = text.first(RoundHistory::MaxListBytes + 1);
        text = head.first(head.lastIndexOf('+') + 1); // the word cut at the limit is left out
    }
    QByteArray kept;
    QSet<QByteArrayView> seen;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('+', start);
        if (end < 0)
            end = text.size();
        const QByteArrayView word = text.sliced(start, end - start);
        if (isPlayableWord(word) && !seen.contains(word)) {
            seen.insert(word);
            kept += word;
            kept += '+';
        }
        start = end + 1;
    }
    return kept;
}

} // namespace

RoundHistory::RoundHistory(BoardSolver *solver, QObject *parent)
    : QObject(parent), m_solver(solver)
{
}

void RoundHistory::startGame()
{
    m_rounds.clear();
    m_roundsListed = 0;
    m_playing.reset();
    m_playingOwn.clear();
    m_rowsNumber = 0;
    m_rows.clear();
    Q_EMIT roundsChanged();
}

void RoundHistory::boardDealt(const BoardCells &cells)
{
    m_playing = Round();
    m_playing->cells = cells;
    m_playing->dealt = QDateTime::currentDateTimeUtc();
    m_playingOwn.clear();
}

void RoundHistory::wordAccepted(const QByteArray &word)
{
    if (!m_playing || !isPlayableWord(word) || m_playingOwn.contains(word)
        || m_playing->ownWords.size() + word.size() + 1 > MaxListBytes)
        return;
    m_playingOwn.insert(word);
    m_playing->ownWords += word + '+';
}

void RoundHistory::roundListed(const QByteArray &list, int minLetters)
{
    if (!m_playing)
        return; // a list for a board this copy never saw
    Round round = std::move(*m_playing);
    m_playing.reset();
    m_playingOwn.clear();
    round.number = ++m_roundsListed;
    round.minLetters = minLetters;
    round.tableWords = keptWords(list);
    m_rounds.append(std::move(round));
    if (m_rounds.size() > MaxRounds)
        m_rounds.removeFirst();
    Q_EMIT roundsChanged();
}

void RoundHistory::loadRounds(QList<Round> rounds)
{
    startGame();
    // A recorded game is read from a file, which may have been changed since: it is bounded
    // and cleaned as the host's messages are.
    if (rounds.size() > MaxRounds)
        rounds.remove(0, rounds.size() - MaxRounds);
    for (Round &round : rounds) {
        round.number = ++m_roundsListed;
        round.ownWords = keptWords(round.ownWords);
        round.tableWords = keptWords(round.tableWords);
    }
    m_rounds = std::move(rounds);
    Q_EMIT roundsChanged();
}

const QList<RoundHistory::Row> &RoundHistory::rows(int index)
{
    const Round &round = m_rounds[index];
    if (m_rowsNumber != round.number) {
        m_rows = computeRows(round);
        m_rowsNumber = round.number;
    }
    return m_rows;
}

QList<RoundHistory::Row> RoundHistory::computeRows(const Round &round) const
{
    const QByteArrayList own = wordsOf(round.ownWords);
    const QByteArrayList listed = wordsOf(round.tableWords);
    const QSet<QByteArray> mine(own.begin(), own.end());
    QSet<QByteArray> table(listed.begin(), listed.end());
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
    // Words this copy's list lacks, the player's own first: the search has a bounded budget.
    PathFinder paths(round.cells);
    QList<Row> notOnBoard;
    const qsizetype found = rows.size();
    for (const QByteArrayList *words : {&own, &listed}) {
        for (const QByteArray &word : *words) {
            if (shown.contains(word))
                continue;
            shown.insert(word);
            QList<QPoint> path = paths.find(word);
            if (path.isEmpty())
                notOnBoard.append({word, 0, Finder::NotOnBoard, {}});
            else
                rows.append({word, GameRules::scoreForLetters(int(word.size())), mine.contains(word) ? Finder::Me : Finder::Table,
                             std::move(path)});
        }
    }
    if (rows.size() > found)
        std::sort(rows.begin(), rows.end(), longestFirst);
    std::sort(notOnBoard.begin(), notOnBoard.end(), longestFirst);
    rows.append(std::move(notOnBoard));
    return rows;
}

RoundHistory::Summary RoundHistory::summary(int index)
{
    Summary s;
    for (const Row &row : rows(index)) {
        if (row.finder == Finder::NotOnBoard) {
            ++s.notOnBoard;
            continue;
        }
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
    QString text = QStringLiteral("You found %1 of %2 words, %3 of %4 points; the table found %5")
                       .arg(s.myWords)
                       .arg(s.words)
                       .arg(s.myPoints)
                       .arg(s.points)
                       .arg(s.tableWords);
    if (s.notOnBoard > 0)
        text += QStringLiteral("; not on this board: %1").arg(s.notOnBoard);
    return text;
}
