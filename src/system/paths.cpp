#include "system/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
// A folder the program may keep its files in. The system's program folders never qualify,
// even for root, who may write anywhere.
bool writableFolder(const QString &folder)
{
    for (const char *system : {"/usr/", "/bin", "/sbin", "/lib"})
        if (folder.startsWith(QLatin1String(system)))
            return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}
}

Paths Paths::forProgram()
{
    Paths paths;
    paths.programDir = QCoreApplication::applicationDirPath();
    paths.workingDir = QDir::currentPath();
    if (writableFolder(paths.programDir)) {
        paths.dataDir = paths.programDir;
    } else {
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty())
            config = QDir::homePath() + QStringLiteral("/.config");
        paths.dataDir = config + QStringLiteral("/Lexitangle");
        QDir().mkpath(paths.dataDir);
    }
    return paths;
}

Paths Paths::inFolder(const QString &folder)
{
    return Paths{folder, folder, folder};
}

QString Paths::settingsFile() const { return QDir(dataDir).filePath(QStringLiteral("orvolobby.ini")); }
QString Paths::tallyFile() const { return QDir(dataDir).filePath(QStringLiteral("Lexitangletally.tld")); }
QString Paths::historyFile() const { return QDir(dataDir).filePath(QStringLiteral("Lexitanglehistory.db")); }
QString Paths::tileFolder() const { return QDir(dataDir).filePath(QStringLiteral("Lexitangletiles")); }
QString Paths::dictionaryWorkingFile() const { return QDir(workingDir).filePath(QStringLiteral("English")); }
