#pragma once

#include <QString>
#include <QStringList>

// What the lobby was asked to do on its command line:
//   lexitangle-lobby                             the window
//   lexitangle-lobby LINK                        the window, with the link's table filled in
//   lexitangle-lobby --host NAME [--open-port]   host at once and stay to announce the table
//   lexitangle-lobby --join NAME ADDRESS-OR-LINK join at once
//   lexitangle-lobby --list [SECONDS]            print the tables on this network
//   lexitangle-lobby --help
struct LobbyCommand {
    enum class Mode { Window, Host, Join, List, Help, Bad };

    static constexpr int DefaultListSeconds = 3;
    static constexpr int MaxListSeconds = 3600;
    // A bad command line ends the program with this code.
    static constexpr int BadArguments = 2;

    Mode mode = Mode::Window;
    QString name;
    QString address;     // --join: the checked address
    QString link;        // Window: the link given, checked or not (the window tells what is wrong)
    bool openPort = false;
    int seconds = DefaultListSeconds;
    QString problem;     // Bad: the message

    // arguments: without the program's own name.
    static LobbyCommand parse(const QStringList &arguments);
    // Does this mode need a display? --host, --join and --list run without one.
    bool needsWindow() const { return mode == Mode::Window; }

    static QString usage();
};
