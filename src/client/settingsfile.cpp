#include "client/settingsfile.h"

#include "client/chatpanel.h"
#include "client/gameflow.h"
#include "client/mainmenu.h"
#include "client/tchat.h"
#include "client/windowgeometry.h"
#include "dialogs/keptplace.h"
#include "dialogs/tgamestart.h"
#include "dialogs/troundreview.h"
#include "dialogs/twordslist.h"
#include "words/inieditor.h"

#include <QAction>
#include <QDir>
#include <QtDebug>

namespace {

QString latin1(const QByteArray &bytes) { return QString::fromLatin1(bytes); }

} // namespace

SettingsFile::SettingsFile(Tchat &window, const QString &path) : m_window(window), m_path(path) {}

void SettingsFile::connectOptions()
{
    MainMenu &menu = m_window.menu();
    ChatPanel &chat = m_window.chat();
    auto item = [&menu](const char *name) { return menu.item(QString::fromLatin1(name)); };
    auto on = [this, &item](const char *name, auto &&slot) {
        QObject::connect(item(name), &QAction::triggered, &m_window, std::forward<decltype(slot)>(slot));
    };
    on("PlaySounds1", [this] { saveinifile(); });
    on("BetterBoards1", [this] { saveBetterBoards(); });
    on("HighContrast1", [this] { saveHighContrast(); });
    on("SpeakChat1", [this] { saveSpeakChat(); });
    on("PlayChatterSounds1", [this] { saveinifile(); });
    for (int count = 0; count <= 9; ++count)
        on(QByteArray("Computers" + QByteArray::number(count)).constData(), [this, &menu, count] {
            menu.chooseComputerPlayers(count);
            saveComputerPlayers();
        });
    for (const char *name : {"Easy1", "Normal2", "Hard1", "Expert1"})
        on(name, [this, &menu, item, name] {
            menu.chooseComputerLevel(item(name)->data().toInt());
            saveComputerLevel();
        });
    for (const char *name : {"Classic1", "New1"})
        on(name, [this, &menu, item, name] {
            menu.chooseTurnSound(item(name)->data().toInt());
            saveinifile();
        });
    for (const char *name : {"ExtraLong1", "long", "Normal1", "quick"})
        on(name, [this, &menu, item, name] {
            menu.chooseTimeBetweenRounds(item(name)->data().toInt());
            saveinifile();
        });
    on("TextColor1", [this, &chat] {
        if (chat.TextColor1Click())
            saveinifile();
    });
    on("ActionColor1", [this, &chat] {
        chat.ActionColor1Click();
        saveinifile();
    });
    for (const char *name : {"N8", "N10", "N12", "N14"})
        on(name, [this, &menu, &chat, item, name] {
            chat.setTextSize(item(name)->data().toInt());
            menu.checkTextSize(item(name)->data().toInt());
            saveinifile();
        });
    // The tags follow the check marks: 1 means unchecked, as the file keeps it.
    on("DisableTyping1", [this, item] {
        QAction *a = item("DisableTyping1");
        a->setData(a->isChecked() ? 0 : 1);
        m_window.game().setTypingLabelShown(!a->isChecked());
        saveinifile();
    });
    on("ClickLetters1", [this, item] {
        QAction *a = item("ClickLetters1");
        a->setData(a->isChecked() ? 0 : 1);
        saveinifile();
    });
}

ClientSettings SettingsFile::currentSettings() const
{
    const Tchat::Windows &windows = m_window.windows();
    MainMenu &menu = m_window.menu();
    const ChatPanel &chat = m_window.chat();
    auto item = [&menu](const char *name) { return menu.item(QString::fromLatin1(name)); };

    ClientSettings s;
    s.textSize = chat.textSize();
    const QRect place = m_window.windowGeometry().storablePlace();
    s.top = place.y();
    s.left = place.x();
    s.width = place.width();
    s.height = place.height();
    s.textColor = chat.textColour();
    s.actionColor = chat.actionColour();
    if (windows.gamestart) {
        s.playToScore = QByteArray::number(windows.gamestart->playtoscore());
        s.timePerTurn = QByteArray::number(windows.gamestart->timeperturn());
        s.boardSize = windows.gamestart->boardsizeHint().toLatin1();
        s.minLetters = windows.gamestart->minHint().toLatin1();
    }
    s.timeBetweenRounds = menu.timeBetweenRoundsTag();
    if (windows.wordslist) {
        s.wordsListTop = windows.wordslist->rememberedTop();
        s.wordsListLeft = windows.wordslist->rememberedLeft();
    }
    s.turnSound = menu.turnSoundTag();
    s.clickLettersTag = item("ClickLetters1")->data().toInt();
    s.disableTypingTag = item("DisableTyping1")->data().toInt();
    s.tiles = m_window.tileGroup().toLatin1();
    s.playSounds = item("PlaySounds1")->isChecked();
    s.chatterSounds = item("PlayChatterSounds1")->isChecked();
    return s;
}

void SettingsFile::loadinifile()
{
    IniEditor ini;
    ini.load(m_path);
    applySettings(ClientSettings::read(ini, Section));
    m_read = true;
}

