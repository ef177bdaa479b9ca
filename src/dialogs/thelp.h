#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QStackedWidget;

// The help window: six read-only pages chosen with the page buttons down the left side.
class Thelp : public QDialog {
    Q_OBJECT
public:
    // `showAbout` is run by the About button.
    explicit Thelp(std::function<void()> showAbout, QWidget *parent = nullptr);

    // The page in front, 1 .. 6.
    int currentPage() const;

private:
    // Shared by the six page buttons, told apart by their "tag" property.
    void SelButton1Click(const QPushButton *button);

    std::function<void()> m_showAbout;
    QLabel *m_caption = nullptr;
    QStackedWidget *m_pages = nullptr;
};
