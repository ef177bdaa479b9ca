// Tables announced and found through two real avahi-daemons on two machines (network
// namespaces joined by a cable, each with its own D-Bus system bus), set up by lantables.sh.
// This process talks to both daemons through their buses' sockets and sends no packet itself.
#include "tableannouncer.h"
#include "tablebrowser.h"
#include "avahibus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusMetaType>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <csignal>

namespace {

QDBusConnection bus(const char *variable, const QString &name)
{
    return QDBusConnection::connectToBus(qEnvironmentVariable(variable), name);
}

qint64 median(QList<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v.at(v.size() / 2);
}

// Waits until the browser lists a table with this player name; returns it.
std::optional<LanTable> waitForName(TableBrowser &browser, const QString &name, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        for (const LanTable &table : browser.tables())
            if (table.playerName == name)
                return table;
        QTest::qWait(10);
    }
    return std::nullopt;
}

// A raw announcement as any program on the network could make it, TXT and all.
QString publishRaw(QDBusConnection &bus, const QString &instance, const QList<QByteArray> &txt)
{
    QDBusMessage reply = bus.call(Avahi::call("/", Avahi::Server, "EntryGroupNew"));
    const QString group = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (group.isEmpty())
        return {};
    reply = bus.call(Avahi::call(group, Avahi::EntryGroup, "AddService",
        {Avahi::IfUnspec, Avahi::ProtoUnspec, 0u, instance, Avahi::ServiceType, QString(), QString(),
         QVariant::fromValue(quint16(7772)), QVariant::fromValue(txt)}));
    if (reply.type() == QDBusMessage::ErrorMessage)
        qWarning() << reply.errorMessage();
    bus.call(Avahi::call(group, Avahi::EntryGroup, "Commit"));
    return group;
}

}

