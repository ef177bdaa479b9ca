// The host's seat table, logins, relays and the bounds it keeps against misbehaving
// connections, driven over real loopback sockets by raw clients.

#include "integration/hostharness.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>

#include <sys/socket.h>

namespace {

const QByteArray Sentinel = "CMD_chat+Ann chats: sentinel|clRed";

// Every client that must see something, and one that sends.
struct Table {
    HostUnderTest host;
    std::unique_ptr<RawClient> bob;
    std::unique_ptr<RawClient> ann;
    std::unique_ptr<RawClient> cy;

    bool seatThree()
    {
        bob = host.join("Bob");
        ann = bob ? host.join("Ann") : nullptr;
        cy = ann ? host.join("Cy") : nullptr;
        // The earlier seats hear of each newcomer too; wait for that so nothing arrives late.
        return cy && bob->seat() == 1 && ann->seat() == 2 && cy->seat() == 3
            && bob->waitFor("CMD_newplayerinfo+3+Cy") && ann->waitFor("CMD_newplayerinfo+3+Cy")
            && ann->waitFor("CMD_existingplayers+1+Bob") && cy->waitFor("CMD_existingplayers+2+Ann");
    }
    RawClient &bySeat(int n) { return n == 1 ? *bob : n == 2 ? *ann : *cy; }
    void forgetAll()
    {
        bob->forget();
        ann->forget();
        cy->forget();
    }
    // Seat 2 chats a sentinel line and every client gets it back. The host takes one
    // connection's messages in order, so whatever seat 2 sent before has been handled and
    // answered by then.
    bool settleFromAnn()
    {
        ann->say("CMD_chat+2+sentinel|clRed");
        return bob->waitFor(Sentinel) && ann->waitFor(Sentinel) && cy->waitFor(Sentinel);
    }
};

QList<QByteArray> only(const QByteArray &message)
{
    return {message};
}

} // namespace

class TestHostSession : public QObject {
    Q_OBJECT

private slots:
    // Seats and logins
    void loginIsByteExact();
    void thirdPlayerSeesEarlierSeats();
    void leaversSeatIsReused();
    void eleventhConnectionIsRefused();
    void failedAcceptMarksNoSeat();
    void ownClientHoldsSeatOne();
    void versionMismatch_data();
    void versionMismatch();

    // Relays, removal, just watching
    void relays_data();
    void relays();
    void chatBeforeLoginHasEmptyName();
    void kickhim_data();
    void kickhim();
    void justwatch_data();
    void justwatch();

    // The host trusts no seat number and bounds every connection
    void spoofedSeatIgnored_data();
    void spoofedSeatIgnored();
    void leaversQueuedMessagesAreHandled();
    void floodDelaysOthersByOneTick();
    void overlongRelayDropped_data();
    void overlongRelayDropped();
    void partialMessageBound_data();
    void partialMessageBound();
    void outputBound();
    void queueFloodClosesOnlyTheFlooder();
    void resetFreesSeat();
    void malformedDropped_data();
    void malformedDropped();
    void dispatchSleepsWhenIdle();
};

// The login of Ann beside Bob, byte by byte, as both connections see it.
void TestHostSession::loginIsByteExact()
{
    HostUnderTest host;
    auto bob = host.join("Bob");
    QVERIFY(bob);
    RawClient ann(host.port());
    QTRY_COMPARE(ann.raw(), stream({"CMD_sendlogininfo+2"}));
    ann.send("CMD_logininfo+2+1.0.6+Ann\xFF\xFF");
    QTRY_COMPARE(ann.raw(), stream({"CMD_sendlogininfo+2", "CMD_newplayerinfo+2+Ann",
                                    "CMD_existingplayers+1+Bob"}));
    QTRY_COMPARE(bob->raw(), stream({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Bob",
                                     "CMD_newplayerinfo+2+Ann"}));
}

