#pragma once

#include "solver/wordtree.h"

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// A board as the host deals it: 10 x 10 cell codes, column by column (cell (c, r) at
// c * 10 + r); 1..26 are letters, anything else is no tile.
using BoardCells = std::array<int, 100>;

// One word on a board: how it is spelled, one chain of tiles that spells it (board positions
// in order), and the points the host's scoring table gives for its length (no first-finder
// bonus: that depends on the table).
struct FoundWord {
    QByteArray word;
    QList<QPoint> path;
    int points = 0;
};

// Finds every word of the word list on a board by the game's rules: a chain of neighbouring
// tiles (diagonals too), no tile twice, at most 12 tiles, at least the minimum letters. One
// search from every tile walks the board and the prefix tree together and gives up on a chain
// as soon as no word starts with it.
//
// The tree is built from the dictionary's working file the first time it is needed, not at
// start-up; one solver serves the round review and the host's re-deal. Not for use from two
// threads: a search keeps its marks in the solver.
class BoardSolver {
public:
    // The tree is read from this word file when first needed.
    explicit BoardSolver(const QString &wordFile);
    explicit BoardSolver(WordTree tree);

    const WordTree &tree();
    bool treeBuilt() const { return m_tree.has_value(); }
    // Milliseconds the tree took to build (0 until it is built or when it was given).
    double buildMilliseconds() const { return m_buildMs; }

    // Every word on the board with minLetters or more letters, longest first, then in
    // alphabetical order.
    QList<FoundWord> solve(const BoardCells &cells, int minLetters);
    // How many distinct words of minLetters or more the board holds, counting no further than
    // stopAt.
    int countWords(const BoardCells &cells, int minLetters, int stopAt);

    // The board as one search sees it (in the .cpp).
    struct Search;

private:
    void prepare(const BoardCells &cells, int minLetters, Search &search);

    QString m_wordFile;
    std::optional<WordTree> m_tree;
    double m_buildMs = 0;
    // Search marks: a word's end node holds the number of the search that found it, so every
    // word is reported once without a set.
    std::vector<std::uint32_t> m_seen;
    std::uint32_t m_searchNumber = 0;
};
