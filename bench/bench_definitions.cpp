// Definitions of the game's words, read by our own WordNetDatabase, against WordNet's own C
// library in the same run:
// - the cost of one lookup as the round review makes it (base forms, up to three senses)
//   against the library's overview search for the same word in every part of speech (what
//   "wn WORD -over" prints);
// - the answers, over a fixed-seed sample of the word list (argument: how many words, or
//   "all"): for every part of speech the base forms and every sense's gloss of each form, ours
//   against the library's; and the text the review shows against the text the library gave with
//   the rule used before an inflected form that is an entry of its own showed its base form.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <wn.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "words/tdictn.h"
#include "words/worddefinitions.h"
#include "words/wordnetdatabase.h"
#include "words/wordnetmorphology.h"

namespace {

constexpr int TimedWords = 400;
constexpr int DefaultSample = 5000;

double msSince(const QElapsedTimer &clock) { return double(clock.nsecsElapsed()) / 1e6; }

volatile size_t sink = 0;
void benchmark(const char *text) { sink = sink + (text ? std::strlen(text) : 0); }

int libraryPos(WordNetPos pos) { return int(pos) + 1; } // NOUN 1, VERB 2, ADJ 3, ADV 4

QByteArrayList readWordList()
{
    QTemporaryDir dir;
    const QString working = dir.filePath(QStringLiteral("English"));
    TDictn dictionary(working, nullptr);
    QFile file(working);
    QByteArrayList words;
    if (!file.open(QIODevice::ReadOnly))
        return words;
    const QByteArray records = file.readAll();
    for (qsizetype at = 0; at + TDictn::RecordSize <= records.size(); at += TDictn::RecordSize)
        words << records.mid(at + 1, TDictn::RecordSize - 1).trimmed();
    return words;
}

QByteArrayList pick(const QByteArrayList &words, int count, int minLength)
{
    std::mt19937 rng(20251209u);
    std::uniform_int_distribution<qsizetype> index(0, words.size() - 1);
    QByteArrayList picked;
    while (picked.size() < count) {
        const QByteArray &w = words[index(rng)];
        if (w.size() >= minLength)
            picked << w;
    }
    return picked;
}

// --- WordNet's library ------------------------------------------------------------------

QByteArrayList libraryForms(const QByteArray &word, WordNetPos pos)
{
    QByteArrayList forms;
    QByteArray query = word.toLower();
    for (char *form = morphstr(query.data(), libraryPos(pos)); form; form = morphstr(nullptr, libraryPos(pos)))
        forms << QByteArray(form);
    return forms;
}

QByteArrayList libraryGlosses(const QByteArray &form, WordNetPos pos)
{
    QByteArrayList glosses;
    for (int n = 1;; ++n) {
        QByteArray query = form;
        SynsetPtr synset = findtheinfo_ds(query.data(), libraryPos(pos), 0, n);
        if (!synset)
            return glosses;
        glosses << QByteArray(synset->defn ? synset->defn : "");
        free_syns(synset);
    }
}

// The review's text as the library gave it before: per part of speech the first form with
// senses, each part's first sense before any second one.
QString libraryDescription(const QByteArray &word)
{
    auto glossOf = [](const QByteArray &defn) {
        QString text = QString::fromLatin1(defn).trimmed();
        if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')')))
            text = text.mid(1, text.size() - 2);
        const qsizetype example = text.indexOf(QStringLiteral("; \""));
        if (example >= 0)
            text.truncate(example);
        if (text.startsWith(QLatin1Char('"')))
            text.clear();
        return text.trimmed();
    };
    std::array<QList<WordDefinitions::Sense>, wordNetParts.size()> byPart;
    for (WordNetPos pos : wordNetParts) {
        QByteArrayList forms{word.toLower()};
        for (const QByteArray &f : libraryForms(word, pos)) {
            if (!forms.contains(f))
                forms << f;
        }
        for (const QByteArray &form : forms) {
            for (const QByteArray &defn : libraryGlosses(form, pos)) {
                const QString gloss = glossOf(defn);
                if (!gloss.isEmpty() && byPart[size_t(pos)].size() < WordDefinitions::MaxSenses)
                    byPart[size_t(pos)].append({QString::fromLatin1(wordNetPosName(pos)),
                                                QString::fromLatin1(form).replace(QLatin1Char('_'), QLatin1Char(' ')), gloss});
            }
            if (!byPart[size_t(pos)].isEmpty())
                break;
        }
    }
    QList<WordDefinitions::Sense> senses;
    for (int n = 0; n < WordDefinitions::MaxSenses; ++n) {
        for (const auto &part : byPart) {
            if (n < part.size() && senses.size() < WordDefinitions::MaxSenses)
                senses.append(part[n]);
        }
    }
    return WordDefinitions::describe(word, senses);
}

// --- Ours ---------------------------------------------------------------------------------

QByteArrayList ourGlosses(WordNetDatabase &database, const QByteArray &form, WordNetPos pos)
{
    QByteArrayList glosses;
    const QList<WordNetIndexEntry> entries = database.entries(pos, form);
    for (qsizetype n = 0;; ++n) {
        auto spelling = std::find_if(entries.begin(), entries.end(),
                                     [n](const WordNetIndexEntry &e) { return n < e.offsets.size(); });
        if (spelling == entries.end())
            return glosses;
        glosses << "(" + database.gloss(pos, spelling->offsets[n], spelling->lemma).value_or("?") + ")";
    }
}

