#include "client/clientsettings.h"

#include "net/colortext.h"
#include "net/fieldreader.h"
#include "words/inieditor.h"

#include <algorithm>

namespace {
int readInt(const IniEditor &ini, const QByteArray &section, const char *key, int fallback)
{
    const auto number = parseNumber(ini.value(section, key, QByteArray::number(fallback)).trimmed());
    return number ? *number : fallback;
}

quint32 readColor(const IniEditor &ini, const QByteArray &section, const char *key)
{
    return colorFromText(ini.value(section, key, "clblack")).value_or(0); // unreadable: black
}

int timeBetweenFrom(const QByteArray &text)
{
    if (text == "15")
        return 15;
    if (text == "5")
        return 5;
    if (text == "60")
        return 60;
    return 10;
}

QByteArray flag(bool on) { return on ? "true" : "false"; }

std::optional<QRect> readPlace(const IniEditor &ini, const QByteArray &section, const char *const (&keys)[4])
{
    int v[4];
    for (int i = 0; i < 4; ++i) {
        const auto number = parseNumber(ini.value(section, keys[i]).trimmed());
        if (!number)
            return std::nullopt;
        v[i] = *number;
    }
    return QRect(v[0], v[1], v[2], v[3]);
}

constexpr const char *ReviewKeys[4] = {"ReviewLeft", "ReviewTop", "ReviewWidth", "ReviewHeight"};
}

ClientSettings ClientSettings::read(const IniEditor &ini, const QByteArray &section)
{
    ClientSettings s;
    s.wordsListTop = readInt(ini, section, "Wordslisttop", 98);
    s.wordsListLeft = readInt(ini, section, "Wordslistleft", 42);
    s.textSize = readInt(ini, section, "Textsize", 8);
    s.top = readInt(ini, section, "Top", 3);
    s.left = readInt(ini, section, "Left", 3);
    s.width = readInt(ini, section, "Width", 775);
    s.height = readInt(ini, section, "Height", 590);
    s.textColor = readColor(ini, section, "Textcolor");
    s.actionColor = readColor(ini, section, "Actioncolor");
    s.playToScore = ini.value(section, "Playtoscore", "30");
    s.boardSize = ini.value(section, "Boardsize", "7");
    s.minLetters = ini.value(section, "Minletters", "4");
    s.timePerTurn = ini.value(section, "Timeperturn", "1");
    s.timeBetweenRounds = timeBetweenFrom(ini.value(section, "Timebetweenrounds", "Normal"));
    s.turnSound = ini.value(section, "Turnsound", "0") == "1" ? 1 : 0;
    s.clickLettersTag = ini.value(section, "Clickletters", "1") == "1" ? 1 : 0;
    s.disableTypingTag = ini.value(section, "Disabletyping", "1") == "1" ? 1 : 0;
    for (int n = 0; n < 9; ++n)
        s.phrases[n] = ini.value(section, "Phrase" + QByteArray::number(n + 1));
    s.playSounds = ini.value(section, "Playsounds", "on") != "false";
    s.chatterSounds = ini.value(section, "ChatterSounds", "true") != "false";
    s.tiles = ini.value(section, "Tiles");
    s.betterBoards = ini.value(section, "BetterBoards", "0").trimmed() == "1";
    s.computerPlayers = std::clamp(readInt(ini, section, "ComputerPlayers", 0), 0, 9);
    s.computerLevel = std::clamp(readInt(ini, section, "ComputerLevel", 2), 1, 4);
    s.highContrast = ini.value(section, "HighContrast", "0").trimmed() == "1";
    s.speakChat = ini.value(section, "SpeakChat", "1").trimmed() != "0";
    s.reviewPlace = readPlace(ini, section, ReviewKeys);
    return s;
}

void ClientSettings::write(IniEditor &ini, const QByteArray &section) const
{
    ini.setValue(section, "Textsize", QByteArray::number(textSize));
    ini.setValue(section, "Top", QByteArray::number(top));
    ini.setValue(section, "Left", QByteArray::number(left));
    ini.setValue(section, "Width", QByteArray::number(width));
    ini.setValue(section, "Height", QByteArray::number(height));
    ini.setValue(section, "Textcolor", colorToText(textColor));
    ini.setValue(section, "Actioncolor", colorToText(actionColor));
    ini.setValue(section, "Playtoscore", playToScore);
    ini.setValue(section, "Timeperturn", timePerTurn);
    ini.setValue(section, "Boardsize", boardSize);
    ini.setValue(section, "Minletters", minLetters);
    ini.setValue(section, "Timebetweenrounds", QByteArray::number(timeBetweenRounds));
    ini.setValue(section, "Wordslisttop", QByteArray::number(wordsListTop));
    ini.setValue(section, "Wordslistleft", QByteArray::number(wordsListLeft));
    ini.setValue(section, "Turnsound", QByteArray::number(turnSound));
    ini.setValue(section, "Clickletters", QByteArray::number(clickLettersTag));
    ini.setValue(section, "Disabletyping", QByteArray::number(disableTypingTag));
    ini.setValue(section, "Tiles", tiles);
    ini.setValue(section, "Playsounds", flag(playSounds));
    ini.setValue(section, "ChatterSounds", flag(chatterSounds));
}

void ClientSettings::writePhrases(IniEditor &ini, const QByteArray &section, const QList<QByteArray> &phrases)
{
    for (int n = 0; n < phrases.size() && n < 9; ++n)
        ini.setValue(section, "Phrase" + QByteArray::number(n + 1), phrases[n]);
}

void ClientSettings::writeBetterBoards(IniEditor &ini, const QByteArray &section, bool on)
{
    ini.setValue(section, "BetterBoards", on ? "1" : "0");
}

void ClientSettings::writeComputerPlayers(IniEditor &ini, const QByteArray &section, int count)
{
    ini.setValue(section, "ComputerPlayers", QByteArray::number(count));
}

void ClientSettings::writeComputerLevel(IniEditor &ini, const QByteArray &section, int level)
{
    ini.setValue(section, "ComputerLevel", QByteArray::number(level));
}

void ClientSettings::writeHighContrast(IniEditor &ini, const QByteArray &section, bool on)
{
    ini.setValue(section, "HighContrast", on ? "1" : "0");
}

void ClientSettings::writeSpeakChat(IniEditor &ini, const QByteArray &section, bool on)
{
    ini.setValue(section, "SpeakChat", on ? "1" : "0");
}

void ClientSettings::writeReviewPlace(IniEditor &ini, const QByteArray &section, const QRect &place)
{
    const int values[4] = {place.x(), place.y(), place.width(), place.height()};
    for (int i = 0; i < 4; ++i)
        ini.setValue(section, ReviewKeys[i], QByteArray::number(values[i]));
}
