#include "client/boardview.h"

#include "client/wordentry.h"
#include "widgets/boardaccessible.h"
#include "words/lettercodes.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {

// A pixel is the one whose square holds the pointer, also for fractional positions.
QPoint pixelOf(const QMouseEvent *event)
{
    return {qFloor(event->position().x()), qFloor(event->position().y())};
}

int floorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

} // namespace

BoardView::BoardView(const WordEntry &entry, QWidget *parent)
    : QWidget(parent), m_entry(entry), m_tiles(TileSet::builtIn(parent ? parent->devicePixelRatioF() : 1.0))
{
    setObjectName(QStringLiteral("paintbox_board"));
    setFixedSize(CellSize * Cells, CellSize * Cells);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The board holds the keyboard while typing is on in the player's round; Tab reaches it
    // between rounds too. A click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    BoardAccessible::install();
}

void BoardView::setTileSet(const TileSet &tiles)
{
    m_tiles = tiles;
    update();
}

QPoint BoardView::cellAt(QPoint pixel)
{
    return {floorDiv(pixel.x(), CellSize), floorDiv(pixel.y(), CellSize)};
}

bool BoardView::onBoard(QPoint cell)
{
    return cell.x() >= 0 && cell.x() < Cells && cell.y() >= 0 && cell.y() < Cells;
}

bool BoardView::inInnerSquare(QPoint pixel)
{
    const QPoint offset = pixel - cellAt(pixel) * CellSize;
    return offset.x() >= InnerFirst && offset.x() <= InnerLast && offset.y() >= InnerFirst
        && offset.y() <= InnerLast;
}

QRect BoardView::playingSquare() const
{
    return squareAround(Cells, [this](QPoint cell) { return !letterAt(cell).isNull(); });
}

QChar BoardView::letterAt(QPoint cell) const
{
    if (!onBoard(cell))
        return {};
    const int code = m_entry.shownCode(cell.x(), cell.y());
    return LetterCodes::isLetter(code) ? QChar('A' + code - LetterCodes::FirstLetter) : QChar();
}

int BoardView::placeInWord(QPoint cell) const
{
    for (int n = 1; n <= m_entry.wordLength(); ++n)
        if (m_entry.wordTile(n) == cell)
            return n;
    return 0;
}

QRect BoardView::cellRect(QPoint cell) const
{
    return QRect(cell * CellSize, QSize(CellSize, CellSize));
}

void BoardView::paintEvent(QPaintEvent *)
{
    // The surface keeps its old pixels where a picture is transparent (the rounded corners of
    // a tile, the inside of a frame): every cell is first laid with what lies under a tile,
    // so no trace of an earlier frame survives a redraw.
    const QColor ground(76, 106, 76);
    QPainter p(this);
    for (int c = 0; c < Cells; ++c) {
        for (int r = 0; r < Cells; ++r) {
            const QPoint at(c * CellSize, r * CellSize);
            p.fillRect(QRect(at, QSize(CellSize, CellSize)), ground);
            p.drawPixmap(at, m_tiles.picture(TileSet::EmptyCell));
            p.drawPixmap(at, m_tiles.picture(m_entry.shownPicture(c, r)));
            const int mark = m_entry.markAt(c, r);
            if (mark != WordEntry::NoMark)
                p.drawPixmap(at, m_tiles.picture(mark));
        }
    }
}

void BoardView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit mouseDown(event->button(), pixelOf(event));
}

void BoardView::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    emit mouseMove(pixelOf(event));
}

void BoardView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    emit mouseUp(event->button(), pixelOf(event));
}
