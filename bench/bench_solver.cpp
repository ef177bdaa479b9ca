// Every word of a board: the solver (one walk of board and prefix tree together) against the
// reference measured in the same run, the way simple solvers do it: for each word of the list,
// a depth-first search for that word on the board. Boards are fixed-seed deals of 4x4, 6x6 and
// 10x10 with the real word list at the default minimum of 4 letters. Also prints the time to
// build the tree from the working word file, its memory, and how many words deals hold (the
// figures the re-deal's floors are set from).
//
// Then the round review's rows of crafted rounds a hostile host can send, beside an honest
// 10x10 round: a board of 100 A tiles with a 64 KB list of words of up to 12 letters, and a
// board built so that pruning cannot settle its listed words (a B whose one A neighbour every
// word needs on both sides), which only the path search's step budget ends; and the time that
// budget takes when it is spent whole.
#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/board.h"
#include "words/lettercodes.h"
#include "solver/boardsolver.h"
#include "solver/pathfinder.h"
#include "solver/roundhistory.h"
#include "words/tdictn.h"

namespace {

constexpr int MinLetters = 4;
constexpr int BoardsPerSize = 16;

struct SizeCase {
    int code;
    const char *label;
    double aimMs;
};
const SizeCase sizes[] = {{4, "4x4", 0.1}, {5, "6x6", -1}, {7, "10x10", 5.0}};

BoardCells cellsOf(const Board &board)
{
    BoardCells cells{};
    for (int c = 0; c < Board::Side; ++c)
        for (int r = 0; r < Board::Side; ++r)
            cells[size_t(c * Board::Side + r)] = board.at(c, r);
    return cells;
}

std::vector<BoardCells> deals(int sizeCode)
{
    QRandomGenerator rng(quint32(1000 + sizeCode));
    std::vector<BoardCells> boards;
    Board board;
    for (int i = 0; i < BoardsPerSize; ++i) {
        board.deal(sizeCode, rng);
        boards.push_back(cellsOf(board));
    }
    return boards;
}

// A plain depth-first search for `word` from `cell` at place `depth`.
bool spellFrom(const BoardCells &cells, int cell, const QByteArray &word, int depth, unsigned __int128 used)
{
    if (cells[size_t(cell)] != word[depth] - 'A' + 1 || (used & ((unsigned __int128)1 << cell)))
        return false;
    if (depth + 1 == word.size())
        return true;
    used |= (unsigned __int128)1 << cell;
    const int c0 = cell / Board::Side;
    const int r0 = cell % Board::Side;
    for (int c = std::max(0, c0 - 1); c <= std::min(Board::Side - 1, c0 + 1); ++c)
        for (int r = std::max(0, r0 - 1); r <= std::min(Board::Side - 1, r0 + 1); ++r)
            if (spellFrom(cells, c * Board::Side + r, word, depth + 1, used))
                return true;
    return false;
}

// The reference: every word of the list looked for on its own.
struct Reference {
    QByteArrayList words; // spellable, at least MinLetters long

