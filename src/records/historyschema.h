#pragma once

#include <QString>

class QSqlDatabase;

// The tables of the game history and the steps between their versions. The version is the
// database's PRAGMA user_version: 0 is an empty file, and each step brings a history from one
// version to the next in one transaction, so a step that fails leaves the version before it.
//
// Version 1: games, the players and their scores, rounds with their board and the host's list,
// each seat's round scores, and this player's words with their verdicts.
// Version 2: what the statistics read is kept with each round and game (this player's words
// found and points, longest and best word, words by length); boards and lists move to a
// table of their own, with each board's square for finding it again; indexes.
namespace HistorySchema {

constexpr int Version = 2;

// Runs the steps from the database's version up to `target` (at most Version). False with the
// reason in *error when a step failed.
bool upgrade(QSqlDatabase &db, int target, QString *error);

// The database's version, or -1 when it cannot be read.
int versionOf(QSqlDatabase &db);

} // namespace HistorySchema
