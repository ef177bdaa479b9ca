#include "net/wsaerrors.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

struct NamedCode {
    int code;
    const char *name;
};

constexpr NamedCode WsaNames[] = {
    {10004, "WSAEINTR"},           {10009, "WSAEBADF"},
    {10013, "WSAEACCES"},          {10014, "WSAEFAULT"},
    {10022, "WSAEINVAL"},          {10024, "WSAEMFILE"},
    {10035, "WSAEWOULDBLOCK"},     {10036, "WSAEINPROGRESS"},
    {10037, "WSAEALREADY"},        {10038, "WSAENOTSOCK"},
    {10039, "WSAEDESTADDRREQ"},    {10040, "WSAEMSGSIZE"},
    {10041, "WSAEPROTOTYPE"},      {10042, "WSAENOPROTOOPT"},
    {10043, "WSAEPROTONOSUPPORT"}, {10044, "WSAESOCKTNOSUPPORT"},
    {10045, "WSAEOPNOTSUPP"},      {10046, "WSAEPFNOSUPPORT"},
    {10047, "WSAEAFNOSUPPORT"},    {10048, "WSAEADDRINUSE"},
    {10049, "WSAEADDRNOTAVAIL"},   {10050, "WSAENETDOWN"},
    {10051, "WSAENETUNREACH"},     {10052, "WSAENETRESET"},
    {10053, "WSAECONNABORTED"},    {10054, "WSAECONNRESET"},
    {10055, "WSAENOBUFS"},         {10056, "WSAEISCONN"},
    {10057, "WSAENOTCONN"},        {10058, "WSAESHUTDOWN"},
    {10059, "WSAETOOMANYREFS"},    {10060, "WSAETIMEDOUT"},
    {10061, "WSAECONNREFUSED"},    {10062, "WSAELOOP"},
    {10063, "WSAENAMETOOLONG"},    {10064, "WSAEHOSTDOWN"},
    {10065, "WSAEHOSTUNREACH"},    {10066, "WSAENOTEMPTY"},
    {10067, "WSAEPROCLIM"},        {10068, "WSAEUSERS"},
    {10069, "WSAEDQUOT"},          {10070, "WSAESTALE"},
    {10071, "WSAEREMOTE"},         {10091, "WSASYSNOTREADY"},
    {10092, "WSAVERNOTSUPPORTED"}, {10093, "WSANOTINITIALISED"},
    {10101, "WSAEDISCON"},         {11001, "WSAHOST_NOT_FOUND"},
    {11002, "WSATRY_AGAIN"},       {11003, "WSANO_RECOVERY"},
    {11004, "WSANO_DATA"},
};

// POSIX errno -> Windows Sockets code. EPIPE has no Windows twin; a send into a connection
// that the peer has reset is reported there as a reset.
constexpr std::pair<int, int> ErrnoCodes[] = {
    {EINTR, 10004},           {EBADF, 10009},           {EACCES, 10013},
    {EPERM, 10013},           {EFAULT, 10014},          {EINVAL, 10022},
    {EMFILE, 10024},          {ENFILE, 10024},          {EAGAIN, 10035},
    {EINPROGRESS, 10036},     {EALREADY, 10037},        {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039},    {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042},     {EPROTONOSUPPORT, 10043}, {ESOCKTNOSUPPORT, 10044},
    {EOPNOTSUPP, 10045},      {EPFNOSUPPORT, 10046},    {EAFNOSUPPORT, 10047},
    {EADDRINUSE, 10048},      {EADDRNOTAVAIL, 10049},   {ENETDOWN, 10050},
    {ENETUNREACH, 10051},     {ENETRESET, 10052},       {ECONNABORTED, 10053},
    {ECONNRESET, 10054},      {EPIPE, 10054},           {ENOBUFS, 10055},
    {ENOMEM, 10055},          {EISCONN, 10056},         {ENOTCONN, 10057},
    {ESHUTDOWN, 10058},       {ETOOMANYREFS, 10059},    {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},    {ELOOP, 10062},           {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},       {EHOSTUNREACH, 10065},    {ENOTEMPTY, 10066},
    {EUSERS, 10068},          {EDQUOT, 10069},          {ESTALE, 10070},
    {EREMOTE, 10071},
};

// The texts that Qt's socket engine uses instead of strerror for some causes.
constexpr std::pair<const char *, int> QtTexts[] = {
    {"Network unreachable", 10051},
    {"Host unreachable", 10065},
    {"Connection timed out", 10060},
    {"Network operation timed out", 10060},
    {"Connection refused", 10061},
    {"Connection reset by peer", 10054},
    {"The remote host closed the connection", 10054},
    {"Network dropped connection on reset", 10052},
    {"Permission denied", 10013},
    {"The address is protected", 10013},
    {"The bound address is already in use", 10048},
    {"Another socket is already listening on the same port", 10048},
    {"The address is not available", 10049},
    {"Out of resources", 10055},
    {"Unsupported socket operation", 10045},
    {"Protocol type not supported", 10043},
    {"Operation on non-socket", 10038},
    {"Invalid socket descriptor", 10038},
    {"Temporary error", 10035},
};

int codeFromText(const QString &text)
{
    if (text.isEmpty())
        return 0;
    for (const auto &[qtText, code] : QtTexts) {
        if (text == QLatin1String(qtText))
            return code;
    }
    for (const auto &[err, code] : ErrnoCodes) {
        if (text == QString::fromLocal8Bit(std::strerror(err)))
            return code;
    }
    return 0;
}

} // namespace

QString wsaErrorName(int code)
{
    for (const NamedCode &entry : WsaNames) {
        if (entry.code == code)
            return QLatin1String(entry.name);
    }
    return QStringLiteral("UNKNOWN ERROR");
}

QString wsaErrorText(int code)
{
    return QStringLiteral("Error #%1 (%2)").arg(code).arg(wsaErrorName(code));
}

int wsaCodeForErrno(int errnoValue)
{
    for (const auto &[err, code] : ErrnoCodes) {
        if (err == errnoValue)
            return code;
    }
    return 0;
}

int wsaCodeFor(QAbstractSocket::SocketError error, const QString &errorString)
{
    using E = QAbstractSocket;
    switch (error) {
    case E::ConnectionRefusedError:
    case E::ProxyConnectionRefusedError:
        return 10061;
    case E::RemoteHostClosedError:
    case E::ProxyConnectionClosedError:
        return 10054;
    case E::HostNotFoundError:
    case E::ProxyNotFoundError:
        return 11001;
    case E::SocketAccessError:
        return 10013;
    case E::SocketTimeoutError:
    case E::ProxyConnectionTimeoutError:
        return 10060;
    case E::DatagramTooLargeError:
        return 10040;
    case E::AddressInUseError:
        return 10048;
    case E::SocketAddressNotAvailableError:
        return 10049;
    case E::UnsupportedSocketOperationError:
        return 10045;
    case E::UnfinishedSocketOperationError:
        return 10036;
    case E::TemporaryError:
        return 10035;
    case E::OperationError:
        return 10022;
    case E::SocketResourceError: {
        const int code = codeFromText(errorString);
        return code ? code : 10055;
    }
    case E::NetworkError: {
        const int code = codeFromText(errorString);
        return code ? code : 10050;
    }
    default:
        return codeFromText(errorString);
    }
}
