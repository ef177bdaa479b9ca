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
    // The tally text of even a thousand opponents is well under 1 MiB. A container that
    // announces more is refused before anything is decoded, so a small file cannot make us
    // allocate gigabytes.
    static constexpr qint64 MaxTextSize = 16 * 1024 * 1024;

    struct Loaded {
        TallyTable table;
        // Empty when the file was read or did not exist; otherwise why it could not be read.
        QString error;
        // Where the unreadable file was moved; empty when it could not be moved and so stays
        // in its place, where no save will replace it.
        QString keptAs;
        // The text for the message box: the error and where the file went.
        QString message() const;
    };

    explicit TallyStore(QString path);
    // "<folder>/Lexitangletally.tld": the settings section name followed by "tally.tld".
    static QString fileIn(const QString &folder);

    QString path() const { return m_path; }

    // A missing file gives a fresh tally and no error. An unreadable file gives a fresh tally
    // and the reason: a container the compressor refuses, or a text the format cannot read.
    // The unreadable file is moved aside first, so the next save cannot destroy it. Session
    // figures always start at 0.
    Loaded load();

    // Written beside the old file and renamed over it only when complete: on any failure the
    // old file stays as it was. False on failure, with the reason in *error when given. An
    // unreadable file that could not be moved aside is never saved over.
    bool save(const TallyTable &table, QString *error = nullptr) const;

private:
    Loaded read() const;
    QString keepAside() const;
    QString damagedTextMessage() const;

    QString m_path;
    bool m_keepInPlace = false;
};
