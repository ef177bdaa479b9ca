#pragma once

#include <QByteArray>
#include <QObject>
#include <QElapsedTimer>
#include <QTimer>

#include <deque>
#include <functional>
#include <unordered_map>
#include <vector>

// The receive queue (`receivedlist`) of one side and its dispatcher: whole messages, handed
// one per timer tick to the handler of their keyword.
//
// Each entry remembers the connection it came from (an id that the owner chooses). Every
// connection's entries are taken first in first out; the tick serves the connections that
// have work in turn, so one connection that queues a flood delays another's message by at
// most one tick. The close of a connection is an entry of its own, taken after everything
// that connection queued before it.
//
// The timer runs only while there is work (entries waiting, or keep-alive on), so an idle
// program does not wake every millisecond.
//
// A handler runs to completion before the next entry is taken, even when it waits in a nested
// event loop (a modal box): the timer is held until it returns, so whatever arrived after the
// message, a close included, is handled after the box is dismissed.
class ReceiveQueue : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QByteArray &payload, int source)>;
    using CloseHandler = std::function<void(int source)>;

    // What enqueue() did with a message.
    enum class Enqueued {
        Queued,
        // Empty, without a keyword, or with a keyword no handler takes: never queued.
        Ignored,
        // Past the bound of setLimits(): not queued; the owner should drop the connection.
        Full,
    };

    explicit ReceiveQueue(int intervalMs, QObject *parent = nullptr);

    // Appends one message (without its terminator); starts the timer.
    Enqueued enqueue(const QByteArray &message, int source = 0);
    // The connection of `source` has closed: once every entry it queued before has been
    // handled, a tick of its own calls the close handler.
    void enqueueClose(int source);
    // Handlers are compared in the order added; the keyword matches exactly, letter case
    // included. The handler gets the text after the first "+".
    void addHandler(const QByteArray &keyword, Handler handler);
    void setCloseHandler(CloseHandler handler) { m_onClose = std::move(handler); }
    // Bounds of all waiting entries together, in entries and in message bytes; 0 is
    // unbounded (the default).
    void setLimits(int maxEntries, qsizetype maxBytes);

    // Takes exactly one entry, the oldest of the next connection in turn (none waiting:
    // nothing happens), and dispatches it. A handler's FieldError is caught here: one
    // warning, the message is dropped. Called from inside a handler, it does nothing.
    void tick();

    // Entries waiting from one source.
    int pendingFrom(int source) const;
    // Forgets the messages that one source still has waiting; a queued close stays.
    void dropFrom(int source);
    int size() const { return m_size; }
    qsizetype bytes() const { return m_bytes; }

    // Keeps the timer running while nothing waits (a listener of ticked() counts ticks).
    void setKeepAlive(bool on);
    bool keepAlive() const { return m_keepAlive; }
    bool timerActive() const { return m_timer.isActive(); }

Q_SIGNALS:
    // After each tick of the timer, whether or not an entry was dispatched.
    void ticked();

private:
    struct Entry {
        QByteArray message;
        bool close = false;
    };
    struct Route {
        QByteArray keyword;
        Handler handler;
    };

    void push(int source, Entry entry);
    void timerTick();
    void updateTimer();
    const Route *findRoute(QByteArrayView keyword) const;
    void dispatch(const QByteArray &message, int source);

    QTimer m_timer;
    QElapsedTimer m_sinceTick; // since the last tick of the timer
    int m_interval;
    // Every source with work has a non-empty queue here and its place in m_turns, once.
    std::unordered_map<int, std::deque<Entry>> m_bySource;
    std::deque<int> m_turns;
    int m_size = 0;
    qsizetype m_bytes = 0;
    int m_maxEntries = 0;
    qsizetype m_maxBytes = 0;
    std::vector<Route> m_routes;
    CloseHandler m_onClose;
    bool m_keepAlive = false;
    // A handler (or the close handler) is running.
    bool m_dispatching = false;
};
