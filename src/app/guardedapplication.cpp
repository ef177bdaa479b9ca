#include "app/guardedapplication.h"

#include <exception>

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        qWarning("Lexitangle: %s", error.what());
    } catch (...) {
        qWarning("Lexitangle: unknown error in an event handler");
    }
    return false;
}
