#pragma once

#include "solver/boardsolver.h"
#include "words/lettercodes.h"

#include <QByteArray>
#include <QList>

// A dealt board given by its rows: rows[r] holds the capitals of row 3 + r from column 3 on,
// where a 4x4 board stands; every other cell is empty.
inline BoardCells boardFromRows(const QList<QByteArray> &rows)
{
    BoardCells cells;
    cells.fill(LetterCodes::Empty);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            cells[size_t((3 + c) * 10 + 3 + r)] = rows[r][c] - 'A' + 1;
    return cells;
}
