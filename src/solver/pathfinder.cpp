#include "solver/pathfinder.h"

#include "words/lettercodes.h"

#include <algorithm>
#include <bit>

namespace {

constexpr int Side = 10;

using CellSet = PathFinder::CellSet;

CellSet bit(int cell) { return CellSet(1) << cell; }

// Calls `f(cell)` for every cell in the set, lowest first, while it answers true.
template <typename F>
bool eachCell(CellSet set, F &&f)
{
    for (int half = 0; half < 2; ++half) {
        auto bits = std::uint64_t(set >> (64 * half));
        while (bits) {
            const int cell = 64 * half + std::countr_zero(bits);
            bits &= bits - 1;
            if (!f(cell))
                return false;
        }
    }
    return true;
}

} // namespace

PathFinder::PathFinder(const BoardCells &cells, int boardSteps)
    : m_stepsLeft(std::max(0, boardSteps))
{
    for (int cell = 0; cell < Cells; ++cell) {
        const int code = cells[size_t(cell)];
        if (LetterCodes::isLetter(code)) {
            m_tilesOf[size_t(code - LetterCodes::FirstLetter)] |= bit(cell);
            ++m_tileCount[size_t(code - LetterCodes::FirstLetter)];
        }
        const int c = cell / Side;
        const int r = cell % Side;
        for (int dc = -1; dc <= 1; ++dc)
            for (int dr = -1; dr <= 1; ++dr)
                if ((dc || dr) && c + dc >= 0 && c + dc < Side && r + dr >= 0 && r + dr < Side)
                    m_neighbours[size_t(cell)] |= bit((c + dc) * Side + r + dr);
    }
}

QList<QPoint> PathFinder::find(QByteArrayView word, int wordSteps)
{
    QList<QPoint> path;
    if (word.isEmpty() || word.size() > MaxLetters
        || !std::all_of(word.begin(), word.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
        return path;
    m_wordStepsLeft = wordSteps;
    m_length = int(word.size());
    if (!enoughTiles(word) || !prune(word))
        return path;
    const bool found = !eachCell(m_reach[0], [this](int cell) { return !walk(cell, 0, 0); });
    if (found) {
        for (int i = 0; i < m_length; ++i)
            path.append(QPoint(m_chain[size_t(i)] / Side, m_chain[size_t(i)] % Side));
    }
    return path;
}

bool PathFinder::enoughTiles(QByteArrayView word) const
{
    std::array<int, Letters> needed{};
    for (char c : word) {
        if (++needed[size_t(c - 'A')] > m_tileCount[size_t(c - 'A')])
            return false;
    }
    return true;
}

// From the word's end back to its start: the tiles of place d's letter that touch a tile that
// can stand at place d + 1. A chain must run through these; one that may use a tile twice can
// run through any of them, so an empty place means the board cannot spell the word.
bool PathFinder::prune(QByteArrayView word)
{
    m_reach[size_t(m_length - 1)] = m_tilesOf[size_t(word[m_length - 1] - 'A')];
    for (int d = m_length - 2; d >= 0; --d) {
        const CellSet after = m_reach[size_t(d + 1)];
        CellSet here = 0;
        const bool inTime = eachCell(m_tilesOf[size_t(word[d] - 'A')], [&](int cell) {
            if (m_neighbours[size_t(cell)] & after)
                here |= bit(cell);
            return spend();
        });
        if (!inTime || !here)
            return false;
        m_reach[size_t(d)] = here;
    }
    return m_reach[0] != 0;
}

// Places `cell` at `depth`; true when the rest of the word was walked from it.
bool PathFinder::walk(int cell, int depth, CellSet used)
{
    if (!spend())
        return false;
    m_chain[size_t(depth)] = cell;
    if (depth + 1 == m_length)
        return true;
    used |= bit(cell);
    const CellSet next = m_neighbours[size_t(cell)] & m_reach[size_t(depth + 1)] & ~used;
    return !eachCell(next, [&](int n) { return !walk(n, depth + 1, used); });
}

// One step of work, if the word and the board have any left.
bool PathFinder::spend()
{
    if (m_wordStepsLeft <= 0 || m_stepsLeft <= 0)
        return false;
    --m_wordStepsLeft;
    --m_stepsLeft;
    return true;
}