void TestHostSession::thirdPlayerSeesEarlierSeats()
{
    Table t;
    QVERIFY(t.seatThree());
    QTRY_COMPARE(t.cy->raw(), stream({"CMD_sendlogininfo+3", "CMD_newplayerinfo+3+Cy",
                                      "CMD_existingplayers+1+Bob", "CMD_existingplayers+2+Ann"}));
    QTRY_COMPARE(t.bob->starting("CMD_newplayerinfo+"),
                 QList<QByteArray>({"CMD_newplayerinfo+1+Bob", "CMD_newplayerinfo+2+Ann",
                                    "CMD_newplayerinfo+3+Cy"}));
    QCOMPARE(t.ann->starting("CMD_existingplayers+"), only("CMD_existingplayers+1+Bob"));
}

// A freed seat is the first one given out again; the others hear the old name once.
void TestHostSession::leaversSeatIsReused()
{
    Table t;
    QVERIFY(t.seatThree());
    t.ann->socket().disconnectFromHost();
    QVERIFY(t.bob->waitFor("CMD_playerdisconnected+2+Ann"));
    QVERIFY(t.cy->waitFor("CMD_playerdisconnected+2+Ann"));

    auto dee = t.host.join("Dee");
    QVERIFY(dee);
    QCOMPARE(dee->seat(), 2);
    QCOMPARE(dee->starting("CMD_existingplayers+"),
             QList<QByteArray>({"CMD_existingplayers+1+Bob", "CMD_existingplayers+3+Cy"}));
    QVERIFY(t.bob->waitFor("CMD_newplayerinfo+2+Dee"));
    QCOMPARE(t.bob->count("CMD_playerdisconnected+"), 1);
    QCOMPARE(t.host.server.seatCount(), 3);
}

void TestHostSession::eleventhConnectionIsRefused()
{
    HostUnderTest host;
    Clients seated;
    for (int n = 1; n <= 10; ++n) {
        seated.push_back(std::make_unique<RawClient>(host.port()));
        QTRY_COMPARE(seated.back()->seat(), n);
    }
    RawClient eleventh(host.port());
    QTRY_COMPARE(eleventh.raw(), stream({"CMD_full+"}));
    QVERIFY(eleventh.waitClosed());
    QCOMPARE(host.server.seatCount(), 10);
    for (int n = 1; n <= 10; ++n)
        QVERIFY(host.server.seat(n).connected);

    // The table is unchanged: a seat that frees up is given out as usual.
    seated[4]->socket().disconnectFromHost();
    QVERIFY(seated[0]->waitFor("CMD_playerdisconnected+5+"));
    RawClient twelfth(host.port());
    QTRY_COMPARE(twelfth.seat(), 5);
    QCOMPARE(seated[0]->count("CMD_playerdisconnected+"), 1);
}

// An accept notification with nothing to take leaves no seat marked and the count alone.
void TestHostSession::failedAcceptMarksNoSeat()
{
    HostUnderTest host;
    host.server.Sock1Accept();
    QCOMPARE(host.server.seatCount(), 0);
    QVERIFY(!host.server.seat(1).connected);
    RawClient first(host.port());
    QTRY_COMPARE(first.seat(), 1);
    QCOMPARE(host.server.seatCount(), 1);
}

// Once the host knows its own client's port, seat 1 waits for that connection alone: others
// that come first take seats 2 to 10, and the eleventh is refused with seat 1 still free.
void TestHostSession::ownClientHoldsSeatOne()
{
    HostUnderTest host;
    RawClient own(host.port(), false);
    const quint16 ownPort = own.bindLocal();
    QVERIFY(ownPort != 0);
    host.server.setOwnClient(QHostAddress::LocalHost, ownPort);
    Clients others;
    for (int n = 2; n <= 10; ++n) {
        others.push_back(std::make_unique<RawClient>(host.port()));
        QTRY_COMPARE(others.back()->seat(), n);
    }
    RawClient refused(host.port());
    QTRY_COMPARE(refused.raw(), stream({"CMD_full+"}));
    QVERIFY(!host.server.seat(1).connected);

    others[0]->socket().disconnectFromHost();
    QTRY_VERIFY(!host.server.seat(2).connected);
    own.connectToHost();
    QTRY_COMPARE(own.seat(), 1);
    RawClient next(host.port());
    QTRY_COMPARE(next.seat(), 2);
    QCOMPARE(host.server.seatCount(), 10);
}

