// Computer players against people and against the perfect player.
//
// First the figures the levels are anchored on: 3-minute rounds on a 4x4 board, as people play
// the paper game, with three letters (that game's rule) and with four (this game's default).
// Then 60-second rounds (the game's default) on every board size. Each level plays 200 boards
// dealt by the host's own deal, driven the way a player's timer drives it (woken when the brain
// asks, up to 15 ms late); the table gives each level's mean words and points a round beside
// the board's full count in the same run. Alone at a table every word is a first find, so
// points are the word's points plus the first finder's point, for the levels and the perfect
// player alike. Beside them: the share of rare words (SCOWL sizes above 50), and the fastest
// sustained pace, the most words sent within any 20 seconds of a round, as seconds per word.
//
// Every word sent is checked as the host would check it: a path it takes that spells the
// word, one of the solver's words, once a round, at least 10 ms after the one before, and not
// later than the margin before the round's end; and no more words in any 20 seconds than a
// person keeps up. Also timed: planning a round beside solving its board, and reading the
// commonness table beside building the solver's tree.
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
constexpr int TimerLatenessMs = 15;
// The largest share of rare words that still reads as a person's vocabulary at Expert.
constexpr double MostRareAtExpert = 0.15;

struct SizeCase {
    int code;
    const char *label;
};
const SizeCase sizes[] = {{4, "4x4"}, {5, "6x6"}, {6, "8x8"}, {7, "10x10"}};
const char *const levelNames[] = {"Easy", "Normal", "Hard", "Expert"};

// One table: the boards of a size, a round's length and the shortest word.
struct Setting {
    int sizeCode;
    const char *label;
    int seconds;
    int minLetters;
    qint64 roundMs() const { return qint64(seconds) * 1000; }
};

struct Round {
    BoardCells cells;
    QList<FoundWord> words;
};

std::vector<Round> deals(BoardSolver &solver, const Setting &setting)
{
    QRandomGenerator rng(quint32(7000 + setting.sizeCode));
    Board board;
    std::vector<Round> rounds;
    for (int i = 0; i < Rounds; ++i) {
        board.deal(setting.sizeCode, rng);
        Round round;
        round.cells = board.cells();
        round.words = solver.solve(round.cells, setting.minLetters);
        rounds.push_back(std::move(round));
    }
    return rounds;
}

int pointsAlone(const FoundWord &w) { return w.points + 1; }
bool isRare(const WordBands &bands, const QByteArray &word) { return bands.band(word) >= WordBands::FirstRareBand; }

// What one player did over all rounds of one setting.
struct Tally {
    double words = 0;
    double points = 0;
    double share = 0; // of the board's words, mean over rounds with any
    int roundsWithWords = 0;
    double firstSecond = 0;
    int firsts = 0;
    double rare = 0;
    int foundAll = 0;   // rounds in which the player found every word
    int busiest = 0;    // the most words sent within any PaceWindowMs of a round
    int faults = 0;

    void add(const QList<FoundWord> &said, const Round &round, const WordBands &bands)
    {
        words += double(said.size());
        for (const FoundWord &w : said) {
            points += pointsAlone(w);
            rare += isRare(bands, w.word) ? 1 : 0;
        }
        if (!round.words.isEmpty()) {
            share += double(said.size()) / double(round.words.size());
            ++roundsWithWords;
            foundAll += said.size() == round.words.size() ? 1 : 0;
        }
    }
    double rareShare() const { return words > 0 ? rare / words : 0.0; }
};

// The most of these moments that fall within any window of windowMs.
int busiestWindow(const QList<qint64> &moments, qint64 windowMs)
{
    int most = 0;
    qsizetype first = 0;
    for (qsizetype i = 0; i < moments.size(); ++i) {
        while (moments[i] - moments[first] >= windowMs)
            ++first;
        most = std::max(most, int(i - first + 1));
    }
    return most;
}

