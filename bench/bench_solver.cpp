// Every word of a board: the solver (one walk of board and prefix tree together) against the
// reference measured in the same run, the way simple solvers do it: for each word of the list,
// a depth-first search for that word on the board. Boards are fixed-seed deals of 4x4, 6x6 and
// 10x10 with the real word list at the default minimum of 4 letters. Also prints the time to
// build the tree from the working word file, its memory, and how many words deals hold (the
// figures the re-deal's floors are set from).
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
#include "solver/boardsolver.h"
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

// The reference: every word of the list looked for on its own.
struct Reference {
    QByteArrayList words; // spellable, at least MinLetters long

    int solve(const BoardCells &cells) const
    {
        int found = 0;
        for (const QByteArray &w : words)
            found += BoardSolver::findPath(cells, w).isEmpty() ? 0 : 1;
        return found;
    }
};

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
    return same ? 0 : 1;
}