void TestHostSession::versionMismatch_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("differs");
    QTest::newRow("same") << QByteArray("1.0.6") << false;
    QTest::newRow("older") << QByteArray("1.0.5") << true;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("trailing blank") << QByteArray("1.0.6 ") << true;
}

// Only notices: the player keeps the seat either way.
void TestHostSession::versionMismatch()
{
    QFETCH(QByteArray, version);
    QFETCH(bool, differs);
    HostUnderTest host;
    auto bob = host.join("Bob");
    QVERIFY(bob);
    RawClient ann(host.port());
    QVERIFY(ann.login("Ann", version));
    ann.say("CMD_chat+2+sentinel|clRed");
    QVERIFY(bob->waitFor(Sentinel));
    QVERIFY(ann.waitFor(Sentinel));
    QCOMPARE(bob->count("CMD_havewrongversion+"), differs ? 1 : 0);
    QCOMPARE(ann.count("CMD_wrongversion+"), differs ? 1 : 0);
    if (differs) {
        QVERIFY(bob->has("CMD_havewrongversion+Ann"));
        QVERIFY(ann.has("CMD_wrongversion+"));
        QCOMPARE(ann.count("CMD_havewrongversion+"), 0);
    }
    QVERIFY(host.server.seat(2).connected);
}

void TestHostSession::relays_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("relayed");
    QTest::newRow("chat with + and |")
        << QByteArray("CMD_chat+2+a+b|c|clRed") << QByteArray("CMD_chat+Ann chats: a+b|c|clRed");
    QTest::newRow("empty chat line")
        << QByteArray("CMD_chat+2+|clBlack") << QByteArray("CMD_chat+Ann chats: |clBlack");
    QTest::newRow("phrase action")
        << QByteArray("CMD_action+2+says: hi there|$00FF0000")
        << QByteArray("CMD_action+Ann says: hi there|$00FF0000");
    QTest::newRow("action with +")
        << QByteArray("CMD_action+2+waves+|clNavy") << QByteArray("CMD_action+Ann waves+|clNavy");
    QTest::newRow("chatter sound")
        << QByteArray("CMD_playasound+2+wave7+") << QByteArray("CMD_playasound+2+wave7+");
}

// Relays go to every connected seat, the sender included, with the rest byte for byte.
void TestHostSession::relays()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, relayed);
    Table t;
    QVERIFY(t.seatThree());
    t.forgetAll();
    t.ann->say(sent);
    QVERIFY(t.settleFromAnn());
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(t.bySeat(n).messages(), QList<QByteArray>({relayed, Sentinel}));
}

void TestHostSession::chatBeforeLoginHasEmptyName()
{
    HostUnderTest host;
    auto bob = host.join("Bob");
    QVERIFY(bob);
    RawClient stranger(host.port());
    QTRY_COMPARE(stranger.seat(), 2);
    stranger.say("CMD_chat+2+hello|clRed");
    QVERIFY(bob->waitFor("CMD_chat+ chats: hello|clRed"));
    QVERIFY(stranger.waitFor("CMD_chat+ chats: hello|clRed"));
}

void TestHostSession::kickhim_data()
{
    QTest::addColumn<int>("sender");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("removed");
    QTest::newRow("host removes seat 3") << 1 << QByteArray("CMD_kickhim+1+3+") << 3;
    QTest::newRow("host removes seat 2") << 1 << QByteArray("CMD_kickhim+1+2+") << 2;
    QTest::newRow("seat 2 asks") << 2 << QByteArray("CMD_kickhim+2+3+") << 0;
    QTest::newRow("seat 2 signs as host") << 2 << QByteArray("CMD_kickhim+1+3+") << 0;
    QTest::newRow("host names seat 11") << 1 << QByteArray("CMD_kickhim+1+11+") << 0;
    QTest::newRow("host names seat 0") << 1 << QByteArray("CMD_kickhim+1+0+") << 0;
    QTest::newRow("host names seat -1") << 1 << QByteArray("CMD_kickhim+1+-1+") << 0;
    QTest::newRow("host names an empty seat") << 1 << QByteArray("CMD_kickhim+1+7+") << 0;
}

