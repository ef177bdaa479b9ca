#pragma once

#include "host/boardcode.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Play a Board Code…": asks the hosting player for a code. What is wrong with the code shows
// in one line as it is typed, and "Play" takes only a code that reads; nothing is used of a
// code that does not.
class BoardCodePrompt : public QDialog {
    Q_OBJECT
public:
    // Longer than any code with generous spacing; a paste beyond it is cut and then refused.
    static constexpr int MaxTyped = 400;

    explicit BoardCodePrompt(QWidget *parent = nullptr);

    // Opens the prompt empty, or holding the code on the clipboard if it holds one.
    void ask();
    // The line under the field: what is wrong, or what board the code holds.
    QString problem() const;

Q_SIGNALS:
    void codeChosen(const BoardCode &code);

private:
    void check();
    void play();

    QLineEdit *m_edit;
    QLabel *m_problem;
    QPushButton *m_play;
};
