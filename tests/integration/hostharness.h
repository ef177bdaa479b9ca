#pragma once

// Raw loopback clients and small fakes for driving a TServer through real sockets.

#include "host/hostsettings.h"
#include "host/tserver.h"
#include "words/wordchecker.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QRandomGenerator>
#include <QSet>
#include <QTcpSocket>
#include <QTest>

#include <initializer_list>
#include <memory>
#include <vector>

// A word list the test fills with exactly the words it means to play.
class FakeWords : public WordChecker {
public:
    QSet<QByteArray> words;
    bool acceptAll = false;

    bool isword(QByteArrayView word) override
    {
        return acceptAll || words.contains(word.toByteArray().toUpper());
    }
};

class TestSettings : public HostSettings {
public:
    int pause = 5;
    bool autostart = false;

    int timeBetweenRounds() const override { return pause; }
    bool autoStart() const override { return autostart; }
};

// A client that speaks the protocol byte by byte, with nothing of the real client in it.
// It keeps every byte it received and the whole messages cut out of them.
class RawClient {
public:
    // connectNow false: the client connects when told to (after bindLocal(), perhaps).
    explicit RawClient(quint16 port, bool connectNow = true) : m_port(port)
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { take(); });
        if (connectNow)
            connectToHost();
    }

    void connectToHost() { m_socket.connectToHost(QHostAddress::LocalHost, m_port); }
    // Binds to a loopback port of the system's choosing, as the hosting copy's own client
    // does; the port it got, 0 on failure.
    quint16 bindLocal()
    {
        if (!m_socket.bind(QHostAddress::LocalHost, 0, QAbstractSocket::DontShareAddress))
            return 0;
        return m_socket.localPort();
    }

    QTcpSocket &socket() { return m_socket; }
    void send(const QByteArray &bytes) { m_socket.write(bytes); }
    // Sends a message and its terminator.
    void say(const QByteArray &message) { send(message + '\xFF'); }

    const QByteArray &raw() const { return m_raw; }
    const QList<QByteArray> &messages() const { return m_messages; }
    void forget()
    {
        m_raw.clear();
        m_messages.clear();
    }

    bool has(QByteArrayView message) const { return m_messages.contains(message); }
    int count(QByteArrayView prefix) const
    {
        int n = 0;
        for (const QByteArray &m : m_messages)
            n += m.startsWith(prefix) ? 1 : 0;
        return n;
    }
    QList<QByteArray> starting(QByteArrayView prefix) const
    {
        QList<QByteArray> found;
        for (const QByteArray &m : m_messages) {
            if (m.startsWith(prefix))
                found.append(m);
        }
        return found;
    }
    bool closed() const { return m_socket.state() == QAbstractSocket::UnconnectedState; }

    bool waitFor(QByteArrayView message, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return has(message); }, ms);
    }
    bool waitForPrefix(QByteArrayView prefix, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return count(prefix) > 0; }, ms);
    }
    bool waitClosed(int ms = 5000)
    {
        return QTest::qWaitFor([&] { return closed(); }, ms);
    }

    // The seat from CMD_sendlogininfo, once it came; 0 before.
    int seat() const
    {
        const QList<QByteArray> greeting = starting("CMD_sendlogininfo+");
        return greeting.isEmpty() ? 0 : greeting.first().mid(18).toInt();
    }

    // Waits for the seat, logs in as the real client does (name and its own 0xFF, then the
    // terminator) and waits until the host announced it. False when any step timed out.
    bool login(const QByteArray &name, const QByteArray &version = "1.0.6")
    {
        if (!QTest::qWaitFor([&] { return seat() > 0; }, 5000))
            return false;
        const QByteArray s = QByteArray::number(seat());
        send("CMD_logininfo+" + s + "+" + version + "+" + name + "\xFF\xFF");
        return waitFor("CMD_newplayerinfo+" + s + "+" + name);
    }

private:
    void take()
    {
        const QByteArray bytes = m_socket.readAll();
        m_raw += bytes;
        m_partial += bytes;
        qsizetype end;
        while ((end = m_partial.indexOf('\xFF')) >= 0) {
            m_messages.append(m_partial.left(end));
            m_partial.remove(0, end + 1);
        }
    }

    quint16 m_port;
    QTcpSocket m_socket;
    QByteArray m_raw;
    QByteArray m_partial;
    QList<QByteArray> m_messages;
};

using Clients = std::vector<std::unique_ptr<RawClient>>;

// A host on a port of the system's choosing, with fakes for its collaborators.
struct HostUnderTest {
    FakeWords words;
    TestSettings settings;
    QRandomGenerator rng{20240611};
    TServer server{words, settings, rng, 0};

    HostUnderTest() { server.startListening(); }
    quint16 port() const { return server.listeningPort(); }

    // A new raw client, connected and logged in under this name; null if that failed.
    std::unique_ptr<RawClient> join(const QByteArray &name)
    {
        auto client = std::make_unique<RawClient>(port());
        if (!client->login(name))
            return nullptr;
        return client;
    }
};

// Every message and its terminator, in order: what a raw client should have received.
inline QByteArray stream(std::initializer_list<const char *> messages)
{
    QByteArray bytes;
    for (const char *m : messages)
        bytes += QByteArray(m) + '\xFF';
    return bytes;
}
