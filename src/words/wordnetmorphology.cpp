#include "words/wordnetmorphology.h"

#include "words/wordnetdatabase.h"

#include <span>

namespace {

struct Rule {
    QByteArrayView suffix;
    QByteArrayView ending;
};

constexpr Rule nounRules[] = {{"s", ""},     {"ses", "s"},   {"xes", "x"},   {"zes", "z"},
                              {"ches", "ch"}, {"shes", "sh"}, {"men", "man"}, {"ies", "y"}};
constexpr Rule verbRules[] = {{"s", ""},  {"ies", "y"}, {"es", "e"},  {"es", ""},
                              {"ed", "e"}, {"ed", ""},   {"ing", "e"}, {"ing", ""}};
constexpr Rule adjectiveRules[] = {{"er", ""}, {"est", ""}, {"er", "e"}, {"est", "e"}};

std::span<const Rule> rulesOf(WordNetPos pos)
{
    switch (pos) {
    case WordNetPos::Noun:
        return nounRules;
    case WordNetPos::Verb:
        return verbRules;
    case WordNetPos::Adjective:
        return adjectiveRules;
    case WordNetPos::Adverb:
        break;
    }
    return {};
}

// WordNet takes a suffix off only when something is left.
bool endsWithShorter(QByteArrayView word, QByteArrayView suffix)
{
    return word.size() > suffix.size() && word.endsWith(suffix);
}

} // namespace

QList<QByteArray> WordNetMorphology::baseForms(QByteArrayView word, WordNetPos pos) const
{
    const QList<QByteArrayView> listed = m_database.exceptions(pos, word);
    if (!listed.isEmpty()) {
        // A line that begins with the word itself gives nothing, and no rule is tried either.
        if (listed.first() == word)
            return {};
        QList<QByteArray> forms;
        for (QByteArrayView form : listed)
            forms.append(form.toByteArray());
        return forms;
    }
    QByteArrayView stem = word;
    QByteArrayView tail;
    if (pos == WordNetPos::Noun) {
        if (endsWithShorter(word, "ful")) {
            stem = word.first(word.size() - 3);
            tail = "ful";
        } else if (endsWithShorter(word, "ss") || word.size() <= 2) {
            return {};
        }
    }
    for (const Rule &rule : rulesOf(pos)) {
        if (!endsWithShorter(stem, rule.suffix))
            continue;
        const QByteArray base = stem.chopped(rule.suffix.size()).toByteArray() + rule.ending.toByteArray();
        if (m_database.defines(pos, base))
            return {base + tail.toByteArray()};
    }
    return {};
}
