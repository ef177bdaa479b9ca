#include "upnpcalls.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>

#include <QByteArray>

#include <memory>

namespace UpnpCalls {
namespace {

constexpr int ConflictInMappingEntry = 718;
constexpr int OnlyPermanentLeasesSupported = 725;
constexpr int NoSuchEntryInArray = 714;
const char Description[] = "Lexitangle";

QByteArray number(long n) { return QByteArray::number(qlonglong(n)); }

// A router's text is untrusted: keep it short and printable before it reaches a line.
QString routerText(const char *text, int cap = 60)
{
    QString s = QString::fromLatin1(text ? text : "").left(cap);
    for (QChar &c : s)
        if (!c.isPrint())
            c = u'?';
    return s;
}

QString refusedLine(quint16 port, int code)
{
    const char *why = strupnperror(code);
    return QStringLiteral("The router refused to forward port %1 (error %2%3).")
        .arg(port).arg(code).arg(why ? QStringLiteral(": ") + routerText(why) : QString());
}

QString takenLine(quint16 port, const QString &machine)
{
    return QStringLiteral("Port %1 on the router is already forwarded to another machine%2.")
        .arg(port).arg(machine.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(machine));
}

// Who the router forwards `port` to now; empty when nobody (or the router cannot say, then
// *code holds its answer).
QString currentClient(const Router &router, quint16 port, int *code = nullptr)
{
    char client[64] = {}, clientPort[16] = {}, desc[96] = {}, enabled[8] = {}, lease[24] = {};
    const QByteArray url = router.controlUrl.toLatin1(), type = router.serviceType.toLatin1();
    const int r = UPNP_GetSpecificPortMappingEntry(url.constData(), type.constData(),
                                                   number(port).constData(), "TCP", nullptr,
                                                   client, clientPort, desc, enabled, lease);
    client[sizeof client - 1] = 0;
    if (code)
        *code = r;
    return r == UPNPCOMMAND_SUCCESS ? routerText(client, 45) : QString();
}

int addMapping(const Router &router, quint16 port, int leaseSeconds)
{
    const QByteArray url = router.controlUrl.toLatin1(), type = router.serviceType.toLatin1();
    const QByteArray lan = router.lanAddress.toLatin1(), p = number(port);
    return UPNP_AddPortMapping(url.constData(), type.constData(), p.constData(), p.constData(),
                               lan.constData(), Description, "TCP", nullptr,
                               number(leaseSeconds).constData());
}

// Maps with a lease, falling back to a permanent mapping only when the router allows no other.
MapResult map(const Router &router, quint16 port, int leaseSeconds)
{
    MapResult result;
    result.router = router;
    const QString holder = currentClient(router, port);
    if (!holder.isEmpty() && holder != router.lanAddress) {
        result.line = takenLine(port, holder);
        return result;
    }
    int r = addMapping(router, port, leaseSeconds);
    if (r == OnlyPermanentLeasesSupported && leaseSeconds != 0) {
        leaseSeconds = 0;
        r = addMapping(router, port, 0);
    }
    if (r == ConflictInMappingEntry) {
        result.line = takenLine(port, currentClient(router, port));
        return result;
    }
    if (r != UPNPCOMMAND_SUCCESS) {
        result.line = refusedLine(port, r);
        return result;
    }
    result.ok = true;
    result.leaseSeconds = leaseSeconds;
    char external[64] = {};
    const QByteArray url = router.controlUrl.toLatin1(), type = router.serviceType.toLatin1();
    if (UPNP_GetExternalIPAddress(url.constData(), type.constData(), external) == UPNPCOMMAND_SUCCESS) {
        external[sizeof external - 1] = 0;
        result.externalAddress = routerText(external, 45);
    }
    return result;
}

struct DevlistFree { void operator()(UPNPDev *d) const { freeUPNPDevlist(d); } };

// Discovery and the description download; fills `router` when an IGD answered.
bool findRouter(int discoveryMs, Router *router)
{
    int error = 0;
    std::unique_ptr<UPNPDev, DevlistFree> devices(
        upnpDiscover(discoveryMs, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error));
    if (!devices)
        return false;
    UPNPUrls urls{};
    IGDdatas data{};
    char lan[64] = {};
#if MINIUPNPC_API_VERSION >= 18
    char wan[64] = {};
    const int found = UPNP_GetValidIGD(devices.get(), &urls, &data, lan, sizeof lan, wan, sizeof wan);
#else
    const int found = UPNP_GetValidIGD(devices.get(), &urls, &data, lan, sizeof lan);
#endif
    // 1: a connected IGD; 2: an IGD that says it is not connected yet, which may still map.
    const bool usable = (found == 1 || found == 2) && urls.controlURL;
    if (usable) {
        router->controlUrl = QString::fromLatin1(urls.controlURL);
        router->serviceType = QString::fromLatin1(data.first.servicetype);
        router->lanAddress = QString::fromLatin1(lan);
    }
    if (found != 0)
        FreeUPNPUrls(&urls);
    return usable;
}

}

MapResult discoverAndMap(quint16 port, int leaseSeconds, int discoveryMs)
{
    Router router;
    if (!findRouter(discoveryMs, &router)) {
        MapResult result;
        result.line = QStringLiteral("No router answered within %1 seconds.").arg(discoveryMs / 1000);
        return result;
    }
    return map(router, port, leaseSeconds);
}

MapResult renew(const Router &router, quint16 port, int leaseSeconds)
{
    return map(router, port, leaseSeconds);
}

bool unmap(const Router &router, quint16 port)
{
    // After a lapsed lease the port may belong to another machine now: leave that mapping be.
    int code = 0;
    const QString holder = currentClient(router, port, &code);
    if (code == NoSuchEntryInArray || (!holder.isEmpty() && holder != router.lanAddress))
        return true;
    const QByteArray url = router.controlUrl.toLatin1(), type = router.serviceType.toLatin1();
    const int r = UPNP_DeletePortMapping(url.constData(), type.constData(),
                                         number(port).constData(), "TCP", nullptr);
    return r == UPNPCOMMAND_SUCCESS || r == NoSuchEntryInArray;
}

}
