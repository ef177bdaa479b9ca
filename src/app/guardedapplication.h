#pragma once

#include <QApplication>

// The application's general error report: an error that escapes a handler (a socket error
// raised inside an event, say) is reported on stderr and the event is dropped, instead of
// ending the program.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};
