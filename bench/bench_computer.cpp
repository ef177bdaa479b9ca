// Computer players against the perfect player. For each board size, 200 rounds dealt by the
// host's own deal at the game's defaults (60-second rounds, words of 4 letters or more); each
// level plays every board, driven the way a player's timer drives it (woken when the brain
// asks, up to 15 ms late), and the table gives each level's mean words and points a round
// beside the board's full count in the same run. Alone at a table every word is a first find,
// so points are the word's points plus the first finder's point, for the levels and the
// perfect player alike.
//
// Every word sent is checked as the host would check it: a path it takes that spells the
// word, one of the solver's words, once a round, at least 10 ms after the one before, and not
// later than the margin before the round's end. Also timed: planning a round beside solving
// its board, and reading the commonness table beside building the solver's tree.
#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bots/computerbrain.h"
#include "bots/wordbands.h"
#include "host/board.h"
#include "host/gamerules.h"
#include "solver/boardsolver.h"
#include "words/lettercodes.h"
#include "words/tdictn.h"

namespace {

constexpr int Rounds = 200;
constexpr int RoundSeconds = 60;
constexpr int MinLetters = 4;
constexpr qint64 RoundMs = RoundSeconds * 1000;
constexpr int TimerLatenessMs = 15;

struct SizeCase {
    int code;
    const char *label;
};
const SizeCase sizes[] = {{4, "4x4"}, {5, "6x6"}, {6, "8x8"}, {7, "10x10"}};
const char *const levelNames[] = {"Easy", "Normal", "Hard", "Expert"};

struct Round {
    BoardCells cells;
    QList<FoundWord> words;
};

std::vector<Round> deals(BoardSolver &solver, int sizeCode)
{
    QRandomGenerator rng(quint32(7000 + sizeCode));
    Board board;
    std::vector<Round> rounds;
    for (int i = 0; i < Rounds; ++i) {
        board.deal(sizeCode, rng);
        Round round;
        round.cells = board.cells();
        round.words = solver.solve(round.cells, MinLetters);
        rounds.push_back(std::move(round));
    }
    return rounds;
}

int pointsAlone(const FoundWord &w) { return w.points + 1; }

// What one level did over all rounds of one size.
struct Tally {
    double words = 0;
    double points = 0;
    double share = 0; // of the board's words, mean over rounds with any
    int roundsWithWords = 0;
    double firstSecond = 0;
    int firsts = 0;
    double letters = 0;
    double common = 0; // words of SCOWL's sizes 10 to 35
    int foundAll = 0;  // rounds in which the player found every word
    int faults = 0;
};

// A player's timer: woken when the brain says, a little late, and given one word per wake-up.
QList<FoundWord> playRound(ComputerBrain &brain, const Round &round, const WordBands &bands, QRandomGenerator &late,
                           int &faults, qint64 &firstMs)
{
    brain.startRound(round.words, bands, RoundMs);
    QSet<QByteArray> solverWords;
    for (const FoundWord &w : round.words)
        solverWords.insert(w.word);
    QSet<QByteArray> sent;
    QList<FoundWord> said;
    qint64 now = 0;
    qint64 last = -1;
    firstMs = -1;
    for (;;) {
        const qint64 wait = brain.msUntilNext(now);
        if (wait < 0)
            break;
        now += wait + late.bounded(TimerLatenessMs + 1);
        const auto w = brain.next(now);
        if (!w)
            continue;
        QByteArray spelled;
        for (const QPoint &p : w->path)
            spelled += convertoletter(round.cells[size_t(p.x() * Board::Side + p.y())]).toUpper();
        const bool good = GameRules::isAcceptablePath(w->path) && spelled == w->word && solverWords.contains(w->word)
            && !sent.contains(w->word) && now <= RoundMs - ComputerBrain::EndMarginMs
            && (last < 0 || now - last >= ComputerBrain::MinGapMs);
        faults += good ? 0 : 1;
        sent.insert(w->word);
        if (firstMs < 0)
            firstMs = now;
        last = now;
        said.append(*w);
    }
    return said;
}

struct Shared {
    BoardSolver *solver = nullptr;
    const WordBands *bands = nullptr;
    std::map<int, std::vector<Round>> rounds;
};

void planBench(benchmark::State &state, Shared *s, int code, int level)
{
    const auto &rounds = s->rounds[code];
    ComputerBrain brain(level, 1);
    size_t i = 0;
    for (auto _ : state) {
        brain.startRound(rounds[i].words, *s->bands, RoundMs);
        benchmark::DoNotOptimize(brain.plan().data());
        i = (i + 1) % rounds.size();
    }
}

void solveBench(benchmark::State &state, Shared *s, int code)
{
    const auto &rounds = s->rounds[code];
    size_t i = 0;
    for (auto _ : state) {
        auto words = s->solver->solve(rounds[i].cells, MinLetters);
        benchmark::DoNotOptimize(words.data());
        i = (i + 1) % rounds.size();
    }
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("English"));
    TDictn dictionary(working, nullptr);
    BoardSolver solver(working);
    if (solver.tree().wordCount() == 0) {
        std::fprintf(stderr, "no working word file\n");
        return 1;
    }

