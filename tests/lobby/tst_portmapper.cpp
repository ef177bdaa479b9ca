// PortMapper against Debian's miniupnpd in a router namespace, run by router.sh inside the
// "home" namespace behind it. A peer on the router's internet side is reached with nsenter.
#include "portmapper.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace {

// Runs `command` with bash inside the namespaces of process `nsPid`; returns its output.
QByteArray inNamespace(const QString &nsPid, const QString &command, int *exitCode = nullptr)
{
    QProcess p;
    p.start(QStringLiteral("nsenter"), {"-t", nsPid, "-n", "-m", "bash", "-c", command});
    p.waitForFinished(15000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

// The router's forwarding rules for `port`, as nftables holds them.
bool routerForwards(quint16 port)
{
    const QByteArray rules = inNamespace(qEnvironmentVariable("LEXI_ROUTER_NS"),
                                         "nft list chain inet filter prerouting_miniupnpd");
    return rules.contains("dport " + QByteArray::number(port) + " ");
}

QByteArray leaseLine(quint16 port)
{
    QFile f(qEnvironmentVariable("LEXI_LEASES"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray prefix = "TCP:" + QByteArray::number(port) + ":";
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line;
    return {};
}

}

class PortMapperTest : public QObject {
    Q_OBJECT
    QString m_external;

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("LEXI_ROUTER_NS"))
            QSKIP("run by tests/lobby/router.sh, which makes the namespaces and the router");
        m_external = qEnvironmentVariable("LEXI_EXTERNAL_ADDRESS");
    }

    /// The port is forwarded as a lease, a peer on the internet side reaches this machine
    /// through the router's external address, and after close() the router forwards nothing.
    void mapReachAndClose()
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::AnyIPv4, 7772));
        connect(&listener, &QTcpServer::newConnection, &listener, [&listener] {
            while (QTcpSocket *s = listener.nextPendingConnection())
                s->write("hello from home\n");
        });
        PortMapper mapper(7772);
        QSignalSpy opened(&mapper, &PortMapper::opened);
        QSignalSpy failed(&mapper, &PortMapper::failed);
        mapper.open();
        QVERIFY2(opened.wait(15000), qPrintable(failed.value(0).value(0).toString()));
        QCOMPARE(opened.value(0).value(0).toString(), m_external);
        QVERIFY(routerForwards(7772));

        // "TCP:7772:192.168.77.2:7772:<expiry>:Lexitangle": a lease of about an hour.
        const QList<QByteArray> lease = leaseLine(7772).split(':');
        QCOMPARE(lease.size(), 6);
        QCOMPARE(lease.at(2), qgetenv("LEXI_LAN_ADDRESS"));
        const qint64 left = lease.at(4).toLongLong() - QDateTime::currentSecsSinceEpoch();
        QVERIFY2(left > 3000 && left <= PortMapper::LeaseSeconds, lease.at(4).constData());

        // The peer's bash runs while this event loop is free to accept.
        QProcess peer;
        peer.start("nsenter", {"-t", qEnvironmentVariable("LEXI_INTERNET_NS"), "-n", "-m", "bash", "-c",
                               "exec 3<>/dev/tcp/" + m_external + "/7772 && timeout 5 head -n 1 <&3"});
        QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QProcess::NotRunning, 10000);
        QCOMPARE(peer.readAllStandardOutput(), QByteArray("hello from home\n"));

        QSignalSpy closed(&mapper, &PortMapper::closedDown);
        mapper.close();
        QVERIFY(closed.wait(10000));
        QVERIFY(!routerForwards(7772));
        QVERIFY(leaseLine(7772).isEmpty());
    }

    /// A mapper that goes away while open, or while still discovering, leaves no mapping:
    /// the first deletes its own, the second's task deletes what it mapped after being given up.
    void gone_data()
    {
        QTest::addColumn<bool>("waitForOpen");
        QTest::newRow("while open") << true;
        QTest::newRow("while discovering") << false;
    }
    void gone()
    {
        QFETCH(bool, waitForOpen);
        {
            PortMapper mapper(7772);
            QSignalSpy opened(&mapper, &PortMapper::opened);
            mapper.open();
            if (waitForOpen) {
                QVERIFY(opened.wait(15000));
                QVERIFY(routerForwards(7772));
            }
        }
        // Discovery alone takes up to 3 s; what it mapped is deleted right after.
        QTest::qWait(waitForOpen ? 0 : 4000);
        QTRY_VERIFY_WITH_TIMEOUT(!routerForwards(7772), 10000);
        QVERIFY(leaseLine(7772).isEmpty());
    }

    /// close() during discovery reports closedDown only once the router holds nothing.
    void closeWhileDiscovering()
    {
        PortMapper mapper(7772);
        QSignalSpy opened(&mapper, &PortMapper::opened);
        QSignalSpy closed(&mapper, &PortMapper::closedDown);
        mapper.open();
        mapper.close();
        QVERIFY(closed.wait(15000));
        QVERIFY(opened.isEmpty());
        QVERIFY(!routerForwards(7772));
    }

    /// Each failure is one line: a router that does not answer, a port forwarded to another
    /// machine, a port the router will not forward.
    void failures_data()
    {
        QTest::addColumn<quint16>("port");
        QTest::addColumn<bool>("routerSilent");
        QTest::addColumn<QString>("line");
        QTest::newRow("no answer") << quint16(7772) << true << "No router answered within 3 seconds.";
        QTest::newRow("taken") << quint16(7773) << false
                               << "Port 7773 on the router is already forwarded to another machine (192.168.77.9).";
        QTest::newRow("refused") << quint16(7774) << false << "The router refused to forward port 7774 (error ";
    }
    void failures()
    {
        QFETCH(quint16, port);
        QFETCH(bool, routerSilent);
        QFETCH(QString, line);
        const pid_t router = qEnvironmentVariableIntValue("LEXI_ROUTER_PID");
        if (routerSilent)
            QCOMPARE(::kill(router, SIGSTOP), 0);
        PortMapper mapper(port);
        QSignalSpy failed(&mapper, &PortMapper::failed);
        QSignalSpy opened(&mapper, &PortMapper::opened);
        mapper.open();
        const bool answered = failed.wait(15000);
        if (routerSilent)
            ::kill(router, SIGCONT);
        QVERIFY(answered);
        QVERIFY(opened.isEmpty());
        QVERIFY2(failed.value(0).value(0).toString().startsWith(line),
                 qPrintable(failed.value(0).value(0).toString()));
        if (port == 7773)
            QVERIFY(leaseLine(7773).contains("192.168.77.9"));  // the other machine keeps its port
        else
            QVERIFY(!routerForwards(port));
    }
};

QTEST_GUILESS_MAIN(PortMapperTest)
#include "tst_portmapper.moc"
