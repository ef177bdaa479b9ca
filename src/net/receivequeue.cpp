#include "net/receivequeue.h"

#include "net/fieldreader.h"

#include <QScopeGuard>
#include <QtDebug>

#include <algorithm>

ReceiveQueue::ReceiveQueue(int intervalMs, QObject *parent) : QObject(parent), m_interval(intervalMs)
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ReceiveQueue::timerTick);
}

ReceiveQueue::Enqueued ReceiveQueue::enqueue(const QByteArray &message, int source)
{
    // What no handler would take costs neither memory nor a tick: a peer that sends millions
    // of empty or unknown messages cannot fill the queue with them.
    const qsizetype plus = message.indexOf('+');
    if (plus <= 0 || !findRoute(QByteArrayView(message).first(plus)))
        return Enqueued::Ignored;
    if ((m_maxEntries > 0 && m_size >= m_maxEntries)
        || (m_maxBytes > 0 && m_bytes + message.size() > m_maxBytes))
        return Enqueued::Full;
    m_bytes += message.size();
    push(source, {message, false});
    return Enqueued::Queued;
}

void ReceiveQueue::enqueueClose(int source)
{
    push(source, {QByteArray(), true});
}

void ReceiveQueue::push(int source, Entry entry)
{
    std::deque<Entry> &entries = m_bySource[source];
    if (entries.empty())
        m_turns.push_back(source);
    entries.push_back(std::move(entry));
    ++m_size;
    updateTimer();
}

void ReceiveQueue::addHandler(const QByteArray &keyword, Handler handler)
{
    m_routes.push_back({keyword, std::move(handler)});
}

void ReceiveQueue::setLimits(int maxEntries, qsizetype maxBytes)
{
    m_maxEntries = maxEntries;
    m_maxBytes = maxBytes;
}

void ReceiveQueue::tick()
{
    if (m_dispatching) {
        m_timer.stop(); // held until the running handler returns
        return;
    }
    if (m_turns.empty()) {
        updateTimer();
        return;
    }
    const int source = m_turns.front();
    m_turns.pop_front();
    const auto found = m_bySource.find(source);
    std::deque<Entry> &entries = found->second;
    const Entry entry = std::move(entries.front());
    entries.pop_front();
    if (entries.empty())
        m_bySource.erase(found);
    else
        m_turns.push_back(source); // the source's next entry waits for everyone else's turn
    --m_size;
    m_bytes -= entry.message.size();
    updateTimer();
    m_dispatching = true;
    // Cleared however the handler leaves (FieldError is caught below; anything else travels on).
    const auto done = qScopeGuard([this] {
        m_dispatching = false;
        updateTimer();
    });
    if (entry.close) {
        if (m_onClose)
            m_onClose(source);
    } else {
        dispatch(entry.message, source);
    }
}

int ReceiveQueue::pendingFrom(int source) const
{
    const auto found = m_bySource.find(source);
    return found == m_bySource.end() ? 0 : int(found->second.size());
}

void ReceiveQueue::dropFrom(int source)
{
    const auto found = m_bySource.find(source);
    if (found == m_bySource.end())
        return;
    std::deque<Entry> &entries = found->second;
    const auto kept = std::stable_partition(entries.begin(), entries.end(),
                                            [](const Entry &e) { return e.close; });
    for (auto it = kept; it != entries.end(); ++it)
        m_bytes -= it->message.size();
    m_size -= int(entries.end() - kept);
    entries.erase(kept, entries.end());
    if (entries.empty()) {
        m_bySource.erase(found);
        m_turns.erase(std::find(m_turns.begin(), m_turns.end(), source));
    }
    updateTimer();
}

void ReceiveQueue::setKeepAlive(bool on)
{
    m_keepAlive = on;
    updateTimer();
}

void ReceiveQueue::timerTick()
{
    m_sinceTick.start();
    // After a quick first tick the timer goes back to its own pace.
    if (m_timer.interval() != m_interval)
        m_timer.setInterval(m_interval);
    tick();
    emit ticked();
}

void ReceiveQueue::updateTimer()
{
    const bool work = m_keepAlive || m_size > 0;
    if (m_dispatching)
        return; // the running handler's end decides
    if (work && !m_timer.isActive()) {
        // The timer is thought of as always running: work that arrives after a quiet spell is
        // taken at the tick that would have come next, not a whole interval later. Two
        // dispatches are still never closer than one interval.
        const qint64 sinceTick = m_sinceTick.isValid() ? m_sinceTick.elapsed() : m_interval;
        m_timer.start(int(qBound(qint64(0), m_interval - sinceTick, qint64(m_interval))));
    }
    else if (!work && m_timer.isActive())
        m_timer.stop();
}

const ReceiveQueue::Route *ReceiveQueue::findRoute(QByteArrayView keyword) const
{
    const auto route = std::find_if(m_routes.begin(), m_routes.end(),
                                    [keyword](const Route &r) { return r.keyword == keyword; });
    return route == m_routes.end() ? nullptr : &*route;
}

void ReceiveQueue::dispatch(const QByteArray &message, int source)
{
    const qsizetype plus = message.indexOf('+');
    const QByteArray keyword = message.left(plus);
    const Route *route = findRoute(keyword);
    if (!route)
        return;
    // A copy: the handler may add handlers, which can move the table under us.
    const Handler handler = route->handler;
    try {
        handler(message.sliced(plus + 1), source);
    } catch (const FieldError &error) {
        qWarning("dropped %s from connection %d: %s", keyword.left(64).constData(), source,
                 error.what());
    }
}