void TestHostSession::kickhim()
{
    QFETCH(int, sender);
    QFETCH(QByteArray, message);
    QFETCH(int, removed);
    Table t;
    QVERIFY(t.seatThree());
    t.forgetAll();
    t.bySeat(sender).say(message);
    if (removed) {
        const QByteArray notice = "CMD_playerdisconnected+" + QByteArray::number(removed) + "+"
            + (removed == 2 ? "Ann" : "Cy");
        QVERIFY(t.bySeat(removed).waitClosed());
        QVERIFY(t.bob->waitFor(notice));
        QVERIFY(!t.host.server.seat(removed).connected);
        return;
    }
    // The requester's own later chat arrives, and nothing happened before it.
    const QByteArray seat = QByteArray::number(sender);
    t.bySeat(sender).say("CMD_chat+" + seat + "+after|clRed");
    const QByteArray echo = "CMD_chat+" + t.host.server.seat(sender).name + " chats: after|clRed";
    for (int n = 1; n <= 3; ++n) {
        QVERIFY(t.bySeat(n).waitFor(echo));
        QCOMPARE(t.bySeat(n).messages(), only(echo));
        QVERIFY(!t.bySeat(n).closed());
    }
}

void TestHostSession::justwatch_data()
{
    QTest::addColumn<bool>("inGame");
    QTest::addColumn<int>("sender");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("relayed");
    QTest::newRow("own seat unsets") << false << 2 << QByteArray("CMD_justwatch+2+2")
                                     << QByteArray("CMD_justwatching+2+2");
    QTest::newRow("set before any game") << false << 2 << QByteArray("CMD_justwatch+2+1")
                                         << QByteArray();
    QTest::newRow("own seat sets in game") << true << 2 << QByteArray("CMD_justwatch+2+1")
                                           << QByteArray("CMD_justwatching+2+1");
    QTest::newRow("seat 2 sets seat 3") << true << 2 << QByteArray("CMD_justwatch+3+1")
                                        << QByteArray();
    QTest::newRow("seat 2 unsets seat 1") << false << 2 << QByteArray("CMD_justwatch+1+2")
                                          << QByteArray();
    QTest::newRow("host sets seat 3") << true << 1 << QByteArray("CMD_justwatch+3+1")
                                      << QByteArray("CMD_justwatching+3+1");
    QTest::newRow("host unsets seat 3") << false << 1 << QByteArray("CMD_justwatch+3+2")
                                        << QByteArray("CMD_justwatching+3+2");
    QTest::newRow("seat 11") << true << 1 << QByteArray("CMD_justwatch+11+1") << QByteArray();
    QTest::newRow("seat 0") << true << 1 << QByteArray("CMD_justwatch+0+2") << QByteArray();
    QTest::newRow("unknown mode") << true << 2 << QByteArray("CMD_justwatch+2+3") << QByteArray();
}

void TestHostSession::justwatch()
{
    QFETCH(bool, inGame);
    QFETCH(int, sender);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, relayed);
    Table t;
    QVERIFY(t.seatThree());
    if (inGame) {
        t.bob->say("CMD_startgame+Bob+100+60+8+4+0+");
        // Every seat must have its round start before the slate is wiped.
        for (int n = 1; n <= 3; ++n)
            QVERIFY(t.bySeat(n).waitFor("CMD_nextplayer+" + QByteArray::number(n) + "+"));
    }
    t.forgetAll();
    const QByteArray seat = QByteArray::number(sender);
    t.bySeat(sender).say(message);
    t.bySeat(sender).say("CMD_chat+" + seat + "+after|clRed");
    const QByteArray echo = "CMD_chat+" + t.host.server.seat(sender).name + " chats: after|clRed";
    const QList<QByteArray> expected =
        relayed.isEmpty() ? only(echo) : QList<QByteArray>({relayed, echo});
    for (int n = 1; n <= 3; ++n) {
        QVERIFY(t.bySeat(n).waitFor(echo));
        QCOMPARE(t.bySeat(n).messages(), expected);
    }
}

