#pragma once

#include "upnpcalls.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>

// Forwards TCP `port` on the router to this machine (UPnP IGD), as a lease renewed while open;
// deleted on close() and in the destructor. Discovery (at most 3 s) and every blocking
// miniupnpc call run off the interface thread.
class PortMapper : public QObject {
    Q_OBJECT
public:
    explicit PortMapper(quint16 port = 7772, QObject *parent = nullptr);
    ~PortMapper() override;
    void open();
    void close();

    static constexpr int LeaseSeconds = 3600;
    static constexpr int DiscoveryMs = 3000;
Q_SIGNALS:
    void opened(const QString &externalAddress);
    void failed(const QString &line);  // "No router answered within 3 seconds." / refused / mapped to another machine
    void closedDown();                 // the mapping is gone

private:
    enum class State { Closed, Opening, Open, Closing };

    // Shared by the interface thread and one discovery task, so that a mapping made after the
    // mapper gave up waiting is still deleted: whoever loses the exchange cleans up.
    struct Ticket {
        enum { Running, Delivered, Abandoned };
        std::atomic<int> state{Running};
    };

    void mapped();
    void renewed();
    void renewLease();
    void unmap();

    const quint16 m_port;
    State m_state = State::Closed;
    UpnpCalls::Router m_router;
    bool m_holdsMapping = false;
    bool m_openingPending = false;  // a discovery task's result is not handled yet
    int m_leaseSeconds = 0;
    QTimer m_renewTimer;
    std::shared_ptr<Ticket> m_ticket;
    QFutureWatcher<UpnpCalls::MapResult> m_opening;
    QFutureWatcher<UpnpCalls::MapResult> m_renewing;
    QFutureWatcher<bool> m_unmapping;
};
