// LZRW1-KH against LZ4 on the same inputs, both cut into the same 32 KiB chunks, each chunk
// coded on its own. The figures that matter are the ratios printed after the table: they are
// measured in the same run, so they hold on a busy machine where the absolute MB/s do not.
#include <benchmark/benchmark.h>
#include <lz4.h>

#include <QFile>
#include <QRandomGenerator>

#include "words/tlzr.h"

#include <algorithm>
#include <unistd.h>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int ChunkSize = TLZR::ChunkSize;

// The built-in word list is 15-byte records: a marker byte, then the word padded with blanks.
QByteArray wordsFromRecords(const QByteArray &records)
{
    QByteArray text;
    for (qsizetype pos = 0; pos + 15 <= records.size(); pos += 15) {
        text += records.mid(pos + 1, 14).trimmed();
        text += '\n';
    }
    return text;
}

// Sorted upper-case pseudo-words of 2 to 14 letters, about the size of the real list, for when
// the list itself is not linked in: stems built from syllables, each with a few of the usual
// endings, so that neighbouring words share their beginnings as in a real dictionary.
QByteArray pseudoWords()
{
    static const char *const onsets[] = {"", "B", "BL", "BR", "C", "CH", "CL", "CR", "D", "DR",
                                         "F", "FL", "FR", "G", "GL", "GR", "H", "J", "K", "L",
                                         "M", "N", "P", "PL", "PR", "QU", "R", "S", "SH", "SK",
                                         "SL", "SP", "ST", "T", "TH", "TR", "V", "W", "WH", "Z"};
    static const char *const vowels[] = {"A", "E", "I", "O", "U", "EA", "EE", "OO", "AI", "OU", "Y"};
    static const char *const codas[] = {"", "", "B", "CK", "D", "G", "L", "LL", "M", "N",
                                        "NG", "NT", "P", "R", "RD", "S", "SS", "ST", "T", "X"};
    static const char *const endings[] = {"", "S", "ED", "ER", "ERS", "ING", "INGS", "LY",
                                          "NESS", "ABLE", "ISH", "IST", "ISTS", "ATION"};
    const auto pick = [](QRandomGenerator &rng, const auto &list) {
        return QByteArray(list[rng.bounded(int(std::size(list)))]);
    };
    QRandomGenerator rng(1966);
    std::set<QByteArray> words; // sorted, each once
    qsizetype total = 0;
    while (total < 2'500'000) {
        QByteArray stem;
        for (int i = 1 + int(rng.bounded(3)); i > 0; --i)
            stem += pick(rng, onsets) + pick(rng, vowels) + pick(rng, codas);
        for (int i = 1 + int(rng.bounded(5)); i > 0; --i) {
            const QByteArray word = stem + pick(rng, endings);
            if (word.size() >= 2 && word.size() <= 14 && words.insert(word).second)
                total += word.size() + 1;
        }
    }
    QByteArray text;
    for (const QByteArray &word : words)
        text += word + '\n';
    return text;
}

QByteArray wordListText(bool *real)
{
    QFile file(QStringLiteral(":/words/english.dat"));
    *real = file.open(QIODevice::ReadOnly);
    return *real ? wordsFromRecords(file.readAll()) : pseudoWords();
}

// A tally of many opponents as the tally window writes it: column by column, CR LF lines of
// names and small numbers.
QByteArray largeTallyText()
{
    static const char *const names[] = {"Alice", "bob", "QuizKid", "Zed", "wordsmith", "Mara 2"};
    QRandomGenerator rng(77);
    const int rows = 40000;
    QByteArray text = "9\r\n" + QByteArray::number(rows) + "\r\n";
    for (int column = 0; column < 9; ++column) {
        for (int row = 0; row < rows; ++row) {
            if (column == 0)
                text += row == 0 ? QByteArray("0")
                                 : names[rng.bounded(6)] + QByteArray::number(rng.bounded(1000));
            else
                text += QByteArray::number(rng.bounded(column < 5 ? 60 : 6));
            text += "\r\n";
        }
    }
    return text;
}

struct Input
{
    std::string name;
    QByteArray data;
};

const std::vector<Input> &inputs()
{
    static const std::vector<Input> all = [] {
        bool real = false;
        QByteArray words = wordListText(&real);
        return std::vector<Input>{{real ? "wordlist" : "pseudowords", words},
                                  {"tally", largeTallyText()}};
    }();
    return all;
}

const quint8 *bytes(const QByteArray &data)
{
    return reinterpret_cast<const quint8 *>(data.constData());
}

int chunkLength(const QByteArray &data, qsizetype pos)
{
    return int(std::min<qsizetype>(ChunkSize, data.size() - pos));
}

// Every chunk of the input coded on its own, kept for the decoders.
struct Packed
{
    std::vector<std::vector<quint8>> blocks;
    qint64 size = 0;
};

