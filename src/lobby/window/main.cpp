#include "lobby/gamerun.h"
#include "lobby/headlesslobby.h"
#include "lobby/lobbycommand.h"
#include "lobby/tablebrowser.h"
#include "lobby/window/lobbywindow.h"
#include "net/protocol.h"
#include "system/gamepresence.h"
#include "system/paths.h"
#include "system/unixsignals.h"

#include <QApplication>
#include <QTextStream>

#include <memory>

namespace {

// The arguments as given, read before any application object can take its own options out.
QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

int runHeadless(int argc, char *argv[], const LobbyCommand &command)
{
    QCoreApplication app(argc, argv);
    switch (command.mode) {
    case LobbyCommand::Mode::Host:
        return HeadlessLobby::host(command);
    case LobbyCommand::Mode::Join:
        return HeadlessLobby::join(command);
    default:
        return HeadlessLobby::list(command);
    }
}

int runWindow(int argc, char *argv[], const LobbyCommand &command)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexitangle Lobby"));
    QGuiApplication::setDesktopFileName(QStringLiteral("lexitangle-lobby"));

    GameRun run(Protocol::PresencePort, GamePresence::runtimeDirectory());
    TableBrowser browser;
    LobbyWindow window({Paths::forProgram().settingsFile(), &run, &browser});
    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::terminationRequested, &window, &QWidget::close);
    if (!command.link.isEmpty())
        window.fillInLink(command.link);
    window.show();
    browser.start();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    const LobbyCommand command = LobbyCommand::parse(argumentsOf(argc, argv));
    switch (command.mode) {
    case LobbyCommand::Mode::Help:
        QTextStream(stdout) << LobbyCommand::usage();
        return 0;
    case LobbyCommand::Mode::Bad:
        QTextStream(stderr) << "lexitangle-lobby: " << command.problem << Qt::endl;
        return LobbyCommand::BadArguments;
    case LobbyCommand::Mode::Window:
        return runWindow(argc, argv, command);
    default:
        return runHeadless(argc, argv, command);
    }
}
