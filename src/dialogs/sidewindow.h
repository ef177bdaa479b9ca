#pragma once

#include <QDialog>

// The base of the small side windows: a fixed-size, non-modal window with the main window's
// backdrop (the base colour under the tiled background picture).
class SideWindow : public QDialog {
    Q_OBJECT
public:
    SideWindow(const QString &objectName, const QString &caption, QSize clientSize, QWidget *parent = nullptr);
};
