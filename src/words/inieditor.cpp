#include "words/inieditor.h"

#include "words/checkedsavefile.h"

#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

const QByteArray Bom = QByteArrayLiteral("\xEF\xBB\xBF");

// The blanks that Windows trims around names and values; '\r' is among them so that a last line
// cut between CR and LF still reads as its text.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

qsizetype skipBlanks(const QByteArray &text, qsizetype from)
{
    while (from < text.size() && isBlank(text.at(from)))
        ++from;
    return from;
}

qsizetype trimBlanksBack(const QByteArray &text, qsizetype end, qsizetype floor)
{
    while (end > floor && isBlank(text.at(end - 1)))
        --end;
    return end;
}

// "[name]" with optional blanks; the name lies between '[' and the last ']'. A line without
// the closing bracket is not a section header (Windows reads it as a key line too).
std::optional<QByteArray> sectionName(const QByteArray &text)
{
    const qsizetype open = skipBlanks(text, 0);
    if (open >= text.size() || text.at(open) != '[')
        return std::nullopt;
    const qsizetype close = text.lastIndexOf(']');
    if (close <= open)
        return std::nullopt;
    return text.mid(open + 1, close - open - 1).trimmed();
}

bool isComment(const QByteArray &text)
{
    const qsizetype first = skipBlanks(text, 0);
    return first < text.size() && (text.at(first) == ';' || text.at(first) == '#');
}

struct KeyLine {
    QByteArray key;
    qsizetype valueBegin;
    qsizetype valueEnd;
};

std::optional<KeyLine> keyLine(const QByteArray &text)
{
    if (isComment(text) || sectionName(text))
        return std::nullopt;
    const qsizetype eq = text.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    const qsizetype keyBegin = skipBlanks(text, 0);
    const qsizetype keyEnd = trimBlanksBack(text, eq, keyBegin);
    const qsizetype valueBegin = skipBlanks(text, eq + 1);
    const qsizetype valueEnd = trimBlanksBack(text, text.size(), valueBegin);
    return KeyLine{text.mid(keyBegin, keyEnd - keyBegin), valueBegin, valueEnd};
}

bool sameName(const QByteArray &a, const QByteArray &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray mendValue(QByteArray value)
{
    value.removeIf([](char c) { return c == '\r' || c == '\n' || c == '\xFF'; });
    return value;
}

} // namespace

IniEditor IniEditor::fromBytes(const QByteArray &bytes)
{
    IniEditor ini;
    qsizetype pos = 0;
    if (bytes.startsWith(Bom)) {
        ini.m_bom = Bom;
        pos = Bom.size();
    }
    while (pos < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', pos);
        if (nl < 0) {
            ini.m_lines.append({bytes.mid(pos), {}});
            break;
        }
        const bool crlf = nl > pos && bytes.at(nl - 1) == '\r';
        const qsizetype textEnd = crlf ? nl - 1 : nl;
        ini.m_lines.append({bytes.mid(pos, textEnd - pos), crlf ? QByteArray("\r\n") : QByteArray("\n")});
        pos = nl + 1;
    }
    return ini;
}

QByteArray IniEditor::toBytes() const
{
    QByteArray out = m_bom;
    for (const Line &line : m_lines)
        out += line.text + line.eol;
    return out;
}

bool IniEditor::load(const QString &path)
{
    *this = IniEditor();
    QFile file(path);
    if (!file.exists())
        return true;
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > MaxFileSize)
        return false;
    // Asked for no more than the file holds (plus one byte to see it grow): a read of the
    // whole limit would reserve the limit in memory at every load.
    const QByteArray bytes = file.read(file.size() + 1);
    if (bytes.size() > MaxFileSize || file.error() != QFileDevice::NoError)
        return false;
    *this = fromBytes(bytes);
    return true;
}

bool IniEditor::save(const QString &path, QString *error) const
{
    return CheckedSaveFile::saveWhole(path, toBytes(), error);
}

QByteArray IniEditor::value(const QByteArray &section, const QByteArray &key,
                            const QByteArray &defaultValue) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return defaultValue;
    Span span;
    const qsizetype at = findKey(header, key, &span);
    if (at < 0)
        return defaultValue;
    return m_lines.at(at).text.mid(span.begin, span.end - span.begin);
}

void IniEditor::setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty())
        return;
    const QByteArray clean = mendValue(value);
    const qsizetype header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !m_lines.constLast().text.trimmed().isEmpty())
            insertLine(m_lines.size(), {});
        insertLine(m_lines.size(), '[' + section + ']');
        insertLine(m_lines.size(), key + '=' + clean);
        return;
    }
    Span span;
    const qsizetype at = findKey(header, key, &span);
    if (at < 0) {
        insertLine(lastKeyLine(header) + 1, key + '=' + clean);
        return;
    }
    // Only the value's own bytes change; the key's spelling and the spacing stay.
    m_lines[at].text.replace(span.begin, span.end - span.begin, clean);
}

qsizetype IniEditor::findSection(const QByteArray &section) const
{
    if (section.trimmed().isEmpty())
        return -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const std::optional<QByteArray> name = sectionName(m_lines.at(i).text);
        if (name && sameName(*name, section.trimmed()))
            return i;
    }
    return -1;
}

// One past the last line that belongs to the section whose header is at `header`.
qsizetype IniEditor::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && !sectionName(m_lines.at(i).text))
        ++i;
    return i;
}

qsizetype IniEditor::findKey(qsizetype header, const QByteArray &key, Span *valueSpan) const
{
    const QByteArray wanted = key.trimmed();
    if (wanted.isEmpty())
        return -1;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const std::optional<KeyLine> kl = keyLine(m_lines.at(i).text);
        if (kl && sameName(kl->key, wanted)) {
            *valueSpan = {kl->valueBegin, kl->valueEnd};
            return i;
        }
    }
    return -1;
}

// The header itself when the section holds no key yet, so that a new key goes right under it
// and trailing blank lines and comments (which usually introduce the next section) stay below.
qsizetype IniEditor::lastKeyLine(qsizetype header) const
{
    qsizetype last = header;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (keyLine(m_lines.at(i).text))
            last = i;
    }
    return last;
}

// New lines follow the file's own convention; a new file gets CRLF, as the lobby writes it.
QByteArray IniEditor::defaultEol() const
{
    for (const Line &line : m_lines) {
        if (!line.eol.isEmpty())
            return line.eol;
    }
    return QByteArrayLiteral("\r\n");
}

void IniEditor::insertLine(qsizetype at, const QByteArray &text)
{
    Line line{text, defaultEol()};
    // Inserting after an unterminated last line: that line gets a terminator and the new last
    // line goes without one, so a file that ended without a line break still does.
    if (at > 0 && m_lines.at(at - 1).eol.isEmpty()) {
        m_lines[at - 1].eol = line.eol;
        line.eol.clear();
    }
    m_lines.insert(at, line);
}
