#include "words/wordnetsortedfile.h"

#include <algorithm>
#include <cstring>

namespace {

QByteArrayView keyOf(QByteArrayView line)
{
    const qsizetype space = line.indexOf(' ');
    return space < 0 ? line : line.first(space);
}

// strcmp's order, which the files are sorted by.
int compareBytes(QByteArrayView a, QByteArrayView b)
{
    const int common = std::memcmp(a.data(), b.data(), size_t(std::min(a.size(), b.size())));
    if (common != 0)
        return common;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// Printable ASCII and newlines only: one pass the compiler can vectorise.
bool onlyTextBytes(QByteArrayView bytes)
{
    qsizetype odd = 0;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        odd += ((u < 0x20 && u != '\n') || u > 0x7e) ? 1 : 0;
    }
    return odd == 0;
}

bool fail(QString *why, const QString &text)
{
    *why = text;
    return false;
}

} // namespace

bool WordNetSortedFile::read(QByteArray bytes, Keys keys, QString *why)
{
    m_bytes.clear();
    m_firstEntry = 0;
    if (bytes.isEmpty() || !bytes.endsWith('\n'))
        return fail(why, QStringLiteral("it does not end with a whole line"));
    if (!onlyTextBytes(bytes))
        return fail(why, QStringLiteral("it holds bytes that are not text"));
    qsizetype firstEntry = -1;
    QByteArrayView previous;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype end = bytes.indexOf('\n', at);
        const QByteArrayView line(bytes.constData() + at, end - at);
        if (line.size() > MaxLineLength)
            return fail(why, QStringLiteral("a line at byte %1 is %2 bytes long").arg(at).arg(line.size()));
        if (firstEntry < 0 && line.startsWith("  ")) {
            at = end + 1;
            continue; // the licence header
        }
        const QByteArrayView key = keyOf(line);
        if (key.isEmpty() || key.size() == line.size())
            return fail(why, QStringLiteral("the line at byte %1 is no entry").arg(at));
        if (firstEntry < 0)
            firstEntry = at;
        else {
            const int order = compareBytes(previous, key);
            if (order > 0 || (order == 0 && keys == Keys::Unique))
                return fail(why, QStringLiteral("the line at byte %1 is out of order").arg(at));
        }
        previous = key;
        at = end + 1;
    }
    if (firstEntry < 0)
        return fail(why, QStringLiteral("it holds no entries"));
    m_bytes = std::move(bytes);
    m_firstEntry = firstEntry;
    return true;
}

QByteArrayView WordNetSortedFile::lineAt(qsizetype start) const
{
    const qsizetype end = m_bytes.indexOf('\n', start);
    return QByteArrayView(m_bytes.constData() + start, end - start);
}

QByteArrayView WordNetSortedFile::find(QByteArrayView key) const
{
    // Bisects the bytes and reads the line after each probe, as WordNet's bin_search does. Every
    // probe moves `top` up or `bot` down, so it ends; the lines are whole and checked, so every
    // read stays inside the file.
    const qsizetype size = m_bytes.size();
    if (size == 0)
        return {};
    qsizetype top = 0;
    qsizetype bot = size;
    qsizetype mid = size / 2;
    qsizetype diff = 0;
    QByteArrayView line;
    int order = 0;
    do {
        qsizetype start = mid - 1;
        if (mid != 1) {
            const qsizetype newline = m_bytes.indexOf('\n', start);
            start = newline < 0 ? size : newline + 1;
        }
        if (start < size)
            line = lineAt(start); // past the last line, WordNet compares the line it read before
        order = line.isNull() ? 1 : compareBytes(keyOf(line), key);
        if (order < 0)
            top = mid;
        else if (order > 0)
            bot = mid;
        diff = (bot - top) / 2;
        mid = top + diff;
    } while (order != 0 && diff != 0);
    return order == 0 ? line : QByteArrayView();
}
