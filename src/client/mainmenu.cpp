#include "client/mainmenu.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace {
// The tag of a submenu lives on its menu action, like the tag of any other item.
int menuTag(const QMenu *menu) { return menu->menuAction()->data().toInt(); }
}

MainMenu::MainMenu(QMenuBar *bar)
    : QObject(bar)
{
    setObjectName(QStringLiteral("MainMenu1"));
    buildFile(bar);
    buildOptions(bar);
    m_tiles = bar->addMenu(QStringLiteral("Tiles"));
    m_tiles->menuAction()->setObjectName(QStringLiteral("grouptilesitem"));
    m_tiles->setObjectName(QStringLiteral("grouptilesitem_menu"));
    m_tileGroup = new QActionGroup(this);
    buildView(bar);
    buildHelp(bar);
}

QAction *MainMenu::add(QMenu *menu, const char *name, const QString &caption, bool checkable)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(checkable);
    return action;
}

void MainMenu::buildFile(QMenuBar *bar)
{
    QMenu *file = bar->addMenu(QStringLiteral("File"));
    QAction *start = add(file, "StartGame1", QStringLiteral("Start Game"));
    start->setEnabled(false);
    QAction *code = add(file, "PlayBoardCode1", QStringLiteral("Play a Board Code\u2026"));
    code->setEnabled(false);
    // A game from a code is started by the hosting player like any other: greyed out together.
    connect(start, &QAction::enabledChanged, code, &QAction::setEnabled);
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    add(file, "Exit1", QStringLiteral("Exit"));
}

void MainMenu::buildOptions(QMenuBar *bar)
{
    QMenu *options = bar->addMenu(QStringLiteral("Options"));
    add(options, "PlaySounds1", QStringLiteral("Play Sounds"), true)->setChecked(true);
    add(options, "PlayChatterSounds1", QStringLiteral("Play Chatter Sounds"), true);

    m_turnSound = options->addMenu(QStringLiteral("Turn Sound"));
    m_turnSound->menuAction()->setObjectName(QStringLiteral("TurnSound1"));
    m_turnGroup = new QActionGroup(this);
    for (auto [name, caption, tag] : {std::tuple{"Classic1", "Classic", 0}, std::tuple{"New1", "New", 1}}) {
        QAction *a = add(m_turnSound, name, QString::fromLatin1(caption), true);
        a->setData(tag);
        m_turnGroup->addAction(a);
    }
    chooseTurnSound(0);

    m_timeBetween = options->addMenu(QStringLiteral("Time Between Rounds"));
    m_timeBetween->menuAction()->setObjectName(QStringLiteral("timebetweenrounds"));
    m_timeGroup = new QActionGroup(this);
    for (auto [name, caption, tag] : {std::tuple{"ExtraLong1", "Extra Long", 60}, std::tuple{"long", "Long", 15},
                                      std::tuple{"Normal1", "Normal", 10}, std::tuple{"quick", "Quick", 5}}) {
        QAction *a = add(m_timeBetween, name, QString::fromLatin1(caption), true);
        a->setData(tag);
        m_timeGroup->addAction(a);
    }
    chooseTimeBetweenRounds(10);

    add(options, "autostart", QStringLiteral("Automatically Start Next Game"), true);
    add(options, "BetterBoards1", QStringLiteral("Better Boards"), true);
    buildComputers(options);
    options->addSeparator()->setObjectName(QStringLiteral("N3"));
    add(options, "TextColor1", QStringLiteral("Text Color"));
    add(options, "ActionColor1", QStringLiteral("Action Color"));
    QMenu *textSize = options->addMenu(QStringLiteral("Text Size"));
    textSize->menuAction()->setObjectName(QStringLiteral("TextSize1"));
    m_sizeGroup = new QActionGroup(this);
    for (int size : {8, 10, 12, 14}) {
        QAction *a = add(textSize, QByteArray("N" + QByteArray::number(size)).constData(),
                         QString::number(size), true);
        a->setData(size);
        m_sizeGroup->addAction(a);
    }
    QAction *scrollOff = add(options, "ScrollChatOff2", QStringLiteral("Scroll Chat Off"), true);
    scrollOff->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    add(options, "ClearMainChat1", QStringLiteral("Clear Main Chat"));
    add(options, "SpeakChat1", QStringLiteral("Speak Chat"), true)->setChecked(true);
    add(options, "ResetScreenLocation1", QStringLiteral("Reset Screen Location"));
    options->addSeparator()->setObjectName(QStringLiteral("N2"));
    add(options, "JustWatch1", QStringLiteral("Just Watch"), true);
    options->addSeparator()->setObjectName(QStringLiteral("N6"));
    add(options, "DisableTyping1", QStringLiteral("Disable Typing"), true)->setData(1);
    add(options, "ClickLetters1", QStringLiteral("Click Letters"), true)->setData(1);
    add(options, "HighContrast1", QStringLiteral("High Contrast"), true);
}

