#pragma once

#include <QColor>

// Contrast between colours as WCAG 2 measures it, and the nearest colour that reaches a given
// contrast: what the "High Contrast" option draws a text in when its own colour falls short.
namespace Contrast {

// What the text size of the program's windows needs.
constexpr double Readable = 4.5;

// 1 (none) to 21 (black on white).
double ratio(const QColor &a, const QColor &b);
// `text` itself when it reaches `minimum` on `background`; else the colour nearest to it,
// mixed towards black or towards white, whichever needs less, that does.
QColor readable(const QColor &text, const QColor &background, double minimum = Readable);

} // namespace Contrast