void TestHostSession::spoofedSeatIgnored_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("login for seat 3") << QByteArray("CMD_logininfo+3+1.0.6+Mallory");
    QTest::newRow("login for seat 1") << QByteArray("CMD_logininfo+1+1.0.6+Mallory");
    QTest::newRow("chat as seat 1") << QByteArray("CMD_chat+1+hi|clRed");
    QTest::newRow("action as seat 3") << QByteArray("CMD_action+3+waves|clRed");
    QTest::newRow("sound as seat 1") << QByteArray("CMD_playasound+1+wave1+");
    QTest::newRow("just watching for seat 3") << QByteArray("CMD_justwatch+3+2");
    QTest::newRow("removal signed as host") << QByteArray("CMD_kickhim+1+3+");
    QTest::newRow("chat as seat 11") << QByteArray("CMD_chat+11+hi|clRed");
    QTest::newRow("chat as seat 0") << QByteArray("CMD_chat+0+hi|clRed");
    QTest::newRow("chat as seat -5") << QByteArray("CMD_chat+-5+hi|clRed");
    QTest::newRow("chat as seat 2147483647") << QByteArray("CMD_chat+2147483647+hi|clRed");
}

// Seat 2 writes another seat's number: the message is dropped, nobody hears anything.
void TestHostSession::spoofedSeatIgnored()
{
    QFETCH(QByteArray, message);
    Table t;
    QVERIFY(t.seatThree());
    t.forgetAll();
    t.ann->say(message);
    QVERIFY(t.settleFromAnn());
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(t.bySeat(n).messages(), only(Sentinel));
        QCOMPARE(t.host.server.seat(n).name, QByteArray(n == 1 ? "Bob" : n == 2 ? "Ann" : "Cy"));
    }
    QVERIFY(!t.host.server.gameRunning());
}

// What a leaving player had queued is handled as from her seat, in order, and only then is
// the seat freed: a newcomer meanwhile takes another seat and is never charged with it.
void TestHostSession::leaversQueuedMessagesAreHandled()
{
    Table t;
    QVERIFY(t.seatThree());
    t.forgetAll();
    // Two seconds of the host's time, so the newcomer surely comes while they wait.
    QByteArray lines;
    QList<QByteArray> relayed;
    for (int i = 0; i < 200; ++i) {
        lines += "CMD_chat+2+line " + QByteArray::number(i) + "|clRed" + '\xFF';
        relayed << "CMD_chat+Ann chats: line " + QByteArray::number(i) + "|clRed";
    }
    t.ann->send(lines);
    t.ann->socket().disconnectFromHost();
    QVERIFY(t.ann->waitClosed());
    RawClient dee(t.host.port());
    QTRY_VERIFY(dee.seat() > 0);
    QCOMPARE(dee.seat(), 4);

    const QByteArray left = "CMD_playerdisconnected+2+Ann";
    QVERIFY(t.bob->waitFor(left, 10000));
    QVERIFY(t.cy->waitFor(left));
    QCOMPARE(t.bob->messages(), relayed + only(left));
    QCOMPARE(t.cy->messages(), relayed + only(left));
    QVERIFY(dee.waitFor(left));
    QCOMPARE(dee.messages().last(), left);
    QVERIFY(!t.host.server.seat(2).connected);
    QVERIFY(t.host.server.seat(4).connected);
}

