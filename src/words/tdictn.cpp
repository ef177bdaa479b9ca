#include "words/tdictn.h"

#include <QFileInfo>
#include <QtDebug>

#include <algorithm>
#include <cstring>

#include "words/checkedsavefile.h"
#include "words/notifier.h"

// The resource lives in this static library; without a reference from code the program always
// runs, the linker would drop it. Q_INIT_RESOURCE must be used outside any namespace.
static void initWordListResource()
{
    Q_INIT_RESOURCE(words);
}

namespace {

const char NotFoundMessage[] = "English.dic dictionary not found!";

// Byte-wise as unsigned values; when one is a prefix of the other the shorter is smaller.
int compareBytes(QByteArrayView a, QByteArrayView b)
{
    const qsizetype common = std::min(a.size(), b.size());
    if (common > 0) {
        if (const int c = std::memcmp(a.data(), b.data(), size_t(common)))
            return c;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace

qsizetype TDictn::normalise(QByteArrayView in, char *out)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\0'; };
    qsizetype begin = 0;
    qsizetype end = in.size();
    while (begin < end && isBlank(in[begin]))
        ++begin;
    while (end > begin && isBlank(in[end - 1]))
        --end;
    for (qsizetype i = begin; i < end; ++i) {
        char c = in[i];
        if (c == '\0')
            c = ' ';
        else if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        *out++ = c;
    }
    return end - begin;
}

TDictn::TDictn(const QString &workingFile, Notifier *notifier, const QString &resource)
    : m_workingFile(workingFile), m_resource(resource), m_notifier(notifier)
{
    initWordListResource();
    openlist();
}

TDictn::~TDictn()
{
    closelist();
}

void TDictn::openlist()
{
    m_file.close();
    m_open = false;
    m_lastRecord = -1;
    if (!QFile::exists(m_workingFile) || isCutCopy())
        writeWorkingFile();

    m_file.setFileName(m_workingFile);
    // Unbuffered: a probe is one seek and one 15-byte read, not a refill of a read-ahead buffer.
    m_open = m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    if (m_open)
        m_lastRecord = m_file.size() / RecordSize - 1;
    else if (m_notifier)
        m_notifier->showMessage(QString::fromLatin1(NotFoundMessage));
}

// Writes the resource to the working file byte for byte. The bytes go to a temporary file that
// is renamed into place only when complete, and the file in place is then checked against the
// list's size: a cut copy would be trusted by every later lookup and refuse the last words of
// the alphabet. Whatever fails, the working file is left complete or absent.
bool TDictn::writeWorkingFile()
{
    QFile source(m_resource);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    CheckedSaveFile target(m_workingFile);
    bool written = target.open();
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    while (written) {
        const qint64 n = source.read(chunk.data(), chunk.size());
        if (n == 0)
            break;
        written = n > 0 && target.write(QByteArrayView(chunk.constData(), n));
    }
    written = written && target.commit();
    QString reason = target.errorString();
    if (written && QFileInfo(m_workingFile).size() != source.size()) {
        written = false;
        reason = QStringLiteral("the file does not hold the whole list");
    }
    if (!written) {
        qWarning() << "TDictn: cannot write" << m_workingFile << reason;
        QFile::remove(m_workingFile);
    }
    return written;
}

// True when the working file is a beginning of the list, shorter than it: what a run that could
// not finish writing it leaves behind. Any other file is searched as it stands.
bool TDictn::isCutCopy() const
{
    QFile source(m_resource);
    QFile existing(m_workingFile);
    if (!source.open(QIODevice::ReadOnly) || !existing.open(QIODevice::ReadOnly)
        || existing.size() >= source.size())
        return false;
    const qint64 chunkSize = 64 * 1024;
    for (qint64 left = existing.size(); left > 0; left -= chunkSize) {
        const QByteArray have = existing.read(chunkSize);
        if (have.isEmpty() || have != source.read(have.size()))
            return false;
    }
    return true;
}

bool TDictn::isword(QByteArrayView word)
{
    m_lastProbeCount = 0;
    if (!m_open)
        return false;

    word = word.first(std::min<qsizetype>(word.size(), MaxArgumentLength));
    // A key shorter than the width is padded with blanks; a longer one stays as it is and can
    // then never equal a record's value.
    QByteArray key(std::max<qsizetype>(word.size(), KeyWidth), ' ');
    const qsizetype length = normalise(word, key.data());
    if (length == 0)
        return false;
    key.truncate(std::max<qsizetype>(length, KeyWidth));

    qint64 low = 0;
    qint64 high = m_lastRecord;
    while (high >= low) {
        const qint64 mid = (low + high) / 2;
        char record[RecordSize];
        if (!readRecord(mid, record))
            return false;
        // The word field with the marker skipped, normalised like the key; at most 14 bytes,
        // so the padded value always ends in a blank.
        char value[KeyWidth];
        std::memset(value, ' ', sizeof value);
        normalise(QByteArrayView(record + 1, RecordSize - 1), value);
        const int order = compareBytes(QByteArrayView(value, KeyWidth), key);
        if (order == 0)
            return true;
        if (order < 0)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return false;
}

// False when the file cannot give one whole record at that place. A failing seek or read is
// answered with "not a word" and a warning: the callers are timer and button handlers that have
// no way to recover, and the dictionary stays open for the next lookup.
bool TDictn::readRecord(qint64 index, char *record)
{
    ++m_lastProbeCount;
    if (!m_file.seek(index * RecordSize)) {
        qWarning() << "TDictn: cannot seek in" << m_workingFile << m_file.errorString();
        return false;
    }
    const qint64 n = m_file.read(record, RecordSize);
    if (n < 0)
        qWarning() << "TDictn: cannot read" << m_workingFile << m_file.errorString();
    return n == RecordSize;
}

void TDictn::closelist()
{
    m_file.close();
    m_open = false;
    m_lastRecord = -1;
    QFile::remove(m_workingFile);
}
