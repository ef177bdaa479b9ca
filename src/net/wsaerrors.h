#pragma once

#include <QAbstractSocket>
#include <QString>

// Error reports of the socket layer use the Windows Sockets numbering, since peers and users
// know the program's messages in that form ("Error #10061 (WSAECONNREFUSED)").

// The constant name of a Windows Sockets error code, or "UNKNOWN ERROR".
QString wsaErrorName(int code);

// "Error #" code " (" name ")": the text of a kind-7 report.
QString wsaErrorText(int code);

// The Windows Sockets code for a POSIX errno value; 0 when there is no counterpart.
int wsaCodeForErrno(int errnoValue);

// The Windows Sockets code for an error that Qt reports. Qt folds several system errors
// into NetworkError or UnknownSocketError; for those the error string (Qt's own text or the
// system's strerror text) names the cause and is matched when given. 0 when nothing matches.
int wsaCodeFor(QAbstractSocket::SocketError error, const QString &errorString = QString());
