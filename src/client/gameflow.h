#pragma once

#include "client/boardcontrols.h"
#include "client/tileset.h"
#include "client/verdictlook.h"
#include "client/wordentry.h"
#include "widgets/announcer.h"
#include "net/messages.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QByteArrayView>
#include <QColor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSet>
#include <QString>

#include <array>
#include <memory>

class BoardView;
class ClientSession;
class QKeyEvent;
class QLabel;
class QTimer;
class TallyRecorder;
class Twordslist;

// What the game flow needs from the main window. The main window implements it; tests use a
// recording fake.
class GameFlowHost {
public:
    virtual ~GameFlowHost() = default;

    // 0 before login; 1..10 a seat; above 10 a spy.
    virtual int ownSeat() const = 0;
    virtual bool loggedIn() const = 0;
    virtual bool isHost() const = 0;
    // A whole message, terminator included.
    virtual void sendMessage(const QByteArray &whole) = 0;
    // `colour` is 0x00BBGGRR.
    virtual void addlinetochat(const QString &text, quint32 colour) = 0;
    // Lower-case clip names such as "tick" or "invalid".
    virtual void playsounds(const QString &name) = 0;
    virtual bool isword(QByteArrayView word) = 0;
    // A modal message box.
    virtual void showMessage(const QString &text) = 0;

    virtual bool justWatchChecked() const = 0;
    virtual void setJustWatchChecked(bool checked) = 0;
    virtual bool clickLettersChecked() const = 0;
    virtual bool disableTypingChecked() const = 0;
    // The tag of the "Turn Sound" menu: 1 "New", 0 "Classic".
    virtual int turnSoundTag() const = 0;
    // The main window's `button_start`, which only the host may see.
    virtual void setStartButtonVisible(bool visible) = 0;
    // May be null while no tally is kept.
    virtual TallyRecorder *tally() = 0;
};

// The board area of the main window and the game as this client sees it: the host's game
// messages, the round countdown, the words panel, and word entry by mouse and keyboard over
// the WordEntry model. Handlers take the messages as the client session has read them, and
// never throw; every seat number in them is range-checked here.
class GameFlow : public QObject {
    Q_OBJECT
public:
    // Makes the board area's controls on `boardPanel`. `wordsList` may be null.
    GameFlow(QWidget *boardPanel, GameFlowHost &host, Twordslist *wordsList, QObject *parent = nullptr);
    ~GameFlow() override;

    void setTileSet(const TileSet &tiles);
    // The words list window is made after the main window.
    void setWordsList(Twordslist *wordsList) { m_wordsList = wordsList; }
    // "Disable Typing" shows the typing label exactly while it is unchecked.
    void setTypingLabelShown(bool shown);
    // Where the game's news is spoken; may stay null.
    void setAnnouncer(Announcer *announcer) { m_announcer = announcer; }

    // The session's game messages go to the handlers below.
    void listenTo(ClientSession &session);

    // A list of groups that is not whole is shown as far as it reads, and no further.
    void loadboard(const Msg::BoardTiles &tiles);
    void startthegame(const Msg::GameStart &start);
    void loadstats(const Msg::GameState &state);
    // `seat`: the seat whose round begins.
    void getnextplayer(int seat);
    void goodword(const Msg::GoodWord &word);
    void notvalid(const Msg::NotValid &word);
    void addscore(const Msg::AddScore &score);
    void timeup(const Msg::RoundScores &scores);
    void mainlist(const Msg::RoundWords &words);
    void winner(const QByteArray &name);

    void turntimeTimer();
    void clearall();
    void addword(const QString &text, const QColor &colour);
    // "High Contrast": the words panel on a dark ground, its verdicts marked (VerdictLook).
    void setHighContrast(bool on);
    bool highContrast() const { return m_highContrast; }

    void paintbox_boardMouseDown(Qt::MouseButton button, QPoint pixel);
    void paintbox_boardMouseMove(QPoint pixel);
    void paintbox_boardMouseUp(Qt::MouseButton button, QPoint pixel);
    void button_sendClick();
    void button_clearClick();
    void button_rotateClick();
    // `slot` is 1..12.
    void image_letters1Click(int slot);
    void label_typingoffClick();

