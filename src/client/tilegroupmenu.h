#pragma once

#include "client/tilegroups.h"
#include "client/tileset.h"

#include <QObject>
#include <QString>

class MainMenu;

// The "Tiles" menu: one radio item per tile group found at start. Choosing one draws the board
// with the group's pictures and keeps the name for the settings file. A group that does not
// load leaves the pictures, and so the check mark, where they were; its name is kept all the
// same, so a file that is back at the next start loads then.
class TileGroupMenu : public QObject {
    Q_OBJECT
public:
    TileGroupMenu(MainMenu &menu, const QString &tileFolder, QObject *parent = nullptr);

    // The stored name; empty for the built-in tiles.
    QString tileGroup() const { return m_tileGroup; }
    // False when the group's pictures do not load: nothing changes then.
    bool loadgrouptiles(const QString &group);
    void grouptilesmenuClick(const QString &group);

Q_SIGNALS:
    // The board is to be drawn with these pictures.
    void tilesLoaded(const TileSet &tiles);
    // The player chose a group from the menu: the settings are to be saved.
    void groupChosen();

private:
    void checkShownTileGroup();

    MainMenu &m_menu;
    TileGroups m_groups;
    QString m_tileGroup;      // the stored name
    QString m_shownTileGroup; // the group whose pictures are shown; empty for the built-in ones
};
