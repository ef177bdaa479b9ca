#include "words/wordnetindexentry.h"

#include "words/wordnetfields.h"

std::optional<WordNetIndexEntry> WordNetIndexEntry::parse(QByteArrayView line, WordNetPos pos)
{
    WordNetFields fields(line);
    WordNetIndexEntry entry;
    entry.lemma = fields.next();
    const QByteArrayView letter = fields.next();
    if (entry.lemma.isEmpty() || letter.size() != 1 || letter[0] != wordNetPosLetter(pos))
        return std::nullopt;
    const std::optional<quint32> synsets = fields.number(10);
    const std::optional<quint32> pointerKinds = fields.number(10);
    if (!synsets || *synsets == 0 || *synsets > MaxSenses || !pointerKinds || *pointerKinds > MaxPointerKinds)
        return std::nullopt;
    for (quint32 i = 0; i < *pointerKinds; ++i) {
        if (fields.next().isEmpty())
            return std::nullopt;
    }
    const std::optional<quint32> senses = fields.number(10);
    const std::optional<quint32> tagged = fields.number(10);
    if (senses != synsets || !tagged || *tagged > *senses)
        return std::nullopt;
    entry.offsets.reserve(*senses);
    for (quint32 i = 0; i < *senses; ++i) {
        const std::optional<quint32> offset = fields.number(10, 8);
        if (!offset)
            return std::nullopt;
        entry.offsets.append(*offset);
    }
    if (!fields.atEnd())
        return std::nullopt;
    return entry;
}