class LanTablesTest : public QObject {
    Q_OBJECT
    QDBusConnection m_a{QStringLiteral("none")};
    QDBusConnection m_b{QStringLiteral("none")};
    QString m_addressA;
    QList<QProcess *> m_daemons;  // daemons this test restarted

private Q_SLOTS:
    void cleanupTestCase()
    {
        for (QProcess *daemon : std::as_const(m_daemons)) {
            daemon->terminate();
            daemon->waitForFinished(5000);
        }
    }

    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("LEXI_BUS_A"))
            QSKIP("run by tests/lobby/lantables.sh, which makes the namespaces and daemons");
        qDBusRegisterMetaType<QList<QByteArray>>();
        m_a = bus("LEXI_BUS_A", "a");
        m_b = bus("LEXI_BUS_B", "b");
        QVERIFY(m_a.isConnected());
        QVERIFY(m_b.isConnected());
        m_addressA = qEnvironmentVariable("LEXI_ADDRESS_A");
    }

    /// A table announced on one machine is listed on the other, with its host's name, machine,
    /// address, port and version, and is gone within 2 s of its withdrawal.
    void foundThenLost_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "Ann";
        QTest::newRow("latin-1") << QString::fromLatin1("Zo\xEB \xC5sa-\xDF");
        QTest::newRow("twenty characters") << "Abcdefghijklmnopqrst";
        QTest::newRow("at sign and dots") << "a@b.c";
    }
    void foundThenLost()
    {
        QFETCH(QString, name);
        TableBrowser browser(m_b);
        browser.start();
        TableAnnouncer announcer(m_a);
        QSignalSpy published(&announcer, &TableAnnouncer::published);
        QSignalSpy problems(&announcer, &TableAnnouncer::problem);
        announcer.publish(name);
        const std::optional<LanTable> table = waitForName(browser, name, 10000);
        QVERIFY2(table, qPrintable(problems.value(0).value(0).toString()));
        QCOMPARE(table->address, m_addressA);
        QCOMPARE(table->machine, QStringLiteral("lexi-a.local"));
        QCOMPARE(table->port, quint16(7772));
        QCOMPARE(table->version, QStringLiteral("1.0.6"));
        QTRY_VERIFY(announcer.isPublished());
        QSignalSpy lost(&browser, &TableBrowser::tableLost);
        announcer.withdraw();
        QVERIFY(lost.wait(2000));
        QCOMPARE(lost.value(0).value(0).toString(), table->key);
        QVERIFY(browser.tables().isEmpty());
    }

    /// Ten rounds of announce and withdraw; prints the medians the lobby's users would feel.
    void timings()
    {
        TableBrowser browser(m_b);
        browser.start();
        QList<qint64> toFound, toLost;
        for (int i = 0; i < 10; ++i) {
            TableAnnouncer announcer(m_a);
            QSignalSpy found(&browser, &TableBrowser::tableFound);
            QSignalSpy lost(&browser, &TableBrowser::tableLost);
            QElapsedTimer t;
            t.start();
            announcer.publish(QStringLiteral("Round %1").arg(i));
            QVERIFY(found.wait(10000));
            toFound.append(t.elapsed());
            QTRY_VERIFY(announcer.isPublished());
            t.restart();
            announcer.withdraw();
            QVERIFY(lost.wait(2000));
            toLost.append(t.elapsed());
        }
        qInfo("publish to found: median %lld ms of %s", median(toFound),
              qPrintable(QString::number(toFound.size())));
        qInfo("withdraw to lost: median %lld ms (each at most 2000)", median(toLost));
        QVERIFY(*std::max_element(toLost.begin(), toLost.end()) < 2000);
    }

    /// Two tables under one name: the second announcer takes the daemon's alternative instance
    /// name, and both are listed under the player's own name.
    void sameNameTwice()
    {
        TableBrowser browser(m_b);
        browser.start();
        TableAnnouncer first(m_a), second(m_b);
        QSignalSpy firstUp(&first, &TableAnnouncer::published);
        QSignalSpy secondUp(&second, &TableAnnouncer::published);
        first.publish("Twin");
        QVERIFY(firstUp.wait(10000));
        second.publish("Twin");
        QVERIFY(secondUp.count() || secondUp.wait(10000));
        QTRY_COMPARE_WITH_TIMEOUT(browser.tables().size(), 2, 10000);
        for (const LanTable &t : browser.tables())
            QCOMPARE(t.playerName, QStringLiteral("Twin"));
    }

    /// Announcements from any program are untrusted: control and format characters are
    /// dropped, texts capped, and a missing TXT name falls back to the instance name.
    void hostileAnnouncements_data()
    {
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QList<QByteArray>>("txt");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("version");
        QTest::newRow("control characters")
            << "ctl" << QList<QByteArray>{"name=Ev\x01il\x1b[2J\x7fOne", "version=1.0.6\n"}
            << "Evil[2JOne" << "1.0.6";
        QTest::newRow("bidi override")
            << "bidi" << QList<QByteArray>{"name=\xE2\x80\xAEtxt.exe", "version=1"} << "txt.exe" << "1";
        QTest::newRow("overlong")
            << "long" << QList<QByteArray>{"name=" + QByteArray(250, 'x'), "version=" + QByteArray(200, '9')}
            << QString(20, 'x') << QString(16, '9');
        QTest::newRow("no name, upper-case key")
            << "Instance Name" << QList<QByteArray>{"VERSION=2.0"} << "Instance Name" << "2.0";
        QTest::newRow("invalid utf-8")
            << "utf" << QList<QByteArray>{"name=A\xff\xfe" "B"} << QString::fromUtf8("A\xEF\xBF\xBD\xEF\xBF\xBD" "B")
            << "";
    }
    void hostileAnnouncements()
    {
        QFETCH(QString, instance);
        QFETCH(QList<QByteArray>, txt);
        QFETCH(QString, name);
        QFETCH(QString, version);
        TableBrowser browser(m_b);
        browser.start();
        const QString group = publishRaw(m_a, instance, txt);
        QVERIFY(!group.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(browser.tables().size(), 1, 10000);
        const LanTable table = browser.tables().constFirst();
        m_a.call(Avahi::call(group, Avahi::EntryGroup, "Free"));
        QCOMPARE(table.playerName, name);
        QCOMPARE(table.version, version);
        QTRY_VERIFY_WITH_TIMEOUT(browser.tables().isEmpty(), 2000);
    }

    /// A flood of announcements lists at most 200 tables.
    void flood()
    {
        TableBrowser browser(m_b);
        browser.start();
        QStringList groups;
        for (int i = 0; i < 230; ++i)
            groups << publishRaw(m_a, QStringLiteral("flood %1").arg(i), {"name=F"});
        QTRY_COMPARE_WITH_TIMEOUT(browser.tables().size(), TableBrowser::MaxTables, 60000);
        QTest::qWait(500);
        QCOMPARE(browser.tables().size(), TableBrowser::MaxTables);
        for (const QString &g : std::as_const(groups))
            m_a.call(Avahi::call(g, Avahi::EntryGroup, "Free"));
        QTRY_VERIFY_WITH_TIMEOUT(browser.tables().isEmpty(), 10000);
    }

    /// A bus without the daemon: one line saying why, for both browsing and announcing.
    void withoutDaemon_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("why");
        QTest::newRow("bus, no avahi-daemon") << qEnvironmentVariable("LEXI_BUS_C")
                                              << "the Avahi daemon is not running.";
        QTest::newRow("no bus") << "unix:path=/nonexistent/lexitangle/bus"
                                << "the system message bus (D-Bus) is not running.";
    }
    void withoutDaemon()
    {
        QFETCH(QString, address);
        QFETCH(QString, why);
        const QDBusConnection c = QDBusConnection::connectToBus(address, QTest::currentDataTag());
        TableBrowser browser(c);
        QSignalSpy unavailable(&browser, &TableBrowser::unavailable);
        browser.start();
        QVERIFY(unavailable.count() || unavailable.wait(5000));
        QCOMPARE(unavailable.value(0).value(0).toString(),
                 "Tables on this network cannot be found: " + why);
        TableAnnouncer announcer(c);
        QSignalSpy problem(&announcer, &TableAnnouncer::problem);
        announcer.publish("Ann");
        QVERIFY(problem.count() || problem.wait(5000));
        QCOMPARE(problem.value(0).value(0).toString(),
                 "This table cannot be announced on the network: " + why);
        QVERIFY(!announcer.isPublished());
    }

    /// The daemon stops and comes back (an update, a restart). On the announcing machine the
    /// table is announced again; on the browsing machine the list says why it emptied, and
    /// fills again once the daemon is back.
    void daemonRestarts_data()
    {
        QTest::addColumn<QString>("machine");
        QTest::newRow("announcing machine") << "a";
        QTest::newRow("browsing machine") << "b";
    }
    void daemonRestarts()
    {
        QFETCH(QString, machine);
        const QString dir = qEnvironmentVariable("LEXI_NS_DIR") + "/" + machine;
        QFile pidFile(dir + "/avahi.pid");
        QVERIFY(pidFile.open(QIODevice::ReadWrite));
        const pid_t daemon = pid_t(pidFile.readAll().trimmed().toLongLong());
        QVERIFY(daemon > 0);
        TableBrowser browser(m_b);
        QSignalSpy unavailable(&browser, &TableBrowser::unavailable);
        browser.start();
        TableAnnouncer announcer(m_a);
        announcer.publish("Phoenix");
        QVERIFY(waitForName(browser, "Phoenix", 10000));

        QSignalSpy lost(&browser, &TableBrowser::tableLost);
        QCOMPARE(::kill(daemon, SIGTERM), 0);
        QVERIFY(lost.count() || lost.wait(5000));
        if (machine == "b")
            QTRY_COMPARE(unavailable.value(0).value(0).toString(),
                         QStringLiteral("Tables on this network cannot be found: the Avahi daemon stopped."));
        // Started again inside its machine, and kept for the rows after this one; it ends with
        // this test object (and netns.sh ends whatever is left in its machines).
        auto *avahi = new QProcess(this);
        m_daemons.append(avahi);
        const QString ns = qEnvironmentVariable(machine == "a" ? "LEXI_NS_A" : "LEXI_NS_B");
        avahi->setStandardOutputFile(QProcess::nullDevice());
        avahi->setStandardErrorFile(QProcess::nullDevice());
        avahi->start("nsenter", {"-t", ns, "-n", "-m", "avahi-daemon", "-f", dir + "/avahi-daemon.conf",
                                 "--no-drop-root", "--no-chroot", "--no-rlimits"});
        QVERIFY(avahi->waitForStarted());
        pidFile.resize(0);
        pidFile.write(QByteArray::number(avahi->processId()));
        pidFile.close();
        QVERIFY(waitForName(browser, "Phoenix", 15000));
    }
};

QTEST_GUILESS_MAIN(LanTablesTest)
#include "tst_lantables.moc"