// A connection that floods the queue delays another's message by a tick, not by the flood:
// the tick serves the connections with work in turn.
void TestHostSession::floodDelaysOthersByOneTick()
{
    Table t;
    QVERIFY(t.seatThree());
    t.forgetAll();
    QByteArray flood;
    for (int i = 0; i < 200; ++i)
        flood += QByteArray("CMD_chat+2+flood|clRed") + '\xFF';
    t.ann->send(flood);
    QTRY_VERIFY(t.host.server.queuedMessages() > 100);
    t.cy->say("CMD_chat+3+urgent|clRed");
    const QByteArray urgent = "CMD_chat+Cy chats: urgent|clRed";
    QVERIFY(t.bob->waitFor(urgent));
    QVERIFY2(t.bob->messages().indexOf(urgent) < 10,
             qPrintable(QString::number(t.bob->messages().indexOf(urgent))));
    QTRY_COMPARE_WITH_TIMEOUT(t.bob->count("CMD_chat+Ann chats: flood"), 200, 10000);
}

void TestHostSession::overlongRelayDropped_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QString>("warning");
    // Each is within the host's own limit of 64 KiB; what it would send is not.
    QTest::newRow("chat") << "CMD_chat+2+" + QByteArray(65515, 'x') + "|clRed"
                          << "^dropped a chat line of seat 2";
    QTest::newRow("action") << "CMD_action+2+" + QByteArray(65517, 'x') + "|clRed"
                            << "^dropped an action line of seat 2";
    QTest::newRow("login name") << "CMD_logininfo+2+1.0.6+" + QByteArray(65512, 'n')
                                << "^dropped CMD_logininfo";
}

// The host never sends what a client would refuse: the line is dropped with a warning, the
// sender keeps the seat and its name.
void TestHostSession::overlongRelayDropped()
{
    QFETCH(QByteArray, message);
    QFETCH(QString, warning);
    Table t;
    QVERIFY(t.seatThree());
    t.forgetAll();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
    t.ann->say(message);
    QVERIFY(t.settleFromAnn());
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(t.bySeat(n).messages(), only(Sentinel));
    QCOMPARE(t.host.server.seat(2).name, QByteArray("Ann"));
}

void TestHostSession::partialMessageBound_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("closed");
    QTest::newRow("64 KiB") << 64 * 1024 << false;
    QTest::newRow("64 KiB + 1") << 64 * 1024 + 1 << true;
    QTest::newRow("1 MiB") << 1024 * 1024 << true;
}

// An unfinished message may grow to 64 KiB; past that the connection is closed like a
// normal close.
void TestHostSession::partialMessageBound()
{
    QFETCH(int, size);
    QFETCH(bool, closed);
    Table t;
    QVERIFY(t.seatThree());
    if (closed)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("closing seat 2: a message grew"));
    t.ann->send(QByteArray(size, 'a'));
    if (closed) {
        QVERIFY(t.ann->waitClosed());
        QVERIFY(t.bob->waitFor("CMD_playerdisconnected+2+Ann"));
        QVERIFY(t.cy->waitFor("CMD_playerdisconnected+2+Ann"));
        QVERIFY(!t.host.server.seat(2).connected);
    } else {
        // The long message ends and is dropped (no keyword); the seat goes on.
        t.ann->send("\xFF");
        QVERIFY(t.settleFromAnn());
        QVERIFY(!t.ann->closed());
    }
}

// A seat that never reads is closed once 4 MiB wait for it; the others carry on.
void TestHostSession::outputBound()
{
    HostUnderTest host;
    auto bob = host.join("Bob");
    QVERIFY(bob);
    QTcpSocket deaf;
    deaf.setReadBufferSize(1024);
    deaf.connectToHost(QHostAddress::LocalHost, host.port());
    QTRY_VERIFY(host.server.seat(2).connected);

    const QByteArray line(60000, 'x');
    const QByteArray echo = "CMD_chat+Bob chats: " + line + "|clRed";
    int sent = 0;
    // Each batch stays below the bound for Bob, who reads everything.
    for (int batch = 0; batch < 40 && host.server.seat(2).connected; ++batch) {
        QByteArray burst;
        for (int i = 0; i < 40; ++i)
            burst += "CMD_chat+1+" + line + "|clRed" + '\xFF';
        bob->send(burst);
        sent += 40;
        QTRY_COMPARE_WITH_TIMEOUT(bob->count("CMD_chat+Bob chats: "), sent, 20000);
    }
    QVERIFY(bob->waitFor("CMD_playerdisconnected+2+"));
    QVERIFY(!host.server.seat(2).connected);
    QCOMPARE(bob->count(echo), sent);
}

