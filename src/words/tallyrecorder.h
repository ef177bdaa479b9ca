#pragma once

#include <QByteArray>
#include <QString>

// What the game flow records in the player's private tally. The tally window implements it;
// the game flow only reports finished games and the player's own records.
class TallyRecorder {
public:
    virtual ~TallyRecorder() = default;

    // `winner` is the winner's name, or "addtomine" when the player won.
    virtual void addgame(const QByteArray &winner) = 0;
    // Adds 1 to the player's own figure in column `col` (4: twelve-letter words).
    virtual void addtomineincrease(int col) = 0;
    // Sets the player's own figure in column `col` (3: most words in a round).
    virtual void addtomineset(int col, int value) = 0;
    // The shown "Most Words in a Round:" figure; it may be any text.
    virtual QString mostWordsCaption() const = 0;
};
