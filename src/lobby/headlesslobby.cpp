#include "lobby/headlesslobby.h"

#include "lobby/gamerun.h"
#include "lobby/invitelink.h"
#include "lobby/lanaddresses.h"
#include "lobby/lobbycommand.h"
#include "lobby/lobbysettings.h"
#include "lobby/tablebrowser.h"
#include "net/protocol.h"
#include "system/gamepresence.h"
#include "system/paths.h"
#include "system/unixsignals.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

void say(const QString &line)
{
    QTextStream(stdout) << line << Qt::endl;
}

void complain(const QString &line)
{
    QTextStream(stderr) << line << Qt::endl;
}

// A table's name came from the network: no tab or line break may break the line's columns.
QString oneField(QString text)
{
    for (QChar &c : text)
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7f && c.unicode() <= 0x9f))
            c = u' ';
    return text;
}

QString invitation(const QString &address)
{
    return QStringLiteral("  %1   %2").arg(address, InviteLink::forAddress(address));
}

void tellAddresses()
{
    const QStringList addresses = LanAddresses::ofThisMachine();
    if (addresses.isEmpty()) {
        say(QStringLiteral("The table is open, but this computer has no network address others could use."));
        return;
    }
    say(QStringLiteral("The table is open. Others on this network can join at:"));
    for (const QString &address : addresses)
        say(invitation(address));
}

} // namespace

namespace HeadlessLobby {

int host(const LobbyCommand &command)
{
    GameRun run(Protocol::PresencePort, GamePresence::runtimeDirectory());
    QObject::connect(&run, &GameRun::line, &complain);
    QObject::connect(&run, &GameRun::playing, &tellAddresses);
    QObject::connect(&run, &GameRun::announced, [&command] {
        say(QStringLiteral("Announced on this network as %1.").arg(command.name));
    });
    QObject::connect(&run, &GameRun::portOpened, [](const QString &external) {
        say(QStringLiteral("The router lets players from the internet in at:"));
        say(invitation(external));
    });
    // A game that ends before its table opened (no display, port 7772 taken) is a failure.
    bool opened = false;
    QObject::connect(&run, &GameRun::playing, [&opened] { opened = true; });
    QObject::connect(&run, &GameRun::ended, [&opened] {
        if (opened)
            say(QStringLiteral("The game has ended."));
        else
            complain(QStringLiteral("The game ended before its table opened."));
    });
    QObject::connect(&run, &GameRun::servicesReleased, [&opened] { QCoreApplication::exit(opened ? 0 : 1); });
    // Ended by a signal, the table is still withdrawn and the mapping deleted on the way out.
    UnixSignals unixSignals;
    QObject::connect(&unixSignals, &UnixSignals::terminationRequested, qApp, &QCoreApplication::quit);

    QString problem;
    if (!run.start(GameRun::Role::Host, command.name, {}, command.openPort, &problem)) {
        complain(problem);
        return 1;
    }
    say(QStringLiteral("Hosting a table as %1.").arg(command.name));
    return QCoreApplication::exec();
}

int join(const LobbyCommand &command)
{
    GameRun run(Protocol::PresencePort, GamePresence::runtimeDirectory());
    QString problem;
    if (!run.start(GameRun::Role::Join, command.name, command.address, false, &problem)) {
        complain(problem);
        return 1;
    }
    const QString settingsFile = Paths::forProgram().settingsFile();
    LobbySettings settings = LobbySettings::load(settingsFile);
    settings.addRecent(command.address);
    settings.save(settingsFile);
    say(QStringLiteral("Joining the table at %1 as %2.").arg(command.address, command.name));
    return 0;
}

int list(const LobbyCommand &command)
{
    TableBrowser browser;
    bool unavailable = false;
    QObject::connect(&browser, &TableBrowser::unavailable, [&unavailable](const QString &line) {
        complain(line);
        unavailable = true;
        QCoreApplication::exit(1);
    });
    QTimer::singleShot(command.seconds * 1000, qApp, &QCoreApplication::quit);
    browser.start();
    if (!unavailable)
        QCoreApplication::exec();
    const QList<LanTable> tables = browser.tables();
    for (const LanTable &table : tables)
        say(QStringLiteral("%1\t%2\t%3").arg(oneField(table.playerName), oneField(table.address)).arg(table.port));
    return tables.isEmpty() ? 1 : 0;
}

} // namespace HeadlessLobby
