#pragma once

#include "solver/boardsolver.h"

#include <QByteArray>

#include <optional>

// A board as the history keeps it, in text that SQLite compares and indexes as it is.
namespace RecordedBoard {

// The whole 10 x 10 grid column by column (cell (c, r) at c * 10 + r): "a".."z" for the
// letters, "." for every other code. Exactly 100 characters.
QByteArray gridText(const BoardCells &cells);
// Back from gridText(); anything that is not 100 such characters is no board.
std::optional<BoardCells> cellsFromGrid(const QByteArray &grid);

// The square of tiles a board is dealt on, the same wherever on the grid it lies: its side and
// its letters row by row, top to bottom, each row left to right, in small letters ("." for a
// hole, which a dealt board never has). An empty board has side 0.
struct Square {
    int side = 0;
    QByteArray letters;
    friend bool operator==(const Square &, const Square &) = default;
};
Square squareOf(const BoardCells &cells);

} // namespace RecordedBoard
