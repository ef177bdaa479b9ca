#pragma once

#include <QColor>
#include <QString>

// How the words panel shows a line. The documented look tells the five verdicts apart by
// colour alone. "High Contrast" puts the panel on a dark ground, draws every verdict in a colour
// of 4.5:1 or more on it, and sets a mark before the line, so that no verdict rests on colour:
//   *  accepted, found first        +  accepted, someone else was first
//   <  too short                    =  already yours this round
//   x  not a word
namespace VerdictLook {

struct Line {
    QString text;
    QColor colour;
};

// The panel's ground.
QColor panelBase(bool highContrast);
// A line the game flow writes in one of the documented verdict colours, as it is shown. A line
// in any other colour is shown as written.
Line shown(const QString &text, const QColor &documented, bool highContrast);

} // namespace VerdictLook
