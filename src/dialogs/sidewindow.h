#pragma once

#include <QDialog>

// The base of the side windows: a fixed-size, non-modal window with the main window's backdrop
// (the base colour under the tiled background picture).
class SideWindow : public QDialog {
    Q_OBJECT
public:
    SideWindow(const QString &objectName, const QString &caption, QSize clientSize, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_tile;
};
