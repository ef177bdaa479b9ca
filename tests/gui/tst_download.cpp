#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include "client/desktoplobbylauncher.h"
#include "fulldisk.h"
#include "dialogs/tdownload.h"
#include "words/notifier.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

class RecordingNotifier : public Notifier {
public:
    void showMessage(const QString &text) override { messages.append(text); }
    bool confirm(const QString &) override { return false; }
    QStringList messages;
};

class FakeLauncher : public LobbyLauncher {
public:
    bool startInstaller(const QString &path) override
    {
        installers.append(path);
        return installerStarts;
    }
    bool startLobby() override
    {
        ++lobbyStarts;
        return lobbyInstalled;
    }
    QStringList installers;
    int lobbyStarts = 0;
    bool installerStarts = true;
    bool lobbyInstalled = false;
};

// An HTTP server on loopback that gives every connection the same `answer` once its request
// has arrived; with `hold` it keeps the connection open afterwards instead of closing it.
class TinyHttpServer : public QObject {
public:
    TinyHttpServer(QByteArray answer, bool hold)
        : m_answer(std::move(answer))
        , m_hold(hold)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *client = m_server.nextPendingConnection()) {
                auto received = std::make_shared<QByteArray>();
                connect(client, &QTcpSocket::readyRead, this, [this, client, received] {
                    const bool complete = received->contains("\r\n\r\n");
                    *received += client->readAll();
                    if (complete || !received->contains("\r\n\r\n"))
                        return;
                    request = *received;
                    ++answered;
                    client->write(m_answer);
                    if (!m_hold)
                        client->disconnectFromHost();
                });
            }
        });
    }
    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/lobby/oslsetup.exe").arg(m_server.serverPort()));
    }
    // The last request read, and how many were answered.
    QByteArray request;
    int answered = 0;

private:
    QTcpServer m_server;
    QByteArray m_answer;
    bool m_hold;
};

QByteArray body(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 7 + 3);
    return data;
}

// Status line, four header lines, blank line.
QByteArray okHeaders(int length)
{
    return "HTTP/1.0 200 OK\r\nServer: tiny\r\nContent-Type: application/octet-stream\r\n"
           "Content-Length: " + QByteArray::number(length) + "\r\nX-Test: 1\r\n\r\n";
}

} // namespace

