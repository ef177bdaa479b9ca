#pragma once

class Board;
class BoardSolver;
class QRandomGenerator;

// "Better Boards": the host deals again, each time with the ordinary deal, until the board
// holds enough words of the game's minimum length, so a round is never spent on a board with
// next to nothing on it. Gives up after MaxDeals; the last deal then stands.
namespace BetterDeal {

constexpr int MaxDeals = 50;
// Words of at least `minLetters` letters a board of `tiles` tiles must hold: 30 on a 4x4 at
// four letters, other sizes in step with their number of tiles. Longer minimums lower the
// floor in step with how many such words a plain 4x4 deal holds on average (about 114, 72,
// 33, 10 and 2 words for minimums 3 to 7), so that at every minimum the floor turns away the
// poorest deals and not nearly all of them. Never below one word.
int floorFor(int tiles, int minLetters);

// Deals into `board` and answers how many deals it took (1 to MaxDeals).
int deal(Board &board, int sizeCode, int minLetters, QRandomGenerator &rng, BoardSolver &solver);

} // namespace BetterDeal
