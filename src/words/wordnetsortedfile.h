#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// One of WordNet's sorted text files held in memory: an index file, or an exception list. Its
// lines are keyed by their first field and sorted by it in byte order, after a licence header
// whose lines begin with two spaces (index files only). read() checks every line before any is
// searched, so the search runs over well-formed lines in order, whatever the file held.
class WordNetSortedFile {
public:
    // Far above the longest line WordNet 3.0 holds (567 bytes); a longer one is damage.
    static constexpr qsizetype MaxLineLength = 4096;

    enum class Keys { Unique, Repeatable };

    // Takes the file's bytes; false, with `why` set, when they are not such a file.
    bool read(QByteArray bytes, Keys keys, QString *why);

    // The line whose key is `key`, without its newline; empty when there is none. It probes as
    // WordNet's own search does, so a key that an exception list holds twice resolves to the same
    // line as in WordNet's library.
    QByteArrayView find(QByteArrayView key) const;

    // Calls `check` with every line after the header; stops at the first it refuses.
    template <class Check>
    bool everyEntry(Check check) const
    {
        for (qsizetype at = m_firstEntry; at < m_bytes.size();) {
            const QByteArrayView line = lineAt(at);
            if (!check(line))
                return false;
            at += line.size() + 1;
        }
        return true;
    }

private:
    QByteArrayView lineAt(qsizetype start) const;

    QByteArray m_bytes;
    qsizetype m_firstEntry = 0;
};
