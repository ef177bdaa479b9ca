#include "words/worddefinitions.h"

#include <QStringList>
#include <QtDebug>

#include <array>

namespace {

// WordNet's longest entries are far shorter; anything longer is no word of the game.
constexpr int MaxWordLength = 64;

// "gloss; \"example\"; \"example\"" -> "gloss".
QString glossOf(const QByteArray &text)
{
    QString gloss = QString::fromLatin1(text).trimmed();
    const qsizetype example = gloss.indexOf(QStringLiteral("; \""));
    if (example >= 0)
        gloss.truncate(example);
    if (gloss.startsWith(QLatin1Char('"')))
        gloss.clear(); // nothing but examples
    return gloss.trimmed();
}

using Sense = WordDefinitions::Sense;
// Per part of speech, its entries: the word's own senses, then a base form's.
using PartsEntries = std::array<QList<QList<Sense>>, wordNetParts.size()>;

QList<Sense> chooseSenses(const PartsEntries &byPart)
{
    // Which senses: every entry's first before any entry's second, the parts of speech in order,
    // the word's own entry before its base form's. A word that is no entry of its own, or has no
    // base form, keeps one entry per part and so the senses it always had.
    std::array<QList<qsizetype>, wordNetParts.size()> taken;
    qsizetype total = 0;
    for (qsizetype n = 0; n < WordDefinitions::MaxSenses; ++n) {
        for (size_t p = 0; p < byPart.size(); ++p) {
            taken[p].resize(byPart[p].size());
            for (qsizetype e = 0; e < byPart[p].size(); ++e) {
                if (n < byPart[p][e].size() && total < WordDefinitions::MaxSenses) {
                    ++taken[p][e];
                    ++total;
                }
            }
        }
    }
    // In which order: a part of speech's senses entry by entry, the base form's first (WAYS:
    // two senses of way, then the slipway), the parts taking turns.
    std::array<QList<Sense>, wordNetParts.size()> shown;
    for (size_t p = 0; p < byPart.size(); ++p) {
        for (qsizetype e = byPart[p].size() - 1; e >= 0; --e)
            shown[p] += byPart[p][e].first(taken[p][e]);
    }
    QList<Sense> senses;
    for (qsizetype n = 0; senses.size() < total; ++n) {
        for (const QList<Sense> &part : shown) {
            if (n < part.size())
                senses.append(part[n]);
        }
    }
    return senses;
}

} // namespace

WordDefinitions::WordDefinitions(const QString &searchDir)
    : m_database(searchDir.isEmpty() ? WordNetDatabase::defaultFolder() : searchDir)
{
}

bool WordDefinitions::available()
{
    const WordNetDatabase::State state = m_database.open();
    if (state == WordNetDatabase::State::Ready)
        return true;
    if (m_problem.isEmpty()) {
        m_problem = state == WordNetDatabase::State::Missing
            ? QStringLiteral("WordNet's dictionary files were not found, so words have no definitions.")
            : QStringLiteral("WordNet's dictionary files are damaged, so words have no definitions.");
        qWarning("Lexitangle: %s (%s)", qPrintable(m_problem), qPrintable(m_database.detail()));
    }
    return false;
}

// Up to MaxSenses senses of one form, numbered as WordNet numbers them (sense n from the first
// spelling that has n), each read on its own so that a word with dozens of senses costs no more
// than one with three.
QList<WordDefinitions::Sense> WordDefinitions::sensesOf(const QByteArray &form, WordNetPos pos)
{
    QList<Sense> senses;
    const QList<WordNetIndexEntry> entries = m_database.entries(pos, form);
    for (qsizetype n = 0; senses.size() < MaxSenses; ++n) {
        auto spelling = std::find_if(entries.begin(), entries.end(),
                                     [n](const WordNetIndexEntry &e) { return n < e.offsets.size(); });
        if (spelling == entries.end())
            break;
        const std::optional<QByteArray> text = m_database.gloss(pos, spelling->offsets[n], spelling->lemma);
        if (!text)
            return {}; // damaged
        const QString gloss = glossOf(*text);
        if (!gloss.isEmpty())
            senses.append({QString::fromLatin1(wordNetPosName(pos)),
                           QString::fromLatin1(form).replace(QLatin1Char('_'), QLatin1Char(' ')), gloss});
    }
    return senses;
}

// The entries one part of speech has: the word's own, and the first base form WordNet knows.
QList<QList<WordDefinitions::Sense>> WordDefinitions::entriesOf(const QByteArray &word, WordNetPos pos)
{
    const QList<Sense> own = sensesOf(word, pos);
    QList<Sense> base;
    for (const QByteArray &form : m_morphology.baseForms(word, pos)) {
        if (form != word && !(base = sensesOf(form, pos)).isEmpty())
            break;
    }
    QList<QList<Sense>> entries;
    for (const QList<Sense> &senses : {own, base}) {
        if (!senses.isEmpty())
            entries.append(senses);
    }
    return entries;
}

QList<WordDefinitions::Sense> WordDefinitions::lookup(QByteArrayView word)
{
    const QByteArray key = word.toByteArray().trimmed().toLower();
    if (key.isEmpty() || key.size() > MaxWordLength || !available())
        return {};
    for (char c : key) {
        if (c < 'a' || c > 'z')
            return {};
    }
    PartsEntries byPart;
    for (WordNetPos pos : wordNetParts)
        byPart[size_t(pos)] = entriesOf(key, pos);
    if (!available())
        return {}; // damage found on the way
    return chooseSenses(byPart);
}

QString WordDefinitions::describe(QByteArrayView word, const QList<Sense> &senses)
{
    if (senses.isEmpty())
        return QStringLiteral("No definition found.");
    const QString own = QString::fromLatin1(word.toByteArray()).toLower();
    QStringList lines;
    for (const Sense &s : senses) {
        const QString form = s.lemma == own ? QString() : QStringLiteral(" (%1)").arg(s.lemma);
        lines << QStringLiteral("%1%2: %3").arg(s.partOfSpeech, form, s.gloss);
    }
    return lines.join(QLatin1Char('\n'));
}
