#pragma once

#include <QByteArray>
#include <QRandomGenerator>

#include <array>
#include <utility>

// The host's 10x10 board. Cells are kept column by column (cell (c, r) at c * 10 + r), the
// order in which they are dealt and in which the board text lists them. Every board size is
// a square block inside the grid; all other cells hold the empty code.
class Board {
public:
    static constexpr int Side = 10;
    static constexpr int CellCount = Side * Side;
    // Each tile is one of this many equally likely draws (see letterForDraw).
    static constexpr int DrawCount = 98;

    Board();

    // Positions off the grid read as empty, so a caller never has to range-check first.
    int at(int c, int r) const;
    // Writes outside the grid are ignored.
    void set(int c, int r, int code);
    void clear();

    // First and last index (the same for columns and rows) of the playing square.
    // Draws from rng only for the Random code.
    static std::pair<int, int> squareFor(int sizeCode, QRandomGenerator &rng);
    // The same for a size that is already known; Random, like any unknown code, reads as 4X4.
    static std::pair<int, int> fixedSquareFor(int sizeCode);
    // The size code of the square of `side` tiles a side (4X4 is 4, 5X5 is 9 ...); 0 for none.
    static int sizeCodeForSide(int side);
    // The letter code of draw v (0..DrawCount-1); vowels and common letters own more draws.
    static int letterForDraw(int v);

    // Empties the grid, then fills the playing square column by column, each column top to
    // bottom, one independent draw per tile.
    void deal(int sizeCode, QRandomGenerator &rng);

    // "+c+r+code" for every cell, column 0..9 and inside it row 0..9: 300 numbers, a leading
    // "+" and no trailing separator.
    QByteArray boardText() const;

    static bool onGrid(int c, int r) { return c >= 0 && c < Side && r >= 0 && r < Side; }
    // Every cell, column by column.
    const std::array<int, CellCount> &cells() const { return m_cells; }

private:
    std::array<int, CellCount> m_cells;
};
