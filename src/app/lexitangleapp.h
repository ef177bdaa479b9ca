#pragma once

#include <QRandomGenerator>
#include <QStringList>
#include <memory>

#include "client/desktoplobbylauncher.h"
#include "client/messageboxnotifier.h"
#include "system/paths.h"
#include "widgets/focusring.h"
#include "widgets/keysback.h"

class QWidget;
class SoundPlayer;
class TServer;
class Tchat;
class Tgamestart;
class Tphrases;
class Tspylist;
class Twordslist;
class Ttallylist;
class Thelp;
class Tdownload;
class Troundreview;
class BoardSolver;
class RoundHistory;
class WordDefinitions;
class ComputerTable;
class GameRecorder;
class HistoryKeeper;
class Tstatistics;
class BoardCodePrompt;

// The program: creates the ten windows in their fixed order, wires them to each other and hands
// the command line to the main window, which reads it when it is first shown.
class LexitangleApp {
public:
    struct Options {
        Paths paths;
        quint16 port = 7772;
        SoundPlayer *sounds = nullptr; // null: the program's own player
        Notifier *notifier = nullptr;  // null: message boxes
    };

    LexitangleApp(const QStringList &arguments, const Options &options);
    ~LexitangleApp();

    Tchat &chat() { return *m_chat; }
    TServer &server() { return *m_server; }
    Tgamestart &gamestart() { return *m_gamestart; }
    Twordslist &wordslist() { return *m_wordslist; }
    Tspylist &spylist() { return *m_spylist; }
    Ttallylist &tallylist() { return *m_tallylist; }
    Troundreview &roundreview() { return *m_roundreview; }
    RoundHistory &history() { return *m_history; }
    BoardSolver &solver() { return *m_solver; }
    ComputerTable &computers() { return *m_computers; }
    HistoryKeeper &records() { return *m_records; }
    GameRecorder &recorder() { return *m_recorder; }
    Tstatistics &statistics() { return *m_statistics; }
    BoardCodePrompt &codePrompt() { return *m_codePrompt; }

private:
    // Shows where the keyboard is, in every window; it outlives them all.
    FocusRing m_focusRing;
    // Gives the keyboard back to the window the player had when the one he is in closes.
    KeysBack m_keysBack;
    MessageBoxNotifier m_boxes;
    MessageBoxNotifier m_downloadBoxes;
    DesktopLobbyLauncher m_launcher;
    std::unique_ptr<SoundPlayer> m_ownSounds;
    QRandomGenerator m_rng;
    std::unique_ptr<Tchat> m_chat;
    std::unique_ptr<QWidget> m_about;
    std::unique_ptr<Tspylist> m_spylist;
    std::unique_ptr<Tgamestart> m_gamestart;
    std::unique_ptr<Thelp> m_help;
    std::unique_ptr<Tphrases> m_phrases;
    std::unique_ptr<Tdownload> m_download;
    std::unique_ptr<Ttallylist> m_tallylist;
    std::unique_ptr<TServer> m_server;
    std::unique_ptr<Twordslist> m_wordslist;
    // Beyond the ten windows: every word on the board, for the review and the host's re-deal.
    std::unique_ptr<BoardSolver> m_solver;
    // The game history, on its own thread, and what feeds it; made before the windows that
    // read it and gone after them.
    std::unique_ptr<HistoryKeeper> m_records;
    std::unique_ptr<GameRecorder> m_recorder;
    std::unique_ptr<Tstatistics> m_statistics;
    std::unique_ptr<WordDefinitions> m_definitions;
    std::unique_ptr<RoundHistory> m_history;
    std::unique_ptr<Troundreview> m_roundreview;
    // The computer players a hosting copy seats, after the Options menu.
    std::unique_ptr<ComputerTable> m_computers;
    // "Play a Board Code…" asks for the code here.
    std::unique_ptr<BoardCodePrompt> m_codePrompt;

    void attachReview(const Paths &paths);
    void attachHistory(const Paths &paths);
    void attachComputers(const Paths &paths);
    void attachBoardCodes();
};