// More than 256 waiting messages close the connection; other seats keep talking.
void TestHostSession::queueFloodClosesOnlyTheFlooder()
{
    Table t;
    QVERIFY(t.seatThree());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("closing seat 2: more than 256"));
    QByteArray flood;
    for (int i = 0; i < 300; ++i)
        flood += QByteArray("CMD_chat+2+flood|clRed") + '\xFF';
    t.ann->send(flood);
    QVERIFY(t.ann->waitClosed());
    QVERIFY(t.bob->waitFor("CMD_playerdisconnected+2+Ann"));
    QVERIFY(t.host.server.queuedMessages() < 256);
    t.cy->say("CMD_chat+3+still here|clRed");
    QVERIFY(t.bob->waitFor("CMD_chat+Cy chats: still here|clRed"));
    QVERIFY(t.bob->count("CMD_chat+Ann chats: flood") < 300);
}

// A connection that ends with a reset frees its seat like a normal close.
void TestHostSession::resetFreesSeat()
{
    Table t;
    QVERIFY(t.seatThree());
    const linger abortive{1, 0};
    QCOMPARE(::setsockopt(int(t.ann->socket().socketDescriptor()), SOL_SOCKET, SO_LINGER,
                          &abortive, sizeof abortive),
             0);
    t.ann->socket().close();
    QVERIFY(t.bob->waitFor("CMD_playerdisconnected+2+Ann"));
    QVERIFY(t.cy->waitFor("CMD_playerdisconnected+2+Ann"));
    QVERIFY(!t.host.server.seat(2).connected);
    RawClient next(t.host.port());
    QTRY_COMPARE(next.seat(), 2);
}

void TestHostSession::malformedDropped_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("chat seat not a number") << QByteArray("CMD_chat+x+hi|clRed");
    QTest::newRow("chat seat empty") << QByteArray("CMD_chat++hi|clRed");
    QTest::newRow("action seat with letters") << QByteArray("CMD_action+2x+waves|clRed");
    QTest::newRow("sound seat only a sign") << QByteArray("CMD_playasound+-+wave1+");
    QTest::newRow("removal target not a number") << QByteArray("CMD_kickhim+2+zz+");
    QTest::newRow("removal without target") << QByteArray("CMD_kickhim+2");
    QTest::newRow("just watching seat empty") << QByteArray("CMD_justwatch++1");
    QTest::newRow("login seat overflows") << QByteArray("CMD_logininfo+99999999999+1.0.6+Eve");
    QTest::newRow("word seat not a number") << QByteArray("CMD_playerdone+two+1+0+0");
}

// A number that cannot be read drops the message with one warning; nothing crashes and the
// seat is served as before.
void TestHostSession::malformedDropped()
{
    QFETCH(QByteArray, message);
    Table t;
    QVERIFY(t.seatThree());
    t.forgetAll();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^dropped CMD_"));
    t.ann->say(message);
    QVERIFY(t.settleFromAnn());
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(t.bySeat(n).messages(), only(Sentinel));
}

// An idle host does not wake every 10 ms: the dispatch timer runs only while work waits.
void TestHostSession::dispatchSleepsWhenIdle()
{
    HostUnderTest host;
    QVERIFY(!host.server.socktimerActive());
    auto bob = host.join("Bob");
    QVERIFY(bob);
    QTRY_VERIFY(!host.server.socktimerActive());
    // Thirty lines are work for 300 ms, long enough to see the timer running.
    QByteArray lines;
    for (int i = 0; i < 30; ++i)
        lines += "CMD_chat+1+" + QByteArray::number(i) + "|clRed" + '\xFF';
    bob->send(lines);
    QTRY_VERIFY(host.server.socktimerActive());
    QVERIFY(bob->waitFor("CMD_chat+Bob chats: 29|clRed"));
    QTRY_VERIFY(!host.server.socktimerActive());
}

QTEST_GUILESS_MAIN(TestHostSession)
#include "tst_hostsession.moc"
