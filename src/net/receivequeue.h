#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QElapsedTimer>
#include <QTimer>

#include <deque>
#include <functional>
#include <vector>

// The receive queue (`receivedlist`) of one side and its dispatcher: whole messages, first
// in first out, handed one per timer tick to the handler of their keyword.
//
// The timer runs only while there is work (entries waiting, or keep-alive on), so an idle
// program does not wake every millisecond. Each entry remembers the connection it came from
// (an id that the owner chooses), so the host can check a message against its sender.
class ReceiveQueue : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QByteArray &payload, int source)>;

    explicit ReceiveQueue(int intervalMs, QObject *parent = nullptr);

    // Appends one message (without its terminator); starts the timer.
    void enqueue(const QByteArray &message, int source = 0);
    // Handlers are compared in the order added; the keyword matches exactly, letter case
    // included. The handler gets the text after the first "+".
    void addHandler(const QByteArray &keyword, Handler handler);

    // Takes exactly one entry off the front (none waiting: an empty entry) and dispatches
    // it. An entry without "+" or with an empty keyword, and an unknown keyword, are
    // dropped. A handler's FieldError is caught here: one warning, the message is dropped.
    void tick();

    // Entries waiting from one source.
    int pendingFrom(int source) const { return m_perSource.value(source); }
    // Forgets every waiting entry of one source (its connection is gone).
    void dropFrom(int source);
    int size() const { return int(m_entries.size()); }

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
        int source;
    };
    struct Route {
        QByteArray keyword;
        Handler handler;
    };

    void timerTick();
    void updateTimer();
    void dispatch(const QByteArray &message, int source);

    QTimer m_timer;
    QElapsedTimer m_sinceTick; // since the last tick of the timer
    int m_interval;
    std::deque<Entry> m_entries;
    QHash<int, int> m_perSource;
    std::vector<Route> m_routes;
    bool m_keepAlive = false;
};
