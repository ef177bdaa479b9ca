#include "client/desktoplobbylauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

bool startDetached(const QStringList &command)
{
    return !command.isEmpty() && QProcess::startDetached(command.first(), command.mid(1));
}

bool isExecutableFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QStringList DesktopLobbyLauncher::installerCommand(const QString &path)
{
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (wine.isEmpty())
        return {};
    return {wine, path, QStringLiteral("/SP-"), QStringLiteral("/silent"), QStringLiteral("/noicons")};
}

QStringList DesktopLobbyLauncher::lobbyCommand(const QString &gameFolder)
{
    const QString beside = QDir(gameFolder).filePath(QStringLiteral("lexitangle-lobby"));
    if (isExecutableFile(beside))
        return {beside};
    const QString lobby = QStandardPaths::findExecutable(QStringLiteral("lexitangle-lobby"));
    if (!lobby.isEmpty())
        return {lobby};
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("orvo22lobby"));
    if (!onPath.isEmpty())
        return {onPath};
    const QString local = QDir::homePath() + QStringLiteral("/.local/share/Orvo22/Orvo22Lobby");
    if (isExecutableFile(local))
        return {local};
    const QString underWine =
        QDir::homePath() + QStringLiteral("/.wine/drive_c/Program Files/Orvo22/Orvo22Lobby.exe");
    const QString wine = QStandardPaths::findExecutable(QStringLiteral("wine"));
    if (!wine.isEmpty() && QFileInfo(underWine).isFile())
        return {wine, underWine};
    return {};
}

bool DesktopLobbyLauncher::startInstaller(const QString &path)
{
    const QStringList command = installerCommand(path);
    if (!command.isEmpty())
        return startDetached(command);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopLobbyLauncher::startLobby()
{
    return startDetached(lobbyCommand(QCoreApplication::applicationDirPath()));
}
