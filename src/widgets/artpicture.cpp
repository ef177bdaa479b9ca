#include "widgets/artpicture.h"

#include "widgets/artwork.h"

#include <QFont>
#include <QPainter>

namespace ArtPicture {

QPixmap load(const QString &name, QSize size, const QString &caption, QColor fill)
{
    const QPixmap art = Artwork::picture(name);
    if (!art.isNull()) {
        if (art.deviceIndependentSize().toSize() == size)
            return art;
        const qreal ratio = art.devicePixelRatio();
        QPixmap fitted = art.scaled(size * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        fitted.setDevicePixelRatio(ratio);
        return fitted;
    }

    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(fill.darker(160));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 5, 5);
    if (!caption.isEmpty()) {
        QFont f(QStringLiteral("Arial"));
        f.setBold(true);
        f.setPixelSize(qMax(8, size.height() / 2));
        p.setFont(f);
        p.setPen(QColor(255, 255, 198));
        p.drawText(pm.rect(), Qt::AlignCenter, caption);
    }
    return pm;
}

} // namespace ArtPicture
