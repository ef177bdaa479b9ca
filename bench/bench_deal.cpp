// Deals per second for each board size code, beside a reference measured in the same run:
// filling 100 cells with uniform draws from the same generator. The ratio (deal CPU time over
// reference CPU time) holds on a busy, shared machine where the absolute figures do not.
#include <benchmark/benchmark.h>

#include <QRandomGenerator>

#include "host/board.h"

#include <array>
#include <cstdio>
#include <map>
#include <string>

#include <unistd.h>

namespace {

void referenceFill(benchmark::State &state)
{
    QRandomGenerator rng(1);
    std::array<int, Board::CellCount> cells{};
    for (auto _ : state) {
        for (int &cell : cells)
            cell = int(rng.bounded(quint32(Board::DrawCount)));
        benchmark::DoNotOptimize(cells.data());
        benchmark::ClobberMemory();
    }
    state.counters["fills/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void deal(benchmark::State &state)
{
    QRandomGenerator rng(1);
    Board board;
    const int sizeCode = int(state.range(0));
    for (auto _ : state) {
        board.deal(sizeCode, rng);
        benchmark::DoNotOptimize(&board);
        benchmark::ClobberMemory();
    }
    state.counters["deals/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(referenceFill);
BENCHMARK(deal)->DenseRange(4, 11)->ArgName("size");

// Keeps the CPU time per iteration of every plain run so the ratios can be printed last.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colour only on a terminal, so a log of the run stays plain text.
    RatioReporter()
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular)
    {
    }
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

const char *sizeLabel(int code)
{
    switch (code) {
    case 4: return "4X4";
    case 5: return "6X6";
    case 6: return "8X8";
    case 7: return "10X10";
    case 8: return "Random";
    case 9: return "5X5";
    case 10: return "7X7";
    case 11: return "9X9";
    default: return "?";
    }
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto ref = reporter.times.find("referenceFill");
    if (ref == reporter.times.end() || ref->second <= 0)
        return 0;
    std::printf("\ndeal CPU time / reference CPU time (100 uniform draws), same run:\n");
    for (int code = 4; code <= 11; ++code) {
        const auto it = reporter.times.find("deal/size:" + std::to_string(code));
        if (it == reporter.times.end())
            continue;
        std::printf("  size code %2d %-7s %6.2f\n", code, sizeLabel(code), it->second / ref->second);
    }
    return 0;
}
