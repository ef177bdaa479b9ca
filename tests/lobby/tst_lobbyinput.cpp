#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "lobby/invitelink.h"
#include "lobby/lobbycommand.h"
#include "lobby/lobbysettings.h"
#include "lobby/playername.h"
#include "words/inieditor.h"

namespace {

const QString Refused = QStringLiteral("This invite link cannot be used. ");

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

// What a player gives the lobby -- links, typed addresses, names, the command line -- and the
// [Lobby] section it keeps.
class TestLobbyInput : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inviteLinks_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("problem");
        auto good = [](const char *row, const QString &link, const QString &address) {
            QTest::newRow(row) << link << address << QString();
        };
        auto bad = [](const char *row, const QString &link, const QString &why) {
            QTest::newRow(row) << link << QString() << Refused + why;
        };
        good("IPv4", "lexitangle://192.168.1.20", "192.168.1.20");
        good("IPv4 with the game's port", "lexitangle://192.168.1.20:7772", "192.168.1.20");
        good("IPv6 in brackets", "lexitangle://[2001:db8::1]", "2001:db8::1");
        good("IPv6 with the game's port", "lexitangle://[fe80::1]:7772", "fe80::1");
        good("host name", "lexitangle://ann-pc.local", "ann-pc.local");
        good("scheme in capitals", "LEXITANGLE://ann-pc", "ann-pc");
        good("a lone slash added by a browser", "lexitangle://10.0.0.5/", "10.0.0.5");
        good("blanks around a pasted link", "  lexitangle://10.0.0.5 \n", "10.0.0.5");

