#include "portmapper.h"

#include <QtConcurrent/QtConcurrentRun>

PortMapper::PortMapper(quint16 port, QObject *parent)
    : QObject(parent), m_port(port)
{
    m_renewTimer.setSingleShot(true);
    connect(&m_renewTimer, &QTimer::timeout, this, &PortMapper::renewLease);
    connect(&m_opening, &QFutureWatcher<UpnpCalls::MapResult>::finished, this, &PortMapper::mapped);
    connect(&m_renewing, &QFutureWatcher<UpnpCalls::MapResult>::finished, this, &PortMapper::renewed);
    connect(&m_unmapping, &QFutureWatcher<bool>::finished, this, [this] {
        m_state = State::Closed;
        Q_EMIT closedDown();
    });
}

// Never waits for the router: a mapping still held is deleted by a pool task, which the
// application's exit waits for (bounded by miniupnpc's socket timeouts).
PortMapper::~PortMapper()
{
    m_renewTimer.stop();
    if (m_openingPending) {
        int seen = Ticket::Running;
        if (!m_ticket->state.compare_exchange_strong(seen, Ticket::Abandoned) && seen == Ticket::Delivered) {
            m_opening.waitForFinished();  // the task is past its last step: only its return is left
            const UpnpCalls::MapResult r = m_opening.result();
            if (r.ok) {
                m_router = r.router;
                m_holdsMapping = true;
            }
        }
    }
    if (m_holdsMapping) {
        const UpnpCalls::Router router = m_router;
        const quint16 port = m_port;
        (void)QtConcurrent::run([router, port] { return UpnpCalls::unmap(router, port); });
    }
}

void PortMapper::open()
{
    if (m_state != State::Closed)
        return;
    m_state = State::Opening;
    m_openingPending = true;
    m_ticket = std::make_shared<Ticket>();
    const std::shared_ptr<Ticket> ticket = m_ticket;
    const quint16 port = m_port;
    m_opening.setFuture(QtConcurrent::run([ticket, port] {
        UpnpCalls::MapResult r = UpnpCalls::discoverAndMap(port, LeaseSeconds, DiscoveryMs);
        int running = Ticket::Running;
        if (r.ok && !ticket->state.compare_exchange_strong(running, Ticket::Delivered)) {
            UpnpCalls::unmap(r.router, port);  // the mapper was closed meanwhile
            r = {};
        }
        return r;
    }));
}

void PortMapper::mapped()
{
    m_openingPending = false;
    const UpnpCalls::MapResult r = m_opening.result();
    if (m_state == State::Closing) {
        if (r.ok) {
            m_router = r.router;
            m_holdsMapping = true;
            unmap();
        } else {
            m_state = State::Closed;
            Q_EMIT closedDown();
        }
        return;
    }
    if (!r.ok) {
        m_state = State::Closed;
        Q_EMIT failed(r.line);
        return;
    }
    m_state = State::Open;
    m_router = r.router;
    m_holdsMapping = true;
    m_leaseSeconds = r.leaseSeconds;
    if (m_leaseSeconds > 0)
        m_renewTimer.start(m_leaseSeconds * 1000 / 2);
    Q_EMIT opened(r.externalAddress);
}

void PortMapper::renewLease()
{
    if (m_state != State::Open || m_renewing.isRunning())
        return;
    const UpnpCalls::Router router = m_router;
    const quint16 port = m_port;
    const int lease = m_leaseSeconds;
    m_renewing.setFuture(QtConcurrent::run([router, port, lease] {
        return UpnpCalls::renew(router, port, lease);
    }));
}

// A failed renewal is retried soon; the lease still has half its time left.
void PortMapper::renewed()
{
    if (m_state != State::Open)
        return;
    const UpnpCalls::MapResult r = m_renewing.result();
    if (!r.ok)
        Q_EMIT failed(r.line);
    m_renewTimer.start(r.ok ? m_leaseSeconds * 1000 / 2 : 60 * 1000);
}

void PortMapper::close()
{
    m_renewTimer.stop();
    switch (m_state) {
    case State::Closed:
        Q_EMIT closedDown();
        return;
    case State::Closing:
        return;
    case State::Opening:
        {
            // Either the task unmaps by itself, or mapped() receives its mapping and unmaps.
            int running = Ticket::Running;
            m_ticket->state.compare_exchange_strong(running, Ticket::Abandoned);
        }
        m_state = State::Closing;
        return;
    case State::Open:
        unmap();
        return;
    }
}

void PortMapper::unmap()
{
    m_state = State::Closing;
    m_holdsMapping = false;
    const UpnpCalls::Router router = m_router;
    const quint16 port = m_port;
    m_unmapping.setFuture(QtConcurrent::run([router, port] { return UpnpCalls::unmap(router, port); }));
}
