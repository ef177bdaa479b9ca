#include "words/wordnetdatabase.h"

#include <QDir>
#include <QFileInfo>

#include "words/wordnetsynset.h"

namespace {

constexpr qint64 FirstRead = 4096;

QString fileName(const char *pattern, WordNetPos pos)
{
    return QString::fromLatin1(pattern).arg(QLatin1String(wordNetFileSuffix(pos)));
}

// "inflected base [base...]", one space between fields, as the library's reader expects.
bool isExceptionLine(QByteArrayView line)
{
    return line.contains(' ') && !line.contains("  ") && !line.endsWith(' ');
}

bool isText(QByteArrayView line)
{
    for (char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
            return false;
    }
    return true;
}

} // namespace

WordNetDatabase::WordNetDatabase(const QString &folder)
    : m_folder(folder)
{
}

QString WordNetDatabase::defaultFolder()
{
    const QString search = qEnvironmentVariable("WNSEARCHDIR");
    if (!search.isEmpty())
        return search;
    const QString home = qEnvironmentVariable("WNHOME");
    if (!home.isEmpty())
        return QDir(home).filePath(QStringLiteral("dict"));
    return QStringLiteral("/usr/share/wordnet");
}

WordNetDatabase::State WordNetDatabase::open()
{
    if (m_state == State::Unopened)
        m_state = openParts();
    return m_state;
}

WordNetDatabase::State WordNetDatabase::openParts()
{
    const QDir folder(m_folder);
    for (WordNetPos pos : wordNetParts) {
        for (const char *pattern : {"index.%1", "data.%1", "%1.exc"}) {
            const QString name = fileName(pattern, pos);
            if (!QFileInfo(folder.filePath(name)).isFile()) {
                m_detail = QStringLiteral("%1 is missing in %2").arg(name, m_folder);
                return State::Missing;
            }
        }
    }
    for (WordNetPos pos : wordNetParts) {
        if (!openPart(pos, m_parts[size_t(pos)]))
            return m_state; // Missing or Damaged, with the detail
    }
    return State::Ready;
}

bool WordNetDatabase::openPart(WordNetPos pos, Part &part)
{
    const QDir folder(m_folder);
    auto readWhole = [&](const QString &name, QByteArray *bytes) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            m_state = State::Missing;
            m_detail = QStringLiteral("%1 cannot be read: %2").arg(name, file.errorString());
            return false;
        }
        if (file.size() > MaxFileSize)
            return damaged(QStringLiteral("%1 is %2 bytes long").arg(name).arg(file.size()));
        *bytes = file.read(file.size());
        if (bytes->size() != file.size())
            return damaged(QStringLiteral("%1 could not be read whole").arg(name));
        return true;
    };
    QString why;
    QByteArray bytes;
    const QString indexName = fileName("index.%1", pos);
    if (!readWhole(indexName, &bytes))
        return false;
    if (!part.index.read(std::move(bytes), WordNetSortedFile::Keys::Unique, &why))
        return damaged(QStringLiteral("%1: %2").arg(indexName, why));
    const QString exceptionsName = fileName("%1.exc", pos);
    if (!readWhole(exceptionsName, &bytes))
        return false;
    if (!part.exceptions.read(std::move(bytes), WordNetSortedFile::Keys::Repeatable, &why))
        return damaged(QStringLiteral("%1: %2").arg(exceptionsName, why));
    if (!part.exceptions.everyEntry(isExceptionLine))
        return damaged(QStringLiteral("%1 holds a line that is no exception").arg(exceptionsName));

    const QString dataName = fileName("data.%1", pos);
    part.data.setFileName(folder.filePath(dataName));
    if (!part.data.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_state = State::Missing;
        m_detail = QStringLiteral("%1 cannot be read: %2").arg(dataName, part.data.errorString());
        return false;
    }
    part.dataSize = part.data.size();
    if (part.dataSize > MaxFileSize)
        return damaged(QStringLiteral("%1 is %2 bytes long").arg(dataName).arg(part.dataSize));
    return checkIndex(pos, part);
}

// Every entry of the index must read and point inside the data file. Notes the first and last
// synset any entry points to.
bool WordNetDatabase::checkEntries(WordNetPos pos, const Part &part, SynsetAt *first, SynsetAt *last)
{
    *first = {quint32(-1), {}};
    *last = {0, {}};
    QByteArray wrong; // what failed, for the log
    bool pastTheEnd = false;
    const bool wellFormed = part.index.everyEntry([&](QByteArrayView line) {
        const std::optional<WordNetIndexEntry> entry = WordNetIndexEntry::parse(line, pos);
        if (!entry) {
            wrong = line.first(std::min<qsizetype>(line.size(), 60)).toByteArray();
            return false;
        }
        for (quint32 offset : entry->offsets) {
            if (offset == 0 || offset >= part.dataSize) {
                wrong = entry->lemma.toByteArray();
                pastTheEnd = true;
                return false;
            }
            if (offset < first->offset)
                *first = {offset, entry->lemma.toByteArray()};
            if (offset > last->offset)
                *last = {offset, entry->lemma.toByteArray()};
        }
        return true;
    });
    if (wellFormed)
        return true;
    const QString index = fileName("index.%1", pos);
    return damaged(pastTheEnd ? QStringLiteral("%1: \"%2\" has a sense past the end of %3")
                                    .arg(index, QString::fromLatin1(wrong), fileName("data.%1", pos))
                              : QStringLiteral("%1: the entry \"%2\" does not read").arg(index, QString::fromLatin1(wrong)));
}

