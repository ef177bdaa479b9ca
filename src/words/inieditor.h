#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A line-preserving editor for a sectioned settings file ("[Section]" lines, "key=value" lines)
// that another program shares with us. The file is edited, never regenerated: setValue touches
// only the value of one key line (or inserts one line, or appends one section), so every other
// byte -- foreign sections, comments, blank lines, odd spacing, quotes, backslashes, each line's
// own CRLF or LF -- is written back exactly as it was read.
//
// Section and key names compare case-insensitively, as the Windows profile functions do. Values
// are returned raw: only the blanks around them are trimmed, nothing is unescaped or unquoted.
// When a section or a key occurs twice, the first occurrence is the one read and written.
class IniEditor {
public:
    static IniEditor fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    // A missing file is an empty document (true). A file that cannot be read, or is larger than
    // any settings file can sensibly be, gives false and an empty document: do not save then, or
    // the other program's sections would be lost.
    bool load(const QString &path);
    // Written to a temporary file and renamed into place, so the file is either the old one or
    // the complete new one. False when the new one could not be written whole (a full disk),
    // with the reason in *error when given.
    bool save(const QString &path, QString *error = nullptr) const;

    QByteArray value(const QByteArray &section, const QByteArray &key,
                     const QByteArray &defaultValue = {}) const;
    // CR, LF and 0xFF are dropped from the value: a line break would split the line, and the
    // lobby's own parser must never meet the byte that ends our network messages. Empty section
    // or key names are ignored.
    void setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value);

    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

private:
    struct Line {
        QByteArray text; // without its terminator
        QByteArray eol;  // "\r\n", "\n", or empty for a last line without one
    };
    struct Span {
        qsizetype begin = 0;
        qsizetype end = 0;
    };

    qsizetype findSection(const QByteArray &section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QByteArray &key, Span *valueSpan) const;
    qsizetype lastKeyLine(qsizetype header) const;
    QByteArray defaultEol() const;
    void insertLine(qsizetype at, const QByteArray &text);

    QByteArray m_bom; // a UTF-8 byte order mark before the first line, kept as it was
    QList<Line> m_lines;
};
