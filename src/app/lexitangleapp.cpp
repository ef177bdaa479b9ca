#include "app/lexitangleapp.h"

#include "bots/computertable.h"

#include "client/qtsoundplayer.h"
#include "dialogs/boardcodeprompt.h"
#include "client/tchat.h"
#include "dialogs/tabout.h"
#include "dialogs/tdownload.h"
#include "dialogs/thelp.h"
#include "dialogs/ttallylist.h"
#include "dialogs/tgamestart.h"
#include "dialogs/tphrases.h"
#include "dialogs/tspylist.h"
#include "client/gameflow.h"
#include "client/mainmenu.h"
#include "dialogs/troundreview.h"
#include "dialogs/tstatistics.h"
#include "records/gamerecorder.h"
#include "records/historykeeper.h"
#include "dialogs/twordslist.h"
#include "host/tserver.h"
#include "solver/boardsolver.h"
#include "session/clientsession.h"
#include "solver/roundhistory.h"
#include "widgets/infront.h"
#include "words/tdictn.h"
#include "words/worddefinitions.h"

#include <QAction>

LexitangleApp::LexitangleApp(const QStringList &arguments, const Options &options)
    : m_rng(QRandomGenerator::securelySeeded())
{
    SoundPlayer *sounds = options.sounds;
    if (!sounds) {
        m_ownSounds = std::make_unique<QtSoundPlayer>();
        sounds = m_ownSounds.get();
    }
    Notifier *notifier = options.notifier ? options.notifier : &m_boxes;

    // The windows, in their fixed order of creation.
    m_chat = std::make_unique<Tchat>(Tchat::Setup{options.paths, sounds, notifier, options.port});
    m_boxes.setParent(m_chat.get());
    m_about = std::make_unique<Tabout>(m_chat.get());
    m_spylist = std::make_unique<Tspylist>(m_chat.get());
    Tchat *chat = m_chat.get();
    m_gamestart = std::make_unique<Tgamestart>(
        Tgamestart::Hooks{[chat] { return chat->playerName(); },
                          [chat](const QByteArray &message) { chat->sendMessage(message); },
                          [chat] { chat->saveinifile(); },
                          // Straight to the own host, never over the wire, and only by the
                          // hosting player's own start.
                          [this](const std::optional<BoardCode> &code) {
                              if (m_chat->isHost())
                                  m_server->setFirstBoard(code);
                          }},
        m_chat.get());
    QWidget *about = m_about.get();
    m_help = std::make_unique<Thelp>([about] { about->show(); about->raise(); }, m_chat.get());
    m_phrases = std::make_unique<Tphrases>(m_chat.get());
    // The download window stays on top: its boxes belong to it, or they would open beneath it.
    Notifier *downloadNotifier = options.notifier ? options.notifier : &m_downloadBoxes;
    m_download = std::make_unique<Tdownload>(options.paths.dataDir, downloadNotifier, &m_launcher,
                                             [chat] { chat->close(); });
    m_downloadBoxes.setParent(m_download.get());
    m_tallylist = std::make_unique<Ttallylist>(options.paths.tallyFile(), notifier,
                                               [chat] { return chat->otherPlayers(); }, m_chat.get());
    m_server = std::make_unique<TServer>(m_chat->spell(), *m_chat, m_rng, options.port);
    m_wordslist = std::make_unique<Twordslist>(m_chat.get());
    attachReview(options.paths);

    Tchat::Windows windows;
    windows.spylist = m_spylist.get();
    windows.gamestart = m_gamestart.get();
    windows.phrases = m_phrases.get();
    windows.wordslist = m_wordslist.get();
    windows.roundreview = m_roundreview.get();
    windows.about = m_about.get();
    windows.help = m_help.get();
    windows.download = m_download.get();
    windows.tallylist = m_tallylist.get();
    windows.tally = m_tallylist.get();
    windows.server = m_server.get();
    m_chat->attach(windows);
    m_chat->setArguments(arguments);
    Ttallylist *tally = m_tallylist.get();
    tally->setSaveReport([chat](const QString &path, bool saved, const QString &reason) {
        chat->reportSave(path, saved, reason);
    });
    QObject::connect(m_chat.get(), &Tchat::closing, tally, [tally] { tally->save(); });
    attachHistory(options.paths);
    attachComputers(options.paths);
    attachBoardCodes();
}

// The game history: the recorder follows the window's own session, as the player sees the
// game, and hands each round to the history's thread; the statistics window and the review's
// list of past games read it there.
void LexitangleApp::attachHistory(const Paths &paths)
{
    m_records = std::make_unique<HistoryKeeper>(paths.historyFile(), paths.dictionaryWorkingFile());
    m_recorder = std::make_unique<GameRecorder>();
    Tchat *chat = m_chat.get();
    m_recorder->setTableSource([chat] {
        if (!chat->isHost())
            return Record::Table{Record::Role::Join, chat->hostAddress()};
        // A hosting copy's own client always connects over loopback.
        return Record::Table{chat->solo() ? Record::Role::Solo : Record::Role::Host, "127.0.0.1"};
    });
    m_recorder->listenTo(m_chat->session());

    HistoryKeeper *records = m_records.get();
    QObject::connect(m_recorder.get(), &GameRecorder::gameOpened, records, &HistoryKeeper::gameOpened);
    QObject::connect(m_recorder.get(), &GameRecorder::roundEnded, records, &HistoryKeeper::roundEnded);
    QObject::connect(m_recorder.get(), &GameRecorder::gameEnded, records, &HistoryKeeper::gameEnded);
    QObject::connect(records, &HistoryKeeper::notice, chat, [chat](const QString &text) {
        if (chat->isClosing())
            qWarning().noquote() << "Lexitangle:" << text;
        else
            chat->systemLine(text);
    });

    m_statistics = std::make_unique<Tstatistics>(*records, m_chat.get());
    QObject::connect(m_chat->menu().item(QStringLiteral("Statistics1")), &QAction::triggered, m_statistics.get(),
                     &Tstatistics::showStatistics);
    m_roundreview->setPastGames(records, m_solver.get());
}

