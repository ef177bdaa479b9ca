#include <QApplication>
#include <QLockFile>
#include <QTimer>

#include "app/guardedapplication.h"
#include "app/lexitangleapp.h"
#include "app/singleinstance.h"
#include "system/gamepresence.h"
#include "system/unixsignals.h"
#include "client/tchat.h"

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexitangle"));
    QGuiApplication::setDesktopFileName(QStringLiteral("lexitangle"));
    QApplication::setQuitOnLastWindowClosed(false); // closing the main window ends the program

    const QString runtime = GamePresence::runtimeDirectory();
    SingleInstance guard(GamePresence::MarkerName, runtime);
    if (guard.anotherCopyRuns(true))
        return 0;
    // The presence object the games lobby looks for: it exists while this copy runs.
    QLockFile presence(GamePresence::presenceLockPath(runtime));
    presence.tryLock(0);

    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    LexitangleApp program(arguments, {Paths::forProgram()});
    Tchat &chat = program.chat();

    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::terminationRequested, &chat, &QWidget::close);
    QObject::connect(&guard, &SingleInstance::activationRequested, &chat, [&chat] {
        chat.showNormal();
        chat.raise();
        chat.activateWindow();
    });
    QObject::connect(&chat, &Tchat::closing, &app, &QApplication::quit, Qt::QueuedConnection);

    chat.show();
    return app.exec();
}
