#include "bots/wordbands.h"

#include <QFile>
#include <QtDebug>

#include <algorithm>
#include <optional>

// The table travels in the word list's resource file; a reader that runs before the dictionary
// is made must register it itself. Q_INIT_RESOURCE must be used outside any namespace.
static void initWordResources()
{
    Q_INIT_RESOURCE(words);
}

namespace {

constexpr int RecordSize = 15;
constexpr int MaxLetters = 12;
constexpr int BandBits = 4;
constexpr std::uint64_t BandMask = (1u << BandBits) - 1;

// The letters of a word packed into the top 60 bits, or nothing for a word tiles cannot spell.
// Bytes are read as the dictionary reads a record: NUL as blank, blanks at both ends dropped,
// a-z as capitals.
std::optional<std::uint64_t> packed(QByteArrayView bytes)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\0'; };
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    const qsizetype length = end - begin;
    if (length < 1 || length > MaxLetters)
        return std::nullopt;
    std::uint64_t key = 0;
    for (qsizetype i = 0; i < length; ++i) {
        char c = bytes[begin + i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c < 'A' || c > 'Z')
            return std::nullopt;
        key |= std::uint64_t(c - 'A' + 1) << (64 - 5 * (i + 1));
    }
    return key;
}

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "word bands:" << path << "cannot be read:" << file.errorString();
        return {};
    }
    return file.readAll();
}

} // namespace

WordBands WordBands::fromData(QByteArrayView records, QByteArrayView table)
{
    WordBands bands;
    const qsizetype count = records.size() / RecordSize;
    if (count == 0 || table.size() != count) {
        qWarning("word bands: the table holds %lld codes for %lld words; every word counts as middling",
                 static_cast<long long>(table.size()), static_cast<long long>(count));
        return bands;
    }
    if (std::any_of(table.begin(), table.end(), [](char code) { return quint8(code) >= BandCount; })) {
        qWarning("word bands: the table holds a code above %d; not used", BandCount - 1);
        return bands;
    }
    bands.m_keys.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const auto key = packed(records.sliced(i * RecordSize + 1, RecordSize - 1));
        if (key)
            bands.m_keys.push_back(*key | quint8(table[i]));
    }
    // A list out of order (a working file someone edited) still answers every word it holds.
    std::sort(bands.m_keys.begin(), bands.m_keys.end());
    return bands;
}

WordBands WordBands::load(const QString &wordFile, const QString &tableFile)
{
    initWordResources();
    return fromData(readWhole(wordFile), readWhole(tableFile));
}

int WordBands::band(QByteArrayView word) const
{
    const auto key = packed(word);
    if (!key || m_keys.empty())
        return MiddleBand;
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), *key);
    if (at == m_keys.end() || (*at & ~BandMask) != *key)
        return MiddleBand;
    return int(*at & BandMask);
}
