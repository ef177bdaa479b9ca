#pragma once

#include "host/boardcode.h"

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QLabel;
class QSpinBox;

// The game start dialog: score to play to, round time, board size and minimum word length.
// Its start picture sends CMD_startgame to the host and asks for the settings to be saved.
//
// Opened for a board code, it is preset to the code's size and minimum and says under its
// start picture that the first round deals the code's board; the code is handed to the host
// with the start, if the size is still the code's. Hidden without a start, it forgets the code.
class Tgamestart : public QDialog {
    Q_OBJECT
public:
    struct Hooks {
        // The player's own name, as sent in messages.
        std::function<QByteArray()> ownName;
        // Sends a whole message, terminator included.
        std::function<void(const QByteArray &)> send;
        std::function<void()> saveSettings;
        // Called before every start: the board the first round deals, or nothing for a deal.
        std::function<void(const std::optional<BoardCode> &)> firstBoard;
    };

    explicit Tgamestart(Hooks hooks, QWidget *parent = nullptr);

    // Checks the named board size picture; an unknown name checks "Random".
    void clicksize(const QString &name);
    // Checks the named minimum length picture; an unknown name checks "3 Letters".
    void clickmin(const QString &name);

    // Settings: a text that is empty or not a number leaves the control as it was; a round
    // time outside 45..180 is brought to the nearer end of that range.
    void setPlaytoscore(const QString &value);
    void setTimeperturn(const QString &value);
    int playtoscore() const;
    int timeperturn() const;
    // The chosen board size code and minimum word length, as the settings keep them.
    QString boardsizeHint() const { return m_boardsize; }
    QString minHint() const { return m_min; }

    // "High Contrast": the heading in the cream of the other texts.
    void setHighContrast(bool on);

    // What the start picture sends, from the dialog's current choices.
    QByteArray startMessage() const;
    void button_startClick();

    // Presets the dialog to the code's size and minimum; its start deals the code's board.
    void playBoard(const BoardCode &code);
    // The code of the board waiting for the start; nothing when the dialog deals as usual.
    const std::optional<BoardCode> &boardCode() const { return m_code; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QSpinBox *spin(const char *spinName, const char *editName, int min, int max, int step,
                   int value, int top);
    QWidget *option(const QString &name, const QString &caption, int code, int left, int top, const QString &spoken,
                    const QString &group);
    static void name(QSpinBox *box, const QString &name, const QString &description);
    void check(const QString &prefix, int first, int last, const QString &name, QString &hint,
               const QString &fallback);
    // The line under the start picture while a code waits, and the room for it.
    void showCodeNote();

    Hooks m_hooks;
    QSpinBox *m_upDown1;
    QSpinBox *m_upDown2;
    QLabel *m_heading;
    QLabel *m_labelBoardsize;
    QLabel *m_labelMin;
    QLabel *m_codeNote;
    std::optional<BoardCode> m_code;
    QString m_boardsize = QStringLiteral("10");
    QString m_min = QStringLiteral("4");
};
