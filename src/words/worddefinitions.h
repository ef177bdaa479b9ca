#pragma once

#include <QByteArrayView>
#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <memory>

#include "words/wordnetdatabase.h"

// What a word means, from the WordNet database on this machine (Debian's wordnet-base), read by
// our own WordNetDatabase. Inflected forms are looked up by their base forms too (RUNNING also
// as the verb run).
//
// The database is opened and checked when first needed, never at start-up: on a worker thread
// after openInBackground(), which is how the windows ask for it (the files may lie on a slow
// disk), or else at the first lookup. A missing or damaged database, found then or by any later
// lookup, makes every lookup answer nothing; problem() says why, and the log says it once.
class WordDefinitions : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxSenses = 3;

    struct Sense {
        QString partOfSpeech; // "noun", "verb", "adjective", "adverb"
        QString lemma;        // the form WordNet knows it by, in small letters
        QString gloss;        // the definition without its example sentences
    };

    // `searchDir`: the folder of WordNet's files; empty: WordNet's own choice (WNSEARCHDIR,
    // else WNHOME's dict, else /usr/share/wordnet).
    explicit WordDefinitions(const QString &searchDir = QString(), QObject *parent = nullptr);
    // An open still running on its worker is left to finish there; it holds nothing of this
    // object, and the application's exit waits for it.
    ~WordDefinitions() override;

    // Starts opening and checking the database on a thread of `pool`, unless that has begun;
    // opened() follows on this object's thread.
    void openInBackground(QThreadPool *pool = QThreadPool::globalInstance());
    // Whether the database has been opened and checked, usable or not: lookups answer at once.
    bool isOpen() const { return m_database != nullptr; }

    // Opens the database here if that has not been tried, or waits for the open under way;
    // false when it cannot be used.
    bool available();
    // Why the database cannot be used; empty while it can (or before it was tried).
    QString problem() const { return m_problem; }

    // Up to MaxSenses senses, taking each entry's first sense before any second one. A part of
    // speech's entry is the first form WordNet knows (the word, else a base form); an inflected
    // form that is an entry of its own (AIDS, WAYS) has its base form's entry too, shown first.
    // Empty when WordNet has none or cannot be used. Opens the database as available() does.
    QList<Sense> lookup(QByteArrayView word);

    // The text the round review shows: the senses one a line, or "No definition found.".
    static QString describe(QByteArrayView word, const QList<Sense> &senses);

Q_SIGNALS:
    // The open begun by openInBackground() is done; problem() says whether it failed.
    void opened();

private:
    using Loaded = std::shared_ptr<WordNetDatabase>;

    void settle();
    QList<QList<Sense>> entriesOf(const QByteArray &word, WordNetPos pos);
    QList<Sense> sensesOf(const QByteArray &form, WordNetPos pos);

    QString m_folder;
    // Null until opened and checked; from then on read and used on this object's thread only.
    Loaded m_database;
    QFutureWatcher<Loaded> m_opening;
    bool m_openingStarted = false;
    QString m_problem;
};
