#include "app/lexitangleapp.h"

#include "client/qtsoundplayer.h"
#include "client/tchat.h"
#include "dialogs/tabout.h"
#include "dialogs/tdownload.h"
#include "dialogs/thelp.h"
#include "dialogs/ttallylist.h"
#include "dialogs/tgamestart.h"
#include "dialogs/tphrases.h"
#include "dialogs/tspylist.h"
#include "dialogs/twordslist.h"
#include "host/tserver.h"
#include "words/tdictn.h"

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
                          [chat] { chat->saveinifile(); }},
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

    Tchat::Windows windows;
    windows.spylist = m_spylist.get();
    windows.gamestart = m_gamestart.get();
    windows.phrases = m_phrases.get();
    windows.wordslist = m_wordslist.get();
    windows.about = m_about.get();
    windows.help = m_help.get();
    windows.download = m_download.get();
    windows.tallylist = m_tallylist.get();
    windows.tally = m_tallylist.get();
    windows.server = m_server.get();
    m_chat->attach(windows);
    m_chat->setArguments(arguments);
    Ttallylist *tally = m_tallylist.get();
    QObject::connect(m_chat.get(), &Tchat::closing, tally, [tally] { tally->save(); });
}

LexitangleApp::~LexitangleApp()
{
    // The host goes first: its seats must not report into windows that are gone.
    m_server.reset();
}
