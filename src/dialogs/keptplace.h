#pragma once

#include <QObject>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

// The place and size of a resizable side window, kept across runs: the frame's top-left corner
// and the inside size, as the settings file keeps the main window's. A stored place may be
// anything, so every place the window takes is first brought into the desktop's available area
// (WindowPlace::fitInto). Without a stored place the window opens at its home size over the
// middle of the main window. The place is handed on to be stored only when it differs from
// what the file holds (or, with nothing stored, from the place the window was first given).
class KeptPlace : public QObject {
    Q_OBJECT
public:
    KeptPlace(QWidget &window, QSize homeSize);

    // The place read from the settings file, or none.
    void setStored(std::optional<QRect> place);
    // Just before the window is shown: it takes the place it had when last hidden, else the
    // stored one, else its home place; fitted to the desktop.
    void placeForShowing();
    // The window was hidden: it comes back there, and a changed place is told.
    void hidden();
    // When the program closes: tells a changed place.
    void keep();
    // "Reset Screen Location": the window goes back to its home place, now if it is shown.
    void reset();

Q_SIGNALS:
    // The place to store: frame corner and inside size.
    void changed(QRect place);

private:
    QRect homePlace() const;
    QRect currentPlace() const;
    QSize frameExtra() const;
    QRect workArea(QPoint corner) const;

    QWidget &m_window;
    QSize m_homeSize;
    std::optional<QRect> m_next; // the place to take when next shown
    std::optional<QRect> m_kept; // what the file holds, or the first place given
};
