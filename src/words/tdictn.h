#pragma once

#include <QFile>
#include <QString>

#include "words/wordchecker.h"

class Notifier;

// The word list lookup. The list travels inside the program as a resource; on construction it is
// copied to a working file (unless that file already exists, which is then trusted as it stands,
// except a cut copy of the list, which is written again whole) and every lookup is a binary
// search over that file's 15-byte records, one seek and one read per probe, so the list never
// sits in memory. The destructor closes and deletes the working file.
//
// Record: byte 0 is a marker (never checked), bytes 1..14 the word, blank padded. Records are
// sorted by their comparison value (see isword) as unsigned bytes.
class TDictn : public WordChecker {
public:
    static constexpr int RecordSize = 15;
    // Key and record word are both padded with blanks to this width before comparing.
    static constexpr int KeyWidth = 15;
    // Only this many leading bytes of a lookup argument are looked at.
    static constexpr int MaxArgumentLength = 255;

    TDictn(const QString &workingFile, Notifier *notifier,
           const QString &resource = QStringLiteral(":/words/english.dat"));
    ~TDictn() override;
    TDictn(const TDictn &) = delete;
    TDictn &operator=(const TDictn &) = delete;

    // Makes sure the working file exists, opens it, and on failure tells the notifier once;
    // the constructor runs it.
    void openlist();
    // True when word, in any case of a-z and with any leading/trailing blanks, is in the list.
    // Only keys of 1 to 14 characters can ever match; a blank inside never matches.
    bool isword(QByteArrayView word) override;
    // Closes and deletes the working file, ignoring any error; the destructor runs it.
    void closelist();

    // Copies `in` to `out` (room for in.size() bytes) as a lookup compares it: NUL read as
    // blank, blanks removed from both ends, a-z as capitals, every other byte kept. Returns the
    // length written. Whatever reads the records elsewhere reads them through this.
    static qsizetype normalise(QByteArrayView in, char *out);

    // Records read by the last isword call (0 when it answered without touching the file).
    int lastProbeCount() const { return m_lastProbeCount; }

private:
    bool writeWorkingFile();
    bool isCutCopy() const;
    bool readRecord(qint64 index, char *record);

    QString m_workingFile;
    QString m_resource;
    Notifier *m_notifier;
    QFile m_file;
    bool m_open = false;
    qint64 m_lastRecord = -1;
    int m_lastProbeCount = 0;
};
