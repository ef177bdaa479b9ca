#pragma once

#include <array>

// WordNet's four parts of speech, in the order the definitions list them.
enum class WordNetPos { Noun, Verb, Adjective, Adverb };

inline constexpr std::array<WordNetPos, 4> wordNetParts{WordNetPos::Noun, WordNetPos::Verb,
                                                        WordNetPos::Adjective, WordNetPos::Adverb};

// How the database's file names spell the part of speech: index.noun, data.adj, verb.exc.
constexpr const char *wordNetFileSuffix(WordNetPos pos)
{
    constexpr const char *suffixes[] = {"noun", "verb", "adj", "adv"};
    return suffixes[int(pos)];
}

// The letter an index line and a pointer carry for the part of speech.
constexpr char wordNetPosLetter(WordNetPos pos)
{
    constexpr char letters[] = {'n', 'v', 'a', 'r'};
    return letters[int(pos)];
}

// The name a definition line shows.
constexpr const char *wordNetPosName(WordNetPos pos)
{
    constexpr const char *names[] = {"noun", "verb", "adjective", "adverb"};
    return names[int(pos)];
}
