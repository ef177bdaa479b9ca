#pragma once

#include "words/notifier.h"

class QMessageBox;
class QWidget;

// Modal boxes for the running program; tests use a recorder instead.
class MessageBoxNotifier : public Notifier {
public:
    explicit MessageBoxNotifier(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    void showMessage(const QString &text) override;
    bool confirm(const QString &text) override;

    // Shows the box above every other window of the program and gives it the keyboard.
    static void openInFront(QMessageBox &box);

private:
    QWidget *m_parent;
};
