// Word lookups through the working word file (one seek and one 15-byte read per probe) against a
// binary search over the same records held in memory, on one fixed-seed mix of present and
// absent words. Prints the ratio and the largest number of probes any lookup needed.
#include "benchsupport.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "words/tdictn.h"

namespace {

constexpr int RecordSize = TDictn::RecordSize;
constexpr int FieldSize = RecordSize - 1;

// The reference: std::lower_bound over the same records, copied into memory.
class MemoryList {
public:
    struct Record {
        char bytes[RecordSize];
    };
    static_assert(sizeof(Record) == RecordSize);

    explicit MemoryList(const QByteArray &file) : m_records(size_t(file.size() / RecordSize))
    {
        std::memcpy(m_records.data(), file.constData(), m_records.size() * RecordSize);
    }

    qsizetype count() const { return qsizetype(m_records.size()); }
    QByteArray word(qsizetype i) const
    {
        return QByteArray(m_records[size_t(i)].bytes + 1, FieldSize).trimmed();
    }

    // capitals: a word in capitals, no blanks.
    bool contains(const QByteArray &capitals) const
    {
        if (capitals.isEmpty() || capitals.size() > FieldSize)
            return false;
        char key[FieldSize];
        std::memset(key, ' ', FieldSize);
        std::memcpy(key, capitals.constData(), size_t(capitals.size()));
        const auto less = [](const Record &r, const char *k) {
            return std::memcmp(r.bytes + 1, k, FieldSize) < 0;
        };
        const auto it = std::lower_bound(m_records.begin(), m_records.end(), key, less);
        return it != m_records.end() && std::memcmp(it->bytes + 1, key, FieldSize) == 0;
    }

private:
    std::vector<Record> m_records;
};

// Half present words, half absent ones made by changing one letter of a present word.
std::vector<QByteArray> makeQueries(const MemoryList &list, int n)
{
    std::mt19937 rng(20240607u);
    std::uniform_int_distribution<qsizetype> pick(0, list.count() - 1);
    std::uniform_int_distribution<int> letter(0, 25);
    std::vector<QByteArray> queries;
    while (int(queries.size()) < n) {
        QByteArray word = list.word(pick(rng));
        if (queries.size() % 2) {
            std::uniform_int_distribution<qsizetype> place(0, word.size() - 1);
            word[place(rng)] = char('A' + letter(rng));
            if (list.contains(word))
                continue;
        }
        queries.push_back(word);
    }
    return queries;
}

struct Shared {
    TDictn *dictionary = nullptr;
    const MemoryList *memory = nullptr;
    std::vector<QByteArray> queries;
    int maxProbes = 0;
    long long found = 0;
};

void fileLookups(benchmark::State &state, Shared *s)
{
    size_t i = 0;
    for (auto _ : state) {
        const bool hit = s->dictionary->isword(s->queries[i]);
        benchmark::DoNotOptimize(hit);
        s->maxProbes = std::max(s->maxProbes, s->dictionary->lastProbeCount());
        i = (i + 1) % s->queries.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void memoryLookups(benchmark::State &state, Shared *s)
{
    size_t i = 0;
    for (auto _ : state) {
        const bool hit = s->memory->contains(s->queries[i]);
        benchmark::DoNotOptimize(hit);
        i = (i + 1) % s->queries.size();
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("English"));
    TDictn dictionary(working, nullptr);
    QFile file(working);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no working word file\n");
        return 1;
    }
    const MemoryList memory(file.readAll());

    Shared shared;
    shared.dictionary = &dictionary;
    shared.memory = &memory;
    shared.queries = makeQueries(memory, 4096);

    // Every record once: all must be found, and none may need more than 18 probes.
    int sweepMax = 0;
    qsizetype missing = 0;
    for (qsizetype i = 0; i < memory.count(); ++i) {
        if (!dictionary.isword(memory.word(i)))
            ++missing;
        sweepMax = std::max(sweepMax, dictionary.lastProbeCount());
    }

    benchmark::RegisterBenchmark("isword/file", fileLookups, &shared);
    benchmark::RegisterBenchmark("isword/memory", memoryLookups, &shared);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("records: %lld, every record found: %s, max probes (all records): %d, "
                "max probes (benchmark mix): %d\n",
                (long long)memory.count(), missing == 0 ? "yes" : "NO", sweepMax, shared.maxProbes);
    for (auto *times : {&reporter.realNs, &reporter.cpuNs}) {
        const double fileNs = (*times)["isword/file"];
        const double memoryNs = (*times)["isword/memory"];
        if (fileNs > 0 && memoryNs > 0) {
            std::printf("%s time: file lookups/s %.0f, in-memory lookups/s %.0f, file is %.1fx slower\n",
                        times == &reporter.realNs ? "real" : "cpu", 1e9 / fileNs, 1e9 / memoryNs,
                        fileNs / memoryNs);
        }
    }
    return (missing == 0 && sweepMax <= 18 && shared.maxProbes <= 18) ? 0 : 1;
}
