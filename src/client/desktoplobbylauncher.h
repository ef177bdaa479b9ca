#pragma once

#include "dialogs/lobbylauncher.h"

#include <QStringList>

// The lobby is this program's own "lexitangle-lobby", looked for beside the game's executable
// first (a build folder, an unpacked copy) and then on PATH (an installed package). Failing that,
// the Windows lobby of old: an "orvo22lobby" command on PATH, the executable
// ~/.local/share/Orvo22/Orvo22Lobby, and "Program Files/Orvo22/Orvo22Lobby.exe" in Wine's default
// prefix (~/.wine/drive_c), run with Wine. Its installer is run with Wine when Wine is installed,
// with the installer's silent-install switches; otherwise it is handed to the desktop's default
// handler for the file, which is the user's choice of what opens a .exe (if anything).
class DesktopLobbyLauncher : public LobbyLauncher {
public:
    bool startInstaller(const QString &path) override;
    bool startLobby() override;

    // The program and its arguments that start the installed lobby; empty when none is found.
    // gameFolder: the folder of the game's own executable.
    static QStringList lobbyCommand(const QString &gameFolder);
    // The program and arguments that run the installer with Wine; empty without Wine.
    static QStringList installerCommand(const QString &path);
};
