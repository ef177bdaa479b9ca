#include "lobby/window/lobbywindow.h"

#include "lobby/gamerun.h"
#include "lobby/invitelink.h"
#include "lobby/lanaddresses.h"
#include "lobby/playername.h"
#include "lobby/tablebrowser.h"
#include "lobby/window/invitepanel.h"
#include "lobby/window/tablelist.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// Notices of the network services, newest last; older ones scroll away.
constexpr int MaxNotices = 4;

QLabel *problemLine(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // lines may quote what a player typed or a link held
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(160, 0, 0));
    label->setPalette(palette);
    label->hide();
    return label;
}

void showLine(QLabel *label, const QString &line)
{
    label->setText(line);
    label->setVisible(!line.isEmpty());
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

LobbyWindow::LobbyWindow(const Setup &setup, QWidget *parent)
    : QWidget(parent)
    , m_settingsFile(setup.settingsFile)
    , m_settings(LobbySettings::load(setup.settingsFile))
    , m_run(setup.run)
    , m_browser(setup.browser)
{
    setObjectName(QStringLiteral("lobby"));
    setWindowTitle(QStringLiteral("Lexitangle Lobby"));
    auto *columns = new QHBoxLayout;
    columns->addWidget(buildTablesBox(), 3);
    auto *right = new QVBoxLayout;
    right->addWidget(buildJoinBox());
    right->addWidget(buildHostBox());
    right->addStretch(1);
    columns->addLayout(right, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildNameRow());
    layout->addLayout(columns, 1);
    layout->addWidget(buildStatusRow());
    // Its home size, but never beyond the desktop: at 200 % on a small screen a bigger window
    // would open with its right side off screen where no window manager moves it.
    const QSize home(860, 520);
    resize(screen() ? home.boundedTo(screen()->availableGeometry().size()) : home);

    connectRun();
    connectBrowser();
}

QWidget *LobbyWindow::buildNameRow()
{
    auto *row = new QWidget(this);
    auto *grid = new QGridLayout(row);
    grid->setContentsMargins(0, 0, 0, 0);
    m_name = new QLineEdit(m_settings.name, row);
    m_name->setObjectName(QStringLiteral("edit_name"));
    m_name->setMaxLength(4 * PlayerName::MaxLength); // room to see what is too long
    m_name->setPlaceholderText(QStringLiteral("the name others see at the table"));
    auto *label = new QLabel(QStringLiteral("Your &name:"), row);
    label->setBuddy(m_name);
    m_nameProblem = problemLine(row, QStringLiteral("label_nameproblem"));
    m_solo = button(QStringLiteral("Play &Solo"), QStringLiteral("button_solo"), row);
    m_solo->setToolTip(QStringLiteral("A game on this computer alone, without a table for others"));
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(m_solo, 0, 2);
    grid->addWidget(m_nameProblem, 1, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    connect(m_name, &QLineEdit::textEdited, this, &LobbyWindow::showNameProblem);
    connect(m_solo, &QPushButton::clicked, this, &LobbyWindow::playSolo);
    if (!m_settings.name.isEmpty())
        showNameProblem();
    return row;
}

QWidget *LobbyWindow::buildTablesBox()
{
    auto *box = new QGroupBox(QStringLiteral("Tables on this network"), this);
    m_tables = new TableList(box);
    m_tablesProblem = problemLine(box, QStringLiteral("label_tablesproblem"));
    m_joinTable = button(QStringLiteral("&Join"), QStringLiteral("button_jointable"), box);
    m_joinTable->setEnabled(false);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_tables, 1);
    layout->addWidget(m_tablesProblem);
    layout->addWidget(m_joinTable, 0, Qt::AlignRight);
    connect(m_tables, &TableList::tableChosen, this, &LobbyWindow::joinTable);
    connect(m_tables, &QTreeWidget::itemSelectionChanged, this, [this] {
        m_joinTable->setEnabled(m_tables->selectedTable().has_value() && !m_run->running());
    });
    connect(m_joinTable, &QPushButton::clicked, this, [this] {
        if (const std::optional<LanTable> table = m_tables->selectedTable())
            joinTable(*table);
    });
    return box;
}

QWidget *LobbyWindow::buildJoinBox()
{
    auto *box = new QGroupBox(QStringLiteral("Join by address"), this);
    m_address = new QComboBox(box);
    m_address->setObjectName(QStringLiteral("edit_address"));
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->lineEdit()->setMaxLength(InviteLink::MaxLength + 1); // longer is refused anyway
    m_address->lineEdit()->setPlaceholderText(QStringLiteral("an address or an invite link"));
    fillRecent();
    m_addressProblem = problemLine(box, QStringLiteral("label_addressproblem"));
    m_joinAddress = button(QStringLiteral("J&oin"), QStringLiteral("button_joinaddress"), box);
    auto *layout = new QGridLayout(box);
    layout->addWidget(m_address, 0, 0);
    layout->addWidget(m_joinAddress, 0, 1);
    layout->addWidget(m_addressProblem, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    connect(m_joinAddress, &QPushButton::clicked, this, &LobbyWindow::joinTyped);
    connect(m_address->lineEdit(), &QLineEdit::returnPressed, this, &LobbyWindow::joinTyped);
    connect(m_address, &QComboBox::editTextChanged, this, [this] { showLine(m_addressProblem, {}); });
    return box;
}

QWidget *LobbyWindow::buildHostBox()
{
    auto *box = new QGroupBox(QStringLiteral("Host a table"), this);
    m_openPort = new QCheckBox(QStringLiteral("&Let players from the internet in (open port 7772 on my router)"), box);
    m_openPort->setObjectName(QStringLiteral("check_openport"));
    m_openPort->setChecked(m_settings.openPort);
    m_host = button(QStringLiteral("&Host a Table"), QStringLiteral("button_host"), box);
    m_invite = new InvitePanel(box);
    m_invite->hide();
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_openPort);
    layout->addWidget(m_host, 0, Qt::AlignLeft);
    layout->addWidget(m_invite);
    connect(m_openPort, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.openPort = on;
        saveSettings();
    });
    connect(m_host, &QPushButton::clicked, this, &LobbyWindow::host);
    connect(m_invite, &InvitePanel::linkCopied, this, [this](const QString &link) {
        setStatus(QStringLiteral("Copied %1 - send it to the players you want at your table.").arg(link));
    });
    return box;
}

