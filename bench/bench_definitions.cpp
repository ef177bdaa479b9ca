// Definitions of the game's words from WordNet: one lookup as the round review makes it (base
// forms, up to three senses) against the reference measured in the same run, WordNet's own
// overview search for the same word in every part of speech (what "wn WORD -over" prints).
// Words are a fixed-seed pick from the game's word list, so most are inflected or rare forms.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <wn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "words/tdictn.h"
#include "words/worddefinitions.h"

namespace {

constexpr int Words = 400;

double msSince(const QElapsedTimer &clock) { return double(clock.nsecsElapsed()) / 1e6; }

volatile size_t sink = 0;
void benchmark(const char *text) { sink = sink + (text ? std::strlen(text) : 0); }

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("English"));
    TDictn dictionary(working, nullptr);
    QFile file(working);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no working word file\n");
        return 1;
    }
    const QByteArray records = file.readAll();
    const qsizetype count = records.size() / TDictn::RecordSize;
    std::mt19937 rng(20251209u);
    std::uniform_int_distribution<qsizetype> pick(0, count - 1);
    QByteArrayList words;
    while (words.size() < Words) {
        const QByteArray w = records.mid(pick(rng) * TDictn::RecordSize + 1, TDictn::RecordSize - 1).trimmed();
        if (w.size() >= 4)
            words << w;
    }

    WordDefinitions definitions;
    QElapsedTimer openClock;
    openClock.start();
    if (!definitions.available()) {
        // Nothing to measure; the other benchmarks still run.
        std::printf("WordNet not usable, nothing measured: %s\n", qPrintable(definitions.problem()));
        return 0;
    }
    const double openMs = msSince(openClock);

    // Twice over the words: the first pass warms the file cache, the second is measured.
    std::vector<double> lookupMs, referenceMs;
    int defined = 0;
    for (int pass = 0; pass < 2; ++pass) {
        lookupMs.clear();
        referenceMs.clear();
        defined = 0;
        for (const QByteArray &w : words) {
            QElapsedTimer clock;
            clock.start();
            defined += definitions.lookup(w).isEmpty() ? 0 : 1;
            lookupMs.push_back(msSince(clock));

            clock.restart();
            // As "wn" does it: the word, then each base form, in every part of speech.
            for (int pos = NOUN; pos <= ADV; ++pos) {
                QByteArrayList forms{w.toLower()};
                QByteArray query = forms.first();
                for (char *form = morphstr(query.data(), pos); form; form = morphstr(nullptr, pos))
                    forms << QByteArray(form);
                for (QByteArray &f : forms)
                    benchmark(findtheinfo(f.data(), pos, OVERVIEW, ALLSENSES));
            }
            referenceMs.push_back(msSince(clock));
        }
    }
    auto report = [](const char *what, std::vector<double> v) {
        std::sort(v.begin(), v.end());
        double sum = 0;
        for (double x : v)
            sum += x;
        std::printf("%-40s mean %.3f ms, median %.3f ms, 99th %.3f ms, max %.3f ms\n", what, sum / double(v.size()),
                    v[v.size() / 2], v[v.size() * 99 / 100], v.back());
    };
    std::printf("WordNet opened in %.1f ms (at the first lookup, not at start-up); %d of %d words defined\n",
                openMs, defined, Words);
    report("lookup (base forms, up to 3 senses):", lookupMs);
    report("reference: wn -over (base forms too):", referenceMs);
    return 0;
}
