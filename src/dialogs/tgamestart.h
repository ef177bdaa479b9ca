#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QSpinBox;

// The game start dialog: score to play to, round time, board size and minimum word length.
// Its start picture sends CMD_startgame to the host and asks for the settings to be saved.
class Tgamestart : public QDialog {
    Q_OBJECT
public:
    struct Hooks {
        // The player's own name, as sent in messages.
        std::function<QByteArray()> ownName;
        // Sends a whole message, terminator included.
        std::function<void(const QByteArray &)> send;
        std::function<void()> saveSettings;
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

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QSpinBox *spin(const char *spinName, const char *editName, int min, int max, int step,
                   int value, int top);
    QWidget *option(const QString &name, const QString &caption, int code, int left, int top, const QString &spoken,
                    const QString &group);
    static void name(QSpinBox *box, const QString &name, const QString &description);
    void check(const QString &prefix, int first, int last, const QString &name, QString &hint,
               const QString &fallback);

    Hooks m_hooks;
    QSpinBox *m_upDown1;
    QSpinBox *m_upDown2;
    QLabel *m_heading;
    QLabel *m_labelBoardsize;
    QLabel *m_labelMin;
    QString m_boardsize = QStringLiteral("10");
    QString m_min = QStringLiteral("4");
};
