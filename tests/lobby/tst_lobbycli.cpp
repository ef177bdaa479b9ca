// The real lexitangle-lobby and game in the namespaces lobbycli.sh makes: `--host` on one
// machine is listed by `--list` on the other and gone within 2 s after its game ends; `--host
// --open-port` behind the router lets a peer on the internet side in, and leaves no mapping.
// This process starts each program inside a machine with nsenter and sends no packet itself.
#include "tablebrowser.h"

#include <QDBusConnection>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <filesystem>

namespace {

QString env(const char *name) { return qEnvironmentVariable(name); }

// Starts `arguments` inside the machine whose namespaces process `nsPid` holds, with a home,
// runtime and configuration folder of that machine's own and no display.
void startIn(QProcess &p, const QString &machine, const QString &nsPid, const QStringList &arguments)
{
    const QString dir = env("LEXI_NS_DIR") + "/" + machine + "/home";
    for (const char *sub : {"", "/run", "/cfg", "/tmp"})
        QDir().mkpath(dir + sub);
    QFile::setPermissions(dir + "/run", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QStringList command{"-t", nsPid, "-n", "-m", "env", "HOME=" + dir, "XDG_RUNTIME_DIR=" + dir + "/run",
                        "XDG_CONFIG_HOME=" + dir + "/cfg", "TMPDIR=" + dir + "/tmp", "QT_QPA_PLATFORM=offscreen"};
    p.start("nsenter", command + arguments);
}

QByteArray runIn(const QString &machine, const QString &nsPid, const QStringList &arguments, int *exitCode)
{
    QProcess p;
    startIn(p, machine, nsPid, arguments);
    p.waitForFinished(30000);
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAllStandardOutput();
}

// The game running inside the machine of `nsPid`: the lobby starts it detached, so it is found
// by its program and its network namespace rather than as a child.
QList<qint64> gamesIn(const QString &nsPid, const QString &gameProgram)
{
    // The links' own text ("net:[4026531840]"), which QFileInfo would turn into a path.
    const auto link = [](const QString &path) {
        std::error_code error;
        return QString::fromStdString(std::filesystem::read_symlink(path.toStdString(), error).string());
    };
    QList<qint64> games;
    const QString net = link(QStringLiteral("/proc/%1/ns/net").arg(nsPid));
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number && link(proc.filePath(entry + "/exe")) == gameProgram
            && link(proc.filePath(entry + "/ns/net")) == net)
            games.append(pid);
    }
    return games;
}

// Ends the game as its player would (the game closes on SIGTERM) and returns once its process
// is gone, which closes its presence connection; the lobby ends then too.
bool endGame(const QString &nsPid, const QString &gameProgram)
{
    const QList<qint64> games = gamesIn(nsPid, gameProgram);
    if (games.isEmpty())
        return false;
    for (qint64 game : games)
        ::kill(pid_t(game), SIGTERM);
    QElapsedTimer t;
    t.start();
    while (!gamesIn(nsPid, gameProgram).isEmpty()) {
        if (t.elapsed() > 15000)
            return false;
        QTest::qWait(5);
    }
    return true;
}

// waitForFinished() is false for a process already seen to finish by the event loop.
bool finished(QProcess &p)
{
    return p.state() == QProcess::NotRunning || p.waitForFinished(15000);
}

bool routerForwards(quint16 port)
{
    QProcess p;
    p.start("nsenter", {"-t", env("LEXI_ROUTER_NS"), "-n", "nft", "list", "chain", "inet", "filter",
                        "prerouting_miniupnpd"});
    p.waitForFinished(10000);
    return p.readAllStandardOutput().contains("dport " + QByteArray::number(port) + " ");
}

qint64 median(QList<qint64> v)
{
    std::sort(v.begin(), v.end());
    return v.at(v.size() / 2);
}

}

class LobbyCliTest : public QObject {
    Q_OBJECT
    QDBusConnection m_busB{QStringLiteral("none")};
    QString m_lobby;
    QString m_game;

    // Hosts `name` on machine a and returns once machine b lists it; *elapsed: from the start.
    bool hostOnA(QProcess &lobby, TableBrowser &browser, const QString &name, qint64 *elapsed)
    {
        QSignalSpy found(&browser, &TableBrowser::tableFound);
        QElapsedTimer t;
        t.start();
        startIn(lobby, "a", env("LEXI_NS_A"), {m_lobby, "--host", name});
        while (t.elapsed() < 30000) {
            for (const LanTable &table : browser.tables())
                if (table.playerName == name) {
                    *elapsed = t.elapsed();
                    return true;
                }
            found.wait(100);
        }
        qWarning() << lobby.readAllStandardOutput() << lobby.readAllStandardError();
        return false;
    }

