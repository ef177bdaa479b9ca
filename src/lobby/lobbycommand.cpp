#include "lobby/lobbycommand.h"

#include "lobby/invitelink.h"
#include "lobby/playername.h"

namespace {

LobbyCommand bad(const QString &why)
{
    LobbyCommand command;
    command.mode = LobbyCommand::Mode::Bad;
    command.problem = why + QStringLiteral("\nSee lexitangle-lobby --help.");
    return command;
}

bool nameRefused(const QString &name, LobbyCommand *command)
{
    const QString problem = PlayerName::problem(name);
    if (problem.isEmpty())
        return false;
    *command = bad(problem);
    return true;
}

LobbyCommand host(const QStringList &args)
{
    LobbyCommand command;
    command.mode = LobbyCommand::Mode::Host;
    QStringList rest = args.mid(1);
    command.openPort = rest.removeAll(QStringLiteral("--open-port")) > 0;
    if (rest.size() != 1)
        return bad(QStringLiteral("--host takes your name, and --open-port if the router is to open the port."));
    command.name = rest.first();
    nameRefused(command.name, &command);
    return command;
}

LobbyCommand join(const QStringList &args)
{
    if (args.size() != 3)
        return bad(QStringLiteral("--join takes your name and the table's address or invite link."));
    LobbyCommand command;
    command.mode = LobbyCommand::Mode::Join;
    command.name = args.at(1);
    if (nameRefused(command.name, &command))
        return command;
    const JoinTarget target = InviteLink::parseTyped(args.at(2));
    if (!target.isValid())
        return bad(target.problem);
    command.address = target.address;
    return command;
}

LobbyCommand list(const QStringList &args)
{
    LobbyCommand command;
    command.mode = LobbyCommand::Mode::List;
    if (args.size() > 2)
        return bad(QStringLiteral("--list takes at most one number of seconds."));
    if (args.size() == 2) {
        bool ok = false;
        command.seconds = args.at(1).toInt(&ok, 10);
        if (!ok || command.seconds < 1 || command.seconds > LobbyCommand::MaxListSeconds)
            return bad(QStringLiteral("--list waits 1 to %1 seconds, not \"%2\".")
                           .arg(LobbyCommand::MaxListSeconds)
                           .arg(args.at(1).left(InviteLink::MaxLength)));
    }
    return command;
}

} // namespace

LobbyCommand LobbyCommand::parse(const QStringList &args)
{
    if (args.isEmpty())
        return {};
    const QString &first = args.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        if (args.size() > 1)
            return bad(QStringLiteral("--help takes nothing more."));
        LobbyCommand command;
        command.mode = Mode::Help;
        return command;
    }
    if (first == QLatin1String("--host"))
        return host(args);
    if (first == QLatin1String("--join"))
        return join(args);
    if (first == QLatin1String("--list"))
        return list(args);
    if (args.size() == 1 && InviteLink::hasScheme(first)) {
        LobbyCommand command;
        command.link = first;
        return command;
    }
    return bad(QStringLiteral("Unknown argument \"%1\".").arg(first.left(InviteLink::MaxLength)));
}

QString LobbyCommand::usage()
{
    return QStringLiteral(
        "Usage:\n"
        "  lexitangle-lobby                              open the lobby's window\n"
        "  lexitangle-lobby lexitangle://ADDRESS         open the window with that table filled in\n"
        "  lexitangle-lobby --host NAME [--open-port]    host a table as NAME at once; stays running\n"
        "                                                to announce it on this network until the game\n"
        "                                                ends; --open-port asks the router to let\n"
        "                                                players from the internet in (TCP port 7772)\n"
        "  lexitangle-lobby --join NAME ADDRESS-OR-LINK  join the table at that address as NAME\n"
        "  lexitangle-lobby --list [SECONDS]             look for tables on this network for SECONDS\n"
        "                                                (default 3) and print one line for each:\n"
        "                                                name, address and port, separated by tabs;\n"
        "                                                exits 0 when one was found, 1 when none was\n"
        "  lexitangle-lobby --help                       show this text\n"
        "\n"
        "ADDRESS is an IPv4 address, a host name, or an IPv6 address in brackets. Names have at\n"
        "most 20 Latin-1 characters and no \"+\" or \"|\". Bad arguments exit with code 2.\n");
}
