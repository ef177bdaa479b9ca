#include "words/wordnetsynset.h"

#include "words/wordnetfields.h"

namespace {

bool typeFits(QByteArrayView type, WordNetPos pos)
{
    if (type.size() != 1)
        return false;
    if (pos == WordNetPos::Adjective && type[0] == 's')
        return true; // a satellite adjective
    return type[0] == wordNetPosLetter(pos);
}

bool isPosLetter(QByteArrayView field)
{
    return field.size() == 1 && QByteArrayView("nvasr").contains(field[0]);
}

bool skipPointers(WordNetFields &fields)
{
    const std::optional<quint32> count = fields.number(10, 3);
    if (!count)
        return false;
    for (quint32 i = 0; i < *count; ++i) {
        if (fields.next().isEmpty() || !fields.number(10, 8) || !isPosLetter(fields.next()) || !fields.number(16, 4))
            return false;
    }
    return true;
}

// A verb's sentence frames: f_cnt + f_num w_num [+ f_num w_num...]
bool skipFrames(WordNetFields &fields)
{
    const std::optional<quint32> count = fields.number(10, 2);
    if (!count)
        return false;
    for (quint32 i = 0; i < *count; ++i) {
        if (fields.next() != "+" || !fields.number(10, 2) || !fields.number(16, 2))
            return false;
    }
    return true;
}

} // namespace

std::optional<WordNetSynset> WordNetSynset::parse(QByteArrayView line, quint32 offset, WordNetPos pos)
{
    WordNetFields fields(line);
    if (fields.number(10, 8) != offset || !fields.number(10, 2) || !typeFits(fields.next(), pos))
        return std::nullopt;
    const std::optional<quint32> wordCount = fields.number(16, 2);
    if (!wordCount || *wordCount == 0)
        return std::nullopt;
    WordNetSynset synset;
    for (quint32 i = 0; i < *wordCount; ++i) {
        const QByteArrayView word = fields.next();
        if (word.isEmpty() || !fields.number(16, 1))
            return std::nullopt;
        synset.words.append(word.toByteArray());
    }
    if (!skipPointers(fields) || (pos == WordNetPos::Verb && !skipFrames(fields)) || fields.next() != "|")
        return std::nullopt;
    synset.gloss = fields.rest().trimmed().toByteArray();
    return synset;
}

bool WordNetSynset::holds(QByteArrayView lemma) const
{
    for (const QByteArray &word : words) {
        QByteArrayView bare(word);
        if (bare.endsWith(')') && bare.contains('('))
            bare = bare.first(bare.lastIndexOf('('));
        if (bare.size() == lemma.size() && bare.toByteArray().toLower() == lemma)
            return true;
    }
    return false;
}
