#include "widgets/contrast.h"

#include <cmath>

namespace Contrast {

namespace {

double luminance(const QColor &c)
{
    auto channel = [](double s) { return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor mix(const QColor &from, const QColor &to, double share)
{
    auto along = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(along(from.red(), to.red()), along(from.green(), to.green()), along(from.blue(), to.blue()));
}

// The least share of `towards` in a mix with `text` that reaches `minimum`, or -1.
double shareNeeded(const QColor &text, const QColor &towards, const QColor &background, double minimum)
{
    if (ratio(towards, background) < minimum)
        return -1;
    double low = 0, high = 1;
    for (int step = 0; step < 20; ++step) {
        const double middle = (low + high) / 2;
        (ratio(mix(text, towards, middle), background) >= minimum ? high : low) = middle;
    }
    return high;
}

} // namespace

double ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readable(const QColor &text, const QColor &background, double minimum)
{
    if (ratio(text, background) >= minimum)
        return text;
    const double darker = shareNeeded(text, Qt::black, background, minimum);
    const double lighter = shareNeeded(text, Qt::white, background, minimum);
    if (darker < 0 && lighter < 0)
        return ratio(Qt::black, background) >= ratio(Qt::white, background) ? QColor(Qt::black) : QColor(Qt::white);
    if (lighter < 0 || (darker >= 0 && darker <= lighter))
        return mix(text, Qt::black, darker);
    return mix(text, Qt::white, lighter);
}

} // namespace Contrast
