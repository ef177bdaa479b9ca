#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

#include "words/wordnetpos.h"

// One line of a data file, a synset: its words and its gloss. parse() accepts only a line that
// starts with its own offset and whose every field has its place, width and count:
//   synset_offset lex_filenum ss_type w_cnt word lex_id [word lex_id...] p_cnt [ptr...]
//   [frames...] | gloss
struct WordNetSynset {
    QList<QByteArray> words; // as the lexicographers wrote them: "AIDS", "running(a)", "take_a_breath"
    QByteArray gloss;        // the text after the bar: definition and example sentences

    static std::optional<WordNetSynset> parse(QByteArrayView line, quint32 offset, WordNetPos pos);

    // True when one of the words is `lemma` as an index file spells it: in small letters, and
    // without an adjective's syntactic marker such as "(a)".
    bool holds(QByteArrayView lemma) const;
};
