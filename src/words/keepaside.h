#pragma once

#include <QString>
#include <QStringList>

// Moving an unreadable file of the player's out of the way, so that no later save can destroy
// it: to the first free name of path.bad, path.bad.1, path.bad.2 ... A name that is taken in any
// way (a dangling link too) is skipped, so a file kept earlier is never replaced.
namespace KeepAside {

// Earlier unreadable files are never replaced: this many names are tried.
constexpr int MaxKeptFiles = 1000;

// Moves `path`, and each existing path + suffix (a database's "-wal") to the same kept name
// + suffix; a name counts as free only when it is free with every suffix. Returns where `path`
// went, or an empty text when it is no file or could not be moved (it then stays in place).
QString move(const QString &path, const QStringList &suffixes = {});

} // namespace KeepAside
