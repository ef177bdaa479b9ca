#pragma once

#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// The look the side windows share with the main window: its green under its tiled background
// picture, bold cream labels, and controls placed at fixed pixel positions.
class DialogLook {
public:
    static constexpr int Red = 76, Green = 106, Blue = 76;

    // Green, with the background artwork tiled over it when the program carries it.
    static void applyBackground(QWidget *window);
    // A cream label for a layout; `name` becomes its object name when given.
    static QLabel *creamLabel(QWidget *parent, const QString &text, bool bold, const QString &name = {});
    // A bold cream label at a fixed place.
    static QLabel *label(QWidget *parent, const QString &text, const QRect &place,
                         const QString &name = {});
    static QPushButton *button(QWidget *parent, const QString &text, const QRect &place,
                               const QString &name);
    // Escape and Ctrl+W close the window, wherever its keyboard focus is (a dialog closes on
    // Escape by itself; a plain window does not).
    static void closeWithKeys(QWidget *window);
};
