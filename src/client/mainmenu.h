#pragma once

#include <QObject>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

// The main window's menu bar: every item carries its control name (objectName) and, where it
// has one, its tag (QAction::data). Handlers are connected by the main window.
class MainMenu : public QObject {
    Q_OBJECT
public:
    explicit MainMenu(QMenuBar *bar);

    QAction *item(const QString &name) const; // by objectName, null if absent
    QMenu *tilesMenu() const { return m_tiles; }

    // Menu tags: the turn sound (0 Classic, 1 New) and the pause between rounds in seconds.
    int turnSoundTag() const;
    int timeBetweenRoundsTag() const;
    // Choose a radio item by tag; the menu's tag follows it.
    void chooseTurnSound(int tag);
    void chooseTimeBetweenRounds(int seconds);
    // Check the "Text Size" item of that size, if there is one.
    void checkTextSize(int points);

    // "Computer Players" (how many, 0..9) and "Computer Level" (1 Easy .. 4 Expert): choosing
    // checks the item of that tag, makes it the menu's tag and tells it, also when the
    // settings choose. A tag without an item changes nothing.
    int computerPlayersTag() const;
    int computerLevelTag() const;
    void chooseComputerPlayers(int count);
    void chooseComputerLevel(int level);
    // Only a hosting copy seats computer players; a joining copy shows both greyed out.
    void setComputerItemsEnabled(bool enabled);
    // How many of the computers chosen wait for a seat: the chosen item says so, "9 (1 waiting)".
    void showComputersWaiting(int waiting);

    // Adds one tile-group radio item ("<group>3"), in the order the folder gives them.
    QAction *addTileGroup(const QString &group);

Q_SIGNALS:
    void computerPlayersChosen(int count);
    void computerLevelChosen(int level);

private:
    QAction *add(QMenu *menu, const char *name, const QString &caption, bool checkable = false);
    void buildFile(QMenuBar *bar);
    void buildOptions(QMenuBar *bar);
    void buildComputers(QMenu *options);
    void captionComputers();
    // Checks the item of `group` whose tag is `tag` and makes it the menu's tag; false if none.
    static bool chooseByTag(QMenu *menu, QActionGroup *group, int tag);
    void buildView(QMenuBar *bar);
    void buildHelp(QMenuBar *bar);

    QMenu *m_turnSound = nullptr;
    QMenu *m_timeBetween = nullptr;
    QMenu *m_tiles = nullptr;
    QMenu *m_computers = nullptr;
    QMenu *m_computerLevel = nullptr;
    QActionGroup *m_turnGroup = nullptr;
    QActionGroup *m_timeGroup = nullptr;
    QActionGroup *m_sizeGroup = nullptr;
    QActionGroup *m_tileGroup = nullptr;
    QActionGroup *m_computerGroup = nullptr;
    QActionGroup *m_levelGroup = nullptr;
    int m_computersWaiting = 0;
};
