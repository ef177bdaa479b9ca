#include "records/recordedboard.h"

#include <algorithm>

namespace {

constexpr int Side = 10;

bool isLetter(int code) { return code >= 1 && code <= 26; }

} // namespace

QByteArray RecordedBoard::gridText(const BoardCells &cells)
{
    QByteArray text(Side * Side, '.');
    for (int i = 0; i < Side * Side; ++i) {
        if (isLetter(cells[size_t(i)]))
            text[i] = char('a' + cells[size_t(i)] - 1);
    }
    return text;
}

std::optional<BoardCells> RecordedBoard::cellsFromGrid(const QByteArray &grid)
{
    if (grid.size() != Side * Side)
        return std::nullopt;
    BoardCells cells{};
    for (int i = 0; i < Side * Side; ++i) {
        const char c = grid[i];
        if (c >= 'a' && c <= 'z')
            cells[size_t(i)] = c - 'a' + 1;
        else if (c == '.')
            cells[size_t(i)] = 29; // the empty cell
        else
            return std::nullopt;
    }
    return cells;
}

RecordedBoard::Square RecordedBoard::squareOf(const BoardCells &cells)
{
    int first = Side, lastColumn = -1, top = Side, bottom = -1;
    for (int c = 0; c < Side; ++c) {
        for (int r = 0; r < Side; ++r) {
            if (!isLetter(cells[size_t(c * Side + r)]))
                continue;
            first = std::min(first, c);
            lastColumn = std::max(lastColumn, c);
            top = std::min(top, r);
            bottom = std::max(bottom, r);
        }
    }
    if (lastColumn < 0)
        return {};
    // A crafted board need not be square: the square holds it all, with holes where it has none.
    const int side = std::max(lastColumn - first, bottom - top) + 1;
    Square square{side, QByteArray()};
    square.letters.reserve(side * side);
    for (int r = top; r < top + side; ++r) {
        for (int c = first; c < first + side; ++c) {
            const int code = c < Side && r < Side ? cells[size_t(c * Side + r)] : 0;
            square.letters.append(isLetter(code) ? char('a' + code - 1) : '.');
        }
    }
    return square;
}
