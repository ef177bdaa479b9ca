#pragma once

#include <QString>

// Where the program keeps its files. The settings file, the tally and the game history live beside the program
// when its folder is writable; an installed, read-only copy keeps them in the user's
// configuration folder instead. The dictionary's working file lives in the working folder.
struct Paths {
    QString programDir; // folder of the executable
    QString dataDir;    // settings, tally and tile groups
    QString workingDir; // current folder: the dictionary's working file "English"

    // Paths for the running program (the executable's folder, the current folder).
    static Paths forProgram();
    // Paths that put everything into one folder (tests).
    static Paths inFolder(const QString &folder);

    QString settingsFile() const;        // "orvolobby.ini"
    QString tallyFile() const;           // "Lexitangletally.tld"
    QString historyFile() const;         // "Lexitanglehistory.db"
    QString tileFolder() const;          // "Lexitangletiles"
    QString dictionaryWorkingFile() const; // "English"
};
