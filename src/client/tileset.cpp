#include "client/tileset.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr qreal Side = TileSet::TileSize;
constexpr qreal Radius = 6;

const QColor CreamLight(255, 246, 216);
const QColor CreamDark(233, 210, 150);
const QColor CreamEdge(140, 116, 70);
const QColor WhiteLight(255, 255, 255);
const QColor WhiteDark(226, 226, 222);
const QColor WhiteEdge(150, 150, 150);
const QColor LetterRed(139, 10, 10);
const QColor GreenLight(98, 136, 98);
const QColor GreenDark(66, 94, 66);
const QColor GreenEdge(36, 54, 36);
const QColor DiamondGreen(44, 68, 44);
const QColor FrameRed(214, 20, 20);
const QColor FrameBlack(16, 16, 16);

QPixmap blankPicture(qreal dpr)
{
    const int pixels = qMax(1, qRound(Side * dpr));
    QPixmap picture(pixels, pixels);
    picture.setDevicePixelRatio(dpr);
    picture.fill(Qt::transparent);
    return picture;
}

// A raised tile: rounded, lit from the top left, with a thin dark edge. It keeps a
// half-pixel margin so the antialiased edge stays inside the square.
void paintTile(QPainter &p, const QColor &light, const QColor &dark, const QColor &edge)
{
    const QRectF body(0.5, 0.5, Side - 1, Side - 1);
    QPainterPath outline;
    outline.addRoundedRect(body, Radius, Radius);
    QLinearGradient fill(body.topLeft(), body.bottomRight());
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.fillPath(outline, fill);

    // The bevel: a highlight along the top and left fading into a shade along the
    // bottom and right, drawn just inside the edge.
    QLinearGradient bevel(QPointF(0, 0), QPointF(Side, Side));
    bevel.setColorAt(0, QColor(255, 255, 255, 200));
    bevel.setColorAt(0.45, QColor(255, 255, 255, 0));
    bevel.setColorAt(0.55, QColor(0, 0, 0, 0));
    bevel.setColorAt(1, QColor(0, 0, 0, 90));
    p.setPen(QPen(QBrush(bevel), 2));
    p.drawRoundedRect(body.adjusted(1.5, 1.5, -1.5, -1.5), Radius - 1.5, Radius - 1.5);

    p.setPen(QPen(edge, 1));
    p.drawPath(outline);
}

void paintLetter(QPainter &p, QChar letter)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("Helvetica")});
    font.setBold(true);
    font.setPixelSize(28);
    QPainterPath glyph;
    glyph.addText(0, 0, font, QString(letter));
    // Centred across on the ink; down, the capital's height is centred so that every
    // letter stands on one baseline and the tail of the Q hangs below it.
    const qreal capHeight = QFontMetricsF(font).capHeight();
    glyph.translate(Side / 2 - glyph.boundingRect().center().x(), (Side + capHeight) / 2);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawPath(glyph.translated(0.8, 0.8));
    p.setBrush(LetterRed);
    p.drawPath(glyph);
}

// A square frame, four pixels wide along the edge and empty inside, so the tile under
// it shows through.
void paintFrame(QPainter &p, const QColor &colour)
{
    QPen pen(colour, 4);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2, 2, Side - 4, Side - 4));
    p.setPen(QPen(colour.lighter(160), 1));
    p.drawRect(QRectF(1, 1, Side - 2, Side - 2));
}

// An empty board cell: a flat square that fills the whole cell, so neighbouring
// cells join into one green field with a faint grid.
void paintEmptyCell(QPainter &p)
{
    const QRectF cell(0, 0, Side, Side);
    QLinearGradient fill(cell.topLeft(), cell.bottomRight());
    fill.setColorAt(0, GreenLight);
    fill.setColorAt(1, GreenDark);
    p.fillRect(cell, fill);
    p.setPen(QPen(GreenLight.lighter(115), 1));
    p.drawLine(QPointF(0.5, 0.5), QPointF(Side - 0.5, 0.5));
    p.drawLine(QPointF(0.5, 0.5), QPointF(0.5, Side - 0.5));
    p.setPen(QPen(GreenEdge, 1));
    p.drawLine(QPointF(Side - 0.5, 0.5), QPointF(Side - 0.5, Side - 0.5));
    p.drawLine(QPointF(0.5, Side - 0.5), QPointF(Side - 0.5, Side - 0.5));
}

void paintEmptySlot(QPainter &p)
{
    paintTile(p, GreenLight, GreenDark, GreenEdge);
    const qreal mid = Side / 2;
    const qreal reach = 12;
    const QPolygonF diamond({QPointF(mid, mid - reach), QPointF(mid + reach, mid),
                             QPointF(mid, mid + reach), QPointF(mid - reach, mid)});
    p.setPen(QPen(GreenLight.lighter(120), 1));
    p.setBrush(DiamondGreen);
    p.drawPolygon(diamond);
}

void paintPicture(QPainter &p, int index)
{
    if (index == TileSet::PlainTile) {
        paintTile(p, WhiteLight, WhiteDark, WhiteEdge);
    } else if (index >= TileSet::FirstLetter && index <= TileSet::LastLetter) {
        paintTile(p, CreamLight, CreamDark, CreamEdge);
        paintLetter(p, QChar(u'A' + (index - TileSet::FirstLetter)));
    } else if (index == TileSet::LastTileFrame) {
        paintFrame(p, FrameRed);
    } else if (index == TileSet::PathFrame) {
        paintFrame(p, FrameBlack);
    } else if (index == TileSet::EmptyCell) {
        paintEmptyCell(p);
    } else {
        paintEmptySlot(p);
    }
}

void clearWhite(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00ffffffu) == 0x00ffffffu)
                line[x] = 0;
        }
    }
}

} // namespace

TileSet TileSet::builtIn(qreal devicePixelRatio)
{
    // A ratio from a broken screen setting must not make huge or empty pictures.
    const qreal dpr = (std::isfinite(devicePixelRatio) && devicePixelRatio > 0)
        ? qBound(0.25, devicePixelRatio, 8.0)
        : 1.0;
    TileSet set;
    set.m_pictures.reserve(Count);
    for (int i = 0; i < Count; ++i) {
        QPixmap picture = blankPicture(dpr);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        paintPicture(p, i);
        p.end();
        set.m_pictures.append(picture);
    }
    return set;
}

std::optional<TileSet> TileSet::fromStrip(const QImage &strip)
{
    if (strip.isNull())
        return std::nullopt;
    // Only the part of the image inside the strip's 1302 x 42 is read; the rest of the
    // strip stays transparent.
    const QRect wanted(0, 0, TileSize * Count, TileSize);
    QImage part = strip.copy(wanted & strip.rect()).convertToFormat(QImage::Format_ARGB32);
    part.setDevicePixelRatio(1);
    clearWhite(part);

    QImage whole(wanted.size(), QImage::Format_ARGB32);
    whole.fill(Qt::transparent);
    {
        QPainter p(&whole);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, part);
    }

    TileSet set;
    set.m_pictures.reserve(Count);
    for (int i = 0; i < Count; ++i)
        set.m_pictures.append(QPixmap::fromImage(whole.copy(i * TileSize, 0, TileSize, TileSize)));
    return set;
}

const QPixmap &TileSet::picture(int index) const
{
    if (index < 0 || index >= Count)
        index = EmptyCell;
    return m_pictures.at(index);
}