QWidget *LobbyWindow::buildStatusRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QGridLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_status = new QLabel(row);
    m_status->setObjectName(QStringLiteral("label_status"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    m_bringForward = button(QStringLiteral("&Bring It Forward"), QStringLiteral("button_bringforward"), row);
    m_bringForward->hide();
    m_notices = new QLabel(row);
    m_notices->setObjectName(QStringLiteral("label_notices"));
    m_notices->setTextFormat(Qt::PlainText);
    m_notices->setWordWrap(true);
    m_notices->hide();
    layout->addWidget(m_status, 0, 0);
    layout->addWidget(m_bringForward, 0, 1);
    layout->addWidget(m_notices, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    connect(m_bringForward, &QPushButton::clicked, this, [this] {
        m_run->bringOtherGameForward();
        m_bringForward->hide();
        setStatus({});
    });
    return row;
}

void LobbyWindow::connectRun()
{
    connect(m_run, &GameRun::started, this, &LobbyWindow::gameStarted);
    connect(m_run, &GameRun::playing, this, &LobbyWindow::gamePlaying);
    connect(m_run, &GameRun::ended, this, &LobbyWindow::gameEnded);
    connect(m_run, &GameRun::line, this, &LobbyWindow::addNotice);
    connect(m_run, &GameRun::announced, this, [this] {
        addNotice(QStringLiteral("Your table is announced on this network."));
    });
    connect(m_run, &GameRun::portOpened, this, [this](const QString &external) {
        m_invite->addExternalAddress(external);
        addNotice(QStringLiteral("Port 7772 is open on the router: players on the internet can join at %1.").arg(external));
    });
}

void LobbyWindow::connectBrowser()
{
    if (!m_browser)
        return;
    connect(m_browser, &TableBrowser::tableFound, m_tables, &TableList::addOrUpdate);
    connect(m_browser, &TableBrowser::tableLost, m_tables, &TableList::remove);
    connect(m_browser, &TableBrowser::unavailable, this, [this](const QString &line) {
        showLine(m_tablesProblem, line);
    });
    connect(m_browser, &TableBrowser::available, this, [this] { showLine(m_tablesProblem, {}); });
    for (const LanTable &table : m_browser->tables())
        m_tables->addOrUpdate(table);
}

void LobbyWindow::fillInLink(const QString &link)
{
    m_address->setEditText(link.left(InviteLink::MaxLength + 1));
    const JoinTarget target = InviteLink::parseTyped(link);
    showLine(m_addressProblem, target.problem);
    if (target.isValid()) {
        m_joinAddress->setDefault(true);
        m_joinAddress->setFocus();
    }
    // A link that comes while a game runs waits for its end: one game runs at a time, and the
    // status keeps saying where this one is played.
    if (m_run->running()) {
        if (target.isValid())
            addNotice(QStringLiteral("The table at %1 is filled in: press Join once this game has ended.")
                          .arg(target.address));
        return;
    }
    // An earlier link's "Press Join" must not stay beside a link that cannot be used.
    setStatus(target.isValid() ? QStringLiteral("Press Join to play at the table at %1.").arg(target.address)
                               : QString());
}

void LobbyWindow::comeForward(const QString &link)
{
    if (!link.isEmpty())
        fillInLink(link);
    // Restored from the taskbar, but a maximised window stays maximised.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

QString LobbyWindow::checkedName()
{
    const QString name = m_name->text().trimmed();
    const QString problem = PlayerName::problem(name);
    showLine(m_nameProblem, problem);
    if (!problem.isEmpty()) {
        m_name->setFocus();
        return {};
    }
    return name;
}

void LobbyWindow::showNameProblem()
{
    const QString name = m_name->text().trimmed();
    // An empty field is only a problem once a game needs the name.
    showLine(m_nameProblem, name.isEmpty() ? QString() : PlayerName::problem(name));
}

void LobbyWindow::joinTable(const LanTable &table)
{
    join(table.address);
}

void LobbyWindow::joinTyped()
{
    const JoinTarget target = InviteLink::parseTyped(m_address->currentText());
    showLine(m_addressProblem, target.problem);
    if (target.isValid())
        join(target.address);
}

void LobbyWindow::join(const QString &address)
{
    const QString name = checkedName();
    if (name.isEmpty())
        return;
    startGame(GameRun::Role::Join, name, address);
    if (m_run->running()) {
        m_settings.addRecent(address);
        saveSettings();
        fillRecent();
    }
}

void LobbyWindow::host()
{
    const QString name = checkedName();
    if (!name.isEmpty())
        startGame(GameRun::Role::Host, name, {});
}

void LobbyWindow::playSolo()
{
    startGame(GameRun::Role::Solo, {}, {});
}

void LobbyWindow::startGame(GameLauncher::Role role, const QString &name, const QString &address)
{
    if (!name.isEmpty() && name != m_settings.name) {
        m_settings.name = name;
        saveSettings();
    }
    m_notices->clear();
    m_notices->hide();
    m_bringForward->hide();
    if (m_run->otherGameRuns()) {
        setStatus(QStringLiteral("Lexitangle is already running on this computer. Close it before starting "
                                 "another game, or bring it forward."));
        m_bringForward->show();
        return;
    }
    QString problem;
    if (!m_run->start(role, name, address, m_openPort->isChecked(), &problem))
        setStatus(problem);
}

void LobbyWindow::gameStarted()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_host, m_solo, m_joinAddress, m_joinTable, m_openPort})
        w->setEnabled(false);
    switch (m_run->role()) {
    case GameRun::Role::Solo:
        setStatus(QStringLiteral("Playing a solo game."));
        break;
    case GameRun::Role::Host:
        setStatus(QStringLiteral("Starting your table..."));
        break;
    case GameRun::Role::Join:
        setStatus(QStringLiteral("Starting the game to join %1...").arg(m_run->address()));
        break;
    }
}

