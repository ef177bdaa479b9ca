#pragma once

#include <QChar>
#include <QPoint>
#include <QRect>
#include <QString>

// What a widget that draws a board of letter tiles tells assistive tools, in grid cells
// (column, row) as drawn: after a turn of the board, the turned layout. A widget that inherits
// this is shown to them as a table of its playing square (BoardAccessible).
class AccessibleBoard {
public:
    virtual ~AccessibleBoard() = default;

    // The square of grid cells that holds the tiles; empty before a board is dealt.
    virtual QRect playingSquare() const = 0;
    // The letter on a grid cell, or a null QChar where there is none.
    virtual QChar letterAt(QPoint cell) const = 0;
    // The cell's 1-based place in the word drawn over the board, 0 when it takes no part.
    virtual int placeInWord(QPoint cell) const = 0;
    // Where the cell is drawn, in the widget's own pixels.
    virtual QRect cellRect(QPoint cell) const = 0;
    // What the table is called before its size.
    virtual QString boardTitle() const { return QStringLiteral("Board"); }

    // The smallest square around the cells for which `hasLetter` holds, as the deal lays a
    // board: an empty rectangle when there is none.
    template <typename HasLetter>
    static QRect squareAround(int side, HasLetter hasLetter)
    {
        int first = side;
        int last = -1;
        for (int c = 0; c < side; ++c)
            for (int r = 0; r < side; ++r)
                if (hasLetter(QPoint(c, r))) {
                    first = qMin(first, qMin(c, r));
                    last = qMax(last, qMax(c, r));
                }
        return last < 0 ? QRect() : QRect(first, first, last - first + 1, last - first + 1);
    }
};
