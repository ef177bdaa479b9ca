#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// What a word means, from the WordNet database on this machine (Debian's wordnet-base), read
// through WordNet's own library. Inflected forms are looked up by their base forms (RUNNING
// also as the verb run).
//
// WordNet's library keeps its open files and results in process-wide variables and is not
// safe to use from two threads or two objects at once with different folders: keep one object
// on the user-interface thread. The database is opened at the first lookup, not at start-up.
// A missing or damaged database makes every lookup answer nothing; problem() says why, once.
class WordDefinitions {
public:
    static constexpr int MaxSenses = 3;

    struct Sense {
        QString partOfSpeech; // "noun", "verb", "adjective", "adverb"
        QString lemma;        // the form WordNet knows it by, in small letters
        QString gloss;        // the definition without its example sentences
    };

    // `searchDir`: the folder of WordNet's files; empty: WordNet's own choice (WNSEARCHDIR,
    // else its built-in folder).
    explicit WordDefinitions(const QString &searchDir = QString());

    // Opens the database if that has not been tried; false when it cannot be used.
    bool available();
    // Why the database cannot be used; empty while it can (or before it was tried).
    QString problem() const { return m_problem; }

    // Up to MaxSenses senses, taking each part of speech's first sense before any second one.
    // Empty when WordNet has none or cannot be used.
    QList<Sense> lookup(QByteArrayView word);

    // The text the round review shows: the senses one a line, or "No definition found.".
    static QString describe(QByteArrayView word, const QList<Sense> &senses);

private:
    QString m_searchDir;
    bool m_tried = false;
    bool m_open = false;
    QString m_problem;
};
