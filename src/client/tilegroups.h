#pragma once

#include "client/tileset.h"

#include <QString>
#include <QStringList>

#include <optional>

// Tile groups: alternative tile pictures, one strip "<group>.bmp" per group in the tile folder
// "Lexitangletiles" of the data folder.
//
// A group's name is its file name up to the first '.', so "wood.bmp" and "wood.old.bmp" both
// name the group "wood" (listed once). A name is any text that can stand as a menu caption, an
// object name and a settings value: it is accepted unless it is empty, has a control
// character, a path separator or blanks at either end (the settings file would trim those).
// The same rule guards loadgrouptiles(), whose name may come from the settings file, so a
// stored name can never point outside the tile folder.
class TileGroups {
public:
    // `tileFolder` is the folder itself ("<data folder>/Lexitangletiles").
    explicit TileGroups(QString tileFolder);
    static QString folderIn(const QString &dataFolder);

    QString folder() const { return m_folder; }

    // The groups found now, sorted by name ignoring letter case (then exactly), so the menu
    // keeps its order between runs. A missing folder gives none.
    QStringList groupNames() const;

    // The pictures of a group; nullopt when its file is missing or not a picture. Pure white is
    // transparent; whatever a short strip does not cover is transparent too.
    std::optional<TileSet> loadgrouptiles(const QString &name) const;

    static bool isGroupName(const QString &name);
    // The largest strip read; a group file is normally 1302 x 42.
    static constexpr int MaxStripSide = 8192;

private:
    QString m_folder;
};
