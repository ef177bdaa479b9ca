#include "words/worddefinitions.h"

#include <QByteArray>
#include <QFile>
#include <QtDebug>

#include <wn.h>

#include <array>
#include <cstring>

namespace {

// WordNet's longest entries are far shorter; anything longer is no word of the game.
constexpr int MaxWordLength = 64;

struct PartOfSpeech {
    int code;
    const char *name;
};
constexpr PartOfSpeech partsOfSpeech[] = {{NOUN, "noun"}, {VERB, "verb"}, {ADJ, "adjective"}, {ADV, "adverb"}};

// "(gloss; \"example\"; \"example\")" -> "gloss".
QString glossOf(const char *defn)
{
    QString text = QString::fromLatin1(defn ? defn : "").trimmed();
    if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')')))
        text = text.mid(1, text.size() - 2);
    const qsizetype example = text.indexOf(QStringLiteral("; \""));
    if (example >= 0)
        text.truncate(example);
    if (text.startsWith(QLatin1Char('"')))
        text.clear(); // nothing but examples
    return text.trimmed();
}

// WordNet takes writable C strings; every call gets its own copy.
struct CString {
    std::array<char, MaxWordLength + 1> bytes{};
    explicit CString(const QByteArray &text)
    {
        std::strncpy(bytes.data(), text.constData(), MaxWordLength);
    }
    char *get() { return bytes.data(); }
};

// The word itself, then every base form WordNet's morphology gives for this part of speech.
QList<QByteArray> formsOf(const QByteArray &word, int pos)
{
    QList<QByteArray> forms{word};
    CString query(word);
    for (char *form = morphstr(query.get(), pos); form; form = morphstr(nullptr, pos)) {
        const QByteArray f(form);
        if (!forms.contains(f))
            forms.append(f);
    }
    return forms;
}

// Up to `wanted` senses of one part of speech, each read on its own so that a word with
// dozens of senses costs no more than one with three.
QList<WordDefinitions::Sense> sensesOf(const QByteArray &word, const PartOfSpeech &pos, int wanted)
{
    QList<WordDefinitions::Sense> senses;
    for (const QByteArray &form : formsOf(word, pos.code)) {
        for (int n = 1; senses.size() < wanted; ++n) {
            CString query(form);
            SynsetPtr synset = findtheinfo_ds(query.get(), pos.code, 0, n);
            if (!synset)
                break;
            const QString gloss = glossOf(synset->defn);
            free_syns(synset);
            if (!gloss.isEmpty())
                senses.append({QString::fromLatin1(pos.name), QString::fromLatin1(form).replace(QLatin1Char('_'), QLatin1Char(' ')), gloss});
        }
        if (!senses.isEmpty())
            break; // the first form that WordNet knows is the one meant
    }
    return senses;
}

// Folders that do not hold WordNet's data make wninit fail; a damaged index can still open.
// A word every release holds must then be found with a definition.
bool answersKnownWord()
{
    char dog[] = "dog";
    SynsetPtr synset = findtheinfo_ds(dog, NOUN, 0, 1);
    const bool ok = synset && synset->defn && std::strlen(synset->defn) > 2;
    if (synset)
        free_syns(synset);
    return ok;
}

} // namespace

WordDefinitions::WordDefinitions(const QString &searchDir)
    : m_searchDir(searchDir)
{
}

bool WordDefinitions::available()
{
    if (m_tried)
        return m_open;
    m_tried = true;
    if (!m_searchDir.isEmpty()) {
        qputenv("WNSEARCHDIR", QFile::encodeName(m_searchDir));
        m_open = re_wninit() == 0;
    } else {
        m_open = wninit() == 0;
    }
    if (!m_open)
        m_problem = QStringLiteral("WordNet's dictionary files were not found, so words have no definitions.");
    else if (!answersKnownWord()) {
        m_open = false;
        m_problem = QStringLiteral("WordNet's dictionary files are damaged, so words have no definitions.");
    }
    if (!m_open)
        qWarning("Lexitangle: %s", qPrintable(m_problem));
    return m_open;
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
    // Each part of speech's first sense comes before any second one.
    std::array<QList<Sense>, std::size(partsOfSpeech)> byPart;
    for (size_t p = 0; p < byPart.size(); ++p)
        byPart[p] = sensesOf(key, partsOfSpeech[p], MaxSenses);
    QList<Sense> senses;
    for (int n = 0; n < MaxSenses; ++n) {
        for (const QList<Sense> &part : byPart) {
            if (n < part.size() && senses.size() < MaxSenses)
                senses.append(part[n]);
        }
    }
    return senses;
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
