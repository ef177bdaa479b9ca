#pragma once

#include "client/clientsettings.h"

#include <QSet>
#include <QString>

#include <functional>

class IniEditor;
class Tchat;

// The main window's section "Lexitangle" of the settings file it shares with the lobby: read
// when the own arrival is announced, written at every change and when the window closes. Every
// write reads the file afresh and edits only our keys, so what the lobby wrote meanwhile is
// kept; a file that cannot be read is never overwritten, and a failed save is told once.
class SettingsFile {
public:
    static inline const QByteArray Section = QByteArrayLiteral("Lexitangle");

    SettingsFile(Tchat &window, const QString &path);

    // The menu items that are settings: each takes effect at once and is saved at once.
    void connectOptions();

    // Reads the section and applies it to the window, its menus and its side windows.
    void loadinifile();
    // Writes what the window shows; nothing before loadinifile() has run.
    void saveinifile();
    void savePhrases();
    // "Better Boards" has a key of its own, written only when the player changes it.
    void saveBetterBoards();
    // So have "Computer Players" and "Computer Level".
    void saveComputerPlayers();
    void saveComputerLevel();
    // And "High Contrast".
    void saveHighContrast();
    // And "Speak Chat".
    void saveSpeakChat();
    // The round review's place: its keys are written only when it was moved or resized.
    void saveReviewPlace(const QRect &place);
    // A failure is told as one system line until a save of that file succeeds again; while
    // the window closes it goes to stderr, every time.
    void reportSave(const QString &path, bool saved, const QString &reason);

private:
    ClientSettings currentSettings() const;
    void applySettings(const ClientSettings &settings);
    void editSettingsFile(const std::function<void(IniEditor &)> &edit);

    Tchat &m_window;
    QString m_path;
    // Until the stored values have been read, the window shows built-in values; writing those
    // would throw away the player's stored choices.
    bool m_read = false;
    QSet<QString> m_unsavedFiles; // failed saves already told in the chat history
};