    int solve(const BoardCells &cells) const
    {
        int found = 0;
        for (const QByteArray &w : words) {
            for (int cell = 0; cell < Board::Side * Board::Side; ++cell) {
                if (spellFrom(cells, cell, w, 0, 0)) {
                    ++found;
                    break;
                }
            }
        }
        return found;
    }
};

// A round a hostile host sends: its board and its list.
struct CraftedRound {
    const char *label;
    BoardCells cells;
    QByteArray list;
};

// Words over `letters` of `length` letters, counting up like numbers, skipping the first `skip`.
QByteArrayList wordsOver(const QByteArray &letters, int length, int count, int skip = 0)
{
    QByteArrayList words;
    for (int n = skip; words.size() < count; ++n) {
        QByteArray w(length, letters[0]);
        for (int i = length - 1, rest = n; i >= 0 && rest; --i, rest /= int(letters.size()))
            w[i] = letters[rest % letters.size()];
        words << w;
    }
    return words;
}

// The list as a host sends it: words joined by "+", at most 64 KB.
QByteArray listOf(const QByteArrayList &words)
{
    QByteArray list;
    for (const QByteArray &w : words) {
        if (list.size() + w.size() + 1 > 64 * 1024)
            break;
        list += (list.isEmpty() ? "" : "+") + w;
    }
    return list;
}

std::vector<CraftedRound> craftedRounds()
{
    std::vector<CraftedRound> rounds;
    BoardCells allA;
    allA.fill(1);
    // Nine A tiles and three letters of B..Z: 5,000 words of 12 letters, the longest a word has.
    QByteArrayList aWords;
    for (const QByteArray &tail : wordsOver("BCDEFGHIJKLMNOPQRSTUVWXYZ", 3, 5000 - 12))
        aWords << "AAAAAAAAA" + tail;
    for (int n = 1; n <= 12; ++n)
        aWords << QByteArray(n, 'A');
    rounds.push_back({"100 A tiles, 5,000 listed words", allA, listOf(aWords)});

    // A B in a corner whose only A neighbour is (1, 0); every A^k B A^m needs that tile twice.
    BoardCells trap = allA;
    trap[0] = 2;
    trap[1] = trap[11] = LetterCodes::Empty;
    QByteArrayList trapWords;
    for (int length = 3; length <= 12; ++length)
        for (int k = 1; k + 1 < length; ++k)
            trapWords << QByteArray(k, 'A') + 'B' + QByteArray(length - k - 1, 'A');
    trapWords += wordsOver("AB", 12, 4000, 1);
    std::sort(trapWords.begin(), trapWords.end());
    trapWords.erase(std::unique(trapWords.begin(), trapWords.end()), trapWords.end());
    rounds.push_back({"a trap for the path search", trap, listOf(trapWords)});
    return rounds;
}

// The review's rows of one round, worked out afresh as when the round is first shown.
int reviewRows(BoardSolver &solver, const BoardCells &cells, const QByteArray &list)
{
    RoundHistory history(&solver);
    history.boardDealt(cells);
    history.roundListed(list, MinLetters);
    return int(history.rows(0).size());
}

// The most one round's path searches can cost: the trap word again and again until the
// board's steps are spent.
void wholeBudget(benchmark::State &state, const CraftedRound *trap)
{
    for (auto _ : state) {
        PathFinder paths(trap->cells);
        while (paths.stepsLeft() > 0)
            benchmark::DoNotOptimize(paths.find("AAAAAAAAAABA"));
    }
}

void review(benchmark::State &state, BoardSolver *solver, const CraftedRound *round)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(reviewRows(*solver, round->cells, round->list));
}

struct Shared {
    BoardSolver *solver = nullptr;
    const Reference *reference = nullptr;
    std::map<int, std::vector<BoardCells>> boards;
};

void solve(benchmark::State &state, Shared *s, int code)
{
    const auto &boards = s->boards[code];
    size_t i = 0;
    for (auto _ : state) {
        auto words = s->solver->solve(boards[i], MinLetters);
        benchmark::DoNotOptimize(words.data());
        i = (i + 1) % boards.size();
    }
}

