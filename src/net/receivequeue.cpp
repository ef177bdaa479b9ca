#include "net/receivequeue.h"

#include "net/fieldreader.h"

#include <QtDebug>

#include <algorithm>

ReceiveQueue::ReceiveQueue(int intervalMs, QObject *parent) : QObject(parent), m_interval(intervalMs)
{
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ReceiveQueue::timerTick);
}

void ReceiveQueue::enqueue(const QByteArray &message, int source)
{
    m_entries.push_back({message, source});
    ++m_perSource[source];
    updateTimer();
}

void ReceiveQueue::addHandler(const QByteArray &keyword, Handler handler)
{
    m_routes.push_back({keyword, std::move(handler)});
}

void ReceiveQueue::tick()
{
    if (m_entries.empty()) {
        updateTimer();
        return;
    }
    const Entry entry = std::move(m_entries.front());
    m_entries.pop_front();
    if (--m_perSource[entry.source] <= 0)
        m_perSource.remove(entry.source);
    updateTimer();
    dispatch(entry.message, entry.source);
}

void ReceiveQueue::dropFrom(int source)
{
    const auto from = std::remove_if(m_entries.begin(), m_entries.end(),
                                     [source](const Entry &e) { return e.source == source; });
    m_entries.erase(from, m_entries.end());
    m_perSource.remove(source);
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
    const bool work = m_keepAlive || !m_entries.empty();
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

void ReceiveQueue::dispatch(const QByteArray &message, int source)
{
    const qsizetype plus = message.indexOf('+');
    if (plus <= 0)
        return;
    const QByteArray keyword = message.left(plus);
    const auto route = std::find_if(m_routes.begin(), m_routes.end(),
                                    [&keyword](const Route &r) { return r.keyword == keyword; });
    if (route == m_routes.end())
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
