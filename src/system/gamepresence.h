#pragma once

#include <QByteArray>
#include <QString>

// The names by which a running copy of the game can be found on this machine, shared by the game
// and its lobby. Both live in the user's runtime folder:
// - the single-instance marker: a lock file "22ovro.lock", and beside it a local socket
//   "22ovro.sock" on which the first copy takes ActivateRequest to restore or raise its window;
// - the presence object "lexitangle": a lock file held for as long as a copy runs.
namespace GamePresence {

inline const QString MarkerName = QStringLiteral("22ovro");
inline const QString PresenceName = QStringLiteral("lexitangle");
inline const QByteArray ActivateRequest = QByteArrayLiteral("activate\n");

// $XDG_RUNTIME_DIR when it exists, else the temporary folder.
QString runtimeDirectory();

QString presenceLockPath(const QString &directory);
QString markerSocketPath(const QString &directory);

} // namespace GamePresence
