#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class IniEditor;

// The lobby's own section "[Lobby]" of the settings file it shares with the game. Only these keys
// are ever written; the game's section and every other byte of the file stay as they were.
//   Name=Ann                        the player's name (Latin-1, as the game sends it)
//   OpenPort=1                      "Let players from the internet in" (0 or 1; off when absent)
//   RecentTables=192.0.2.7,host.lan the last tables joined, newest first
struct LobbySettings {
    static inline const QByteArray Section = QByteArrayLiteral("Lobby");
    static constexpr int RecentCount = 10;

    QString name;
    bool openPort = false;
    QStringList recentTables;

    // The file is untrusted like any input: a recent table that is no valid address is dropped,
    // and an overlong name is cut (the window then tells what is wrong with it).
    static LobbySettings read(const IniEditor &ini);
    void write(IniEditor &ini) const;

    // Puts the address first, once, keeping at most RecentCount.
    void addRecent(const QString &address);

    // A missing or unreadable file reads as the defaults.
    static LobbySettings load(const QString &path);
    // Reads the file afresh and changes only the lobby's keys, so what the game wrote meanwhile
    // stays. A file that cannot be read is never written over; false then, and when the new file
    // could not be written whole, with the reason in *error.
    bool save(const QString &path, QString *error = nullptr) const;
};