// True when one part of speech has both the word's own senses and a base form's.
bool ownEntryAndBase(WordNetDatabase &database, const WordNetMorphology &morphology, const QByteArray &word)
{
    for (WordNetPos pos : wordNetParts) {
        if (!database.defines(pos, word))
            continue;
        for (const QByteArray &form : morphology.baseForms(word, pos)) {
            if (form != word && database.defines(pos, form))
                return true;
        }
    }
    return false;
}

void report(const char *what, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v)
        sum += x;
    std::printf("%-40s mean %.3f ms, median %.3f ms, 99th %.3f ms, max %.3f ms\n", what, sum / double(v.size()),
                v[v.size() / 2], v[v.size() * 99 / 100], v.back());
}

void measureCost(WordDefinitions &definitions, const QByteArrayList &words)
{
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
            for (WordNetPos pos : wordNetParts) {
                QByteArrayList forms{w.toLower()};
                forms << libraryForms(w, pos);
                for (QByteArray &f : forms)
                    benchmark(findtheinfo(f.data(), libraryPos(pos), OVERVIEW, ALLSENSES));
            }
            referenceMs.push_back(msSince(clock));
        }
    }
    std::printf("%d of %d words defined\n", defined, int(words.size()));
    report("lookup (base forms, up to 3 senses):", lookupMs);
    report("reference: wn -over (base forms too):", referenceMs);
}

void compareAnswers(WordDefinitions &definitions, const QByteArrayList &words)
{
    WordNetDatabase database(WordNetDatabase::defaultFolder());
    database.open();
    const WordNetMorphology morphology(database);
    qsizetype formsSame = 0, glossesSame = 0, glossesCompared = 0, textSame = 0, textOwnEntry = 0;
    QByteArrayList other;
    for (const QByteArray &word : words) {
        const QByteArray lower = word.toLower();
        for (WordNetPos pos : wordNetParts) {
            const QByteArrayList theirs = libraryForms(word, pos);
            const QList<QByteArray> ours = morphology.baseForms(lower, pos);
            formsSame += theirs == ours ? 1 : 0;
            if (theirs != ours && other.size() < 20)
                other << word + " (" + wordNetFileSuffix(pos) + " forms: " + theirs.join(',') + " / " + QByteArrayList(ours).join(',') + ")";
            for (const QByteArray &form : QByteArrayList{lower} + theirs) {
                ++glossesCompared;
                const bool same = libraryGlosses(form, pos) == ourGlosses(database, form, pos);
                glossesSame += same ? 1 : 0;
                if (!same && other.size() < 20)
                    other << word + " (" + wordNetFileSuffix(pos) + " glosses of " + form + ")";
            }
        }
        const QString before = libraryDescription(word);
        const QString now = WordDefinitions::describe(word, definitions.lookup(word));
        if (before == now)
            ++textSame;
        else if (ownEntryAndBase(database, morphology, lower))
            ++textOwnEntry;
        else if (other.size() < 20)
            other << word + " (text)";
    }
    const qsizetype n = words.size();
    std::printf("answers over %lld words of the list, ours against WordNet's library:\n", qlonglong(n));
    std::printf("  base forms the same in %lld of %lld (word, part of speech) pairs\n", qlonglong(formsSame), qlonglong(n * 4));
    std::printf("  every sense's gloss the same for %lld of %lld forms\n", qlonglong(glossesSame), qlonglong(glossesCompared));
    std::printf("  review text the same for %lld words; %lld show a base form's senses beside their own entry's;"
                " %lld differ otherwise\n",
                qlonglong(textSame), qlonglong(textOwnEntry), qlonglong(n - textSame - textOwnEntry));
    std::printf("  database still %s after the comparison\n",
                database.state() == WordNetDatabase::State::Ready ? "ready" : qPrintable(database.detail()));
    for (const QByteArray &o : other)
        std::printf("  differs: %s\n", o.constData());
}

} // namespace

int main(int argc, char **argv)
{
    const QByteArrayList list = readWordList();
    if (list.isEmpty()) {
        std::fprintf(stderr, "no working word file\n");
        return 1;
    }
    WordDefinitions definitions;
    QElapsedTimer openClock;
    openClock.start();
    if (!definitions.available() || wninit() != 0) {
        // Nothing to measure; the other benchmarks still run.
        std::printf("WordNet not usable, nothing measured: %s\n", qPrintable(definitions.problem()));
        return 0;
    }
    std::printf("WordNet opened and checked in %.1f ms (at the first lookup, not at start-up)\n", msSince(openClock));
    measureCost(definitions, pick(list, TimedWords, 4));

    const bool all = argc > 1 && std::strcmp(argv[1], "all") == 0;
    const int sample = argc > 1 && !all ? std::max(1, std::atoi(argv[1])) : DefaultSample;
    compareAnswers(definitions, all ? list : pick(list, sample, 1));
    return 0;
}