class TestDownload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_notifier = RecordingNotifier();
        m_launcher = FakeLauncher();
        m_exits = 0;
    }

    // --- the texts of a transfer ---

    // The whole body arrives: the file holds it, the count is shown, the installer is started
    // from the download folder and the program is asked to end.
    void completedDownloadStartsInstaller()
    {
        const QByteArray payload = body(1200);
        TinyHttpServer server(okHeaders(1200) + payload, false);
        auto window = makeWindow(server.url());
        button("getbutton")->click();
        QCOMPARE(label("infolabel2"), QStringLiteral("oslsetup.exe"));
        QTRY_COMPARE(label("infolabel"), QStringLiteral("Received 1200 bytes"));
        QCOMPARE(window->state(), int(Tdownload::Running));
        QCOMPARE(label("infolabel3"), QStringLiteral("Installing"));
        const QString path = QDir(m_dir->path()).filePath(QStringLiteral("oslsetup.exe"));
        QCOMPARE(m_launcher.installers, QStringList{path});
        QCOMPARE(m_exits, 1);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), payload);
        QVERIFY(button("getbutton")->isEnabled());
        QVERIFY(!button("abortbutton")->isEnabled());
    }

    // The request is HTTP/1.0 with the path, the old browser's user agent and the accept
    // list, and nothing else a newer client would add (compression, language, keep-alive).
    void requestHeaders()
    {
        TinyHttpServer server(okHeaders(3) + "abc", false);
        auto window = makeWindow(server.url());
        button("getbutton")->click();
        QTRY_VERIFY(server.answered > 0);
        QCOMPARE(server.request, "GET /lobby/oslsetup.exe HTTP/1.0\r\nHost: 127.0.0.1:"
                                     + QByteArray::number(server.url().port())
                                     + "\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"
                                       "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n\r\n");
    }

    // A moved installer is fetched from where the answer points, once.
    void redirectFollowed()
    {
        TinyHttpServer target(okHeaders(4) + "data", false);
        TinyHttpServer moved("HTTP/1.0 302 Found\r\nLocation: " + target.url().toEncoded()
                                 + "\r\nContent-Length: 0\r\n\r\n",
                             false);
        auto window = makeWindow(moved.url());
        button("getbutton")->click();
        QTRY_COMPARE(label("infolabel"), QStringLiteral("Received 4 bytes"));
        QCOMPARE(target.answered, 1);
        QCOMPARE(m_launcher.installers.size(), 1);
    }

    // Each header line adds a dot after "Loading" and the body's start is announced; then
    // Stop Download ends it with both status lines and nothing is started.
    void headerDotsThenAbort()
    {
        TinyHttpServer server(okHeaders(5000), true);
        auto window = makeWindow(server.url());
        button("getbutton")->click();
        QVERIFY(!button("getbutton")->isEnabled());
        QVERIFY(button("abortbutton")->isEnabled());
        QTRY_COMPARE(label("infolabel"), QStringLiteral("Loading...."));
        QCOMPARE(window->state(), int(Tdownload::Running));

        button("abortbutton")->click();
        QCOMPARE(label("infolabel"), QStringLiteral("Download has been aborted."));
        QCOMPARE(label("infolabel3"), QStringLiteral("Download Aborted"));
        QCOMPARE(window->state(), int(Tdownload::Aborted));
        QTRY_VERIFY(button("getbutton")->isEnabled());
        QCoreApplication::processEvents();
        QCOMPARE(label("infolabel"), QStringLiteral("Download has been aborted."));
        QVERIFY(m_launcher.installers.isEmpty());
        QCOMPARE(m_exits, 0);
        // As a failed download does, the abort leaves what was written (here: nothing yet).
        QFile left(QDir(m_dir->path()).filePath(QStringLiteral("oslsetup.exe")));
        QVERIFY(left.open(QIODevice::ReadOnly));
        QCOMPARE(left.size(), 0);
    }

    // The running count replaces the dots once the body flows.
    void bodyCountShownWhileLoading()
    {
        TinyHttpServer server(okHeaders(5000) + body(700), true);
        auto window = makeWindow(server.url());
        button("getbutton")->click();
        QTRY_COMPARE(label("infolabel"), QStringLiteral("700 bytes"));
        QCOMPARE(label("infolabel3"), QStringLiteral("Downloading: oslsetup.exe"));
        button("abortbutton")->click();
    }

    void failure_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QByteArray>("earlier"); // a file from an earlier download, or none
        QTest::addColumn<QByteArray>("left");    // the file afterwards
        const QByteArray none;
        QTest::newRow("not found")
            << QByteArray("HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found") << none << none;
        QTest::newRow("cut short") << okHeaders(1200) + body(500) << none << body(500);
        QTest::newRow("cut short over an earlier download")
            << okHeaders(1200) + body(500) << QByteArray("earlier") << QByteArray("earlier");
        QTest::newRow("no answer") << QByteArray() << none << none;
        QTest::newRow("garbage") << QByteArray("this is not http\r\n\r\n") << none << none;
        QTest::newRow("chunked") << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                                               "5\r\nhello\r\n0\r\n\r\n")
                                 << QByteArray("earlier") << QByteArray("earlier");
    }
    // Any failure: "Download Aborted", state 2, no installer. What arrived stays in the file,
    // but never in place of an earlier download.
    void failure()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, earlier);
        QFETCH(QByteArray, left);
        QFile file(QDir(m_dir->path()).filePath(QStringLiteral("oslsetup.exe")));
        if (!earlier.isNull()) {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(earlier);
            file.close();
        }
        TinyHttpServer server(answer, false);
        auto window = makeWindow(server.url());
        button("getbutton")->click();
        QTRY_VERIFY(button("getbutton")->isEnabled());
        QCOMPARE(label("infolabel"), QStringLiteral("Download Aborted"));
        QCOMPARE(window->state(), int(Tdownload::Aborted));
        QVERIFY(m_launcher.installers.isEmpty());
        QCOMPARE(m_exits, 0);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), left);
    }

    // Nobody listening at all.
    void refusedConnection()
    {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        auto window = makeWindow(QUrl(QStringLiteral("http://127.0.0.1:%1/lobby/oslsetup.exe").arg(port)));
        button("getbutton")->click();
        QTRY_COMPARE(label("infolabel"), QStringLiteral("Download Aborted"));
        QCOMPARE(window->state(), int(Tdownload::Aborted));
    }

    // A download folder that cannot be written: refused before anything is fetched.
    void unwritableFolder()
    {
        auto window = makeWindow(QUrl(QStringLiteral("http://127.0.0.1:1/lobby/oslsetup.exe")),
                                 m_dir->filePath(QStringLiteral("missing")));
        button("getbutton")->click();
        QCOMPARE(label("infolabel"), QStringLiteral("Download Aborted"));
        QCOMPARE(window->state(), int(Tdownload::Aborted));
        QVERIFY(button("getbutton")->isEnabled());
    }

    // A full disk: the whole body arrives but cannot be stored. Nothing is started, an installer
    // already there stays as it was, and the second status line says why.
    void fullDisk()
    {
        FullDisk disk;
        if (!disk.mounted())
            QSKIP(disk.skipReason());
        const QString path = disk.filePath(QStringLiteral("oslsetup.exe"));
        {
            QFile old(path);
            QVERIFY(old.open(QIODevice::WriteOnly));
            QCOMPARE(old.write("old installer"), 13);
        }
        QVERIFY(disk.fill());
        TinyHttpServer server(okHeaders(1200) + body(1200), false);
        auto window = makeWindow(server.url(), disk.folder());
        button("getbutton")->click();
        QTRY_VERIFY(button("getbutton")->isEnabled());
        QCOMPARE(label("infolabel"), QStringLiteral("Download Aborted"));
        QCOMPARE(label("infolabel3"), QStringLiteral("Could not save oslsetup.exe: ")
                                          + QString::fromLocal8Bit(std::strerror(ENOSPC)));
        QCOMPARE(window->state(), int(Tdownload::Aborted));
        QVERIFY(m_launcher.installers.isEmpty());
        QCOMPARE(m_exits, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old installer"));
        QCOMPARE(disk.entries(), QStringList{QStringLiteral("oslsetup.exe")});
    }

    // The installer refuses to start: a message, and the program goes on.
    void installerRefused()
    {
        m_launcher.installerStarts = false;
        TinyHttpServer server(okHeaders(10) + body(10), false);
        auto window = makeWindow(server.url());
        button("getbutton")->click();
        QTRY_COMPARE(m_launcher.installers.size(), 1);
        QCOMPARE(m_notifier.messages, QStringList{QStringLiteral("An Error has Occurred.")});
        QCOMPARE(m_exits, 0);
    }

    // --- play with others ---

    void playWithOthers_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("lobby installed") << true;
        QTest::newRow("no lobby") << false;
    }
    void playWithOthers()
    {
        QFETCH(bool, installed);
        m_launcher.lobbyInstalled = installed;
        auto window = makeWindow(QUrl(QStringLiteral("http://127.0.0.1:1/x")));
        button("Button2")->click();
        QCOMPARE(m_launcher.lobbyStarts, 1);
        QCOMPARE(m_exits, installed ? 1 : 0);
        QCOMPARE(m_notifier.messages,
                 installed ? QStringList()
                           : QStringList{QStringLiteral("Please close the game and open the Orvo22 Lobby using "
                                                        "the icon on your desktop or using the your Window's "
                                                        "start-up menu.")});
    }

    void lobbyCommand_data()
    {
        // Files made under a fresh HOME; "!" makes one that is not executable. The game lives in
        // game/, PATH is bin/.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("found");
        const QString old = QStringLiteral(".local/share/Orvo22/Orvo22Lobby");
        QTest::newRow("none") << QStringList() << QString();
        QTest::newRow("old lobby, not executable") << QStringList{'!' + old} << QString();
        QTest::newRow("old lobby") << QStringList{old} << old;
        QTest::newRow("our lobby on PATH before the old one") << QStringList{"bin/lexitangle-lobby", old}
                                                             << "bin/lexitangle-lobby";
        QTest::newRow("our lobby beside the game first") << QStringList{"game/lexitangle-lobby", "bin/lexitangle-lobby"}
                                                         << "game/lexitangle-lobby";
        QTest::newRow("beside the game, not executable") << QStringList{"!game/lexitangle-lobby", "bin/lexitangle-lobby"}
                                                         << "bin/lexitangle-lobby";
    }
    // Where the lobby is looked for.
    void lobbyCommand()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, found);
        const QDir home(m_dir->path());
        for (const QString &entry : {QStringLiteral("game"), QStringLiteral("bin")})
            home.mkpath(entry);
        for (QString name : files) {
            const bool executable = !name.startsWith(u'!');
            name.remove(u'!');
            home.mkpath(QFileInfo(home.filePath(name)).path());
            QFile file(home.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.close();
            if (executable)
                file.setPermissions(file.permissions() | QFile::ExeOwner);
        }
        const QByteArray oldHome = qgetenv("HOME");
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("PATH", QFile::encodeName(home.filePath(QStringLiteral("bin"))));
        const QStringList command = DesktopLobbyLauncher::lobbyCommand(home.filePath(QStringLiteral("game")));
        qputenv("HOME", oldHome);
        qputenv("PATH", oldPath);
        QCOMPARE(command, found.isEmpty() ? QStringList() : QStringList{home.filePath(found)});
    }

    // --- the window ---

    void windowLook()
    {
        auto window = makeWindow(QUrl(QStringLiteral("http://127.0.0.1:1/lobby/oslsetup.exe")));
        QCOMPARE(window->windowTitle(), QStringLiteral("Download The Orvo22 Lobby"));
        QCOMPARE(window->size(), QSize(724, 500));
        QVERIFY(window->windowFlags() & Qt::WindowStaysOnTopHint);
        // The picture is a JPEG: this fails without the image plugin or the resource.
        auto *picture = window->findChild<QLabel *>(QStringLiteral("image_lobby"));
        QVERIFY(picture);
        QCOMPARE(picture->pixmap().size(), QSize(440, 220));
        // Screens above 100 % get it drawn at twice the size.
        QCOMPARE(QPixmap(QStringLiteral(":/art/lobby@2x.jpg")).size(), QSize(880, 440));
        auto *fileName = window->findChild<QLabel *>(QStringLiteral("infolabel2"));
        QVERIFY(fileName);
        QVERIFY(!fileName->isVisibleTo(window.get()));
    }

    // The default address is the maker's server with the installer's path.
    void defaultAddress()
    {
        QCOMPARE(QUrl(QString::fromLatin1(Tdownload::DefaultAddress)).path(),
                 QStringLiteral("/lobby/oslsetup.exe"));
    }

private:
    std::unique_ptr<Tdownload> makeWindow(const QUrl &url, const QString &folder = {})
    {
        auto window = std::make_unique<Tdownload>(folder.isEmpty() ? m_dir->path() : folder,
                                                  &m_notifier, &m_launcher,
                                                  [this] { ++m_exits; }, url);
        m_window = window.get();
        return window;
    }
    QPushButton *button(const char *name) const
    {
        return m_window ? m_window->findChild<QPushButton *>(QLatin1String(name)) : nullptr;
    }
    QString label(const char *name) const
    {
        QLabel *found = m_window ? m_window->findChild<QLabel *>(QLatin1String(name)) : nullptr;
        return found ? found->text() : QStringLiteral("<missing>");
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingNotifier m_notifier;
    FakeLauncher m_launcher;
    int m_exits = 0;
    QPointer<Tdownload> m_window;
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
