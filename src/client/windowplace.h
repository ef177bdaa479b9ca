#pragma once

#include <QRect>
#include <QSize>

// Where a top-level window may stand. Places are given as the settings file keeps them: the
// frame's top-left corner and the window's inside size; `frame` is what the window manager
// adds around the inside (nothing before the window is mapped, or without a window manager).
namespace WindowPlace {

// The inside size kept within what `area` can show together with the frame, and never below
// `minimum` (a minimum larger than the area wins: the window cannot be smaller).
QSize fitSize(QSize size, const QRect &area, QSize frame, QSize minimum);

// A stored place brought into `area`: the size as fitSize, then the frame's corner moved so
// that the frame lies inside the area (at the area's top-left corner when it cannot fit).
// Corner and size come apart because stored values may be anything an integer holds.
QRect fitInto(QPoint corner, QSize size, const QRect &area, QSize frame, QSize minimum);

} // namespace WindowPlace
