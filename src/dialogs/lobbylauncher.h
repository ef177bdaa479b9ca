#pragma once

#include <QString>

// Starting programs outside this one: the downloaded lobby installer and an installed lobby.
// The download window talks only to this, so tests can see what would have been started.
class LobbyLauncher {
public:
    virtual ~LobbyLauncher() = default;
    // False when the platform refused to start it.
    virtual bool startInstaller(const QString &path) = 0;
    // False when no installed lobby was found or it could not be started.
    virtual bool startLobby() = 0;
};
