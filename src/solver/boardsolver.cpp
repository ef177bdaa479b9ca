#include "solver/boardsolver.h"

#include "host/gamerules.h"
#include "words/lettercodes.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

constexpr int Side = 10;
constexpr int Cells = Side * Side;
constexpr int MaxLetters = WordTree::MaxLetters;

using CellSet = unsigned __int128; // bit i: cell i is in the chain

QPoint position(int cell) { return QPoint(cell / Side, cell % Side); }

int letterAt(const BoardCells &cells, int cell)
{
    const int code = cells[size_t(cell)];
    return LetterCodes::isLetter(code) ? code - LetterCodes::FirstLetter : -1;
}

} // namespace

// The board reduced to what a search needs: each tile's letter and its neighbouring tiles.
struct BoardSolver::Search {
    const WordTree *tree = nullptr;
    std::array<int, Cells> letter{};
    std::array<std::array<std::int8_t, 8>, Cells> next{};
    std::array<int, Cells> nextCount{};
    int minLetters = 1;
    CellSet used = 0;
    std::array<std::int8_t, MaxLetters> chain{};
};

namespace {

// Extends the chain ending before `cell` (depth tiles long, at tree node `node`) by `cell`.
// `found(endNode, length)` is called for each word end; it answers whether to go on.
template <typename Found>
bool walk(BoardSolver::Search &s, int cell, int node, int depth, Found &found)
{
    node = s.tree->child(node, s.letter[size_t(cell)]);
    if (node == WordTree::NoNode)
        return true;
    s.chain[size_t(depth)] = std::int8_t(cell);
    const int length = depth + 1;
    if (length >= s.minLetters && s.tree->isWord(node) && !found(node, length))
        return false;
    if (length == MaxLetters || !s.tree->hasChildren(node))
        return true;
    const CellSet bit = CellSet(1) << cell;
    s.used |= bit;
    bool goOn = true;
    for (int i = 0; i < s.nextCount[size_t(cell)] && goOn; ++i) {
        const int n = s.next[size_t(cell)][size_t(i)];
        if (!(s.used & (CellSet(1) << n)))
            goOn = walk(s, n, node, length, found);
    }
    s.used &= ~bit;
    return goOn;
}

template <typename Found>
void walkAll(BoardSolver::Search &s, Found &found)
{
    for (int cell = 0; cell < Cells; ++cell) {
        if (s.letter[size_t(cell)] >= 0 && !walk(s, cell, 0, 0, found))
            return;
    }
}

} // namespace

BoardSolver::BoardSolver(const QString &wordFile)
    : m_wordFile(wordFile)
{
}

BoardSolver::BoardSolver(WordTree tree)
    : m_tree(std::move(tree))
{
}

const WordTree &BoardSolver::tree()
{
    if (!m_tree) {
        QElapsedTimer clock;
        clock.start();
        m_tree = WordTree::fromRecordFile(m_wordFile);
        m_buildMs = double(clock.nsecsElapsed()) / 1e6;
    }
    return *m_tree;
}

void BoardSolver::prepare(const BoardCells &cells, int minLetters, Search &s)
{
    s.tree = &tree();
    s.minLetters = std::max(1, minLetters);
    for (int cell = 0; cell < Cells; ++cell)
        s.letter[size_t(cell)] = letterAt(cells, cell);
    for (int cell = 0; cell < Cells; ++cell) {
        int count = 0;
        const QPoint p = position(cell);
        for (int dc = -1; dc <= 1; ++dc) {
            for (int dr = -1; dr <= 1; ++dr) {
                const int c = p.x() + dc;
                const int r = p.y() + dr;
                if ((dc || dr) && c >= 0 && c < Side && r >= 0 && r < Side && s.letter[size_t(c * Side + r)] >= 0)
                    s.next[size_t(cell)][size_t(count++)] = std::int8_t(c * Side + r);
            }
        }
        s.nextCount[size_t(cell)] = count;
    }
    if (m_seen.size() != size_t(s.tree->nodeCount()) || ++m_searchNumber == 0) {
        m_seen.assign(size_t(s.tree->nodeCount()), 0);
        m_searchNumber = 1;
    }
}

QList<FoundWord> BoardSolver::solve(const BoardCells &cells, int minLetters)
{
    QList<FoundWord> words;
    if (minLetters > MaxLetters)
        return words;
    Search s;
    prepare(cells, minLetters, s);
    auto found = [&](int node, int length) {
        if (m_seen[size_t(node)] == m_searchNumber)
            return true;
        m_seen[size_t(node)] = m_searchNumber;
        FoundWord w;
        w.word.resize(length);
        w.path.reserve(length);
        for (int i = 0; i < length; ++i) {
            const int cell = s.chain[size_t(i)];
            w.word[i] = char('A' + s.letter[size_t(cell)]);
            w.path.append(position(cell));
        }
        w.points = GameRules::scoreForLetters(length);
        words.append(std::move(w));
        return true;
    };
    walkAll(s, found);
    std::sort(words.begin(), words.end(), [](const FoundWord &a, const FoundWord &b) {
        return a.word.size() != b.word.size() ? a.word.size() > b.word.size() : a.word < b.word;
    });
    return words;
}

int BoardSolver::countWords(const BoardCells &cells, int minLetters, int stopAt)
{
    if (minLetters > MaxLetters || stopAt <= 0)
        return 0;
    Search s;
    prepare(cells, minLetters, s);
    int count = 0;
    auto found = [&](int node, int) {
        if (m_seen[size_t(node)] == m_searchNumber)
            return true;
        m_seen[size_t(node)] = m_searchNumber;
        return ++count < stopAt;
    };
    walkAll(s, found);
    return count;
}
