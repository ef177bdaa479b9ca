#include "widgets/artwork.h"

#include <QGuiApplication>

// Q_INIT_RESOURCE declares an extern function, so it must be used at global scope.
// lexiui is a static library: without this call the linker leaves the artwork out.
static void registerArtResources()
{
    Q_INIT_RESOURCE(art);
}

namespace {

bool isPlainName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (!((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'_'))
            return false;
    }
    return true;
}

} // namespace

QString Artwork::path(const QString &name)
{
    static const bool registered = (registerArtResources(), true);
    Q_UNUSED(registered);
    return isPlainName(name) ? QStringLiteral(":/art/%1.png").arg(name) : QString();
}

QPixmap Artwork::picture(const QString &name, qreal ratio)
{
    const QString file = path(name);
    if (file.isEmpty())
        return {};
    if (ratio <= 0)
        ratio = qApp->devicePixelRatio();
    if (ratio > 1) {
        QPixmap large(QStringLiteral(":/art/%1@2x.png").arg(name));
        if (!large.isNull()) {
            large.setDevicePixelRatio(2);
            return large;
        }
    }
    return QPixmap(file);
}
