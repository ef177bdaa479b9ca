#pragma once

#include <array>

class BoardView;
class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;
class QWidget;
class TileSet;
class TimeBar;
class WordEntry;

// The controls of the board area, made on the main window's board panel with their object
// names, places and design captions. Like a form description it holds no behaviour; the
// game flow drives the controls.
struct BoardControls {
    static constexpr int Slots = 12;
    static constexpr int TimerBarWidth = 224;

    BoardControls(QWidget *panel, const WordEntry &entry, const TileSet &tiles);

    QWidget *panel;
    QFrame *panel_boardback;
    BoardView *paintbox_board;
    // image_letters1..12 at index 0..11.
    std::array<QLabel *, Slots> image_letters;
    QLabel *image_minletters;
    QLabel *label_status;
    QPushButton *button_rotate;
    QPushButton *button_clear;
    QPushButton *button_send;
    QLabel *label_typingoff;
    TimeBar *image_timer;
    QLabel *label_timer;
    QLabel *label_playtoscore;
    QLabel *label_timeperturn;
    QLabel *label_minletters;
    QLabel *label_boardsize;
    QFrame *panel_words;
    QLabel *label_found;
    QTextEdit *richedit_words;
    QFrame *panel_winner;
    QLabel *label_winner2;
    QLabel *label_winner1;
};
