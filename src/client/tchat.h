#pragma once

#include <QByteArray>
#include <QMainWindow>
#include <QSet>
#include <memory>

#include "client/chatpanel.h"
#include "client/gameflow.h"
#include "system/paths.h"
#include "host/hostsettings.h"
#include "net/messages.h"
#include "widgets/colourvalue.h"

class Announcer;
class ChatPanel;
class ClientSession;
class GameFlow;
class MainMenu;
class Notifier;
class PlayerSlots;
class ReceiveQueue;
class SettingsFile;
class SoundPlayer;
class TDictn;
class TServer;
class TSock;
class Tgamestart;
class Tphrases;
class Tspylist;
class Troundreview;
class Twordslist;
class Ttallylist;
class TileGroupMenu;
class TallyRecorder;
class WindowGeometry;
class QAction;
class QKeyEvent;

// The main window: the client of one table as a person sees it. Its session (connection,
// queue, seat and login) is a ClientSession without widgets; the window shows what the
// session reads, through its parts: the ten player slots, the chat room and the board area.
// It owns the menus, the settings file's section (SettingsFile) and the dictionary `spell`
// that the host in the same process uses too.
class Tchat : public QMainWindow, public ChatPanelHost, public GameFlowHost, public HostSettings {
    Q_OBJECT
public:
    // Takes the keys to the chat line, in the player's round too.
    static constexpr Qt::Key ChatKey = Qt::Key_F6;
    struct Setup {
        Paths paths;
        SoundPlayer *sounds = nullptr;
        Notifier *notifier = nullptr;
        quint16 port = 7772; // the table's port (tests use the host's real port)
    };

    explicit Tchat(const Setup &setup, QWidget *parent = nullptr);
    ~Tchat() override;

    // The side windows and the host, created after the main window.
    struct Windows {
        Tspylist *spylist = nullptr;
        Tgamestart *gamestart = nullptr;
        Tphrases *phrases = nullptr;
        Twordslist *wordslist = nullptr;
        Troundreview *roundreview = nullptr;
        QWidget *about = nullptr;
        QWidget *help = nullptr;
        QWidget *download = nullptr;
        Ttallylist *tallylist = nullptr;
        TallyRecorder *tally = nullptr;
        TServer *server = nullptr;
    };
    void attach(const Windows &windows);
    const Windows &windows() const { return m_windows; }

    TDictn &spell() { return *m_spell; }
    ClientSession &session() { return *m_session; }
    ReceiveQueue &receivedlist();
    TSock &sock();
    MainMenu &menu() { return *m_menu; }
    PlayerSlots &playerSlots() { return *m_slots; }
    ChatPanel &chat() { return *m_chat; }
    GameFlow &game() { return *m_game; }
    Announcer &announcer() { return *m_announcer; }
    QWidget *boardPanel() const { return m_panel; }

    // Host-side settings read by the host at the moment of use.
    int timeBetweenRounds() const override;
    bool autoStart() const override;
    bool betterBoards() const override;

    // Start-up: chooses solo, host or join from the command line arguments (program name excluded).
    void setArguments(const QStringList &arguments); // read when the window is first shown
    // Runs once: the first call (the first showing, or an earlier direct call) chooses the path.
    void processparams(const QStringList &arguments);
    // Both answer whether the connection was started; a failure was shown to the player.
    bool hostpress();
    bool joinpress();
    // How start-up chose to play: solo (no arguments) and the address the window connects to.
    bool solo() const { return m_solo; }
    QByteArray hostAddress() const { return m_hostAddress; }

    // Session state, kept by the session.
    int ownSeat() const override;
    bool loggedIn() const override;
    bool isHost() const override;
    QByteArray playerName() const;
    void sendMessage(const QByteArray &whole) override;

    // Output routines used everywhere.
    void addlinetochat(const QString &text, quint32 colour) override;
    void systemLine(const QString &text) { addlinetochat(text, ColourValue::SystemLine); }
    void playsounds(const QString &name) override;

    // What the chat panel and the board area read of the window.
    bool chatterSoundsOn() const override;
    void playChatterClip(const QString &clip) override;
    QString slotCaption(int seat) const override;
    bool isword(QByteArrayView word) override;
    void showMessage(const QString &text) override;
    bool justWatchChecked() const override;
    void setJustWatchChecked(bool checked) override;
    bool clickLettersChecked() const override;
    bool disableTypingChecked() const override;
    int turnSoundTag() const override;
    void setStartButtonVisible(bool visible) override;
    TallyRecorder *tally() override { return m_windows.tally; }

    // Session handlers (payload = text after the keyword and its '+'); the session reads
    // them and the window shows what they say.
    void sendloginfo(const QByteArray &payload);
    void newplayerinfo(const QByteArray &payload);
    void playerdisconnected(const QByteArray &payload);
    void justwatching(const QByteArray &payload);
    void sockInfo(TSock *sender, int kind, const QString &text);

    // User actions on the session.
    void JustWatch1Click();
    void label_playername1ContextPopup(int seat);
    void kicking(int seat);

    // "High Contrast" (Options): every text at 4.5:1 or more, the verdicts marked.
    void setHighContrast(bool on);

    // Settings (kept by SettingsFile).
    void loadinifile();
    void saveinifile();
    void savePhrases();
    // How a save of one of the player's files went. A failure is told once, as a system line,
    // until a save of that file succeeds again; while the window closes it goes to stderr.
    void reportSave(const QString &path, bool saved, const QString &reason);
    bool isClosing() const { return m_closing; }

    QString tileGroup() const;
    // Tile groups: the "Tiles" menu lists the group files found at start; choosing one draws
    // the board with its pictures and remembers it in the settings.
    void grouptilesmenuClick(const QString &group);
    bool loadgrouptiles(const QString &group);

    // The names shown in the other taken slots (for the tally's "Players In Current Game").
    QList<QByteArray> otherPlayers() const;
    WindowGeometry &windowGeometry() { return *m_geometry; }

Q_SIGNALS:
    // The window is closing: everything that is saved at shutdown is saved now.
    void closing();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window-level key hook; true when the key was used.
    bool keyPressed(QKeyEvent *event);
    void buildPanel();
    void connectMenu();
    void connectSession();
    void FormClose();
    void resetScreenLocation();

    // What the session reads, shown.
    void showJoined(const Msg::SeatName &player);
    void showLeft(const Msg::SeatName &player);
    void showWatching(const Msg::Watching &change);
    void showGameStarted();

    QAction *item(const char *name) const;

    Setup m_setup;
    Windows m_windows;
    std::unique_ptr<TDictn> m_spell;
    ClientSession *m_session = nullptr;
    std::unique_ptr<SettingsFile> m_settings;
    std::unique_ptr<WindowGeometry> m_geometry;
    MainMenu *m_menu = nullptr;
    QWidget *m_panel = nullptr;
    PlayerSlots *m_slots = nullptr;
    ChatPanel *m_chat = nullptr;
    Announcer *m_announcer = nullptr;
    GameFlow *m_game = nullptr;
    TSock *m_presence = nullptr;
    QWidget *m_startButton = nullptr;

    QByteArray m_hostAddress;
    bool m_shownOnce = false;
    bool m_started = false; // processparams has run
    bool m_solo = false;
    bool m_closing = false;
    QStringList m_arguments;
    TileGroupMenu *m_tiles = nullptr;
};
