#pragma once

#include <QPixmap>
#include <QWidget>

class QToolButton;

// The main window's client area: the green backdrop under its tiled picture, the board panel
// `panel_board` on which every part of the window puts its controls, the logo `image_logo`
// that opens the maker's web site, and the host's start picture `button_start` (hidden).
// The area never becomes smaller than the board panel plus 4 pixels each way.
class MainPanel : public QWidget {
public:
    static constexpr int PanelWidth = 780;
    static constexpr int PanelHeight = 525;

    explicit MainPanel(QWidget *parent);

    QWidget *board() const { return m_board; }
    QToolButton *startButton() const { return m_start; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPixmap m_tile;
    QWidget *m_board;
    QWidget *m_logo;
    QToolButton *m_start;
};
