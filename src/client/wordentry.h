#pragma once

#include "net/messages.h"
#include "net/protocol.h"

#include <QByteArray>
#include <QList>
#include <QPoint>

#include <array>
#include <optional>

// The word a player builds on the board, without any widget: the dealt board as received,
// the board as shown (turned by the rotation step), the frames on the tiles of the word, and
// the word itself as a path of shown positions. The board view paints from it and forwards
// mouse and keys; the main window makes the submission checks and sends playerdoneText().
//
// Invariants: a shown cell carries a mark exactly when it is in the word path; the last
// tile is the last path entry; every path cell holds a letter on the shown board; getreal()
// of a path cell is on the grid.
class WordEntry {
public:
    static constexpr int Side = 10;
    static constexpr int MaxLetters = Protocol::MaxWordLetters;
    // Picture shown in a word slot that has no letter.
    static constexpr int EmptySlot = 30;
    // Marks are the picture indexes of the frames drawn over a tile.
    static constexpr int NoMark = 0;
    static constexpr int LastTileMark = 27;
    static constexpr int PathMark = 28;

    enum class Choice {
        Added,   // the view empties the status line and plays "click"
        Refused, // "Invalid Selection" and "invalid"
    };
    enum class Typed {
        Ignored,  // 13th letter, not a letter, or a first letter the board lacks: no sound
        Placed,   // first letter, or beside the last tile; the view requests "place"
        Rerouted, // the route search laid the word anew with the letter at its end; "place"
        Refused,  // "Invalid Selection" and "invalid"; the word is untouched
    };

    WordEntry();

    // Takes the cells of a board message. Both boards start empty, marks and word are
    // removed and the rotation step returns to 0. Cells off the grid are skipped. Answers
    // whether the message was whole; the cells of one cut short are loaded as far as it read.
    bool loadBoard(const Msg::BoardTiles &tiles);

    // Odd sizes (5x5, 7x7, 9x9) sit one cell off the centre, so they turn about index 8.
    void setOddSize(bool odd);
    bool oddSize() const { return m_oddSize; }
    int mirrorIndex() const { return m_oddSize ? 8 : 9; }
    int rotationStep() const { return m_step; }

    Choice chooseCell(int c, int r);
    Typed typeLetter(int code);
    // Lays the whole word plus `code` anew, searching depth first; see the .cpp.
    bool findroute(int code);
    // Returns false when the word was already empty.
    bool deleteoneletter();
    void pressclear();
    // A quarter turn clockwise; empties the word.
    void rotateboard();
    // The dealt-board position of a shown position.
    QPoint getreal(int shownX, int shownY) const;
    // The word's tiles as positions on the dealt board, first letter first.
    QList<Msg::Cell> dealtPath() const;
    // The CMD_playerdone of the word for the own seat.
    QByteArray playerdoneText(int ownSeat) const;

    // What the view paints. shownPicture() maps codes that have no picture to the empty cell.
    int shownCode(int c, int r) const;
    int shownPicture(int c, int r) const;
    int dealtCode(int c, int r) const;
    int markAt(int c, int r) const;

    int wordLength() const { return m_length; }
    // Shown position of tile n, 1-based; (-1, -1) past the word's end.
    QPoint wordTile(int n) const;
    std::optional<QPoint> lastTile() const;
    // Letter picture for slot n (1..12), or EmptySlot.
    int slotCode(int n) const;
    // The word in small letters.
    QByteArray wordText() const;

private:
    using Grid = std::array<int, Side * Side>;

    static bool onGrid(int c, int r) { return c >= 0 && c < Side && r >= 0 && r < Side; }
    static bool onGrid(QPoint p) { return onGrid(p.x(), p.y()); }
    static int index(int c, int r) { return c * Side + r; }
    bool inWord(QPoint p) const;
    void appendTile(QPoint p);
    void clearthem();
    void showRotated();
    void repostword(const QPoint *route, int count);
    bool searchFrom(QPoint *route, int level, int count, const int *letters) const;

    Grid m_dealt;
    Grid m_shown;
    Grid m_marks;
    std::array<QPoint, MaxLetters> m_path;
    int m_length = 0;
    int m_step = 0;
    bool m_oddSize = false;
};
