#pragma once

#include <QString>

// Modal message and Yes/No boxes, behind a seam so that core code can report without a widget
// and tests can read the text instead of facing a blocking dialog. The windows implement it
// with QMessageBox.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void showMessage(const QString &text) = 0;
    // True when the user answers Yes.
    virtual bool confirm(const QString &text) = 0;
};
