#pragma once

#include <QByteArrayView>
#include <QVarLengthArray>

#include <optional>

#include "words/wordnetpos.h"

// One line of an index file: a lemma and the data file offsets of its senses, most frequent
// first. parse() accepts only a line whose every field has its place, width and count:
//   lemma pos synset_cnt p_cnt [ptr_symbol...] sense_cnt tagsense_cnt synset_offset...
struct WordNetIndexEntry {
    // No word of WordNet 3.0 has more than 75 senses or 13 kinds of pointer.
    static constexpr quint32 MaxSenses = 1000;
    static constexpr quint32 MaxPointerKinds = 100;

    QByteArrayView lemma;
    QVarLengthArray<quint32, 8> offsets; // most words have few senses: no allocation for them

    static std::optional<WordNetIndexEntry> parse(QByteArrayView line, WordNetPos pos);
};
