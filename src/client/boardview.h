#pragma once

#include "client/tileset.h"
#include "widgets/accessibleboard.h"

#include <QPoint>
#include <QWidget>

class WordEntry;

// The board surface `paintbox_board`: paints the shown board of a WordEntry with the tile
// pictures and reports mouse presses, moves and releases in its own pixels. It decides
// nothing; the game flow applies the rules. To assistive tools it is a table of the playing
// square as shown, turned with the board.
class BoardView : public QWidget, public AccessibleBoard {
    Q_OBJECT
public:
    static constexpr int CellSize = 42;
    static constexpr int Cells = 10;
    // During a drag only this part of a cell, in pixels from its left and top edge, chooses
    // it, so a diagonal move that clips a corner does not pick the cell it grazes.
    static constexpr int InnerFirst = 7;
    static constexpr int InnerLast = 35;

    BoardView(const WordEntry &entry, QWidget *parent);

    void setTileSet(const TileSet &tiles);

    // The cell of a pixel; pixels left of or above the board give negative cells.
    static QPoint cellAt(QPoint pixel);
    static bool onBoard(QPoint cell);
    static bool inInnerSquare(QPoint pixel);

    QRect playingSquare() const override;
    QChar letterAt(QPoint cell) const override;
    int placeInWord(QPoint cell) const override;
    QRect cellRect(QPoint cell) const override;

signals:
    void mouseDown(Qt::MouseButton button, QPoint pixel);
    void mouseMove(QPoint pixel);
    void mouseUp(Qt::MouseButton button, QPoint pixel);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const WordEntry &m_entry;
    TileSet m_tiles;
};
