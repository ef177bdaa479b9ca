#pragma once

#include "solver/boardsolver.h"

#include <QByteArrayView>
#include <QList>
#include <QPoint>

#include <array>
#include <cstdint>

// Chains of tiles for words given one by one on one board: the path the round review draws for
// a word the table found that this copy's word list lacks.
//
// A plain depth-first search is exponential in the word's length when letters repeat: on a
// board of a hundred A tiles, AAAAAAAAAB tries every chain of nine A tiles before it gives up,
// which is billions of steps. So every search is first pruned by what the board can give at
// all (enough tiles of each letter; for each place in the word, the tiles from which the rest
// of the word can still be walked, tiles used twice allowed), which settles every word a board
// cannot spell at once and leads the walk straight to a chain for most words it can. What
// the pruning cannot settle is capped: a word gets at most `WordSteps` steps of work and a board
// all its words together at most `BoardSteps`. A word whose steps run out counts as not on the
// board; only a crafted board comes near either cap.
class PathFinder {
public:
    // About 0.1 ms of work.
    static constexpr int WordSteps = 20000;
    // About 10 ms of work: the most one round's review spends on its table's words.
    static constexpr int BoardSteps = 1000000;

    explicit PathFinder(const BoardCells &cells, int boardSteps = BoardSteps);

    // One chain of tiles that spells `word` (capitals, at most 12 letters) as board positions
    // (column, row) in order, or an empty list when there is none, or none was found within
    // the steps left.
    QList<QPoint> find(QByteArrayView word, int wordSteps = WordSteps);
    // Steps left for this board's searches.
    int stepsLeft() const { return m_stepsLeft; }

    using CellSet = unsigned __int128; // bit i: cell i

private:
    static constexpr int Cells = 100;
    static constexpr int Letters = 26;
    static constexpr int MaxLetters = WordTree::MaxLetters;

    bool enoughTiles(QByteArrayView word) const;
    bool prune(QByteArrayView word);
    bool walk(int cell, int depth, CellSet used);
    bool spend();

    std::array<CellSet, Letters> m_tilesOf{};   // the cells holding each letter
    std::array<int, Letters> m_tileCount{};
    std::array<CellSet, Cells> m_neighbours{};  // the cells around each cell
    // For the word being searched: m_reach[d] holds the tiles that can stand at place d.
    std::array<CellSet, MaxLetters> m_reach{};
    std::array<int, MaxLetters> m_chain{};
    int m_length = 0;
    int m_stepsLeft;
    int m_wordStepsLeft = 0;
};
