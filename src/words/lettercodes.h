#pragma once

#include <QByteArray>

// Cell codes shared by the host's board and the client's view: 1..26 are the letters a..z,
// 27 and 28 are the client's tile frames, 29 is an empty cell.
namespace LetterCodes {

constexpr int FirstLetter = 1;
constexpr int LastLetter = 26;
constexpr int LastTileFrame = 27;
constexpr int PathFrame = 28;
constexpr int Empty = 29;

constexpr bool isLetter(int code) { return code >= FirstLetter && code <= LastLetter; }

} // namespace LetterCodes

// The letter string of a cell: "a".."z" for a tile, "*" for the frames and the empty cell,
// "t" for any code that is never dealt.
QByteArray convertoletter(int code);
