#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include "net/esockexception.h"
#include "net/messages.h"
#include "net/tsock.h"

#include <sys/socket.h>

#include <functional>
#include <memory>

namespace {

// Everything a TSock tells its owner, as text, in order. Kind 4/5 traffic reports and the
// onWrite signal are left out unless asked for: their number depends on the system.
class EventLog {
public:
    explicit EventLog(TSock *sock, bool lookups = true) : m_lookups(lookups)
    {
        QObject::connect(sock, &TSock::onConnect, sock, [this] { events << "connect"; });
        QObject::connect(sock, &TSock::onDisconnect, sock, [this] { events << "disconnect"; });
        QObject::connect(sock, &TSock::onRead, sock, [this] { events << "read"; });
        QObject::connect(sock, &TSock::onAccept, sock, [this] { events << "accept"; });
        QObject::connect(sock, &TSock::onInfo, sock,
                         [this](TSock *, int kind, const QString &text) {
                             if (kind == TSock::Receive || kind == TSock::Send)
                                 return;
                             if (kind == TSock::Lookup && !m_lookups)
                                 return;
                             events << QStringLiteral("info %1 %2").arg(kind).arg(text);
                         });
    }
    // The events without the reads (whose number depends on how the bytes were cut).
    QStringList withoutReads() const
    {
        QStringList out = events;
        out.removeAll("read");
        return out;
    }
    QStringList events;

private:
    bool m_lookups;
};

QString errorOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const ESockException &error) {
        return error.message();
    }
    return QString();
}

// A port on which nobody listens (taken from the system and given back at once).
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A listener on a system-chosen port that accepts every connection as it is announced.
struct Table {
    Table()
    {
        listener.setPortName("0");
        QObject::connect(&listener, &TSock::onAccept, &listener, [this] {
            if (acceptEagerly)
                accepted.append(listener.accept());
        });
        listener.setListen(true);
    }
    std::unique_ptr<TSock> client()
    {
        auto sock = std::make_unique<TSock>();
        sock->setHostName("127.0.0.1");
        sock->setPortName(QString::number(listener.localPort()));
        return sock;
    }
    TSock listener;
    QList<TSock *> accepted;
    bool acceptEagerly = true;
};

// Drains everything a TSock receives into a buffer.
void collect(TSock *sock, QByteArray *into)
{
    QObject::connect(sock, &TSock::onRead, sock, [sock, into] { into->append(sock->receive()); });
}

} // namespace

