#pragma once

#include "dialogs/sidewindow.h"

// The about window. Its `version` label holds the program's version text, the one sent at login.
class Tabout : public SideWindow {
    Q_OBJECT
public:
    explicit Tabout(QWidget *parent = nullptr);
    void Label7Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
