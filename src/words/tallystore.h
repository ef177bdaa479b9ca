#pragma once

#include "words/tallytable.h"

#include <QString>

// The tally file: the tally text inside an LZRW1-KH container, kept in memory from end to end
// so that no working file ever appears in the current folder.
class TallyStore {
public:
    // The file is read and written whole; a tally is a few kilobytes, so anything far larger
    // is not one of ours and is refused before it is read.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    struct Loaded {
        TallyTable table;
        // Empty when the file was read or did not exist; otherwise the text for the message box.
        QString error;
    };

    explicit TallyStore(QString path);
    // "<folder>/Lexitangletally.tld": the settings section name followed by "tally.tld".
    static QString fileIn(const QString &folder);

    QString path() const { return m_path; }

    // A missing file gives a fresh tally and no error. An unreadable file gives a fresh tally
    // and the reason: a container the compressor refuses, or a text whose counts do not match
    // its lines. Session figures always start at 0.
    Loaded load() const;

    // Written beside the old file and renamed over it only when complete: on any failure the
    // old file stays as it was. False on failure.
    bool save(const TallyTable &table) const;

private:
    QString damagedTextMessage() const;

    QString m_path;
};
