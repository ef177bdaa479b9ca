#include "widgets/artwork.h"

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

QPixmap Artwork::picture(const QString &name)
{
    const QString file = path(name);
    return file.isEmpty() ? QPixmap() : QPixmap(file);
}
