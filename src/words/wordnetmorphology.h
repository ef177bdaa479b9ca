#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include "words/wordnetpos.h"

class WordNetDatabase;

// The base forms WordNet's morphology gives a single word (see morphy(7WN)), in its order, so
// that RUNNING is also looked up as run and AXES as ax and axis. An irregular form comes from
// the part of speech's exception list; otherwise the first rule of detachment whose result the
// index holds gives the one base form. Nouns ending in "ful" are taken apart first (boxesful
// gives boxful).
class WordNetMorphology {
public:
    explicit WordNetMorphology(const WordNetDatabase &database) : m_database(database) {}

    // `word` in small letters; never the word itself first.
    QList<QByteArray> baseForms(QByteArrayView word, WordNetPos pos) const;

private:
    const WordNetDatabase &m_database;
};
