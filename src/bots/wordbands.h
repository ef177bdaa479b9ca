#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <vector>

// How common each word of the word list is, for computer players that should know everyday
// words better than rare ones. The side table carried next to the list gives every record one
// band code: 0 for the most common words (SCOWL's size 10) up to 8 for the rarest kept (size 80).
//
// Both files come from disk or the program's resources and are trusted for nothing: a table
// whose size is not the list's record count, or that holds a code above 8, is refused whole,
// and then every word is in the middle band, as is a word the list lacks.
class WordBands {
public:
    static constexpr int BandCount = 9;
    static constexpr int MiddleBand = 4;
    // Bands from here on hold words beyond SCOWL's medium list (size 50), the words of a
    // desk dictionary: sizes 55 to 80, which people seldom know, let alone play.
    static constexpr int FirstRareBand = 5;

    // No table: every word is in the middle band.
    WordBands() = default;

    // records: the word list's 15-byte records (marker, word blank padded); table: one code per
    // record, in record order.
    static WordBands fromData(QByteArrayView records, QByteArrayView table);
    // Reads both files whole; a file that cannot be read counts as empty.
    static WordBands load(const QString &wordFile = QStringLiteral(":/words/english.dat"),
                          const QString &tableFile = QStringLiteral(":/words/bands.dat"));

    bool hasTable() const { return !m_keys.empty(); }
    // The band of a word in capitals (0 most common .. 8 rarest).
    int band(QByteArrayView word) const;
    // Words the table covers that tiles can spell (1 to 12 letters A to Z).
    qsizetype wordCount() const { return qsizetype(m_keys.size()); }

private:
    // One key per spellable word, sorted: its letters packed five bits each from the top bit
    // down (A = 1, so a shorter word sorts before its extensions), the band in the low four bits.
    std::vector<std::uint64_t> m_keys;
};
