#pragma once

#include <QString>

// Blocking UPnP IGD requests through miniupnpc. Each call may take seconds (discovery waits up
// to 3 s, and every SOAP request has miniupnpc's own socket timeouts), so they run on a pool
// thread only: they take values, touch nothing shared and hand back a value.
namespace UpnpCalls {

// What a request needs to reach the router again without a new discovery.
struct Router {
    QString controlUrl;
    QString serviceType;
    QString lanAddress;   // this machine's address towards the router
};

struct MapResult {
    bool ok = false;
    QString line;                 // the failure, one sentence, when !ok
    Router router;
    QString externalAddress;
    int leaseSeconds = 0;         // 0: the router only keeps permanent mappings
};

// Finds a router within discoveryMs and forwards TCP `port` to this machine, as a lease of
// leaseSeconds or, when the router refuses leases, permanently.
MapResult discoverAndMap(quint16 port, int leaseSeconds, int discoveryMs);

// Makes the same mapping again, which renews its lease.
MapResult renew(const Router &router, quint16 port, int leaseSeconds);

// True when the mapping is gone (deleted now, or already absent).
bool unmap(const Router &router, quint16 port);

}
