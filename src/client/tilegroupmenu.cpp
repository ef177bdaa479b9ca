#include "client/tilegroupmenu.h"

#include "client/mainmenu.h"

#include <QAction>
#include <QMenu>

TileGroupMenu::TileGroupMenu(MainMenu &menu, const QString &tileFolder, QObject *parent)
    : QObject(parent),
      m_menu(menu),
      m_groups(tileFolder)
{
    for (const QString &group : m_groups.groupNames()) {
        QAction *choice = m_menu.addTileGroup(group);
        connect(choice, &QAction::triggered, this, [this, group] { grouptilesmenuClick(group); });
    }
}

bool TileGroupMenu::loadgrouptiles(const QString &group)
{
    const std::optional<TileSet> tiles = m_groups.loadgrouptiles(group);
    if (!tiles)
        return false; // the file is gone: pictures and check marks stay as they were
    m_shownTileGroup = group;
    checkShownTileGroup();
    m_tileGroup = group;
    Q_EMIT tilesLoaded(*tiles);
    return true;
}

void TileGroupMenu::checkShownTileGroup()
{
    const QString shown = m_shownTileGroup + QStringLiteral("3");
    for (QAction *choice : m_menu.tilesMenu()->actions())
        choice->setChecked(!m_shownTileGroup.isEmpty() && choice->objectName() == shown);
}

void TileGroupMenu::grouptilesmenuClick(const QString &group)
{
    // The menu has checked the chosen item already.
    if (!loadgrouptiles(group))
        checkShownTileGroup();
    m_tileGroup = group; // remembered even when the file has disappeared since start-up
    Q_EMIT groupChosen();
}
