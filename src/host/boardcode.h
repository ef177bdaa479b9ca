#pragma once

#include "host/board.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// A board written as a short text a player can paste into a chat or type by hand: the board's
// side, the game's minimum word length and the letters, closed by a check character.
//
//   44-359QC-ZXKCY-Y3CSP-UV      a 4X4 board (TOLS / ANER / DPIE / GMCA), 4 letters at least
//
// - Symbols: the 31 characters 2-9 and A-Z without I, L and O, so nothing in a code can be
//   taken for anything else (no 0/O, no 1/I/L). Read in either case; dashes and spaces are
//   ignored wherever they stand, so a code may be typed in any grouping.
// - Character 1: the side, "4" to "9", or "X" for 10X10. Character 2: the minimum, "3" to "7".
// - Then one character per tile, row by row from the top, each row from the left. Tile i
//   (from 0) holding letter v (a = 0 ... z = 25) is written as symbol (v + 7i + 13) mod 31:
//   the shift by place keeps the letters from showing through, so a code in a chat gives
//   nobody a head start. The five symbols a place never uses for a letter make a typing
//   slip there known at once.
// - Last, the check character c: with every symbol read as its place in the list above
//   (2 is 0 ... Z is 30) and weights w(j) = (j mod 30) + 1 for the symbols from j = 0 on,
//   check included, the weighted sum is a multiple of 31. As 31 is prime and no two
//   neighbours share a weight, any one mistyped character and any two swapped neighbours
//   break the sum.
// - Written in upper case: the two header characters, a dash, then the rest in groups of
//   five. A 4X4 code has 19 characters besides its dashes, a 10X10 one 103.
//
// A code holds only boards a deal can make: a full square of letters of a dealt size. Placed
// on the grid, its letters sit exactly where a deal of that size puts them.
class BoardCode {
public:
    static constexpr int MinSide = 4;
    static constexpr int MaxSide = 10;
    static constexpr int MinLetters = 3;
    static constexpr int MaxLetters = 7;

    // `letters`: side x side small letters a..z, row by row. Nothing when that is no board a
    // code can hold (a side or minimum out of range, a hole, a character that is no letter).
    static std::optional<BoardCode> fromSquare(int side, int minLetters, QByteArrayView letters);
    // Reads a code as a player typed or pasted it. Nothing when it does not read, with one
    // line for the player in *error naming what is wrong.
    static std::optional<BoardCode> decode(QStringView text, QString *error = nullptr);

    int side() const { return m_side; }
    int minLetters() const { return m_minLetters; }
    // The board size code the game start dialog sends for this side.
    int sizeCode() const { return Board::sizeCodeForSide(m_side); }
    // Small letters, row by row.
    const QByteArray &letters() const { return m_letters; }
    // The letters on the grid where a deal of this size puts them; every other cell empty.
    Board board() const;
    // The code as shown: upper case, grouped with dashes.
    QString text() const;

    friend bool operator==(const BoardCode &, const BoardCode &) = default;

private:
    BoardCode(int side, int minLetters, QByteArray letters);

    int m_side;
    int m_minLetters;
    QByteArray m_letters;
};
