#pragma once

#include <QByteArrayView>

// The question the host and the client ask before a word counts: is it in the word list?
class WordChecker {
public:
    virtual ~WordChecker() = default;
    virtual bool isword(QByteArrayView word) = 0;
};