// A player's timer: woken when the brain says, a little late, and given one word per wake-up.
// Each word is checked as the host would check it; the moments it went out are kept.
QList<FoundWord> playRound(ComputerBrain &brain, const Round &round, const WordBands &bands, qint64 roundMs,
                           QRandomGenerator &late, Tally &tally, qint64 &firstMs)
{
    brain.startRound(round.words, bands, roundMs);
    QSet<QByteArray> solverWords;
    for (const FoundWord &w : round.words)
        solverWords.insert(w.word);
    QSet<QByteArray> sent;
    QList<FoundWord> said;
    QList<qint64> moments;
    qint64 now = 0;
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
            && !sent.contains(w->word) && now <= roundMs - ComputerBrain::EndMarginMs
            && (moments.isEmpty() || now - moments.last() >= ComputerBrain::MinGapMs);
        tally.faults += good ? 0 : 1;
        sent.insert(w->word);
        moments.append(now);
        said.append(*w);
    }
    firstMs = moments.isEmpty() ? -1 : moments.first();
    tally.busiest = std::max(tally.busiest, busiestWindow(moments, ComputerBrain::PaceWindowMs));
    return said;
}

Tally playLevel(int level, const Setting &setting, const std::vector<Round> &rounds, const WordBands &bands)
{
    Tally t;
    QRandomGenerator late(quint32(level * 100 + setting.sizeCode + setting.seconds * 7 + setting.minLetters));
    for (size_t i = 0; i < rounds.size(); ++i) {
        ComputerBrain brain(level, quint32(i * 31 + size_t(level) * 7 + size_t(setting.sizeCode) * 100003));
        qint64 firstMs = -1;
        t.add(playRound(brain, rounds[i], bands, setting.roundMs(), late, t, firstMs), rounds[i], bands);
        if (firstMs >= 0) {
            t.firstSecond += double(firstMs) / 1000.0;
            ++t.firsts;
        }
    }
    return t;
}

struct Shared {
    BoardSolver *solver = nullptr;
    const WordBands *bands = nullptr;
    std::map<int, std::vector<Round>> rounds; // 60-second boards by size code, four letters
};

void planBench(benchmark::State &state, Shared *s, int code, int level)
{
    const auto &rounds = s->rounds[code];
    ComputerBrain brain(level, 1);
    size_t i = 0;
    for (auto _ : state) {
        brain.startRound(rounds[i].words, *s->bands, 60000);
        benchmark::DoNotOptimize(brain.plan().data());
        i = (i + 1) % rounds.size();
    }
}

void solveBench(benchmark::State &state, Shared *s, int code)
{
    const auto &rounds = s->rounds[code];
    size_t i = 0;
    for (auto _ : state) {
        auto words = s->solver->solve(rounds[i].cells, 4);
        benchmark::DoNotOptimize(words.data());
        i = (i + 1) % rounds.size();
    }
}

// Checks over every table: no fault, and no level faster than a person keeps up.
struct Verdict {
    int faults = 0;
    int fastest = 0; // the most words within PaceWindowMs, any level, any table
    double expertRare = 0;
};

void printHeader()
{
    std::printf("%-6s %-8s %8s %8s %8s %9s %7s %9s %6s\n", "board", "player", "words", "points", "share",
                "1st word", "rare", "fastest", "all");
}