// The data file's first synset and its last, which ends the file, must be where the index says:
// a cut, or a line added anywhere before the end, moves the last one.
bool WordNetDatabase::checkIndex(WordNetPos pos, Part &part)
{
    SynsetAt first;
    SynsetAt last;
    if (!checkEntries(pos, part, &first, &last))
        return false;
    const QString dataName = fileName("data.%1", pos);
    qsizetype lastLength = 0;
    for (const SynsetAt &synset : {first, last}) {
        const std::optional<QByteArray> line = lineAt(part, synset.offset);
        const std::optional<WordNetSynset> read = line ? WordNetSynset::parse(*line, synset.offset, pos) : std::nullopt;
        if (!read || !read->holds(synset.lemma))
            return damaged(QStringLiteral("%1 has no synset of \"%2\" at byte %3")
                               .arg(dataName, QString::fromLatin1(synset.lemma))
                               .arg(synset.offset));
        lastLength = line->size();
    }
    if (qint64(last.offset) + lastLength + 1 != part.dataSize)
        return damaged(QStringLiteral("%1 goes on after its last synset").arg(dataName));
    return true;
}

bool WordNetDatabase::damaged(const QString &what)
{
    m_state = State::Damaged;
    m_detail = what;
    return false;
}

std::optional<QByteArray> WordNetDatabase::lineAt(Part &part, quint32 offset)
{
    // The byte before a synset ends the line above it; the line must end within the limit.
    if (offset == 0 || qint64(offset) >= part.dataSize || !part.data.seek(qint64(offset) - 1))
        return std::nullopt;
    QByteArray bytes = part.data.read(std::min(FirstRead, part.dataSize - offset + 1));
    qsizetype end = bytes.indexOf('\n', 1);
    if (end < 0 && bytes.size() == FirstRead) {
        bytes += part.data.read(std::min(MaxSynsetLength + 2, part.dataSize - offset + 1) - FirstRead);
        end = bytes.indexOf('\n', 1);
    }
    if (bytes.isEmpty() || bytes[0] != '\n' || end < 0 || end - 1 > MaxSynsetLength)
        return std::nullopt;
    const QByteArray line = bytes.mid(1, end - 1);
    if (!isText(line))
        return std::nullopt;
    return line;
}

QList<WordNetIndexEntry> WordNetDatabase::entries(WordNetPos pos, QByteArrayView form) const
{
    if (m_state != State::Ready || form.isEmpty())
        return {};
    const QByteArray word = form.toByteArray().toLower();
    QByteArray hyphens = word, underscores = word, joined, noPeriods;
    hyphens.replace('_', '-');
    underscores.replace('-', '_');
    for (char c : word) {
        if (c != '_' && c != '-')
            joined += c;
        if (c != '.')
            noPeriods += c;
    }
    QList<WordNetIndexEntry> found;
    QList<QByteArray> tried;
    for (const QByteArray &spelling : {word, hyphens, underscores, joined, noPeriods}) {
        if (spelling.isEmpty() || tried.contains(spelling))
            continue;
        tried.append(spelling);
        const QByteArrayView line = m_parts[size_t(pos)].index.find(spelling);
        if (line.isEmpty())
            continue;
        if (std::optional<WordNetIndexEntry> entry = WordNetIndexEntry::parse(line, pos))
            found.append(std::move(*entry));
    }
    return found;
}

QList<QByteArrayView> WordNetDatabase::exceptions(WordNetPos pos, QByteArrayView word) const
{
    if (m_state != State::Ready || word.isEmpty())
        return {};
    QList<QByteArrayView> bases;
    QByteArrayView rest = m_parts[size_t(pos)].exceptions.find(word);
    if (rest.isEmpty())
        return {};
    rest = rest.sliced(rest.indexOf(' ') + 1);
    for (qsizetype space = rest.indexOf(' '); space >= 0; space = rest.indexOf(' ')) {
        bases.append(rest.first(space));
        rest = rest.sliced(space + 1);
    }
    bases.append(rest);
    return bases;
}

std::optional<QByteArray> WordNetDatabase::gloss(WordNetPos pos, quint32 offset, QByteArrayView lemma)
{
    if (m_state != State::Ready)
        return std::nullopt;
    Part &part = m_parts[size_t(pos)];
    const std::optional<QByteArray> line = lineAt(part, offset);
    const std::optional<WordNetSynset> synset = line ? WordNetSynset::parse(*line, offset, pos) : std::nullopt;
    if (!synset || !synset->holds(lemma)) {
        damaged(QStringLiteral("%1 has no synset of \"%2\" at byte %3")
                    .arg(fileName("data.%1", pos), QString::fromLatin1(lemma.toByteArray()))
                    .arg(offset));
        return std::nullopt;
    }
    return synset->gloss;
}
