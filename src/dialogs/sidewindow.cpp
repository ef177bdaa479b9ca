#include "dialogs/sidewindow.h"

#include "client/artwork.h"

#include <QPainter>

SideWindow::SideWindow(const QString &objectName, const QString &caption, QSize clientSize, QWidget *parent)
    : QDialog(parent)
    , m_tile(Artwork::picture(QStringLiteral("background")))
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setFixedSize(clientSize);
    setModal(false);
}

void SideWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(76, 106, 76));
    if (!m_tile.isNull())
        p.drawTiledPixmap(rect(), m_tile);
}