    // Ends a's game and returns once b no longer lists it; *elapsed: from the game's end.
    bool endOnA(QProcess &lobby, TableBrowser &browser, qint64 *elapsed)
    {
        QSignalSpy lost(&browser, &TableBrowser::tableLost);
        if (!endGame(env("LEXI_NS_A"), m_game))
            return false;
        QElapsedTimer t;
        t.start();
        while (!browser.tables().isEmpty() && t.elapsed() < 5000)
            lost.wait(50);
        *elapsed = t.elapsed();
        return browser.tables().isEmpty() && finished(lobby);
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (env("LEXI_NS_A").isEmpty())
            QSKIP("run by tests/lobby/lobbycli.sh, which makes the namespaces and daemons");
        m_busB = QDBusConnection::connectToBus(env("LEXI_BUS_B"), "b");
        QVERIFY(m_busB.isConnected());
        m_lobby = QFileInfo(env("LEXI_LOBBY")).absoluteFilePath();
        m_game = QFileInfo(m_lobby).dir().filePath("lexitangle");
    }

    /// `--list` on b prints a's table as name, address and port, tab-separated, and exits 0;
    /// once the game on a ends, the table is gone within 2 s and `--list` exits 1.
    void listSeesHost()
    {
        TableBrowser browser(m_busB);
        browser.start();
        QProcess host;
        qint64 ms = 0;
        QVERIFY(hostOnA(host, browser, "Ann", &ms));
        int code = -1;
        const QByteArray listed = runIn("b", env("LEXI_NS_B"), {m_lobby, "--list", "3"}, &code);
        QCOMPARE(code, 0);
        QCOMPARE(listed, QByteArray("Ann\t10.77.0.1\t7772\n"));
        QVERIFY(endOnA(host, browser, &ms));
        QVERIFY2(ms < 2000, qPrintable(QString::number(ms)));
        QCOMPARE(host.exitCode(), 0);
        QCOMPARE(runIn("b", env("LEXI_NS_B"), {m_lobby, "--list", "2"}, &code), QByteArray());
        QCOMPARE(code, 1);
    }

    /// Ten tables started and ended: the medians of start-to-row and end-to-removal.
    void timings()
    {
        TableBrowser browser(m_busB);
        browser.start();
        QList<qint64> toRow, toRemoval;
        for (int i = 0; i < 10; ++i) {
            QProcess host;
            qint64 up = 0, down = 0;
            QVERIFY(hostOnA(host, browser, QStringLiteral("Host %1").arg(i), &up));
            QVERIFY(endOnA(host, browser, &down));
            toRow.append(up);
            toRemoval.append(down);
        }
        qInfo("table start to row: median %lld ms (%s)", median(toRow),
              qPrintable(QString::number(*std::max_element(toRow.begin(), toRow.end())) + " at most"));
        qInfo("game end to row removed: median %lld ms (%s)", median(toRemoval),
              qPrintable(QString::number(*std::max_element(toRemoval.begin(), toRemoval.end())) + " at most"));
        QVERIFY(*std::max_element(toRemoval.begin(), toRemoval.end()) < 2000);
    }

    /// `--host --open-port` at home: a peer on the internet side connects to the router's
    /// external address and is greeted by the game; after the game the router forwards nothing.
    void openPortBehindRouter()
    {
        QProcess host;
        startIn(host, "home", env("LEXI_NS_HOME"), {m_lobby, "--host", "Bob", "--open-port"});
        QByteArray said;
        QElapsedTimer t;
        t.start();
        while (!said.contains(env("LEXI_EXTERNAL_ADDRESS").toLatin1()) && t.elapsed() < 30000) {
            host.waitForReadyRead(200);
            said += host.readAllStandardOutput();
        }
        QVERIFY2(said.contains("The router lets players from the internet in at:"),
                 (said + host.readAllStandardError()).constData());
        QVERIFY(said.contains("lexitangle://" + env("LEXI_EXTERNAL_ADDRESS").toLatin1()));
        QVERIFY(routerForwards(7772));

        QProcess peer;
        peer.start("nsenter", {"-t", env("LEXI_INTERNET_NS"), "-n", "bash", "-c",
                               "exec 3<>/dev/tcp/" + env("LEXI_EXTERNAL_ADDRESS") + "/7772 && timeout 5 head -c 17 <&3"});
        QVERIFY(peer.waitForFinished(10000));
        QCOMPARE(peer.readAllStandardOutput(), QByteArray("CMD_sendlogininfo"));

        QVERIFY(endGame(env("LEXI_NS_HOME"), m_game));
        QVERIFY(finished(host));
        QCOMPARE(host.exitCode(), 0);
        QVERIFY(!routerForwards(7772));
        QFile leases(env("LEXI_LEASES"));
        QVERIFY(leases.open(QIODevice::ReadOnly));
        QVERIFY(!leases.readAll().contains("TCP:7772:"));
    }
};

QTEST_GUILESS_MAIN(LobbyCliTest)
#include "tst_lobbycli.moc"
