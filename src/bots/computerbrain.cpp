#include "bots/computerbrain.h"

#include "bots/wordbands.h"
#include "host/gamerules.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// How a player of one level plays. The figures are set from bench_computer's table, which
// compares them with what people find in three minutes on a 4x4 board (see the README).
struct Style {
    // Chance of knowing a word of each band, most common first.
    std::array<double, WordBands::BandCount> knows;
    // Words longer than this are spotted less often, by longFade for every letter more.
    int comfortLetters;
    double longFade;
    // Which words come to mind first: a letter more or a band rarer pushes a word later by
    // this much, against a random spread of about 1.
    double letterWeight;
    double bandWeight;
    // The first look at a new board, before the first word is even looked for.
    int reactionMinMs;
    int reactionMaxMs;
    // Mean time to see the first words. Each word found leaves harder ones: after depthWords
    // words the next takes twice as long. And as the words the player can see at all run out
    // it grows by the factor 1 + scarcity / words left.
    int thinkMs;
    double depthWords;
    double scarcity;
    // Entering a word: a fixed part (finding the first tile, pressing send) and a part per letter.
    int entryMs;
    int letterMs;
    // Now and then the player stops for a while: looks at the chat, turns the board, sighs.
    double pauseChance;
    int pauseMinMs;
    int pauseMaxMs;
};

constexpr Style styles[] = {
    // Easy, a beginner: everyday words of four or five letters, slowly.
    {{0.9, 0.8, 0.6, 0.4, 0.25, 0.1, 0.05, 0.02, 0.005}, 5, 0.35, 0.9, 0.35,
     3000, 6000, 7500, 4, 2.0, 900, 420, 0.15, 3000, 8000},
    // Normal, a casual player.
    {{0.98, 0.95, 0.88, 0.75, 0.6, 0.3, 0.15, 0.06, 0.02}, 6, 0.5, 0.45, 0.2,
     2000, 4000, 2700, 7, 2.0, 700, 300, 0.1, 2500, 6000},
    // Hard, a strong club player.
    {{1.0, 0.99, 0.97, 0.93, 0.88, 0.45, 0.3, 0.15, 0.06}, 7, 0.65, 0.2, 0.1,
     1200, 2400, 1150, 12, 2.0, 400, 150, 0.05, 2000, 4000},
    // Expert, the best people: nearly every word of a good vocabulary, at a person's best pace.
    {{1.0, 1.0, 1.0, 0.99, 0.98, 0.45, 0.3, 0.15, 0.07}, 8, 0.8, 0.05, 0.1,
     700, 1400, 1100, 60, 2.0, 300, 90, 0.02, 1500, 3000},
};

const Style &styleOf(int level) { return styles[level - ComputerBrain::Easy]; }

} // namespace

ComputerBrain::ComputerBrain(int level, quint32 seed)
    : m_level(std::clamp(level, int(Easy), int(Expert))), m_rng(seed)
{
}

double ComputerBrain::waitFactor()
{
    // Half of it fixed, half exponential: never instant, sometimes three times as long.
    return 0.5 - 0.5 * std::log(1.0 - m_rng.generateDouble());
}

QList<FoundWord> ComputerBrain::wordsInMind(const QList<FoundWord> &words, const WordBands &bands)
{
    const Style &style = styleOf(m_level);
    struct Candidate {
        double ease;
        const FoundWord *word;
    };
    std::vector<Candidate> candidates;
    QSet<QByteArray> seen;
    for (const FoundWord &w : words) {
        // The solver's paths are good; a list from elsewhere is checked like the host checks it.
        if (w.path.size() != w.word.size() || !GameRules::isAcceptablePath(w.path) || seen.contains(w.word))
            continue;
        seen.insert(w.word);
        const int letters = int(w.word.size());
        const int band = std::clamp(bands.band(w.word), 0, WordBands::BandCount - 1);
        const double spot = std::pow(style.longFade, std::max(0, letters - style.comfortLetters));
        if (m_rng.generateDouble() >= style.knows[size_t(band)] * spot)
            continue;
        const double ease = style.letterWeight * letters + style.bandWeight * band - std::log(1.0 - m_rng.generateDouble());
        candidates.push_back({ease, &w});
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate &a, const Candidate &b) { return a.ease < b.ease; });
    QList<FoundWord> inMind;
    inMind.reserve(qsizetype(candidates.size()));
    for (const Candidate &c : candidates)
        inMind.append(*c.word);
    return inMind;
}

qint64 ComputerBrain::thinkMs(qsizetype found, qsizetype left)
{
    const Style &style = styleOf(m_level);
    const double deeper = 1.0 + double(found) / style.depthWords;
    const double scarce = 1.0 + style.scarcity / double(std::max<qsizetype>(1, left));
    double ms = style.thinkMs * deeper * scarce * waitFactor();
    if (m_rng.generateDouble() < style.pauseChance)
        ms += uniform(style.pauseMinMs, style.pauseMaxMs);
    return qint64(ms);
}

void ComputerBrain::startRound(const QList<FoundWord> &words, const WordBands &bands, qint64 roundMs)
{
    stopRound();
    m_lastMomentMs = roundMs - EndMarginMs;
    if (m_lastMomentMs < 0)
        return;
    const Style &style = styleOf(m_level);
    const QList<FoundWord> inMind = wordsInMind(words, bands);
    qint64 at = qint64(uniform(style.reactionMinMs, style.reactionMaxMs));
    for (qsizetype i = 0; i < inMind.size(); ++i) {
        const FoundWord &w = inMind[i];
        const double entry = (style.entryMs + style.letterMs * double(w.word.size())) * uniform(0.8, 1.25);
        at += thinkMs(i, inMind.size() - i) + qint64(entry);
        if (!m_plan.isEmpty())
            at = std::max(at, m_plan.last().atMs + MinGapMs);
        // However fast the words come to mind, no more than a person can keep up.
        if (m_plan.size() >= PaceWords)
            at = std::max(at, m_plan[m_plan.size() - PaceWords].atMs + PaceWindowMs);
        if (at > m_lastMomentMs)
            break;
        m_plan.append({at, w});
    }
}

void ComputerBrain::stopRound()
{
    m_plan.clear();
    m_next = 0;
    m_lastMomentMs = -1;
    m_lastHandedMs = -1;
}

// The plan keeps MinGapMs and the pace between its words; a word handed out late pushes the
// rest back by as much, so what goes out keeps both too.
qint64 ComputerBrain::nextDueMs() const
{
    const qint64 planned = m_plan[m_next].atMs;
    if (m_next == 0 || m_lastHandedMs < 0)
        return planned;
    return std::max(planned, m_lastHandedMs + (planned - m_plan[m_next - 1].atMs));
}

std::optional<FoundWord> ComputerBrain::next(qint64 elapsedMs)
{
    if (elapsedMs > m_lastMomentMs)
        m_next = m_plan.size(); // the round is as good as over: the rest stays unsaid
    if (m_next >= m_plan.size() || nextDueMs() > elapsedMs)
        return std::nullopt;
    m_lastHandedMs = elapsedMs;
    return m_plan[m_next++].word;
}

qint64 ComputerBrain::msUntilNext(qint64 elapsedMs) const
{
    if (m_next >= m_plan.size() || elapsedMs > m_lastMomentMs)
        return -1;
    const qint64 due = nextDueMs();
    if (due > m_lastMomentMs)
        return -1;
    return std::max<qint64>(0, due - elapsedMs);
}