    void pressdone();
    void pressclear();
    void rotateboard();
    void deleteoneletter();
    // Returns true when the letter went beside the last tile or began the word.
    bool typetheletter(int code);
    // Keyboard entry; returns whether the key was consumed.
    bool FormShortCut(QKeyEvent *event);
    // The typing switch ("TYPING ON" / "TYPING OFF").
    bool typingOn() const { return m_typingOn; }
    void setTypingOn(bool on) { setTyping(on); }
    // Speak the board row by row (Ctrl+B) and the word being built (Ctrl+W), at any time.
    void readBoard();
    void readWord();

    // The seat whose round this client shows; 0 between rounds.
    int activeSeat() const { return m_activeSeat; }
    bool playersRound() const;
    int countdown() const { return m_countdown; }
    int minimumLetters() const { return m_minLetters; }
    const WordEntry &entry() const { return m_entry; }
    QTimer *turntime() const { return m_turntime; }

Q_SIGNALS:
    // What the round review records, each sent once the handler has done its own work.
    void gameStarted();
    void boardLoaded(); // entry() holds the dealt board
    void ownWordAccepted(const QByteArray &word);
    // The host's words of the round for this seat: words separated by "+", or "No Words".
    void roundWordsListed(const QByteArray &list);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // An honest host answers each word the player sends once a round, and no round lets a
    // player send nearly this many; a host that sends more only floods the words panel.
    static constexpr int MaxVerdictsPerRound = 5000;

    // The verdicts' words panel colours and status texts, shared by the host's verdicts and
    // the checks made before a word is sent.
    static inline const QColor NotAWordColour{0, 0, 0};
    static inline const QColor AlreadyFoundColour{128, 0, 0};
    static inline const QColor TooShortColour{255, 128, 0};
    static inline const QString InvalidWordText = QStringLiteral("Invalid Word.");
    static inline const QString AlreadyFoundText = QStringLiteral("You have already found that word.");
    static inline const QString NotEnoughLettersText = QStringLiteral("Not enough letters.");

    void chooseCell(QPoint cell, bool press);
    void clearWords();
    void tileAdded(const QString &sound);
    void refreshWord();
    void showMinLetters();
    void setTyping(bool on);
    void openRound();
    void applySettings(const Msg::GameSettings &settings);
    void setSecondsPerRound(const QByteArray &field);
    void setStatus(const QString &text);
    bool firstVerdict(const QByteArray &word);
    // The status line's verdict, also spoken.
    void setVerdict(const QString &status, const QString &spoken);
    void refusal(const QString &status, const QByteArray &word);
    void announceRoundStart();
    void announceRoundOver(const Msg::RoundScores &scores);
    QLabel *slotLabel(const char *prefix, int seat) const;
    void showScore(int seat, int total);
    QString playerName(int seat) const;

    GameFlowHost &m_host;
    Twordslist *m_wordsList;
    WordEntry m_entry;
    TileSet m_tiles;
    std::unique_ptr<BoardControls> m_ui;
    // The board view paints m_entry, so it must not outlive this object; the panel may
    // have deleted it first.
    QPointer<BoardView> m_boardView;
    QTimer *m_turntime;
    QPointer<Announcer> m_announcer;

    int m_activeSeat = 0;
    int m_secondsPerRound = 60;
    int m_barStep = 0;
    int m_countdown = 0;
    int m_minLetters = 0;
    int m_wordsFound = 0;
    // Seats 1..10 at index 1..10; ticks left before the bonus caption goes.
    std::array<int, 11> m_bonusHold{};
    bool m_typingOn = false;
    bool m_typingEnabled = false;
    bool m_dragging = false;
    QPoint m_hovered{-1, -1};
    // Every word submitted in this round, refused ones too.
    QByteArrayList m_wordsTried;
    // Every word the host gave a verdict on in this round, and whether it was told of one
    // verdict too many.
    QSet<QByteArray> m_wordsAnswered;
    bool m_verdictsRefused = false;
    // The words panel's lines as written, so a change of look draws them anew.
    QList<VerdictLook::Line> m_wordLines;
    bool m_highContrast = false;
};
