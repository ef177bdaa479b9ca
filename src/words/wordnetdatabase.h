#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QString>

#include <array>
#include <optional>

#include "words/wordnetindexentry.h"
#include "words/wordnetpos.h"
#include "words/wordnetsortedfile.h"

// WordNet 3.0's database files (see wndb(5WN)), read by our own code so that no file, however
// damaged, can take the program down. open() reads the index files and exception lists into
// memory (about 6.4 MB) and checks every line of them: fields, order, offsets inside their data
// file; and the first and last synset of each data file. A data file is read a line at a time,
// when a sense is asked for, and each line is checked before anything is taken from it. The
// first failed check marks the whole database damaged: from then on it answers nothing.
class WordNetDatabase {
public:
    enum class State { Unopened, Ready, Missing, Damaged };

    // Far above the longest synset of WordNet 3.0 (12,972 bytes).
    static constexpr qint64 MaxSynsetLength = 64 * 1024;
    // Far above the largest file of WordNet 3.0 (15 MB).
    static constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

    explicit WordNetDatabase(const QString &folder);

    // WordNet's own choice: $WNSEARCHDIR, else $WNHOME/dict, else /usr/share/wordnet.
    static QString defaultFolder();

    // Reads and checks the files once; later calls answer the same.
    State open();
    State state() const { return m_state; }
    // What was wrong, for the log; empty while Ready.
    QString detail() const { return m_detail; }

    // The index lines of `form` and of its spellings with "_", "-" and "." changed as WordNet's
    // getindex tries them, in its order, each once.
    QList<WordNetIndexEntry> entries(WordNetPos pos, QByteArrayView form) const;
    bool defines(WordNetPos pos, QByteArrayView form) const { return !entries(pos, form).isEmpty(); }

    // The base forms the exception list gives for `word`, in its order; empty when it has none.
    QList<QByteArrayView> exceptions(WordNetPos pos, QByteArrayView word) const;

    // The gloss of the synset at `offset`, which holds `lemma`; nothing when it cannot be read or
    // is not such a synset, which marks the database damaged.
    std::optional<QByteArray> gloss(WordNetPos pos, quint32 offset, QByteArrayView lemma);

private:
    struct Part {
        WordNetSortedFile index;
        WordNetSortedFile exceptions;
        QFile data;
        qint64 dataSize = 0;
    };

    struct SynsetAt {
        quint32 offset = 0;
        QByteArray lemma;
    };

    State openParts();
    bool openPart(WordNetPos pos, Part &part);
    bool checkEntries(WordNetPos pos, const Part &part, SynsetAt *first, SynsetAt *last);
    bool checkIndex(WordNetPos pos, Part &part);
    bool damaged(const QString &what);
    std::optional<QByteArray> lineAt(Part &part, quint32 offset);

    QString m_folder;
    State m_state = State::Unopened;
    QString m_detail;
    std::array<Part, wordNetParts.size()> m_parts;
};
