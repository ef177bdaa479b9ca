#include "host/betterdeal.h"

#include "host/board.h"
#include "solver/boardsolver.h"
#include "words/lettercodes.h"

#include <algorithm>

namespace BetterDeal {

int floorFor(int tiles, int minLetters)
{
    // Per 16 tiles, for minimums 3 to 7; other minimums take the nearest.
    constexpr int PerSixteenTiles[] = {48, 30, 14, 4, 1};
    const int per16 = PerSixteenTiles[std::clamp(minLetters, 3, 7) - 3];
    return std::max(1, (per16 * std::max(0, tiles) + 8) / 16);
}

int deal(Board &board, int sizeCode, int minLetters, QRandomGenerator &rng, BoardSolver &solver)
{
    for (int deals = 1;; ++deals) {
        board.deal(sizeCode, rng);
        if (deals == MaxDeals)
            return deals;
        // Random sizes pick their size anew each deal, so the floor follows the tiles dealt.
        const BoardCells &cells = board.cells();
        const int tiles = int(std::count_if(cells.begin(), cells.end(), LetterCodes::isLetter));
        const int floor = floorFor(tiles, minLetters);
        if (solver.countWords(cells, minLetters, floor) >= floor)
            return deals;
    }
}

} // namespace BetterDeal
