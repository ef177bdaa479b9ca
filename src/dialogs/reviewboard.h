#pragma once

#include "solver/boardsolver.h"
#include "widgets/accessibleboard.h"

#include <QList>
#include <QPoint>
#include <QWidget>

// The small picture of a round's board in the round review: the playing square as dealt (the
// empty cells around it are left out), and the path of one word drawn over it: each tile of
// the word framed, a line through their centres in order, the first tile marked. To assistive
// tools it is a table of the square with the word's tiles marked in order.
class ReviewBoard : public QWidget, public AccessibleBoard {
    Q_OBJECT
public:
    explicit ReviewBoard(QWidget *parent = nullptr);

    void setBoard(const BoardCells &cells);
    // Board positions (column, row) in order; an empty list draws no path.
    void setPath(const QList<QPoint> &path);
    const QList<QPoint> &path() const { return m_path; }
    // The square of board positions shown: first and last column and row.
    QRect shownSquare() const { return m_square; }
    // Where the tile of a board position sits in the widget.
    QRectF tileRect(QPoint position) const;

    QRect playingSquare() const override { return m_square; }
    QChar letterAt(QPoint cell) const override;
    int placeInWord(QPoint cell) const override { return int(m_path.indexOf(cell)) + 1; }
    QRect cellRect(QPoint cell) const override { return tileRect(cell).toAlignedRect(); }
    QString boardTitle() const override { return QStringLiteral("Round board"); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawTile(QPainter &p, QPoint position, int code) const;
    void drawPath(QPainter &p) const;
    double cellSize() const;

    BoardCells m_cells{};
    QRect m_square{0, 0, 0, 0};
    QList<QPoint> m_path;
};
