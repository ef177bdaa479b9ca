#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>

#include <optional>

class IniEditor;

// The values this program keeps in its section of the shared settings file, with the built-in
// defaults. Reading follows the file's exact-comparison rules; writing touches only our keys.
struct ClientSettings {
    int wordsListTop = 98;
    int wordsListLeft = 42;
    int textSize = 8;
    int top = 3;
    int left = 3;
    int width = 775;
    int height = 590;
    quint32 textColor = 0;   // 0x00BBGGRR
    quint32 actionColor = 0;
    QByteArray playToScore = "30";   // applied only when not empty and a number
    QByteArray boardSize = "7";
    QByteArray minLetters = "4";
    QByteArray timePerTurn = "1";    // applied only when not empty and a number
    int timeBetweenRounds = 10;      // 5, 10, 15 or 60
    int turnSound = 0;               // 0 Classic, 1 New
    int clickLettersTag = 1;         // 1: "Click Letters" unchecked
    int disableTypingTag = 1;        // 1: "Disable Typing" unchecked
    QList<QByteArray> phrases = QList<QByteArray>(9); // empty: keep the button's own phrase
    bool playSounds = true;
    bool chatterSounds = true;
    QByteArray tiles;
    // "Better Boards", kept under its own key "BetterBoards" (1 or 0). Written only when the
    // player changes it, so a file of someone who never does stays as it was.
    bool betterBoards = false;
    // Computer players seated by a hosting copy, under "ComputerPlayers" (0..9) and
    // "ComputerLevel" (1 Easy .. 4 Expert); like "BetterBoards", each is written only when the
    // player changes it. A number outside the range is brought to its nearest end.
    int computerPlayers = 0;
    int computerLevel = 2;
    // "High Contrast", under "HighContrast" (1 or 0); like "BetterBoards", written only when
    // the player changes it.
    bool highContrast = false;
    // "Speak Chat": other players' chat lines are spoken to a screen reader. Kept under
    // "SpeakChat" (1 or 0), written only when the player changes it.
    bool speakChat = true;
    // The round review's frame corner and inside size, under "ReviewLeft", "ReviewTop",
    // "ReviewWidth" and "ReviewHeight"; none unless all four are numbers. Written only when the
    // window was moved or resized.
    std::optional<QRect> reviewPlace;

    static ClientSettings read(const IniEditor &ini, const QByteArray &section);
    // Writes every key but the phrases (those belong to the phrase editor).
    void write(IniEditor &ini, const QByteArray &section) const;
    static void writePhrases(IniEditor &ini, const QByteArray &section, const QList<QByteArray> &phrases);
    static void writeBetterBoards(IniEditor &ini, const QByteArray &section, bool on);
    static void writeComputerPlayers(IniEditor &ini, const QByteArray &section, int count);
    static void writeComputerLevel(IniEditor &ini, const QByteArray &section, int level);
    static void writeHighContrast(IniEditor &ini, const QByteArray &section, bool on);
    static void writeSpeakChat(IniEditor &ini, const QByteArray &section, bool on);
    static void writeReviewPlace(IniEditor &ini, const QByteArray &section, const QRect &place);
};