class TestTSock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- connecting and moving bytes --------------------------------------------------

    void connectAcceptSendReceive()
    {
        Table table;
        QVERIFY(table.listener.listening());
        QVERIFY(table.listener.localPort() > 0);
        EventLog listenerLog(&table.listener);
        auto client = table.client();
        EventLog clientLog(client.get());
        QSignalSpy connected(client.get(), &TSock::onConnect);

        QCOMPARE(client->open(), false);
        QVERIFY(connected.wait());
        QVERIFY(client->connected());
        const QString port = QString::number(table.listener.localPort());
        QCOMPARE(clientLog.events, (QStringList{"info 0 Lookup Of Port " + port,
                                                "info 0 Lookup Of Host 127.0.0.1",
                                                "info 1 Non-Blocking Socket Connected",
                                                "connect"}));

        QTRY_COMPARE(table.accepted.size(), 1);
        TSock *server = table.accepted.first();
        QVERIFY(server);
        QVERIFY(server->connected());
        QCOMPARE(server->parent(), &table.listener);
        QCOMPARE(server->hostName(), QString("127.0.0.1"));
        QCOMPARE(server->portName(), QString("0"));
        // The table's own onAccept handler (connected first) accepts before the log hears.
        QCOMPARE(listenerLog.events,
                 (QStringList{"info 0 Setting PortName While Connected Has No Effect",
                              "info 0 Setting HostName While Connected Has No Effect",
                              "info 6 Created New TSock Structure", "accept"}));

        QSignalSpy serverReads(server, &TSock::onRead);
        QVERIFY(client->send("CMD_chat+1+hi|clRed\xFF"));
        QTRY_COMPARE(server->pendingInput(), qint64(20));
        QCOMPARE(serverReads.last().at(1).toLongLong(), qint64(20));
        QCOMPARE(server->receive(), QByteArray("CMD_chat+1+hi|clRed\xFF"));
        QCOMPARE(server->pendingInput(), qint64(0));

        QByteArray atClient;
        collect(client.get(), &atClient);
        QVERIFY(server->send(Msg::sendlogininfo(1)));
        QTRY_COMPARE(atClient, Msg::sendlogininfo(1));

        // Open on a connected object only answers the connected flag.
        QCOMPARE(client->open(), true);
        QCOMPARE(table.accepted.size(), 1);
    }

    void acceptWithAnotherParent()
    {
        Table table;
        table.acceptEagerly = false;
        QObject owner;
        auto client = table.client();
        QSignalSpy waiting(&table.listener, &TSock::onAccept);
        client->open();
        QVERIFY(waiting.wait());
        TSock *server = table.listener.accept(&owner);
        QVERIFY(server);
        QCOMPARE(server->parent(), &owner);
        EventLog listenerLog(&table.listener);
        QCOMPARE(table.listener.accept(), nullptr);
        QCOMPARE(listenerLog.events, QStringList{"info 6 Could Not Accept Connection"});
    }

    // Bytes and a close that come before the owner accepts are reported after the accept.
    void earlyBytesAndCloseReachTheOwner()
    {
        Table table;
        table.acceptEagerly = false;
        auto client = table.client();
        QSignalSpy waiting(&table.listener, &TSock::onAccept);
        QSignalSpy connected(client.get(), &TSock::onConnect);
        client->open();
        QVERIFY(connected.wait());
        client->send("early\xFF");
        QTRY_COMPARE(client->pendingOutput(), qint64(0));
        client->close();
        QTRY_COMPARE(waiting.size(), 1);

        TSock *server = table.listener.accept();
        QVERIFY(server);
        EventLog serverLog(server);
        QByteArray got;
        collect(server, &got);
        QTRY_VERIFY(serverLog.events.contains("info 2 Socket Closed"));
        QCOMPARE(got, QByteArray("early\xFF"));
        QCOMPARE(serverLog.withoutReads(),
                 (QStringList{"disconnect", "info 2 Socket Closed"}));
    }

    // A sender that outpaces the network: everything arrives, whole and in order.
    void bigSendArrivesWholeInOrder()
    {
        Table table;
        auto client = table.client();
        client->open();
        QTRY_COMPARE(table.accepted.size(), 1);
        TSock *server = table.accepted.first();
        QByteArray big(12 * 1024 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = char((i * 7 + i / 4099) & 0xFF);
        QByteArray got;
        collect(client.get(), &got);
        QSignalSpy writes(server, &TSock::onWrite);
        // A read is a bounded slice: whatever a peer sends, one arrival costs at most 32 KiB.
        qint64 largestRead = 0;
        connect(client.get(), &TSock::onRead, this,
                [&largestRead](TSock *, qint64 count) { largestRead = std::max(largestRead, count); });

        QVERIFY(server->send(big.left(5 * 1024 * 1024)));
        QVERIFY(server->send(big.mid(5 * 1024 * 1024)));
        QVERIFY(server->pendingOutput() > 0);
        QTRY_COMPARE_WITH_TIMEOUT(got.size(), big.size(), 30000);
        QVERIFY(got == big);
        QVERIFY(largestRead > 0 && largestRead <= 32 * 1024);
        QTRY_COMPARE(server->pendingOutput(), qint64(0));
        QVERIFY(!writes.isEmpty());
    }

    // --- ends of connections ------------------------------------------------------------

    void peerCloseGivesDisconnectThenSocketClosed()
    {
        Table table;
        auto client = table.client();
        EventLog clientLog(client.get(), false);
        client->open();
        QTRY_COMPARE(table.accepted.size(), 1);
        TSock *server = table.accepted.first();
        EventLog serverLog(server, false);

        server->send("bye\xFF");
        QVERIFY(server->close());
        QCOMPARE(serverLog.events, QStringList{"info 2 Socket Closed"});
        QTRY_VERIFY(clientLog.events.contains("info 2 Socket Closed"));
        QCOMPARE(clientLog.withoutReads(),
                 (QStringList{"info 1 Non-Blocking Socket Connected", "connect", "disconnect",
                              "info 2 Socket Closed"}));
        QVERIFY(!client->connected());
        // What came before the close stays readable once.
        QCOMPARE(client->receive(), QByteArray("bye\xFF"));
        QCOMPARE(errorOf([&] { client->receive(); }), QString("Receive - Socket Not Connected"));
        QCOMPARE(errorOf([&] { client->send("x"); }), QString("Send - Socket Not Connected"));
        // Closing again reports again; there was nothing left to release.
        QVERIFY(!client->close());
        QCOMPARE(clientLog.events.count("info 2 Socket Closed"), 2);
    }

    // A refused connection reports its error and nothing else.
    void refusedConnectOnlyReportsTheError()
    {
        TSock client;
        const QString port = QString::number(freePort());
        client.setHostName("127.0.0.1");
        client.setPortName(port);
        EventLog log(&client);
        client.open();
        QTRY_COMPARE(log.events.size(), 3);
        QCoreApplication::processEvents();
        QCOMPARE(log.events, (QStringList{"info 0 Lookup Of Port " + port,
                                          "info 0 Lookup Of Host 127.0.0.1",
                                          "info 7 Error #10061 (WSAECONNREFUSED)"}));
        QVERIFY(!client.connected());
    }

    // A reset (the peer aborts with SO_LINGER 0) ends the connection like a peer close.
    void resetOfEstablishedConnectionCountsAsClosed()
    {
        QTcpServer peer;
        QVERIFY(peer.listen(QHostAddress::LocalHost, 0));
        TSock client;
        client.setHostName("127.0.0.1");
        client.setPortName(QString::number(peer.serverPort()));
        EventLog log(&client, false);
        QSignalSpy connected(&client, &TSock::onConnect);
        client.open();
        QVERIFY(connected.wait());
        QTRY_VERIFY(peer.hasPendingConnections());
        QTcpSocket *remote = peer.nextPendingConnection();
        const linger hard{1, 0};
        QCOMPARE(::setsockopt(int(remote->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard,
                              sizeof hard), 0);
        remote->abort();
        QTRY_VERIFY(log.events.contains("info 2 Socket Closed"));
        QStringList ends = log.events.mid(2);
        ends.removeIf([](const QString &e) { return e.startsWith("info 7 "); });
        QCOMPARE(ends, (QStringList{"disconnect", "info 2 Socket Closed"}));
        QVERIFY(!client.connected());
    }

    // A peer that does not take its data cannot make the sender's memory grow.
    void outputBoundClosesTheConnection()
    {
        Table table;
        table.listener.setMaxPendingOutput(64 * 1024); // inherited by accepted connections
        auto client = table.client();
        EventLog clientLog(client.get(), false);
        client->open();
        QTRY_COMPARE(table.accepted.size(), 1);
        TSock *server = table.accepted.first();
        QCOMPARE(server->maxPendingOutput(), qint64(64 * 1024));
        EventLog serverLog(server, false);

        QVERIFY(server->send(QByteArray(40 * 1024, 'a')));
        QVERIFY(!server->send(QByteArray(40 * 1024, 'b')));
        QVERIFY(!server->send("more"));
        QCOMPARE(serverLog.events, QStringList{}); // the close comes from the event loop
        QTRY_COMPARE(serverLog.events, (QStringList{"disconnect", "info 2 Socket Closed"}));
        QTRY_VERIFY(clientLog.events.contains("info 2 Socket Closed"));
    }

    // A last message sent right before the object is destroyed still goes out (the host
    // does this to a refused eleventh player); the destroyed object signals nothing.
    void destroyingSendsPendingOutputQuietly()
    {
        Table table;
        auto client = table.client();
        EventLog clientLog(client.get(), false);
        QByteArray got;
        collect(client.get(), &got);
        client->open();
        QTRY_COMPARE(table.accepted.size(), 1);
        TSock *server = table.accepted.takeFirst();
        QSignalSpy serverInfo(server, &TSock::onInfo);
        QSignalSpy serverDisconnect(server, &TSock::onDisconnect);
        server->send(Msg::full());
        const int reportsBefore = serverInfo.size();
        delete server;
        QCOMPARE(serverInfo.size(), reportsBefore);
        QCOMPARE(serverDisconnect.size(), 0);
        QTRY_VERIFY(clientLog.events.contains("info 2 Socket Closed"));
        QCOMPARE(got, Msg::full());
    }

    void destroyingTheListenerTakesItsConnections()
    {
        auto table = std::make_unique<Table>();
        auto client = table->client();
        EventLog clientLog(client.get(), false);
        client->open();
        QTRY_COMPARE(table->accepted.size(), 1);
        QPointer<TSock> server = table->accepted.first();
        table.reset();
        QVERIFY(server.isNull());
        QTRY_VERIFY(clientLog.events.contains("info 2 Socket Closed"));
    }

    // --- listening ------------------------------------------------------------------

    void listenOnTakenPortFails()
    {
        Table table;
        TSock second;
        second.setPortName(QString::number(table.listener.localPort()));
        QCOMPARE(errorOf([&] { second.setListen(true); }),
                 QString("Listen - Error Binding Socket"));
        QVERIFY(!second.listening());
        QCOMPARE(second.localPort(), quint16(0));
        // Nothing half-made remains: the object can listen elsewhere.
        second.setPortName("0");
        second.setListen(true);
        QVERIFY(second.listening());
    }

    void listenerReports()
    {
        TSock listener;
        listener.setPortName("0");
        EventLog log(&listener);
        listener.setListen(true);
        listener.setListen(true);
        listener.setListen(false);
        QVERIFY(!listener.listening());
        QCOMPARE(log.events, (QStringList{"info 0 Lookup Of Port 0", "info 3 Listening Started",
                                          "info 3 Listening Already Running",
                                          "info 2 Socket Closed", "info 3 Listening Stopped"}));
        log.events.clear();
        listener.setListen(true);
        QVERIFY(listener.close());
        QCOMPARE(log.events, (QStringList{"info 0 Lookup Of Port 0", "info 3 Listening Started"}));
        QVERIFY(!listener.listening());
    }

    // --- failures of operations ---------------------------------------------------------

    void operationErrors_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("error");
        QTest::newRow("send, never opened") << "fresh" << "send" << "Send - Socket Not Connected";
        QTest::newRow("send on a listener") << "listener" << "send"
                                            << "Send - Cannot Send On A Listener Socket";
        QTest::newRow("receive, never opened") << "fresh" << "receive"
                                               << "Receive - Socket Not Connected";
        QTest::newRow("receive on a listener") << "listener" << "receive"
                                               << "Receive - Cannot Receive On A Listener Socket";
        QTest::newRow("accept, not listening") << "fresh" << "accept"
                                               << "Accept - Socket Not In Listening Mode";
        QTest::newRow("listen while connecting") << "connecting" << "listen"
                                                 << "Listen - Socket Already In Use";
        QTest::newRow("unknown service") << "bad service" << "open"
                                         << "Port Lookup - Could Not Find Service Entry";
        QTest::newRow("empty port") << "empty port" << "open"
                                    << "Port Lookup - Could Not Find Service Entry";
        QTest::newRow("port out of range") << "port 70000" << "listen"
                                           << "Port Lookup - Could Not Find Service Entry";
        QTest::newRow("unknown host") << "unknown host" << "open"
                                      << "Host Lookup - Could Not Find Host Entry";
    }
    void operationErrors()
    {
        QFETCH(QString, setup);
        QFETCH(QString, operation);
        QFETCH(QString, error);
        QTcpServer target;
        QVERIFY(target.listen(QHostAddress::LocalHost, 0));
        TSock sock;
        sock.setHostName("127.0.0.1");
        sock.setPortName(QString::number(target.serverPort()));
        sock.setHostLookup([](const QString &) { return std::nullopt; });
        if (setup == "listener") {
            sock.setPortName("0");
            sock.setListen(true);
        } else if (setup == "connecting") {
            sock.open();
        } else if (setup == "bad service") {
            sock.setPortName("no-such-service-here");
        } else if (setup == "empty port") {
            sock.setPortName("");
        } else if (setup == "port 70000") {
            sock.setPortName("70000");
        } else if (setup == "unknown host") {
            sock.setHostName("nowhere.invalid");
        }
        const QString got = errorOf([&] {
            if (operation == "send")
                sock.send("x");
            else if (operation == "receive")
                sock.receive();
            else if (operation == "accept")
                sock.accept();
            else if (operation == "listen")
                sock.setListen(true);
            else
                sock.open();
        });
        QCOMPARE(got, error);
    }

    void serviceNamesResolve()
    {
        TSock client;
        client.setHostName("127.0.0.1");
        client.setPortName("http"); // /etc/services: port 80, where nobody listens here
        EventLog log(&client);
        client.open();
        QTRY_VERIFY(log.events.size() >= 3);
        QCOMPARE(log.events.at(0), QString("info 0 Lookup Of Port http"));
        QVERIFY(log.events.at(2).startsWith("info 7 Error #"));
    }

    // --- host names -----------------------------------------------------------------

    // A host text that starts with a digit is an address and never goes to the resolver.
    void digitLeadingHostIsNeverLookedUp_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("connects");
        QTest::newRow("dotted") << "127.0.0.1" << true;
        QTest::newRow("short form") << "127.1" << true;
        QTest::newRow("octet too big") << "999.0.0.1" << false;
        QTest::newRow("five parts") << "127.0.0.1.5" << false;
        QTest::newRow("name after a digit") << "1localhost" << false;
        QTest::newRow("trailing words") << "127.0.0.1 evil" << false;
    }
    void digitLeadingHostIsNeverLookedUp()
    {
        QFETCH(QString, host);
        QFETCH(bool, connects);
        Table table;
        auto client = table.client();
        int lookups = 0;
        client->setHostLookup([&](const QString &) {
            ++lookups;
            return std::optional<QHostAddress>(QHostAddress::LocalHost);
        });
        client->setHostName(host);
        const QString error = errorOf([&] { client->open(); });
        QCOMPARE(lookups, 0);
        if (connects) {
            QVERIFY(error.isEmpty());
            QTRY_VERIFY(client->connected());
        } else {
            QCOMPARE(error, QString("Host Lookup - Could Not Find Host Entry"));
        }
    }

    void namesGoToTheResolver()
    {
        Table table;
        auto client = table.client();
        QStringList asked;
        client->setHostLookup([&](const QString &name) {
            asked << name;
            return std::optional<QHostAddress>(QHostAddress::LocalHost);
        });
        client->setHostName("table.example");
        client->open();
        QCOMPARE(asked, QStringList{"table.example"});
        QTRY_VERIFY(client->connected());
    }

    // --- reports that fail ------------------------------------------------------------

    void failingInfoHandler()
    {
        TSock listener;
        listener.setPortName("0");
        listener.setListen(true);
        QObject::connect(&listener, &TSock::onInfo, &listener,
                         [] { throw std::runtime_error("owner failed"); });
        QCOMPARE(errorOf([&] { listener.setListen(true); }), QString("Error here"));

        // Close swallows it and still releases the socket.
        auto client = std::make_unique<TSock>();
        client->setHostName("127.0.0.1");
        client->setPortName(QString::number(listener.localPort()));
        client->open();
        QObject::connect(client.get(), &TSock::onInfo, client.get(),
                         [] { throw std::runtime_error("owner failed"); });
        bool released = false;
        QCOMPARE(errorOf([&] { released = client->close(); }), QString());
        QVERIFY(released);
        QCOMPARE(client->pendingOutput(), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestTSock)
#include "tst_tsock.moc"
