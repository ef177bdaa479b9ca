#include "records/roundsummary.h"

#include "net/protocol.h"

#include <QStringList>

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

QString RoundSummary::lengthColumns(const QString &prefix)
{
    QStringList columns;
    for (int letters = 1; letters <= Protocol::MaxWordLetters; ++letters)
        columns << prefix + QStringLiteral("len%1").arg(letters);
    return columns.join(QStringLiteral(", "));
}