// One table: the perfect player, then each level. Fastest: seconds per word over the 20 s that
// held the most words of any round.
void printTable(const Setting &setting, const std::vector<Round> &rounds, const WordBands &bands, Verdict &verdict)
{
    Tally perfect;
    std::vector<double> counts;
    for (const Round &r : rounds) {
        perfect.add(r.words, r, bands);
        counts.push_back(double(r.words.size()));
    }
    std::printf("%-6s %-8s %8.1f %8.1f %7.0f%% %9s %6.0f%% %9s %6d   (median %.0f words)\n", setting.label, "perfect",
                perfect.words / Rounds, perfect.points / Rounds, 100.0, "-", 100.0 * perfect.rareShare(), "-", Rounds,
                median(counts));
    for (int level = ComputerBrain::Easy; level <= ComputerBrain::Expert; ++level) {
        const Tally t = playLevel(level, setting, rounds, bands);
        verdict.faults += t.faults;
        verdict.fastest = std::max(verdict.fastest, t.busiest);
        if (level == ComputerBrain::Expert && setting.sizeCode == 4)
            verdict.expertRare = std::max(verdict.expertRare, t.rareShare());
        const double secondsPerWord = t.busiest > 0 ? ComputerBrain::PaceWindowMs / 1000.0 / t.busiest : 0.0;
        std::printf("%-6s %-8s %8.1f %8.1f %7.0f%% %8.1fs %6.0f%% %8.1fs %6d\n", "", levelNames[level - 1],
                    t.words / Rounds, t.points / Rounds, t.roundsWithWords ? 100.0 * t.share / t.roundsWithWords : 0.0,
                    t.firsts ? t.firstSecond / t.firsts : 0.0, 100.0 * t.rareShare(), secondsPerWord, t.foundAll);
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

    const Setting people[] = {{4, "4x4", 180, 3}, {4, "4x4", 180, 4}};
    std::vector<Setting> minutes;
    for (const SizeCase &sc : sizes)
        minutes.push_back({sc.code, sc.label, 60, 4});

    Shared shared;
    shared.solver = &solver;
    shared.bands = &bands;
    for (const Setting &setting : minutes) {
        shared.rounds[setting.sizeCode] = deals(solver, setting);
        const std::string label = setting.label;
        benchmark::RegisterBenchmark(("solve/" + label).c_str(), solveBench, &shared, setting.sizeCode);
        benchmark::RegisterBenchmark(("plan/" + label + "/Expert").c_str(), planBench, &shared, setting.sizeCode,
                                     int(ComputerBrain::Expert));
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

    Verdict verdict;
    for (const Setting &setting : people) {
        std::printf("\n%d rounds of %d s on %s, %d+ letters; points alone at the table (word + first finder's point)\n",
                    Rounds, setting.seconds, setting.label, setting.minLetters);
        printHeader();
        printTable(setting, deals(solver, setting), bands, verdict);
    }
    std::printf("\n%d rounds per size, %d s, %d+ letters\n", Rounds, minutes.front().seconds,
                minutes.front().minLetters);
    printHeader();
    for (const Setting &setting : minutes)
        printTable(setting, shared.rounds[setting.sizeCode], bands, verdict);

    const bool humanPace = verdict.fastest <= ComputerBrain::PaceWords;
    const bool humanWords = verdict.expertRare <= MostRareAtExpert;
    std::printf("share: of the board's words, mean over rounds; rare: words of SCOWL's sizes 55 to 80;\n"
                "fastest: seconds per word over the %d s of any round that held the most words;\n"
                "all: rounds (of %d) in which the player found every word of the board\n",
                ComputerBrain::PaceWindowMs / 1000, Rounds);
    std::printf("every word sent a good path of a solver word, once, >= %d ms apart, >= %d ms before the end: %s\n",
                ComputerBrain::MinGapMs, ComputerBrain::EndMarginMs, verdict.faults == 0 ? "yes" : "NO");
    std::printf("no level faster than %d words in %d s: %s (at most %d)\n", ComputerBrain::PaceWords,
                ComputerBrain::PaceWindowMs / 1000, humanPace ? "yes" : "NO", verdict.fastest);
    std::printf("Expert's rare words on 4x4 at most %.0f%%: %s (%.1f%%)\n", 100.0 * MostRareAtExpert,
                humanWords ? "yes" : "NO", 100.0 * verdict.expertRare);
    return verdict.faults == 0 && humanPace && humanWords ? 0 : 1;
}
