#include "words/keepaside.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool taken(const QString &name)
{
    const QFileInfo info(name);
    return info.exists() || info.isSymLink();
}

} // namespace

QString KeepAside::move(const QString &path, const QStringList &suffixes)
{
    if (!QFileInfo(path).isFile())
        return QString();
    for (int n = 0; n < MaxKeptFiles; ++n) {
        const QString candidate = path + QStringLiteral(".bad")
            + (n == 0 ? QString() : QStringLiteral(".") + QString::number(n));
        bool free = !taken(candidate);
        for (const QString &suffix : suffixes)
            free = free && !taken(candidate + suffix);
        if (!free)
            continue;
        if (!QFile::rename(path, candidate))
            return QString();
        // A companion that cannot follow stays beside a file that no longer exists, where the
        // next start finds nothing to pair it with; the kept file alone is still readable.
        for (const QString &suffix : suffixes) {
            if (QFileInfo(path + suffix).isFile())
                QFile::rename(path + suffix, candidate + suffix);
        }
        return candidate;
    }
    return QString();
}
