#include "client/verdictlook.h"

#include <array>

namespace VerdictLook {

namespace {

struct Verdict {
    QColor documented;
    QColor highContrast;
    QChar mark;
};

// The documented colours (found first, found by another, too short, already yours, not a
// word) with their High Contrast colour and mark.
const std::array<Verdict, 5> verdicts{{
    {QColor(255, 255, 198), QColor(255, 255, 198), u'*'},
    {QColor(255, 255, 255), QColor(255, 255, 255), u'+'},
    {QColor(255, 128, 0), QColor(255, 150, 40), u'<'},
    {QColor(128, 0, 0), QColor(255, 150, 150), u'='},
    {QColor(0, 0, 0), QColor(200, 200, 200), u'x'},
}};

} // namespace

QColor panelBase(bool highContrast)
{
    return highContrast ? QColor(26, 44, 30) : QColor(76, 106, 76);
}

Line shown(const QString &text, const QColor &documented, bool highContrast)
{
    if (!highContrast)
        return {text, documented};
    for (const Verdict &v : verdicts)
        if (v.documented == documented)
            return {QString(v.mark) + u' ' + text, v.highContrast};
    return {text, documented};
}

} // namespace VerdictLook