Packed packLzrw(const QByteArray &data)
{
    TLZR engine;
    Packed packed;
    std::vector<quint8> out(TLZR::BufferSize);
    for (qsizetype pos = 0; pos < data.size(); pos += ChunkSize) {
        const int length = engine.compress(bytes(data) + pos, chunkLength(data, pos), out.data());
        packed.blocks.emplace_back(out.begin(), out.begin() + length);
        packed.size += length + 2;
    }
    return packed;
}

Packed packLz4(const QByteArray &data)
{
    Packed packed;
    std::vector<char> out(size_t(LZ4_compressBound(ChunkSize)));
    for (qsizetype pos = 0; pos < data.size(); pos += ChunkSize) {
        const int length = LZ4_compress_default(data.constData() + pos, out.data(),
                                                chunkLength(data, pos), int(out.size()));
        packed.blocks.emplace_back(out.begin(), out.begin() + length);
        packed.size += length + 2;
    }
    return packed;
}

void lzrwCompress(benchmark::State &state, const QByteArray &data)
{
    TLZR engine;
    std::vector<quint8> out(TLZR::BufferSize);
    for (auto _ : state) {
        for (qsizetype pos = 0; pos < data.size(); pos += ChunkSize)
            benchmark::DoNotOptimize(
                engine.compress(bytes(data) + pos, chunkLength(data, pos), out.data()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void lz4Compress(benchmark::State &state, const QByteArray &data)
{
    std::vector<char> out(size_t(LZ4_compressBound(ChunkSize)));
    for (auto _ : state) {
        for (qsizetype pos = 0; pos < data.size(); pos += ChunkSize)
            benchmark::DoNotOptimize(LZ4_compress_default(data.constData() + pos, out.data(),
                                                          chunkLength(data, pos), int(out.size())));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void lzrwDecompress(benchmark::State &state, const QByteArray &data)
{
    const Packed packed = packLzrw(data);
    std::vector<quint8> out(ChunkSize);
    for (auto _ : state) {
        for (const auto &block : packed.blocks)
            benchmark::DoNotOptimize(TLZR::decompress(block.data(), int(block.size()), out.data()));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void lz4Decompress(benchmark::State &state, const QByteArray &data)
{
    const Packed packed = packLz4(data);
    std::vector<char> out(ChunkSize);
    for (auto _ : state) {
        for (const auto &block : packed.blocks)
            benchmark::DoNotOptimize(
                LZ4_decompress_safe(reinterpret_cast<const char *>(block.data()), out.data(),
                                    int(block.size()), ChunkSize));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

// The console table as usual, plus each benchmark's rate kept for the ratio lines.
class RateReporter : public benchmark::ConsoleReporter
{
public:
    // A reporter passed in by hand does not see --benchmark_color: colour only on a terminal.
    RateReporter()
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular)
    {
    }
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && rate != run.counters.end())
                rates[run.benchmark_name()] = rate->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

void printRatio(const RateReporter &reporter, const std::string &input, const char *what,
                double aim)
{
    const auto ours = reporter.rates.find("lzrw1kh_" + std::string(what) + "/" + input);
    const auto theirs = reporter.rates.find("lz4_" + std::string(what) + "/" + input);
    if (ours == reporter.rates.end() || theirs == reporter.rates.end())
        return; // filtered out on the command line
    const double ratio = ours->second / theirs->second;
    std::printf("%-12s lzrw1kh/lz4 %s ratio: %.2f (aim >= %.1f)%s\n", input.c_str(), what, ratio,
                aim, ratio >= aim ? "" : "  BELOW AIM");
}

} // namespace

int main(int argc, char **argv)
{
    Q_INIT_RESOURCE(words); // the word list lives in the core library's resources
    benchmark::Initialize(&argc, argv);
    for (const Input &input : inputs()) {
        const QByteArray &data = input.data;
        benchmark::RegisterBenchmark(("lzrw1kh_compress/" + input.name).c_str(), lzrwCompress, data);
        benchmark::RegisterBenchmark(("lz4_compress/" + input.name).c_str(), lz4Compress, data);
        benchmark::RegisterBenchmark(("lzrw1kh_decompress/" + input.name).c_str(), lzrwDecompress, data);
        benchmark::RegisterBenchmark(("lz4_decompress/" + input.name).c_str(), lz4Decompress, data);
    }
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n");
    for (const Input &input : inputs()) {
        printRatio(reporter, input.name, "compress", 0.5);
        printRatio(reporter, input.name, "decompress", 0.3);
        const double size = double(input.data.size());
        std::printf("%-12s %.0f bytes; compressed/original: lzrw1kh %.3f, lz4 %.3f\n",
                    input.name.c_str(), size, double(packLzrw(input.data).size) / size,
                    double(packLz4(input.data).size) / size);
    }
    benchmark::Shutdown();
    return 0;
}
