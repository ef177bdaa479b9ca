#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

// When a window that has the keyboard closes (Escape on a side window, a box answered), the
// window the player had before gets the keyboard back. A window manager does that; without one
// the keys would go nowhere until the player clicked a window. One serves the whole program.
class KeysBack : public QObject {
public:
    explicit KeysBack(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The window to give the keyboard to: the one used last that is still shown.
    QWidget *previous() const;

    // The windows that had the keyboard, the latest last.
    QList<QPointer<QWidget>> m_used;
};
