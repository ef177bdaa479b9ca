#include "system/gamepresence.h"

#include <QDir>

namespace GamePresence {

QString runtimeDirectory()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    return QDir::tempPath();
}

QString presenceLockPath(const QString &directory)
{
    return QDir(directory).filePath(PresenceName + QStringLiteral(".lock"));
}

QString markerSocketPath(const QString &directory)
{
    return QDir(directory).filePath(MarkerName + QStringLiteral(".sock"));
}

} // namespace GamePresence
