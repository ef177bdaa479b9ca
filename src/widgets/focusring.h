#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Shows the keyboard focus as a ring around the focused control: a bright band between two
// dark lines, so that on any background one of them differs from what it covers by far more
// than 3:1. It appears when the focus was moved by keys (Tab, an arrow in a group of options, a
// shortcut, a window opened from the keyboard) and goes at the next mouse press, so a player
// who only uses the mouse never sees it. One ring serves the whole program.
class FocusRing : public QObject {
    Q_OBJECT
public:
    // The ring lies this far outside the control: 1 dark, 2 bright, 1 dark.
    static constexpr int Width = 4;

    explicit FocusRing(QObject *parent = nullptr);
    ~FocusRing() override;

    // The control the ring is shown around; null while it is hidden.
    QWidget *target() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void focusEntered(QWidget *widget, Qt::FocusReason reason);
    void follow(QWidget *target);
    void place();
    void hideRing();

    QPointer<QWidget> m_target;
    QPointer<QWidget> m_ring;
    // The player's last move was a key that moves about (not a letter typed into a word).
    bool m_byKeys = false;
};