// The round review and "Better Boards": one solver, whose tree is read from the dictionary's
// working file when a review or a re-deal first needs it, never during start-up.
void LexitangleApp::attachReview(const Paths &paths)
{
    m_solver = std::make_unique<BoardSolver>(paths.dictionaryWorkingFile());
    m_server->setSolver(m_solver.get());
    m_definitions = std::make_unique<WordDefinitions>();
    m_history = std::make_unique<RoundHistory>(m_solver.get());
    m_roundreview = std::make_unique<Troundreview>(*m_history, *m_definitions, m_chat.get());

    RoundHistory *history = m_history.get();
    GameFlow *game = &m_chat->game();
    QObject::connect(game, &GameFlow::gameStarted, history, &RoundHistory::startGame);
    QObject::connect(game, &GameFlow::boardLoaded, history, [game, history] {
        BoardCells cells{};
        for (int c = 0; c < WordEntry::Side; ++c)
            for (int r = 0; r < WordEntry::Side; ++r)
                cells[size_t(c * WordEntry::Side + r)] = game->entry().dealtCode(c, r);
        history->boardDealt(cells);
    });
    QObject::connect(game, &GameFlow::ownWordAccepted, history, &RoundHistory::wordAccepted);
    QObject::connect(game, &GameFlow::roundWordsListed, history, [game, history](const QByteArray &list) {
        history->roundListed(list, game->minimumLetters());
    });

    Troundreview *review = m_roundreview.get();
    QObject::connect(m_chat->menu().item(QStringLiteral("RoundReview1")), &QAction::triggered, review,
                     &Troundreview::showReview);
    QObject::connect(m_wordslist.get(), &Twordslist::reviewRequested, review, &Troundreview::showReview);
    QObject::connect(m_chat->menu().item(QStringLiteral("HighContrast1")), &QAction::toggled, review,
                     &Troundreview::setHighContrast);
}

// Computer players: seated by the table after the menu's choice, which the settings make when
// the own arrival is announced; they share the review's solver. The menu shows how many of them
// wait for a seat. When the window closes they leave at once, like people, with nothing sent
// first.
void LexitangleApp::attachComputers(const Paths &paths)
{
    m_computers = std::make_unique<ComputerTable>(m_chat->session(), *m_solver, paths.dictionaryWorkingFile());
    ComputerTable *table = m_computers.get();
    MainMenu *menu = &m_chat->menu();
    QObject::connect(menu, &MainMenu::computerPlayersChosen, table, &ComputerTable::setCount);
    QObject::connect(menu, &MainMenu::computerLevelChosen, table, &ComputerTable::setLevel);
    QObject::connect(table, &ComputerTable::waitingChanged, menu, &MainMenu::showComputersWaiting);
    QObject::connect(m_chat.get(), &Tchat::closing, table, &ComputerTable::closeAll);
}

// Board codes: File / "Play a Board Code…" and the review's "Play This Board" open the game
// start dialog preset to the code's board, in a hosting copy only; the host deals that board in
// the first round of the game the dialog starts.
void LexitangleApp::attachBoardCodes()
{
    m_codePrompt = std::make_unique<BoardCodePrompt>(m_chat.get());
    Tchat *chat = m_chat.get();
    Tgamestart *gamestart = m_gamestart.get();
    auto play = [chat, gamestart](const BoardCode &code) {
        if (!chat->isHost() || !chat->loggedIn())
            return;
        gamestart->playBoard(code);
        InFront::show(gamestart);
    };
    BoardCodePrompt *prompt = m_codePrompt.get();
    QObject::connect(m_chat->menu().item(QStringLiteral("PlayBoardCode1")), &QAction::triggered, prompt, [chat, prompt] {
        if (!chat->loggedIn())
            chat->showMessage(QStringLiteral("You are not connected"));
        else
            prompt->ask();
    });
    QObject::connect(prompt, &BoardCodePrompt::codeChosen, gamestart, play);
    QObject::connect(m_roundreview.get(), &Troundreview::playBoardRequested, gamestart, play);

    // "Play This Board" starts games between games only, as the host sees it.
    Troundreview *review = m_roundreview.get();
    TServer *server = m_server.get();
    auto playable = [chat, review, server] { review->setBoardsPlayable(chat->isHost() && !server->gameRunning()); };
    ClientSession *session = &m_chat->session();
    QObject::connect(session, &ClientSession::loggedInAs, review, playable);
    QObject::connect(session, &ClientSession::gameStarted, review, playable);
    QObject::connect(session, &ClientSession::winnerNamed, review, playable);
}

LexitangleApp::~LexitangleApp()
{
    m_computers.reset();
    m_codePrompt.reset();
    // The host goes first: its seats must not report into windows that are gone.
    m_server.reset();
    m_roundreview.reset();
    m_statistics.reset();
    m_recorder.reset();
    // Last: the rounds already handed to the history are written before it closes.
    m_records.reset();
}
