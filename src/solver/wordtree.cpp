#include "solver/wordtree.h"

#include "words/tdictn.h"

#include <QFile>
#include <QtDebug>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int RecordSize = TDictn::RecordSize;
// A record's word as the dictionary compares it: the 14 bytes after the marker, normalised
// and padded with blanks to 15.
using Value = std::array<char, RecordSize>;

// Normalises bytes as the dictionary does and returns the length of the word in the value.
int normalise(const char *in, int size, Value &value)
{
    value.fill(' ');
    return int(TDictn::normalise(QByteArrayView(in, size), value.data()));
}

bool spellable(const Value &value, int length)
{
    if (length < 1 || length > WordTree::MaxLetters)
        return false;
    for (int i = 0; i < length; ++i) {
        if (value[size_t(i)] < 'A' || value[size_t(i)] > 'Z')
            return false;
    }
    return true;
}

int compare(const Value &a, const Value &b) { return std::memcmp(a.data(), b.data(), RecordSize); }

// The dictionary's own search over the records: low, high and mid exactly as it probes them.
bool binarySearchFinds(const std::vector<Value> &values, const Value &key)
{
    qint64 low = 0;
    qint64 high = qint64(values.size()) - 1;
    while (high >= low) {
        const qint64 mid = (low + high) / 2;
        const int order = compare(values[size_t(mid)], key);
        if (order == 0)
            return true;
        if (order < 0)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return false;
}

} // namespace

WordTree::WordTree()
    : m_nodes(1)
{
}

WordTree WordTree::fromRecords(QByteArrayView records)
{
    const qsizetype count = records.size() / RecordSize;
    std::vector<Value> values(static_cast<size_t>(count));
    std::vector<int> lengths(static_cast<size_t>(count));
    bool sorted = true;
    for (qsizetype i = 0; i < count; ++i) {
        lengths[size_t(i)] = normalise(records.data() + i * RecordSize + 1, RecordSize - 1, values[size_t(i)]);
        if (i > 0 && compare(values[size_t(i - 1)], values[size_t(i)]) > 0)
            sorted = false;
    }

    QByteArrayList words;
    words.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const Value &v = values[size_t(i)];
        const int length = lengths[size_t(i)];
        if (!spellable(v, length))
            continue;
        if (!sorted && !binarySearchFinds(values, v))
            continue;
        words.append(QByteArray(v.data(), length));
    }
    if (!sorted) {
        qWarning() << "WordTree: the word file is out of order; only the words its search finds are used";
        std::sort(words.begin(), words.end());
    }
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return fromSorted(words);
}

WordTree WordTree::fromRecordFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "WordTree: cannot read" << path << file.errorString();
        return WordTree();
    }
    return fromRecords(file.readAll());
}

WordTree WordTree::fromWords(const QByteArrayList &list)
{
    QByteArrayList words;
    for (const QByteArray &w : list) {
        const QByteArray word = w.trimmed().toUpper();
        if (word.size() > MaxLetters)
            continue;
        Value v;
        v.fill(' ');
        std::copy(word.begin(), word.end(), v.begin());
        if (spellable(v, int(word.size())))
            words.append(word);
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return fromSorted(words);
}

WordTree WordTree::fromSorted(const QByteArrayList &words)
{
    WordTree tree;
    tree.m_nodes.reserve(size_t(words.size()) * 3);
    tree.m_wordCount = int(words.size());
    tree.addChildren(words, 0, words.size(), 0, 0);
    tree.m_nodes.shrink_to_fit();
    return tree;
}

// words[begin, end) all start with the prefix of `node`, which is `depth` letters long.
void WordTree::addChildren(const QByteArrayList &words, qsizetype begin, qsizetype end, int depth, int node)
{
    if (begin < end && words[begin].size() == depth) {
        m_nodes[size_t(node)].mask |= WordBit; // sorted: the prefix itself comes first
        ++begin;
    }
    if (begin == end)
        return;

    // Sorted, so the words for each next letter lie together.
    std::array<qsizetype, 27> groupStart{};
    std::array<int, 26> groupLetter{};
    int groups = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const int letter = words[i].at(depth) - 'A';
        if (groups == 0 || groupLetter[size_t(groups - 1)] != letter) {
            groupLetter[size_t(groups)] = letter;
            groupStart[size_t(groups)] = i;
            ++groups;
        }
    }
    groupStart[size_t(groups)] = end;

    const std::uint32_t first = std::uint32_t(m_nodes.size());
    m_nodes.resize(m_nodes.size() + size_t(groups));
    m_nodes[size_t(node)].firstChild = first;
    for (int g = 0; g < groups; ++g)
        m_nodes[size_t(node)].mask |= 1u << groupLetter[size_t(g)];
    for (int g = 0; g < groups; ++g)
        addChildren(words, groupStart[size_t(g)], groupStart[size_t(g + 1)], depth + 1, int(first) + g);
}

bool WordTree::contains(QByteArrayView word) const
{
    if (word.isEmpty() || word.size() > MaxLetters)
        return false;
    int node = 0;
    for (char c : word) {
        if (c < 'A' || c > 'Z')
            return false;
        node = child(node, c - 'A');
        if (node == NoNode)
            return false;
    }
    return isWord(node);
}