        bad("another port", "lexitangle://10.0.0.5:8080", "Lexitangle always uses port 7772, not \"8080\".");
        bad("empty port", "lexitangle://10.0.0.5:", "The port number is missing after \":\".");
        bad("port of an IPv6 address", "lexitangle://[::1]:80", "Lexitangle always uses port 7772, not \"80\".");
        bad("overlong", "lexitangle://" + QString(400, u'a'), "It is too long.");
        bad("control character", "lexitangle://10.0.0.5\x01", "It contains control characters.");
        bad("line break inside", "lexitangle://10.0.\n0.5", "It contains control characters.");
        bad("escape sequence", "lexitangle://a\x1b[31m", "It contains control characters.");
        bad("another scheme", "http://10.0.0.5", "It does not begin with lexitangle://");
        bad("a scheme that only starts alike", "lexitangles://10.0.0.5", "It does not begin with lexitangle://");
        bad("no slashes", "lexitangle:10.0.0.5", "An invite link looks like lexitangle://192.168.1.20");
        bad("user information", "lexitangle://eve@10.0.0.5", "It carries a user name or password.");
        bad("user and password", "lexitangle://eve:pw@10.0.0.5", "It carries a user name or password.");
        bad("path", "lexitangle://10.0.0.5/x", "It has a path after the address.");
        bad("path climbing up", "lexitangle://10.0.0.5/../../etc/passwd", "It has a path after the address.");
        bad("query", "lexitangle://10.0.0.5?name=Eve", "It has a query (\"?\") after the address.");
        bad("query after a slash", "lexitangle://10.0.0.5/?x", "It has a query (\"?\") after the address.");
        bad("fragment", "lexitangle://10.0.0.5#top", "It has a fragment (\"#\") after the address.");
        bad("percent escapes", "lexitangle://10.0.0.5%20", "Its address contains \"%\".");
        bad("no address", "lexitangle://", "There is no address in it.");
        bad("IPv6 without brackets", "lexitangle://2001:db8::1",
            "An IPv6 address goes in brackets, like lexitangle://[2001:db8::1].");
        bad("not IPv6 in brackets", "lexitangle://[10.0.0.5]", "\"10.0.0.5\" in brackets is not an IPv6 address.");
        bad("open bracket", "lexitangle://[::1", "The \"]\" after the IPv6 address is missing.");
        bad("short IPv4 form", "lexitangle://127.1", "\"127.1\" is not an IPv4 address such as 192.168.1.20.");
        bad("IPv4 part over 255", "lexitangle://10.0.0.256", "\"10.0.0.256\" is not an IPv4 address such as 192.168.1.20.");
        bad("shell text", "lexitangle://$(reboot)", "\"$(reboot)\" is not an address or a host name.");
        bad("semicolon", "lexitangle://a;rm", "\"a;rm\" is not an address or a host name.");
        bad("option for the game", "lexitangle://-reverse", "\"-reverse\" is not an address or a host name.");
        bad("quote", "lexitangle://a\"b", "\"a\"b\" is not an address or a host name.");
        bad("non-ASCII host", "lexitangle://b\u00fccher.example", "\"b\u00fccher.example\" is not an address or a host name.");
        bad("label over 63", "lexitangle://" + QString(64, u'a'), "\"" + QString(64, u'a') + "\" is not an address or a host name.");
    }
    // A link gives the address the game is started with, or exactly one line saying why not.
    void inviteLinks()
    {
        QFETCH(QString, link);
        QFETCH(QString, address);
        QFETCH(QString, problem);
        const JoinTarget target = InviteLink::parse(link);
        QCOMPARE(target.address, address);
        QCOMPARE(target.problem, problem);
        QCOMPARE(target.isValid(), problem.isEmpty());
    }

    void typedAddresses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("problem");
        QTest::newRow("IPv4") << "192.0.2.7" << "192.0.2.7" << QString();
        QTest::newRow("IPv4 and port") << "192.0.2.7:7772" << "192.0.2.7" << QString();
        QTest::newRow("bare IPv6") << "2001:db8::7" << "2001:db8::7" << QString();
        QTest::newRow("bare IPv6 from a letter") << "fe80::7" << "fe80::7" << QString();
        QTest::newRow("bracketed IPv6") << "[::1]:7772" << "::1" << QString();
        QTest::newRow("host name") << "ann-pc" << "ann-pc" << QString();
        QTest::newRow("host and port") << "ann-pc:7772" << "ann-pc" << QString();
        QTest::newRow("a pasted link") << " lexitangle://ann-pc " << "ann-pc" << QString();
        QTest::newRow("empty") << "  " << QString() << "Please enter an address or an invite link.";
        QTest::newRow("other port") << "ann-pc:22" << QString() << "Lexitangle always uses port 7772, not \"22\".";
        QTest::newRow("web address") << "https://example.com/x" << QString()
                                     << Refused + "It does not begin with lexitangle://";
        QTest::newRow("overlong") << QString(301, u'a') << QString() << "This address is too long.";
        QTest::newRow("tab inside") << "ann\tpc" << QString() << "This address contains control characters.";
        QTest::newRow("blank inside") << "ann pc" << QString() << "\"ann pc\" is not an address or a host name.";
        QTest::newRow("name from a digit") << "3com" << QString()
                                           << "\"3com\" is not an IPv4 address such as 192.168.1.20.";
    }
    // "Join by address" takes a link or an address as a player would type or paste it.
    void typedAddresses()
    {
        QFETCH(QString, typed);
        QFETCH(QString, address);
        QFETCH(QString, problem);
        const JoinTarget target = InviteLink::parseTyped(typed);
        QCOMPARE(target.address, address);
        QCOMPARE(target.problem, problem);
    }

    void linkRoundTrip_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("link");
        QTest::newRow("IPv4") << "203.0.113.9" << "lexitangle://203.0.113.9";
        QTest::newRow("IPv6") << "2001:db8::9" << "lexitangle://[2001:db8::9]";
        QTest::newRow("host") << "ann-pc.lan" << "lexitangle://ann-pc.lan";
    }
    // The link the lobby hands out leads back to the same address.
    void linkRoundTrip()
    {
        QFETCH(QString, address);
        QFETCH(QString, link);
        QCOMPARE(InviteLink::forAddress(address), link);
        QCOMPARE(InviteLink::parse(link).address, address);
    }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem");
        QTest::newRow("plain") << "Ann" << QString();
        QTest::newRow("Latin-1 letters and blanks") << QString::fromUtf8("Zo\u00eb M\u00fcller") << QString();
        QTest::newRow("20 characters") << QString(20, u'x') << QString();
        QTest::newRow("empty") << QString() << "Please enter your name.";
        QTest::newRow("21 characters") << QString(21, u'x') << "A name can have at most 20 characters.";
        QTest::newRow("plus") << "A+B" << "A name cannot contain \"+\" or \"|\".";
        QTest::newRow("bar") << "A|B" << "A name cannot contain \"+\" or \"|\".";
        QTest::newRow("byte 0xFF") << QString::fromUtf8("Ann\u00ff") << QString::fromUtf8("A name cannot contain the letter \u00ff.");
        QTest::newRow("tab") << "Ann\tB" << "A name cannot contain control characters such as tabs or line breaks.";
        QTest::newRow("line break") << "Ann\nB" << "A name cannot contain control characters such as tabs or line breaks.";
        QTest::newRow("C1 control") << QString::fromUtf8("Ann\u0085") << "A name cannot contain control characters such as tabs or line breaks.";
        QTest::newRow("outside Latin-1") << QString::fromUtf8("\u0391nn")
                                         << QString::fromUtf8("A name can only use Western European (Latin-1) letters; \"\u0391\" is not one.");
        QTest::newRow("emoji") << QString::fromUtf8("Ann\U0001F600")
                               << "A name can only use Western European (Latin-1) letters; \"that character\" is not one.";
        QTest::newRow("a toolkit option") << "-reverse" << "A name cannot begin with \"-\".";
    }
    // A name the game cannot carry is refused with one line that says why.
    void names()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        QCOMPARE(PlayerName::problem(name), problem);
    }

    void lobbySectionKeptApart_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QByteArray lobby = "[Lobby]\r\nName=Zo\xEB\r\nOpenPort=1\r\nRecentTables=2001:db8::1,192.0.2.7\r\n";
        QTest::newRow("no file") << QByteArray() << lobby;
        QTest::newRow("only the game's section, LF")
            << QByteArray("[Lexitangle]\nTop=3\nWidth=775\n")
            << QByteArray("[Lexitangle]\nTop=3\nWidth=775\n\n[Lobby]\nName=Zo\xEB\nOpenPort=1\n"
                          "RecentTables=2001:db8::1,192.0.2.7\n");
        const QByteArray game = "[Lexitangle]\r\nTop=3\r\nTextcolor = clblack\r\nComputerPlayers=2\r\n\r\n";
        QTest::newRow("shared file, keys of others, no final line break")
            << game + "[Lobby]\r\nServers=a.example\r\nName = Old\r\n\r\n[Other]\r\nTop=77"
            << game + "[Lobby]\r\nServers=a.example\r\nName = Zo\xEB\r\nOpenPort=1\r\n"
                      "RecentTables=2001:db8::1,192.0.2.7\r\n\r\n[Other]\r\nTop=77";
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBF[Lexitangle]\r\nTop=3\r\n")
            << "\xEF\xBB\xBF[Lexitangle]\r\nTop=3\r\n\r\n" + lobby;
    }
    // The lobby writes only its own keys of [Lobby]: every other byte of the file, the game's
    // section and the keys of [Lobby] it does not know included, stays as it was; Latin-1, as the
    // game reads names. What it wrote reads back.
    void lobbySectionKeptApart()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("orvolobby.ini"));
        if (!before.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        LobbySettings settings;
        settings.name = QString::fromUtf8("Zo\u00eb");
        settings.openPort = true;
        settings.addRecent(QStringLiteral("192.0.2.7"));
        settings.addRecent(QStringLiteral("2001:db8::1"));
        QVERIFY(settings.save(path));
        QCOMPARE(readAll(path), after);

        const LobbySettings read = LobbySettings::load(path);
        QCOMPARE(read.name, settings.name);
        QCOMPARE(read.openPort, true);
        QCOMPARE(read.recentTables, settings.recentTables);
    }

    // The recent tables read from the file are untrusted: only valid addresses, at most ten,
    // each once; the newest joined comes first and the eleventh falls off.
    void recentTables()
    {
        QByteArray list = "RecentTables=$(x),10.0.0.1,10.0.0.1,lexitangle://evil@x";
        for (int i = 2; i <= 12; ++i)
            list += ",10.0.0." + QByteArray::number(i);
        LobbySettings settings = LobbySettings::read(IniEditor::fromBytes("[Lobby]\n" + list + "\n"));
        QCOMPARE(settings.recentTables.size(), LobbySettings::RecentCount);
        QCOMPARE(settings.recentTables.first(), QStringLiteral("10.0.0.1"));
        QCOMPARE(settings.recentTables.last(), QStringLiteral("10.0.0.10"));
        settings.addRecent(QStringLiteral("10.0.0.5"));
        QCOMPARE(settings.recentTables.first(), QStringLiteral("10.0.0.5"));
        QCOMPARE(settings.recentTables.count(QStringLiteral("10.0.0.5")), 1);
        QCOMPARE(settings.recentTables.size(), LobbySettings::RecentCount);
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("detail");
        using M = LobbyCommand::Mode;
        QTest::newRow("window") << QStringList() << int(M::Window) << QString();
        QTest::newRow("link") << QStringList{"lexitangle://10.0.0.5"} << int(M::Window) << "lexitangle://10.0.0.5";
        QTest::newRow("bad link still opens the window") << QStringList{"lexitangle://x/y"} << int(M::Window) << "lexitangle://x/y";
        QTest::newRow("host") << QStringList{"--host", "Ann"} << int(M::Host) << "Ann";
        QTest::newRow("host, open port") << QStringList{"--host", "Ann", "--open-port"} << int(M::Host) << "Ann+port";
        QTest::newRow("join a link") << QStringList{"--join", "Bob", "lexitangle://[::1]"} << int(M::Join) << "::1";
        QTest::newRow("list") << QStringList{"--list"} << int(M::List) << "3";
        QTest::newRow("list 10") << QStringList{"--list", "10"} << int(M::List) << "10";
        QTest::newRow("help") << QStringList{"--help"} << int(M::Help) << QString();
        QTest::newRow("unknown") << QStringList{"--hots", "Ann"} << int(M::Bad) << QString();
        QTest::newRow("a bare address") << QStringList{"10.0.0.5"} << int(M::Bad) << QString();
        QTest::newRow("host without a name") << QStringList{"--host"} << int(M::Bad) << QString();
        QTest::newRow("host, bad name") << QStringList{"--host", "A|B"} << int(M::Bad) << QString();
        QTest::newRow("host, two names") << QStringList{"--host", "Ann", "Bob"} << int(M::Bad) << QString();
        QTest::newRow("join, bad address") << QStringList{"--join", "Bob", "x:1"} << int(M::Bad) << QString();
        QTest::newRow("join, no address") << QStringList{"--join", "Bob"} << int(M::Bad) << QString();
        QTest::newRow("list, zero") << QStringList{"--list", "0"} << int(M::Bad) << QString();
        QTest::newRow("list, words") << QStringList{"--list", "ten"} << int(M::Bad) << QString();
        QTest::newRow("list, two") << QStringList{"--list", "1", "2"} << int(M::Bad) << QString();
    }
    // Each form of the command line, and the bad ones that end the program with code 2.
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, mode);
        QFETCH(QString, detail);
        const LobbyCommand command = LobbyCommand::parse(arguments);
        QCOMPARE(int(command.mode), mode);
        QCOMPARE(command.problem.isEmpty(), mode != int(LobbyCommand::Mode::Bad));
        switch (command.mode) {
        case LobbyCommand::Mode::Window:
            QCOMPARE(command.link, detail);
            break;
        case LobbyCommand::Mode::Host:
            QCOMPARE(command.name + (command.openPort ? "+port" : ""), detail);
            break;
        case LobbyCommand::Mode::Join:
            QCOMPARE(command.address, detail);
            break;
        case LobbyCommand::Mode::List:
            QCOMPARE(QString::number(command.seconds), detail);
            break;
        default:
            break;
        }
    }
};

QTEST_GUILESS_MAIN(TestLobbyInput)
#include "tst_lobbyinput.moc"