    std::vector<double> loadMs;
    WordBands bands;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        bands = WordBands::load(working);
        loadMs.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    if (!bands.hasTable()) {
        std::fprintf(stderr, "the commonness table does not fit the word list\n");
        return 1;
    }

    Shared shared;
    shared.solver = &solver;
    shared.bands = &bands;
    for (const SizeCase &sc : sizes) {
        shared.rounds[sc.code] = deals(solver, sc.code);
        benchmark::RegisterBenchmark((std::string("solve/") + sc.label).c_str(), solveBench, &shared, sc.code);
        benchmark::RegisterBenchmark((std::string("plan/") + sc.label + "/Expert").c_str(), planBench, &shared,
                                     sc.code, int(ComputerBrain::Expert));
    }
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\ncommonness table: %lld words, read with the word list in %.1f ms (median of 5); "
                "solver's tree built in %.1f ms\n",
                static_cast<long long>(bands.wordCount()), median(loadMs), solver.buildMilliseconds());
    for (const SizeCase &sc : sizes) {
        const double planMs = reporter.realNs["plan/" + std::string(sc.label) + "/Expert"] / 1e6;
        const double solveMs = reporter.realNs["solve/" + std::string(sc.label)] / 1e6;
        std::printf("%-6s planning a round at Expert %.3f ms, solving the board %.3f ms\n", sc.label, planMs,
                    solveMs);
    }

    std::printf("\n%d rounds per size, %d s, %d+ letters; points alone at the table (word + first finder's point)\n",
                Rounds, RoundSeconds, MinLetters);
    std::printf("%-6s %-8s %8s %8s %8s %9s %8s %8s %6s\n", "board", "player", "words", "points", "share",
                "1st word", "letters", "common", "all");
    int faults = 0;
    for (const SizeCase &sc : sizes) {
        const auto &rounds = shared.rounds[sc.code];
        Tally perfect;
        std::vector<double> counts;
        for (const Round &r : rounds) {
            perfect.words += double(r.words.size());
            counts.push_back(double(r.words.size()));
            for (const FoundWord &w : r.words) {
                perfect.points += pointsAlone(w);
                perfect.letters += double(w.word.size());
                perfect.common += bands.band(w.word) <= 2 ? 1 : 0;
            }
        }
        std::printf("%-6s %-8s %8.1f %8.1f %7.0f%% %9s %8.2f %7.0f%% %6d   (median %.0f words)\n", sc.label,
                    "perfect", perfect.words / Rounds, perfect.points / Rounds, 100.0, "-",
                    perfect.words > 0 ? perfect.letters / perfect.words : 0.0,
                    perfect.words > 0 ? 100.0 * perfect.common / perfect.words : 0.0, Rounds, median(counts));
        for (int level = ComputerBrain::Easy; level <= ComputerBrain::Expert; ++level) {
            Tally t;
            QRandomGenerator late(quint32(level * 100 + sc.code));
            for (size_t i = 0; i < rounds.size(); ++i) {
                ComputerBrain brain(level, quint32(i * 31 + size_t(level) * 7 + size_t(sc.code) * 100003));
                qint64 firstMs = -1;
                const QList<FoundWord> said = playRound(brain, rounds[i], bands, late, t.faults, firstMs);
                t.words += double(said.size());
                for (const FoundWord &w : said) {
                    t.points += pointsAlone(w);
                    t.letters += double(w.word.size());
                    t.common += bands.band(w.word) <= 2 ? 1 : 0;
                }
                if (!rounds[i].words.isEmpty()) {
                    t.share += double(said.size()) / double(rounds[i].words.size());
                    ++t.roundsWithWords;
                    t.foundAll += said.size() == rounds[i].words.size() ? 1 : 0;
                }
                if (firstMs >= 0) {
                    t.firstSecond += double(firstMs) / 1000.0;
                    ++t.firsts;
                }
            }
            faults += t.faults;
            std::printf("%-6s %-8s %8.1f %8.1f %7.0f%% %8.1fs %8.2f %7.0f%% %6d\n", "", levelNames[level - 1],
                        t.words / Rounds, t.points / Rounds,
                        t.roundsWithWords ? 100.0 * t.share / t.roundsWithWords : 0.0,
                        t.firsts ? t.firstSecond / t.firsts : 0.0, t.words > 0 ? t.letters / t.words : 0.0,
                        t.words > 0 ? 100.0 * t.common / t.words : 0.0, t.foundAll);
        }
    }
    std::printf("share: of the board's words, mean over rounds; common: words of SCOWL's sizes 10 to 35;\n"
                "all: rounds (of %d) in which the player found every word of the board\n", Rounds);
    std::printf("every word sent a good path of a solver word, once, >= %d ms apart, >= %d ms before the end: %s\n",
                ComputerBrain::MinGapMs, ComputerBrain::EndMarginMs, faults == 0 ? "yes" : "NO");
    return faults == 0 ? 0 : 1;
}
