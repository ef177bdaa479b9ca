#pragma once

#include "lobby/gamelauncher.h"
#include "lobby/lobbysettings.h"

#include <QWidget>

class GameRun;
class InvitePanel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TableBrowser;
class TableList;
struct LanTable;

// The window "Lexitangle Lobby": the player's name, the tables on this network, joining by address
// or invite link, hosting a table and a solo game. It only wires widgets to the widget-free parts:
// GameRun starts the game and looks after it, TableBrowser lists the tables, LobbySettings keeps
// the [Lobby] section. Nothing here waits: every answer arrives as a signal.
class LobbyWindow : public QWidget {
    Q_OBJECT
public:
    struct Setup {
        QString settingsFile;
        GameRun *run = nullptr;         // must outlive the window
        TableBrowser *browser = nullptr; // null: no list of tables (tests)
    };

    explicit LobbyWindow(const Setup &setup, QWidget *parent = nullptr);

    // A link from the command line or a click on one: filled in, one click from joining; a link
    // that cannot be used is shown with the one line that says why.
    void fillInLink(const QString &link);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildNameRow();
    QWidget *buildTablesBox();
    QWidget *buildJoinBox();
    QWidget *buildHostBox();
    QWidget *buildStatusRow();
    void connectRun();
    void connectBrowser();

    // The name as typed, or empty after showing why it cannot be used.
    QString checkedName();
    void showNameProblem();
    void joinTable(const LanTable &table);
    void joinTyped();
    void join(const QString &address);
    void host();
    void playSolo();
    void startGame(GameLauncher::Role role, const QString &name, const QString &address);
    void gameStarted();
    void gamePlaying();
    void gameEnded();
    void setStatus(const QString &text);
    void addNotice(const QString &line);
    void saveSettings();
    void fillRecent();

    QString m_settingsFile;
    LobbySettings m_settings;
    GameRun *m_run;
    TableBrowser *m_browser;

    QLineEdit *m_name = nullptr;
    QLabel *m_nameProblem = nullptr;
    TableList *m_tables = nullptr;
    QLabel *m_tablesProblem = nullptr;
    QPushButton *m_joinTable = nullptr;
    QComboBox *m_address = nullptr;
    QLabel *m_addressProblem = nullptr;
    QPushButton *m_joinAddress = nullptr;
    QCheckBox *m_openPort = nullptr;
    QPushButton *m_host = nullptr;
    InvitePanel *m_invite = nullptr;
    QPushButton *m_solo = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_notices = nullptr;
    QPushButton *m_bringForward = nullptr;
};
