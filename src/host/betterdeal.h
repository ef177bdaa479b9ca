#pragma once

class Board;
class BoardSolver;
class QRandomGenerator;

// "Better Boards": the host deals again, each time with the ordinary deal, until the board
// holds enough words of the game's minimum length, so a round is never spent on a board with
// next to nothing on it. Gives up after MaxDeals; the last deal then stands.
namespace BetterDeal {

constexpr int MaxDeals = 50;
// Words a 4x4 board must hold; other sizes in step with their number of tiles.
constexpr int FloorFor16Tiles = 30;

int floorFor(int tiles);

// Deals into `board` and answers how many deals it took (1 to MaxDeals).
int deal(Board &board, int sizeCode, int minLetters, QRandomGenerator &rng, BoardSolver &solver);

} // namespace BetterDeal
