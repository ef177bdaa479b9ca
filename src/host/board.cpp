#include "host/board.h"

#include "words/lettercodes.h"

#include <iterator>

namespace {

// Board size codes as the game start dialog sends them.
enum SizeCode { Size4 = 4, Size6 = 5, Size8 = 6, Size10 = 7, SizeRandom = 8, Size5 = 9, Size7 = 10, Size9 = 11 };

// Upper bound (exclusive) of the draws owned by each letter, in draw order.
struct DrawRun {
    int end;
    int code;
};
constexpr DrawRun drawRuns[] = {
    {9, 1},   {21, 5},  {30, 9},  {38, 15}, {41, 21}, {46, 4},  {49, 7},  {51, 8},
    {55, 12}, {57, 13}, {63, 14}, {65, 16}, {71, 18}, {75, 19}, {81, 20}, {83, 25},
    {85, 2},  {87, 3},  {89, 6},  {90, 10}, {91, 11}, {93, 23}, {94, 17}, {96, 22},
    {97, 24}, {98, 26},
};
static_assert(drawRuns[std::size(drawRuns) - 1].end == Board::DrawCount);

// One entry per draw, so a deal costs one look-up per tile.
constexpr std::array<int, Board::DrawCount> drawTable = [] {
    std::array<int, Board::DrawCount> table{};
    int v = 0;
    for (const DrawRun &run : drawRuns) {
        while (v < run.end)
            table[v++] = run.code;
    }
    return table;
}();

} // namespace

Board::Board()
{
    clear();
}

int Board::at(int c, int r) const
{
    return onGrid(c, r) ? m_cells[c * Side + r] : LetterCodes::Empty;
}

void Board::set(int c, int r, int code)
{
    if (onGrid(c, r))
        m_cells[c * Side + r] = code;
}

void Board::clear()
{
    m_cells.fill(LetterCodes::Empty);
}

std::pair<int, int> Board::squareFor(int sizeCode, QRandomGenerator &rng)
{
    if (sizeCode == SizeRandom) {
        // Random picks among the centred even sizes only.
        static constexpr int evenSizes[] = {Size4, Size6, Size8, Size10};
        sizeCode = evenSizes[rng.bounded(4)];
    }
    return fixedSquareFor(sizeCode);
}

std::pair<int, int> Board::fixedSquareFor(int sizeCode)
{
    // The odd sizes sit one cell off the centre (more empty cells right and below); clients
    // turn their view about that square, so the placement is part of the protocol.
    switch (sizeCode) {
    case Size5: return {2, 6};
    case Size6: return {2, 7};
    case Size7: return {1, 7};
    case Size8: return {1, 8};
    case Size9: return {0, 8};
    case Size10: return {0, 9};
    case Size4:
    default: return {3, 6};
    }
}

int Board::sizeCodeForSide(int side)
{
    switch (side) {
    case 4: return Size4;
    case 5: return Size5;
    case 6: return Size6;
    case 7: return Size7;
    case 8: return Size8;
    case 9: return Size9;
    case 10: return Size10;
    default: return 0;
    }
}

int Board::letterForDraw(int v)
{
    return v >= 0 && v < DrawCount ? drawTable[v] : LetterCodes::Empty;
}

void Board::deal(int sizeCode, QRandomGenerator &rng)
{
    clear();
    const auto [first, last] = squareFor(sizeCode, rng);
    for (int c = first; c <= last; ++c) {
        for (int r = first; r <= last; ++r)
            m_cells[c * Side + r] = letterForDraw(int(rng.bounded(quint32(DrawCount))));
    }
}

QByteArray Board::boardText() const
{
    QByteArray text;
    text.reserve(CellCount * 8);
    for (int c = 0; c < Side; ++c) {
        for (int r = 0; r < Side; ++r) {
            text += '+';
            text += QByteArray::number(c);
            text += '+';
            text += QByteArray::number(r);
            text += '+';
            text += QByteArray::number(m_cells[c * Side + r]);
        }
    }
    return text;
}
