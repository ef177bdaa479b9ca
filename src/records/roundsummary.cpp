#include "records/roundsummary.h"

#include "net/protocol.h"

RoundSummary RoundSummary::of(const QList<Record::OwnWord> &words, int points)
{
    RoundSummary s;
    s.points = points;
    for (const Record::OwnWord &w : words) {
        if (w.verdict != 0)
            continue;
        ++s.found;
        const qsizetype letters = w.word.size();
        if (letters >= 1 && letters <= Protocol::MaxWordLetters)
            ++s.lengths[size_t(letters)];
        if (letters > s.longest.size())
            s.longest = w.word;
        if (s.bestWord.isEmpty() || w.points > s.bestPoints) {
            s.bestWord = w.word;
            s.bestPoints = w.points;
        }
    }
    return s;
}

QByteArray RoundSummary::lengthsText(const Lengths &lengths)
{
    QByteArray text;
    for (size_t i = 1; i < lengths.size(); ++i) {
        if (i > 1)
            text += ',';
        text += QByteArray::number(lengths[i]);
    }
    return text;
}

void RoundSummary::addLengths(const QByteArray &text, Lengths &sum)
{
    size_t letters = 1;
    for (const QByteArray &field : text.split(',')) {
        if (letters >= sum.size())
            return;
        bool ok = false;
        const int n = field.toInt(&ok);
        // No board holds this many words; a larger figure is damage and would overflow the sum.
        if (!ok || n < 0 || n > 100000)
            return;
        sum[letters++] += n;
    }
}
