#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

#include "words/wordnetdatabase.h"
#include "words/wordnetmorphology.h"

// What a word means, from the WordNet database on this machine (Debian's wordnet-base), read by
// our own WordNetDatabase. Inflected forms are looked up by their base forms too (RUNNING also
// as the verb run).
//
// The database is opened and checked at the first lookup, not at start-up. A missing or damaged
// database, found then or by any later lookup, makes every lookup answer nothing; problem() says
// why, and the log says it once.
class WordDefinitions {
public:
    static constexpr int MaxSenses = 3;

    struct Sense {
        QString partOfSpeech; // "noun", "verb", "adjective", "adverb"
        QString lemma;        // the form WordNet knows it by, in small letters
        QString gloss;        // the definition without its example sentences
    };

    // `searchDir`: the folder of WordNet's files; empty: WordNet's own choice (WNSEARCHDIR,
    // else WNHOME's dict, else /usr/share/wordnet).
    explicit WordDefinitions(const QString &searchDir = QString());

    // Opens the database if that has not been tried; false when it cannot be used.
    bool available();
    // Why the database cannot be used; empty while it can (or before it was tried).
    QString problem() const { return m_problem; }

    // Up to MaxSenses senses, taking each entry's first sense before any second one. A part of
    // speech's entry is the first form WordNet knows (the word, else a base form); an inflected
    // form that is an entry of its own (AIDS, WAYS) has its base form's entry too, shown first.
    // Empty when WordNet has none or cannot be used.
    QList<Sense> lookup(QByteArrayView word);

    // The text the round review shows: the senses one a line, or "No definition found.".
    static QString describe(QByteArrayView word, const QList<Sense> &senses);

private:
    QList<QList<Sense>> entriesOf(const QByteArray &word, WordNetPos pos);
    QList<Sense> sensesOf(const QByteArray &form, WordNetPos pos);

    WordNetDatabase m_database;
    WordNetMorphology m_morphology{m_database};
    QString m_problem;
};
