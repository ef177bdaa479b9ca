#pragma once

struct LobbyCommand;

// The command-line modes that need no display: each runs inside an existing QCoreApplication,
// prints its lines to stdout (problems to stderr) and returns the program's exit code.
namespace HeadlessLobby {

// Starts the game as host and stays until it ends: 0 then, 1 when it could not be started or
// ended before its table opened.
int host(const LobbyCommand &command);
// Starts the game joining and returns at once: 0, or 1 when it could not be started.
int join(const LobbyCommand &command);
// Looks for tables for the command's seconds: 0 when at least one was found, 1 otherwise.
int list(const LobbyCommand &command);

} // namespace HeadlessLobby