void MainMenu::buildComputers(QMenu *options)
{
    m_computers = options->addMenu(QStringLiteral("Computer Players"));
    m_computers->menuAction()->setObjectName(QStringLiteral("ComputerPlayers1"));
    m_computerGroup = new QActionGroup(this);
    for (int count = 0; count <= 9; ++count) {
        QAction *a = add(m_computers, QByteArray("Computers" + QByteArray::number(count)).constData(),
                         QString::number(count), true);
        a->setData(count);
        m_computerGroup->addAction(a);
    }
    chooseByTag(m_computers, m_computerGroup, 0);

    m_computerLevel = options->addMenu(QStringLiteral("Computer Level"));
    m_computerLevel->menuAction()->setObjectName(QStringLiteral("ComputerLevel1"));
    m_levelGroup = new QActionGroup(this);
    for (auto [name, caption, tag] : {std::tuple{"Easy1", "Easy", 1}, std::tuple{"Normal2", "Normal", 2},
                                      std::tuple{"Hard1", "Hard", 3}, std::tuple{"Expert1", "Expert", 4}}) {
        QAction *a = add(m_computerLevel, name, QString::fromLatin1(caption), true);
        a->setData(tag);
        m_levelGroup->addAction(a);
    }
    chooseByTag(m_computerLevel, m_levelGroup, 2);
}

void MainMenu::buildView(QMenuBar *bar)
{
    QMenu *view = bar->addMenu(QStringLiteral("View"));
    add(view, "ViewTally1", QStringLiteral("View Tally"));
    add(view, "SpyList1", QStringLiteral("Spy List"));
    add(view, "PrhaseList1", QStringLiteral("Phrase List"));
    add(view, "RoundReview1", QStringLiteral("Round Review"));
    add(view, "Statistics1", QStringLiteral("Statistics"));
}

void MainMenu::buildHelp(QMenuBar *bar)
{
    QMenu *help = bar->addMenu(QStringLiteral("Help"));
    add(help, "Help2", QStringLiteral("Content"))->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator()->setObjectName(QStringLiteral("N4"));
    add(help, "About1", QStringLiteral("About"));
}

QAction *MainMenu::item(const QString &name) const
{
    const auto *bar = static_cast<const QMenuBar *>(parent());
    for (QAction *action : bar->findChildren<QAction *>(name))
        return action;
    return nullptr;
}

int MainMenu::turnSoundTag() const { return menuTag(m_turnSound); }
int MainMenu::timeBetweenRoundsTag() const { return menuTag(m_timeBetween); }

void MainMenu::chooseTurnSound(int tag)
{
    for (QAction *a : m_turnGroup->actions()) {
        if (a->data().toInt() == tag) {
            a->setChecked(true);
            m_turnSound->menuAction()->setData(tag);
        }
    }
}

void MainMenu::chooseTimeBetweenRounds(int seconds)
{
    for (QAction *a : m_timeGroup->actions()) {
        if (a->data().toInt() == seconds) {
            a->setChecked(true);
            m_timeBetween->menuAction()->setData(seconds);
        }
    }
}

void MainMenu::checkTextSize(int points)
{
    for (QAction *a : m_sizeGroup->actions())
        if (a->data().toInt() == points)
            a->setChecked(true);
}

bool MainMenu::chooseByTag(QMenu *menu, QActionGroup *group, int tag)
{
    for (QAction *a : group->actions()) {
        if (a->data().toInt() == tag) {
            a->setChecked(true);
            menu->menuAction()->setData(tag);
            return true;
        }
    }
    return false;
}

int MainMenu::computerPlayersTag() const { return menuTag(m_computers); }
int MainMenu::computerLevelTag() const { return menuTag(m_computerLevel); }

void MainMenu::chooseComputerPlayers(int count)
{
    if (!chooseByTag(m_computers, m_computerGroup, count))
        return;
    captionComputers();
    Q_EMIT computerPlayersChosen(count);
}

void MainMenu::showComputersWaiting(int waiting)
{
    m_computersWaiting = waiting;
    captionComputers();
}

void MainMenu::captionComputers()
{
    for (QAction *a : m_computerGroup->actions()) {
        QString caption = QString::number(a->data().toInt());
        if (a->isChecked() && m_computersWaiting > 0)
            caption += QStringLiteral(" (%1 waiting)").arg(m_computersWaiting);
        a->setText(caption);
    }
}

void MainMenu::chooseComputerLevel(int level)
{
    if (chooseByTag(m_computerLevel, m_levelGroup, level))
        Q_EMIT computerLevelChosen(level);
}

void MainMenu::setComputerItemsEnabled(bool enabled)
{
    m_computers->menuAction()->setEnabled(enabled);
    m_computerLevel->menuAction()->setEnabled(enabled);
}

QAction *MainMenu::addTileGroup(const QString &group)
{
    QAction *a = m_tiles->addAction(QString(group).replace(QLatin1Char('&'), QStringLiteral("&&")));
    a->setObjectName(group + QStringLiteral("3"));
    a->setCheckable(true);
    a->setToolTip(group); // the hint: the group's name
    a->setData(group);
    m_tileGroup->addAction(a);
    return a;
}
