#include "dialogs/reviewboard.h"

#include "widgets/boardaccessible.h"
#include "words/lettercodes.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace {

constexpr int Side = 10;
const QColor tileTop(255, 246, 216);
const QColor tileBottom(233, 212, 156);
const QColor letterColour(139, 10, 10);
const QColor frameColour(226, 182, 74);
const QColor lineColour(194, 58, 44, 200);
const QColor firstColour(60, 160, 60);
const QColor base(76, 106, 76);

int codeAt(const BoardCells &cells, QPoint p)
{
    if (p.x() < 0 || p.x() >= Side || p.y() < 0 || p.y() >= Side)
        return LetterCodes::Empty;
    return cells[size_t(p.x() * Side + p.y())];
}

} // namespace

ReviewBoard::ReviewBoard(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("paintbox_review"));
    setMinimumSize(200, 200);
    m_cells.fill(LetterCodes::Empty);
    BoardAccessible::install();
}

QChar ReviewBoard::letterAt(QPoint cell) const
{
    const int code = codeAt(m_cells, cell);
    return LetterCodes::isLetter(code) ? QChar('A' + code - LetterCodes::FirstLetter) : QChar();
}

void ReviewBoard::setBoard(const BoardCells &cells)
{
    m_cells = cells;
    // The square around every tile: sizes off the centre keep their place as dealt.
    m_square = squareAround(Side, [&cells](QPoint p) { return LetterCodes::isLetter(codeAt(cells, p)); });
    m_path.clear();
    update();
}

void ReviewBoard::setPath(const QList<QPoint> &path)
{
    if (path == m_path)
        return;
    m_path = path;
    update();
}

double ReviewBoard::cellSize() const
{
    const int n = std::max(1, m_square.width());
    return std::min(width(), height()) / double(n);
}

QRectF ReviewBoard::tileRect(QPoint position) const
{
    const double size = cellSize();
    const double left = (width() - size * m_square.width()) / 2;
    const double top = (height() - size * m_square.height()) / 2;
    return QRectF(left + (position.x() - m_square.left()) * size, top + (position.y() - m_square.top()) * size, size,
                  size);
}

void ReviewBoard::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), base.darker(115));
    for (int c = m_square.left(); c <= m_square.right(); ++c)
        for (int r = m_square.top(); r <= m_square.bottom(); ++r)
            drawTile(p, QPoint(c, r), codeAt(m_cells, QPoint(c, r)));
    drawPath(p);
}

void ReviewBoard::drawTile(QPainter &p, QPoint position, int code) const
{
    if (!LetterCodes::isLetter(code))
        return;
    const QRectF cell = tileRect(position);
    const QRectF tile = cell.adjusted(cell.width() * 0.06, cell.height() * 0.06, -cell.width() * 0.06,
                                      -cell.height() * 0.06);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0, tileTop);
    fill.setColorAt(1, tileBottom);
    p.setPen(QPen(QColor(140, 116, 70), 1));
    p.setBrush(fill);
    p.drawRoundedRect(tile, tile.width() * 0.15, tile.height() * 0.15);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(std::max(8, int(tile.height() * 0.6)));
    p.setFont(font);
    p.setPen(letterColour);
    p.drawText(tile, Qt::AlignCenter, QString(QChar('A' + code - LetterCodes::FirstLetter)));
}

void ReviewBoard::drawPath(QPainter &p) const
{
    if (m_path.isEmpty())
        return;
    const double size = cellSize();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(frameColour, std::max(2.0, size * 0.08)));
    for (const QPoint &pos : m_path) {
        const QRectF cell = tileRect(pos);
        p.drawRoundedRect(cell.adjusted(2, 2, -2, -2), size * 0.15, size * 0.15);
    }
    QPainterPath line;
    line.moveTo(tileRect(m_path.first()).center());
    for (qsizetype i = 1; i < m_path.size(); ++i)
        line.lineTo(tileRect(m_path[i]).center());
    p.setPen(QPen(lineColour, std::max(3.0, size * 0.12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(line);
    // The first tile: a ring in its own colour and a dot at its centre, where the line starts.
    const QRectF first = tileRect(m_path.first());
    p.setPen(QPen(firstColour, std::max(2.0, size * 0.1)));
    p.drawRoundedRect(first.adjusted(1, 1, -1, -1), size * 0.15, size * 0.15);
    p.setPen(Qt::NoPen);
    p.setBrush(firstColour);
    p.drawEllipse(first.center(), size * 0.12, size * 0.12);
}