void reference(benchmark::State &state, Shared *s, int code)
{
    const auto &boards = s->boards[code];
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s->reference->solve(boards[i]));
        i = (i + 1) % boards.size();
    }
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("English"));
    TDictn dictionary(working, nullptr);

    // Build: five times from the working file, the median counts.
    std::vector<double> buildMs;
    for (int i = 0; i < 5; ++i) {
        BoardSolver fresh(working);
        fresh.tree();
        buildMs.push_back(fresh.buildMilliseconds());
    }
    BoardSolver solver(working);
    const WordTree &tree = solver.tree();

    QFile file(working);
    if (!file.open(QIODevice::ReadOnly) || tree.wordCount() == 0) {
        std::fprintf(stderr, "no working word file\n");
        return 1;
    }
    // The reference reads the same records, through the dictionary's own lookup rules.
    QElapsedTimer listClock;
    listClock.start();
    const QByteArray records = file.readAll();
    Reference ref;
    for (qsizetype i = 0; i + TDictn::RecordSize <= records.size(); i += TDictn::RecordSize) {
        const QByteArray w = records.mid(i + 1, TDictn::RecordSize - 1).trimmed();
        if (w.size() >= MinLetters && tree.contains(w) && (ref.words.isEmpty() || ref.words.last() != w))
            ref.words.append(w);
    }
    const double listMs = double(listClock.nsecsElapsed()) / 1e6;

    Shared shared;
    shared.solver = &solver;
    shared.reference = &ref;
    bool same = true;
    for (const SizeCase &sc : sizes) {
        shared.boards[sc.code] = deals(sc.code);
        for (const BoardCells &cells : shared.boards[sc.code])
            same = same && solver.solve(cells, MinLetters).size() == ref.solve(cells);
        benchmark::RegisterBenchmark((std::string("solve/") + sc.label).c_str(), solve, &shared, sc.code);
        benchmark::RegisterBenchmark((std::string("reference/") + sc.label).c_str(), reference, &shared, sc.code)
            ->Unit(benchmark::kMillisecond);
    }

    // The honest round: a 10x10 deal whose list holds every word this copy's list finds.
    const BoardCells honestCells = shared.boards[7].front();
    QByteArrayList honestWords;
    for (const FoundWord &w : solver.solve(honestCells, MinLetters))
        honestWords << w.word;
    std::sort(honestWords.begin(), honestWords.end());
    std::vector<CraftedRound> rounds = craftedRounds();
    rounds.push_back({"honest 10x10", honestCells, listOf(honestWords)});
    for (const CraftedRound &round : rounds)
        benchmark::RegisterBenchmark((std::string("review/") + round.label).c_str(), review, &solver, &round)
            ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("review/path search budget", wholeBudget, &rounds[1])->Unit(benchmark::kMillisecond);

    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\ntree: %d words of 1 to 12 letters, %d nodes, %.1f MB; build from the working file "
                "%.1f ms median of 5 (aim <= 150 ms); reference: reading the same file into a word "
                "list %.1f ms\n",
                tree.wordCount(), tree.nodeCount(), double(tree.memoryBytes()) / (1024.0 * 1024.0),
                median(buildMs), listMs);
    std::printf("solver and reference agree on every board: %s\n", same ? "yes" : "NO");
    for (const SizeCase &sc : sizes) {
        const double ms = reporter.realNs["solve/" + std::string(sc.label)] / 1e6;
        const double refMs = reporter.realNs["reference/" + std::string(sc.label)] / 1e6;
        std::vector<double> counts;
        for (const BoardCells &cells : shared.boards[sc.code])
            counts.push_back(double(solver.solve(cells, MinLetters).size()));
        char aim[32] = "";
        if (sc.aimMs > 0)
            std::snprintf(aim, sizeof aim, " (aim <= %.1f ms)", sc.aimMs);
        std::printf("%-6s all words: %.4f ms%s; reference per-word search %.1f ms, %.0fx slower; "
                    "median %.0f words at %d+ letters\n",
                    sc.label, ms, aim, refMs, ms > 0 ? refMs / ms : 0.0, median(counts), MinLetters);
    }
    for (const CraftedRound &round : rounds) {
        const std::string name = "review/" + std::string(round.label);
        std::printf("review rows, %-32s %.2f ms (aim <= 50 ms), CPU %.2f ms, %d rows, list %.1f KB\n",
                    (std::string(round.label) + ":").c_str(), reporter.realNs[name] / 1e6, reporter.cpuNs[name] / 1e6,
                    reviewRows(solver, round.cells, round.list), double(round.list.size()) / 1024.0);
    }
    std::printf("path search, a round's whole budget of %d steps: %.2f ms, CPU %.2f ms\n", PathFinder::BoardSteps,
                reporter.realNs["review/path search budget"] / 1e6, reporter.cpuNs["review/path search budget"] / 1e6);
    return same ? 0 : 1;
}