void LobbyWindow::gamePlaying()
{
    if (m_run->role() == GameRun::Role::Host) {
        setStatus(QStringLiteral("Playing at your own table."));
        m_invite->showLocalAddresses(LanAddresses::ofThisMachine());
        m_invite->show();
    } else {
        setStatus(QStringLiteral("Playing at %1.").arg(m_run->address()));
    }
}

void LobbyWindow::gameEnded()
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_host, m_solo, m_joinAddress, m_openPort})
        w->setEnabled(true);
    m_joinTable->setEnabled(m_tables->selectedTable().has_value());
    m_invite->hide();
    // What was said about the table (announced, the port open) no longer holds.
    m_notices->clear();
    m_notices->hide();
    setStatus(QStringLiteral("The game has ended."));
    comeForward();  // ready for the next game
}

void LobbyWindow::setStatus(const QString &text)
{
    m_status->setText(text);
}

void LobbyWindow::addNotice(const QString &line)
{
    QStringList lines = m_notices->text().isEmpty() ? QStringList() : m_notices->text().split(u'\n');
    lines.append(line);
    while (lines.size() > MaxNotices)
        lines.removeFirst();
    showLine(m_notices, lines.join(u'\n'));
}

void LobbyWindow::saveSettings()
{
    QString error;
    if (!m_settings.save(m_settingsFile, &error))
        addNotice(QStringLiteral("Could not save the lobby's settings in %1 (%2).")
                      .arg(QDir::toNativeSeparators(m_settingsFile), error));
}

void LobbyWindow::fillRecent()
{
    const QString typed = m_address->currentText();
    m_address->clear();
    m_address->addItems(m_settings.recentTables);
    m_address->setEditText(typed);
}

void LobbyWindow::closeEvent(QCloseEvent *event)
{
    const QString name = m_name->text().trimmed();
    if (name != m_settings.name && PlayerName::problem(name).isEmpty()) {
        m_settings.name = name;
        saveSettings();
    }
    QWidget::closeEvent(event);
}
