#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

// The word list as a prefix tree, for finding every word on a board without asking the
// dictionary once per candidate. Only words that tiles can spell are kept: letters A to Z,
// 1 to 12 of them (a word has at most 12 tiles).
//
// Layout: one node per prefix; a node holds a 26-bit mask of the letters that continue it and
// the index of its first child, and the children of a node lie side by side in letter order,
// so the child for a letter is firstChild + the number of mask bits below that letter. Node 0
// is the root (the empty prefix). Eight bytes a node and no pointers.
class WordTree {
public:
    static constexpr int MaxLetters = 12;
    static constexpr int NoNode = -1;

    WordTree();

    // The records of a dictionary working file: 15 bytes each, a marker byte and the word
    // blank padded. Each word is read as the dictionary reads it (NUL as blank, blanks trimmed,
    // a-z as capitals). When the records are out of order the dictionary's binary search cannot
    // find every one of them; then only the words it does find are taken, so the tree never
    // offers a word that the host would refuse.
    static WordTree fromRecords(QByteArrayView records);
    // The working file as it stands; an empty tree when it cannot be read.
    static WordTree fromRecordFile(const QString &path);
    // Words in any order and letter case; those tiles cannot spell are left out.
    static WordTree fromWords(const QByteArrayList &words);

    // The node reached from `node` by one more letter (0 = A .. 25 = Z), or NoNode.
    int child(int node, int letter) const
    {
        const std::uint32_t mask = m_nodes[size_t(node)].mask;
        const std::uint32_t bit = 1u << letter;
        if (!(mask & bit))
            return NoNode;
        return int(m_nodes[size_t(node)].firstChild) + __builtin_popcount(mask & (bit - 1));
    }
    bool isWord(int node) const { return m_nodes[size_t(node)].mask & WordBit; }
    bool hasChildren(int node) const { return m_nodes[size_t(node)].mask & LetterBits; }

    // True when the capital-letter word is in the tree.
    bool contains(QByteArrayView word) const;

    int nodeCount() const { return int(m_nodes.size()); }
    int wordCount() const { return m_wordCount; }
    qsizetype memoryBytes() const { return qsizetype(m_nodes.capacity() * sizeof(Node)); }

private:
    static constexpr std::uint32_t LetterBits = (1u << 26) - 1;
    static constexpr std::uint32_t WordBit = 1u << 31;

    struct Node {
        std::uint32_t mask = 0; // letters that continue this prefix, and WordBit
        std::uint32_t firstChild = 0;
    };

    // `words` sorted, distinct, capital letters only.
    static WordTree fromSorted(const QByteArrayList &words);
    void addChildren(const QByteArrayList &words, qsizetype begin, qsizetype end, int depth, int node);

    std::vector<Node> m_nodes;
    int m_wordCount = 0;
};