void SettingsFile::applySettings(const ClientSettings &s)
{
    const Tchat::Windows &windows = m_window.windows();
    MainMenu &menu = m_window.menu();
    ChatPanel &chat = m_window.chat();
    auto item = [&menu](const char *name) { return menu.item(QString::fromLatin1(name)); };

    if (windows.wordslist)
        windows.wordslist->setRemembered(s.wordsListLeft, s.wordsListTop);
    chat.setTextSize(s.textSize);
    menu.checkTextSize(s.textSize);
    m_window.windowGeometry().placeStored(QPoint(s.left, s.top), QSize(s.width, s.height));
    chat.setTextColour(s.textColor);
    chat.setActionColour(s.actionColor);
    if (windows.gamestart) {
        windows.gamestart->setPlaytoscore(latin1(s.playToScore));
        windows.gamestart->clicksize(QStringLiteral("image_size") + latin1(s.boardSize));
        windows.gamestart->clickmin(QStringLiteral("image_min") + latin1(s.minLetters));
        windows.gamestart->setTimeperturn(latin1(s.timePerTurn));
    }
    menu.chooseTimeBetweenRounds(s.timeBetweenRounds);
    menu.chooseTurnSound(s.turnSound);
    item("ClickLetters1")->setData(s.clickLettersTag);
    item("ClickLetters1")->setChecked(s.clickLettersTag != 1);
    item("DisableTyping1")->setData(s.disableTypingTag);
    item("DisableTyping1")->setChecked(s.disableTypingTag != 1);
    m_window.game().setTypingLabelShown(s.disableTypingTag == 1);
    for (int n = 1; n <= ChatPanel::PhraseCount; ++n)
        if (!s.phrases[n - 1].isEmpty())
            chat.setPhrase(n, latin1(s.phrases[n - 1]));
    item("PlaySounds1")->setChecked(s.playSounds);
    item("PlayChatterSounds1")->setChecked(s.chatterSounds);
    if (!s.tiles.isEmpty() && s.tiles.toLower() != "classic")
        m_window.loadgrouptiles(latin1(s.tiles));
    item("BetterBoards1")->setChecked(s.betterBoards);
    item("SpeakChat1")->setChecked(s.speakChat);
    menu.chooseComputerLevel(s.computerLevel);
    menu.chooseComputerPlayers(s.computerPlayers);
    item("HighContrast1")->setChecked(s.highContrast);
    if (windows.roundreview)
        windows.roundreview->keptPlace().setStored(s.reviewPlace);
}

void SettingsFile::saveinifile()
{
    if (!m_read)
        return;
    editSettingsFile([this](IniEditor &ini) { currentSettings().write(ini, Section); });
}

void SettingsFile::savePhrases()
{
    QList<QByteArray> phrases;
    for (int n = 1; n <= ChatPanel::PhraseCount; ++n)
        phrases.append(ChatPanel::wireText(m_window.chat().phrase(n)));
    editSettingsFile([&phrases](IniEditor &ini) { ClientSettings::writePhrases(ini, Section, phrases); });
}

void SettingsFile::saveBetterBoards()
{
    const bool on = m_window.betterBoards();
    editSettingsFile([on](IniEditor &ini) { ClientSettings::writeBetterBoards(ini, Section, on); });
}

void SettingsFile::saveSpeakChat()
{
    const bool on = m_window.menu().item(QStringLiteral("SpeakChat1"))->isChecked();
    editSettingsFile([on](IniEditor &ini) { ClientSettings::writeSpeakChat(ini, Section, on); });
}

void SettingsFile::saveComputerPlayers()
{
    const int count = m_window.menu().computerPlayersTag();
    editSettingsFile([count](IniEditor &ini) { ClientSettings::writeComputerPlayers(ini, Section, count); });
}

void SettingsFile::saveHighContrast()
{
    const bool on = m_window.menu().item(QStringLiteral("HighContrast1"))->isChecked();
    editSettingsFile([on](IniEditor &ini) { ClientSettings::writeHighContrast(ini, Section, on); });
}

void SettingsFile::saveComputerLevel()
{
    const int level = m_window.menu().computerLevelTag();
    editSettingsFile([level](IniEditor &ini) { ClientSettings::writeComputerLevel(ini, Section, level); });
}

void SettingsFile::saveReviewPlace(const QRect &place)
{
    editSettingsFile([&place](IniEditor &ini) { ClientSettings::writeReviewPlace(ini, Section, place); });
}

void SettingsFile::editSettingsFile(const std::function<void(IniEditor &)> &edit)
{
    IniEditor ini;
    if (!ini.load(m_path))
        return;
    edit(ini);
    QString error;
    const bool saved = ini.save(m_path, &error);
    reportSave(m_path, saved, error);
}

void SettingsFile::reportSave(const QString &path, bool saved, const QString &reason)
{
    if (saved) {
        m_unsavedFiles.remove(path);
        return;
    }
    const QString where = QDir::toNativeSeparators(path);
    // Closing: the chat history is about to go, so the word goes to stderr, every time.
    if (m_window.isClosing()) {
        qWarning().noquote() << "Lexitangle: could not save" << where << "(" + reason + ");"
                             << "the file there was left as it was.";
        return;
    }
    if (m_unsavedFiles.contains(path))
        return;
    m_unsavedFiles.insert(path);
    m_window.systemLine(QStringLiteral("Could not save %1 (%2). The file there was left as it was.")
                            .arg(where, reason));
}
