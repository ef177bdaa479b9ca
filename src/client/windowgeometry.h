#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;
class Twordslist;

// Where the main window stands. Places are kept as the settings file keeps them: the frame's
// top-left corner and the window's inside size. A stored place may be anything, even an inside
// far larger than any screen, so every place taken is first brought into the desktop's
// available area; the place last read or written is remembered to tell a moved window.
class WindowGeometry {
public:
    static constexpr QPoint HomeCorner{3, 3};
    static constexpr QSize HomeSize{775, 590};

    explicit WindowGeometry(QWidget &window) : m_window(window) {}

    // The place to store: the frame's corner and no inside size the desktop could not give
    // the window back.
    QRect storablePlace() const;
    // Takes a place brought into the desktop, and remembers it as what the file holds.
    void placeStored(QPoint corner, QSize size);
    // Takes a place brought into the desktop.
    void placeWindow(QPoint corner, QSize size);
    // At closing: a window moved or resized since the place was remembered loses what hangs
    // off its screen, and the words list's remembered corner is brought back onto it.
    void fitOnClose(Twordslist *words);

private:
    QRect place() const;
    QSize frameExtra() const;
    QSize minimumWindowSize() const;
    // The available area of the screen that holds `corner`, else of the window's own screen.
    QRect workArea(QPoint corner) const;

    QWidget &m_window;
    QRect m_remembered{HomeCorner, HomeSize};
};
