// Whole games on a real host with three raw clients: the game start, rounds and their
// countdown, scoring, the end of a round, the winner, late joiners and hostile paths.
// The countdown is driven by calling timer1Timer() directly; no test waits for seconds.

#include "bots/computerbrain.h"
#include "bots/computerplayer.h"
#include "bots/computertable.h"
#include "host/boardcode.h"
#include "integration/hostharness.h"
#include "net/protocol.h"
#include "net/tsock.h"
#include "session/clientsession.h"
#include "solver/boardsolver.h"
#include "words/tdictn.h"

#include <QPoint>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The board as a client reads it from CMD_loadboard.
struct Grid {
    int code[10][10] = {};

    static Grid fromMessage(const QByteArray &message)
    {
        Grid grid;
        const QList<QByteArray> numbers = message.mid(qstrlen("CMD_loadboard+")).split('+');
        for (qsizetype i = 0; i + 2 < numbers.size(); i += 3)
            grid.code[numbers[i].toInt()][numbers[i + 1].toInt()] = numbers[i + 2].toInt();
        return grid;
    }

    QByteArray spell(const QList<QPoint> &path) const
    {
        QByteArray word;
        for (const QPoint &p : path) {
            const int c = code[p.x()][p.y()];
            word += c >= 1 && c <= 26 ? char('A' + c - 1) : '*';
        }
        return word;
    }
};

// n neighbouring cells: down column `column`, up the next one, and so on.
QList<QPoint> snake(int n, int column = 0)
{
    QList<QPoint> path;
    for (int i = 0; i < n; ++i) {
        const int col = column + i / 10;
        path.append(QPoint(col, (i / 10) % 2 == 0 ? i % 10 : 9 - i % 10));
    }
    return path;
}

QByteArray playerdone(int seat, const QList<QPoint> &path)
{
    QByteArray message = "CMD_playerdone+" + QByteArray::number(seat);
    for (int k = 0; k < path.size(); ++k) {
        message += "+" + QByteArray::number(k + 1) + "+" + QByteArray::number(path[k].x()) + "+"
            + QByteArray::number(path[k].y());
    }
    return message;
}

QByteArray num(int n)
{
    return QByteArray::number(n);
}

QByteArray goodword(int seat, int points, const QByteArray &word, int letters, int first)
{
    return "CMD_goodword+" + num(seat) + "+" + num(points) + "+" + word + "+" + num(letters) + "+"
        + num(first) + "+";
}

QByteArray notvalid(int seat, int reason, const QByteArray &word)
{
    return "CMD_notvalid+" + num(seat) + "+" + num(reason) + "+" + word + "+";
}

QByteArray addscore(int seat, int points, int total)
{
    return "CMD_addscore+" + num(seat) + "+" + num(points) + "+" + num(total) + "+";
}

// Ticks the countdown until its action changes; the number of ticks it took.
int tickUntilActionChanges(TServer &server)
{
    const int action = server.countdownAction();
    int ticks = 0;
    while (server.countdownAction() == action && ticks < 200000) {
        server.timer1Timer();
        ++ticks;
    }
    return ticks;
}

// A table of three: Bob (seat 1, the hosting player), Ann and Cy.
struct Game {
    HostUnderTest host;
    std::unique_ptr<RawClient> bob;
    std::unique_ptr<RawClient> ann;
    std::unique_ptr<RawClient> cy;
    Grid grid;

    bool seat()
    {
        bob = host.join("Bob");
        ann = bob ? host.join("Ann") : nullptr;
        cy = ann ? host.join("Cy") : nullptr;
        // Every greeting has arrived everywhere before a test wipes the slate.
        return cy != nullptr && bob->waitFor("CMD_newplayerinfo+3+Cy") && ann->waitFor("CMD_newplayerinfo+3+Cy")
            && ann->waitFor("CMD_existingplayers+1+Bob") && cy->waitFor("CMD_existingplayers+2+Ann");
    }
    RawClient &bySeat(int n) { return n == 1 ? *bob : n == 2 ? *ann : *cy; }
    void forgetAll()
    {
        for (int n = 1; n <= 3; ++n)
            bySeat(n).forget();
    }
    // Seats everyone, starts a game with "play to + seconds + board + minimum" and waits
    // until every seat may play. A 10x10 board by default, so any snake fits.
    bool start(const QByteArray &settings = "100+60+7+4")
    {
        if (!bob && !seat())
            return false;
        forgetAll();
        bob->say("CMD_startgame+Bob+" + settings + "+0+");
        return waitForRound();
    }
    bool waitForRound()
    {
        for (int n = 1; n <= 3; ++n) {
            if (!bySeat(n).closed() && !bySeat(n).waitFor("CMD_nextplayer+" + num(n) + "+"))
                return false;
        }
        grid = Grid::fromMessage(bob->starting("CMD_loadboard").last());
        return true;
    }
    // A word the host's dictionary knows.
    QByteArray known(const QList<QPoint> &path)
    {
        const QByteArray word = grid.spell(path);
        host.words.words.insert(word);
        return word;
    }
    // Sends a path and waits for the host's answer to the sender.
    bool submit(int seat, const QList<QPoint> &path, const QByteArray &answer)
    {
        bySeat(seat).say(playerdone(seat, path));
        return bySeat(seat).waitFor(answer);
    }
    bool endRound()
    {
        if (host.server.countdownAction() != 1)
            return false;
        tickUntilActionChanges(host.server);
        for (int n = 1; n <= 3; ++n) {
            if (!bySeat(n).closed() && !bySeat(n).waitForPrefix("CMD_mainlist+"))
                return false;
        }
        return true;
    }
};

// A hosting copy with the real word list: the host, its own client "You" (seat 1) and its
// computer table, with the pauses before a computer tries again short enough for a test.
struct HostingCopy {
    QTemporaryDir dir;
    QString wordFile = dir.filePath(QStringLiteral("English"));
    TDictn words{wordFile, nullptr};
    BoardSolver solver{wordFile};
    TestSettings settings;
    QRandomGenerator rng{20240612};
    TServer server{words, settings, rng, 0};
    ClientSession own;
    ComputerTable table{own, solver, wordFile};

    // Listens and seats "You"; the solver's tree is built now, not in a round's first moments.
    bool open()
    {
        table.setRetryPauses(50, 400);
        own.setPlayerName("You");
        return dir.isValid() && solver.tree().wordCount() > 0 && own.hostpress(server).isEmpty();
    }
    quint16 port() const { return server.listeningPort(); }
    // Seats the host gave to computers that have logged in.
    QList<int> computerSeats() const
    {
        QList<int> seats;
        for (int n = 1; n <= Protocol::SeatCount; ++n) {
            if (server.seat(n).connected && server.seat(n).name.endsWith(" (cpu)"))
                seats.append(n);
        }
        return seats;
    }
    int freeSeats() const
    {
        int free = 0;
        for (int n = 1; n <= Protocol::SeatCount; ++n)
            free += server.seat(n).connected ? 0 : 1;
        return free;
    }
};

} // namespace

class TestHostGame : public QObject {
    Q_OBJECT

private slots:
    // Game start
    void startRelaysAndDeals();
    void startFromAnySeat();
    void settingsReachLateJoiner_data();
    void settingsReachLateJoiner();
    void roundLengthAsSent_data();
    void roundLengthAsSent();
    void boardFromCode_data();
    void boardFromCode();

    // Words
    void wordsAreScoredAndRefused();
    void pointsByLength_data();
    void pointsByLength();
    void submissionsOutsideRoundIgnored();
    void wordBeforeLeavingIsScored();
    void hostilePathsIgnored_data();
    void hostilePathsIgnored();

    // Round end, countdown, winner
    void roundEndAndNextRound();
    void lateJoinerInPause();
    void winner_data();
    void winner();
    void autostartAfterSixtyTicks_data();
    void autostartAfterSixtyTicks();

    // A client without widgets
    void sessionPlaysLikeAPerson();
    void computersPlayLikePeople();
    void computersMakeRoomForPeople();
    void computersComeBackAfterSilentSeats();
};

// The start goes out as it came, followed by the deal and each seat's own round start.
void TestHostGame::startRelaysAndDeals()
{
    Game g;
    QVERIFY(g.start("300+90+7+5"));
    const QByteArray board = "CMD_loadboard" + g.host.server.board().boardText();
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(g.bySeat(n).messages(),
                 QList<QByteArray>({"CMD_startgame+Bob+300+90+7+5+0+", board,
                                    "CMD_nextplayer+" + num(n) + "+"}));
    }
    QCOMPARE(board.count('+'), 300);
    QVERIFY(!board.contains("+29+") && !board.endsWith("+29"));
    QVERIFY(g.host.server.gameRunning());
    QCOMPARE(g.host.server.countdownAction(), 1);
}

// Any seated player may start a game (a raw client at seat 3 here); it is relayed as sent.
void TestHostGame::startFromAnySeat()
{
    Game g;
    QVERIFY(g.seat());
    g.forgetAll();
    g.cy->say("CMD_startgame+Cy+50+45+4+3+0+");
    QVERIFY(g.waitForRound());
    QCOMPARE(g.bob->messages().first(), QByteArray("CMD_startgame+Cy+50+45+4+3+0+"));
    QVERIFY(g.host.server.gameRunning());
}

void TestHostGame::settingsReachLateJoiner_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("relayed");
    QTest::addColumn<QByteArray>("stats"); // play to, seconds, board type, minimum
    QTest::newRow("as chosen") << QByteArray("300+90+10+4+0+")
                               << QByteArray("CMD_startgame+Bob+300+90+10+4+0+")
                               << QByteArray("300+90+10+4");
    QTest::newRow("unreadable fall back") << QByteArray("x+y+z+w+0+")
                                          << QByteArray("CMD_startgame+Bob+x+y+z+w+0+")
                                          << QByteArray("100+60+8+4");
    QTest::newRow("fields missing") << QByteArray("200")
                                    << QByteArray("CMD_startgame+Bob+200+++++")
                                    << QByteArray("200+60+8+4");
    QTest::newRow("round of 0 seconds") << QByteArray("100+0+4+3+0+")
                                        << QByteArray("CMD_startgame+Bob+100+0+4+3+0+")
                                        << QByteArray("100+0+4+3");
    QTest::newRow("huge round clamped") << QByteArray("100+2147483647+4+3+0+")
                                        << QByteArray("CMD_startgame+Bob+100+2147483647+4+3+0+")
                                        << QByteArray("100+2147483643+4+3");
}

void TestHostGame::roundLengthAsSent_data()
{
    QTest::addColumn<QByteArray>("seconds");
    QTest::addColumn<int>("countdown");
    QTest::addColumn<int>("ticks"); // until the round ends
    QTest::newRow("0: the grace seconds alone") << QByteArray("0") << 4 << 4;
    QTest::newRow("negative: one tick") << QByteArray("-5") << -1 << 1;
    QTest::newRow("least clamped") << QByteArray("-2147483648") << -2147483642 + 4 << 1;
}

// The seconds per round are used as they were sent; only what would overflow is clamped.
void TestHostGame::roundLengthAsSent()
{
    QFETCH(QByteArray, seconds);
    QFETCH(int, countdown);
    QFETCH(int, ticks);
    Game g;
    QVERIFY(g.start("100+" + seconds + "+7+4"));
    QVERIFY(g.bob->has("CMD_startgame+Bob+100+" + seconds + "+7+4+0+"));
    QCOMPARE(g.host.server.roundCountdown(), countdown);
    QCOMPARE(g.host.server.countdownAction(), 1);
    QCOMPARE(tickUntilActionChanges(g.host.server), ticks);
    QCOMPARE(g.host.server.countdownAction(), 2);
}

// A player who logs in during a round gets the board and the game's state after the login
// messages; what the host could not read it replaced with its defaults.
void TestHostGame::boardFromCode_data()
{
    QTest::addColumn<int>("starter");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<bool>("dealt");
    QTest::newRow("the hosting player's own start") << 1 << QByteArray("100+60+9+5") << true;
    QTest::newRow("a start at another size") << 1 << QByteArray("100+60+4+5") << false;
    QTest::newRow("another seat's start") << 3 << QByteArray("100+60+9+5") << false;
}
// A board chosen by code goes out in the ordinary CMD_loadboard of the first round, when the
// hosting player's own seat starts a game of its size; the next round is dealt as usual. A
// start from another seat leaves it waiting for the hosting player's; that player's start
// uses it up, also at another size.
void TestHostGame::boardFromCode()
{
    QFETCH(int, starter);
    QFETCH(QByteArray, settings);
    QFETCH(bool, dealt);
    const std::optional<BoardCode> code = BoardCode::decode(u"55-9FNU2-8EMTZ-7DKSY-6CJRX-5BHQW-J");
    QVERIFY(code);
    const QByteArray coded = "CMD_loadboard" + code->board().boardText();

    Game g;
    QVERIFY(g.seat());
    g.host.server.setFirstBoard(code);
    g.forgetAll();
    g.bySeat(starter).say("CMD_startgame+Someone+" + settings + "+0+");
    QVERIFY(g.waitForRound());
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(g.bySeat(n).messages().at(1), "CMD_loadboard" + g.host.server.board().boardText());
        QCOMPARE(g.bySeat(n).messages().at(1) == coded, dealt);
    }

    QVERIFY(g.endRound());
    g.forgetAll();
    QCOMPARE(tickUntilActionChanges(g.host.server), 5);
    QVERIFY(g.waitForRound());
    QVERIFY(g.bob->starting("CMD_loadboard").last() != coded);

    // Once more from the hosting player's seat, at the code's size.
    g.forgetAll();
    g.bob->say("CMD_startgame+Bob+100+60+9+5+0+");
    QVERIFY(g.waitForRound());
    QCOMPARE(g.bob->starting("CMD_loadboard").last() == coded, starter != 1);
}

void TestHostGame::settingsReachLateJoiner()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, relayed);
    QFETCH(QByteArray, stats);
    Game g;
    QVERIFY(g.seat());
    g.bob->say("CMD_startgame+Bob+" + settings);
    QVERIFY(g.waitForRound());
    QVERIFY(g.bob->has(relayed));
    // The host's round is the announced seconds and its 4 seconds of grace.
    const int seconds = stats.split('+').at(1).toInt();
    QCOMPARE(g.host.server.roundCountdown(), seconds + 4);

    RawClient dee(g.host.port());
    QVERIFY(dee.login("Dee"));
    QVERIFY(dee.waitForPrefix("CMD_loadstats+"));
    const QList<QByteArray> m = dee.messages();
    QCOMPARE(m.size(), 7);
    QCOMPARE(m[5], "CMD_loadboard" + g.host.server.board().boardText());
    const QList<QByteArray> fields = m[6].split('+');
    QCOMPARE(fields.size(), 1 + 7 + 20);
    QCOMPARE(fields.mid(1, 5).join('+'), "4+" + stats);
    // The time left is the countdown minus 5 (a real tick may have passed since).
    const qint64 countdownAtSend = fields[6].toLongLong() + 5;
    QVERIFY(countdownAtSend >= g.host.server.roundCountdown());
    QVERIFY(countdownAtSend <= qint64(g.host.server.roundCountdown()) + 1);
    QCOMPARE(fields[7], QByteArray("1"));
    QCOMPARE(fields.mid(8).join('+'), QByteArray("1+0+2+0+3+0+4+0+5+0+6+0+7+0+8+0+9+0+10+0"));
}

// First finder bonus, a second finder, and the three reasons in their order.
void TestHostGame::wordsAreScoredAndRefused()
{
    Game g;
    QVERIFY(g.start());
    const QList<QPoint> pathA = snake(4, 0);
    const QList<QPoint> pathB = snake(4, 2);
    const QList<QPoint> pathC = snake(3, 4);
    const QList<QPoint> pathD = snake(3, 6);
    const QByteArray a = g.known(pathA);
    const QByteArray b = g.grid.spell(pathB);
    const QByteArray c = g.known(pathC);
    const QByteArray d = g.grid.spell(pathD);
    QVERIFY2(!g.host.words.words.contains(b) && !g.host.words.words.contains(d),
             "the seeded board repeats a word; pick other paths");
    g.forgetAll();

    QVERIFY(g.submit(2, pathA, goodword(2, 2, a, 4, 1)));
    QVERIFY(g.submit(3, pathA, goodword(3, 1, a, 4, 2)));
    QVERIFY(g.submit(3, pathA, notvalid(3, 2, a)));
    QVERIFY(g.submit(2, pathB, notvalid(2, 1, b)));
    QVERIFY(g.submit(2, pathC, notvalid(2, 3, c)));
    QVERIFY(g.submit(2, pathD, notvalid(2, 1, d)));
    // The word list is asked before the player's own repeats.
    g.host.words.words.remove(a);
    QVERIFY(g.submit(2, pathA, notvalid(2, 1, a)));

    QCOMPARE(g.ann->messages(),
             QList<QByteArray>({addscore(2, 2, 2), goodword(2, 2, a, 4, 1), addscore(3, 1, 1),
                                notvalid(2, 1, b), notvalid(2, 3, c), notvalid(2, 1, d),
                                notvalid(2, 1, a)}));
    QCOMPARE(g.cy->messages(),
             QList<QByteArray>({addscore(2, 2, 2), addscore(3, 1, 1), goodword(3, 1, a, 4, 2),
                                notvalid(3, 2, a)}));
    QCOMPARE(g.bob->messages(), QList<QByteArray>({addscore(2, 2, 2), addscore(3, 1, 1)}));
}

void TestHostGame::pointsByLength_data()
{
    QTest::addColumn<int>("letters");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::newRow("3 with minimum 3") << 3 << 1 << 0;
    QTest::newRow("4") << 4 << 2 << 1;
    QTest::newRow("5") << 5 << 3 << 2;
    QTest::newRow("9") << 9 << 7 << 6;
    QTest::newRow("10") << 10 << 8 << 7;
    QTest::newRow("11") << 11 << 12 << 11;
    QTest::newRow("12") << 12 << 13 << 12;
}

void TestHostGame::pointsByLength()
{
    QFETCH(int, letters);
    QFETCH(int, first);
    QFETCH(int, second);
    Game g;
    QVERIFY(g.start("100+60+7+3"));
    const QList<QPoint> path = snake(letters, 1);
    const QByteArray word = g.known(path);
    QVERIFY(g.submit(2, path, goodword(2, first, word, letters, 1)));
    QVERIFY(g.submit(3, path, goodword(3, second, word, letters, 2)));
    QVERIFY(g.bob->waitFor(addscore(3, second, second)));
}

// Before the first game and in the pause after a round a word gets no answer at all.
void TestHostGame::submissionsOutsideRoundIgnored()
{
    Game g;
    QVERIFY(g.seat());
    g.host.words.acceptAll = true;
    g.forgetAll();
    g.ann->say(playerdone(2, snake(4)));
    g.ann->say("CMD_chat+2+one|clRed");
    QVERIFY(g.ann->waitFor("CMD_chat+Ann chats: one|clRed"));
    QCOMPARE(g.ann->messages().size(), 1);

    QVERIFY(g.start());
    QVERIFY(g.endRound());
    QCOMPARE(g.host.server.countdownAction(), 2);
    g.forgetAll();
    g.ann->say(playerdone(2, snake(4)));
    g.ann->say("CMD_chat+2+two|clRed");
    QVERIFY(g.ann->waitFor("CMD_chat+Ann chats: two|clRed"));
    QCOMPARE(g.ann->messages().size(), 1);
}

// Three lines and a word sent right before the connection closes are all handled for the
// seat, and the others hear of them before they hear that the player left.
void TestHostGame::wordBeforeLeavingIsScored()
{
    Game g;
    QVERIFY(g.start());
    const QList<QPoint> path = snake(4, 0);
    g.known(path);
    g.forgetAll();
    QByteArray last;
    for (const char *line : {"one", "two", "three"})
        last += "CMD_chat+2+" + QByteArray(line) + "|clRed" + '\xFF';
    g.ann->send(last + playerdone(2, path) + '\xFF');
    g.ann->socket().disconnectFromHost();
    const QByteArray left = "CMD_playerdisconnected+2+Ann";
    QVERIFY(g.bob->waitFor(left));
    QCOMPARE(g.bob->messages(),
             QList<QByteArray>({"CMD_chat+Ann chats: one|clRed", "CMD_chat+Ann chats: two|clRed",
                                "CMD_chat+Ann chats: three|clRed", addscore(2, 2, 2), left}));
    QCOMPARE(g.host.server.seat(2).score, 2);
}

void TestHostGame::hostilePathsIgnored_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("repeated cell") << QByteArray("2+1+0+0+2+0+1+3+0+0");
    QTest::newRow("jump") << QByteArray("2+1+0+0+2+0+2");
    QTest::newRow("places out of order") << QByteArray("2+2+0+0+1+0+1");
    QTest::newRow("place 0") << QByteArray("2+0+0+0+1+0+1");
    QTest::newRow("place twice") << QByteArray("2+1+0+0+1+0+1");
    QTest::newRow("place 13") << QByteArray("2+13+0+0");
    QTest::newRow("column 10") << QByteArray("2+1+10+0+2+9+0");
    QTest::newRow("row -1") << QByteArray("2+1+0+-1+2+0+0");
    QTest::newRow("huge position") << QByteArray("2+1+2147483647+0");
    QTest::newRow("13 groups") << playerdone(2, snake(13)).mid(qstrlen("CMD_playerdone+"));
    QTest::newRow("trailing +") << QByteArray("2+1+0+0+2+0+1+");
    QTest::newRow("group cut short") << QByteArray("2+1+0+0+2+0");
    QTest::newRow("seat only") << QByteArray("2");
    QTest::newRow("another seat") << QByteArray("3+1+0+0+2+0+1+3+0+2+4+0+3");
    QTest::newRow("seat 11") << QByteArray("11+1+0+0+2+0+1+3+0+2+4+0+3");
}

// Paths the client cannot build get no answer, and the seat's next word is served.
void TestHostGame::hostilePathsIgnored()
{
    QFETCH(QByteArray, payload);
    Game g;
    QVERIFY(g.start());
    g.host.words.acceptAll = true;
    g.forgetAll();
    g.ann->say("CMD_playerdone+" + payload);
    const QList<QPoint> fine = snake(4, 9);
    const QByteArray word = g.grid.spell(fine);
    QVERIFY(g.submit(2, fine, goodword(2, 2, word, 4, 1)));
    QCOMPARE(g.ann->messages(), QList<QByteArray>({addscore(2, 2, 2), goodword(2, 2, word, 4, 1)}));
    QVERIFY(g.cy->waitFor(addscore(2, 2, 2)));
    QCOMPARE(g.cy->messages(), QList<QByteArray>({addscore(2, 2, 2)}));
}

// The round lasts the announced seconds plus 4; then the scores and the sorted word list go
// out, the pause runs, and the next round starts with round scores reset.
void TestHostGame::roundEndAndNextRound()
{
    Game g;
    g.host.settings.pause = 5;
    QVERIFY(g.start("100+60+7+4"));
    const QList<QPoint> four = snake(4, 0);
    const QList<QPoint> five = snake(5, 3);
    const QByteArray w4 = g.known(four);
    const QByteArray w5 = g.known(five);
    QVERIFY(w4 != w5);
    QVERIFY(g.submit(2, four, goodword(2, 2, w4, 4, 1)));
    QVERIFY(g.submit(3, four, goodword(3, 1, w4, 4, 2)));
    QVERIFY(g.submit(2, five, goodword(2, 3, w5, 5, 1)));
    g.forgetAll();

    QVERIFY(g.endRound());
    QCOMPARE(g.host.server.countdownAction(), 2);
    QCOMPARE(g.host.server.roundCountdown(), 5);
    const QByteArray timeup =
        "CMD_timeup+1+0+0+2+5+5+3+1+1+4+0+0+5+0+0+6+0+0+7+0+0+8+0+0+9+0+0+10+0+0";
    const QByteArray words = w4 < w5 ? w4 + "+" + w5 : w5 + "+" + w4;
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(g.bySeat(n).messages(),
                 QList<QByteArray>({timeup, "CMD_mainlist+" + num(n) + "+" + words}));
    }

    // The pause: 5 ticks, then a new round whose countdown is the 60 seconds plus 4.
    g.forgetAll();
    QCOMPARE(tickUntilActionChanges(g.host.server), 5);
    QCOMPARE(g.host.server.countdownAction(), 1);
    QCOMPARE(g.host.server.roundCountdown(), 64);
    QVERIFY(g.waitForRound());
    QCOMPARE(g.ann->count("CMD_loadboard+"), 1);
    for (int i = 0; i < 63; ++i)
        g.host.server.timer1Timer();
    QCOMPARE(g.host.server.countdownAction(), 1);
    g.host.server.timer1Timer();
    QCOMPARE(g.host.server.countdownAction(), 2);
    QVERIFY(g.ann->waitForPrefix("CMD_mainlist+"));
    QVERIFY(g.ann->has("CMD_timeup+1+0+0+2+0+5+3+0+1+4+0+0+5+0+0+6+0+0+7+0+0+8+0+0+9+0+0+10+0+0"));
    QVERIFY(g.ann->has("CMD_mainlist+2+No Words"));
}

void TestHostGame::lateJoinerInPause()
{
    Game g;
    g.host.settings.pause = 10;
    QVERIFY(g.start());
    const QList<QPoint> four = snake(4, 0);
    const QByteArray w4 = g.known(four);
    QVERIFY(g.submit(2, four, goodword(2, 2, w4, 4, 1)));
    QVERIFY(g.endRound());

    RawClient dee(g.host.port());
    QVERIFY(dee.login("Dee"));
    QVERIFY(dee.waitForPrefix("CMD_loadstats+"));
    const QList<QByteArray> fields = dee.starting("CMD_loadstats+").first().split('+');
    QCOMPARE(fields[1], QByteArray("4"));
    QCOMPARE(fields[7], QByteArray("2")); // the pause between rounds
    QCOMPARE(fields.mid(8).join('+'), QByteArray("1+0+2+2+3+0+4+0+5+0+6+0+7+0+8+0+9+0+10+0"));
}

void TestHostGame::winner_data()
{
    QTest::addColumn<int>("playTo");
    QTest::addColumn<QList<int>>("lengths"); // one first-found word per seat; 0: none
    QTest::addColumn<bool>("annLeaves");
    QTest::addColumn<QByteArray>("winner");
    QTest::newRow("at play-to wins, one below does not")
        << 3 << QList<int>{4, 5, 0} << false << QByteArray("Ann");
    QTest::newRow("tie at the top plays on") << 2 << QList<int>{0, 4, 4} << false << QByteArray();
    QTest::newRow("tie below the leader") << 2 << QList<int>{5, 4, 4} << false << QByteArray("Bob");
    QTest::newRow("nobody reached") << 100 << QList<int>{5, 4, 0} << false << QByteArray();
    QTest::newRow("everyone at play-to 0") << 0 << QList<int>{0, 0, 0} << false << QByteArray();
    QTest::newRow("vacated seat wins under its default name")
        << 3 << QList<int>{0, 5, 4} << true << QByteArray("Klot");
}

// The winner is decided only at the end of a round, after the scores and the word list.
void TestHostGame::winner()
{
    QFETCH(int, playTo);
    QFETCH(QList<int>, lengths);
    QFETCH(bool, annLeaves);
    QFETCH(QByteArray, winner);
    Game g;
    QVERIFY(g.start(num(playTo) + "+60+7+4"));
    for (int n = 1; n <= 3; ++n) {
        const int letters = lengths[n - 1];
        if (letters == 0)
            continue;
        const QList<QPoint> path = snake(letters, 3 * n - 2);
        const QByteArray word = g.known(path);
        // 4 and 5 letters: 1 and 2 points, and the first finder's bonus.
        QVERIFY(g.submit(n, path, goodword(n, letters - 2, word, letters, 1)));
    }
    QCOMPARE(g.bob->count("CMD_winner+"), 0);
    if (annLeaves) {
        g.ann->socket().disconnectFromHost();
        QVERIFY(g.bob->waitFor("CMD_playerdisconnected+2+Ann"));
    }
    g.forgetAll();
    QVERIFY(g.endRound());
    if (winner.isEmpty()) {
        // The pause runs out into the next round of the same game.
        QVERIFY(g.host.server.gameRunning());
        QCOMPARE(g.host.server.countdownAction(), 2);
        QCOMPARE(tickUntilActionChanges(g.host.server), g.host.settings.pause);
        QVERIFY(g.waitForRound());
        QCOMPARE(g.bob->count("CMD_winner+"), 0);
        return;
    }
    QVERIFY(g.bob->waitFor("CMD_winner+" + winner + "+"));
    QCOMPARE(g.bob->messages().size(), 3);
    QVERIFY(g.bob->messages()[0].startsWith("CMD_timeup+"));
    QVERIFY(g.bob->messages()[1].startsWith("CMD_mainlist+1+"));
    QVERIFY(g.cy->waitFor("CMD_winner+" + winner + "+"));
    QVERIFY(!g.host.server.gameRunning());
}

void TestHostGame::autostartAfterSixtyTicks_data()
{
    QTest::addColumn<bool>("autostart");
    QTest::newRow("automatic next game") << true;
    QTest::newRow("no automatic next game") << false;
}

void TestHostGame::autostartAfterSixtyTicks()
{
    QFETCH(bool, autostart);
    Game g;
    g.host.settings.autostart = autostart;
    QVERIFY(g.start("2+45+4+4"));
    const QByteArray start = "CMD_startgame+Bob+2+45+4+4+0+";
    g.host.words.acceptAll = true;
    // A 4x4 board fills columns and rows 3 to 6.
    const QList<QPoint> path{QPoint(3, 3), QPoint(3, 4), QPoint(3, 5), QPoint(3, 6)};
    const QByteArray word = g.grid.spell(path);
    QVERIFY(g.submit(2, path, goodword(2, 2, word, 4, 1)));
    QVERIFY(g.endRound());
    QVERIFY(g.bob->waitFor("CMD_winner+Ann+"));
    QVERIFY(!g.host.server.gameRunning());
    if (!autostart) {
        QCOMPARE(g.host.server.countdownAction(), 2);
        for (int i = 0; i < 100; ++i)
            g.host.server.timer1Timer();
        QCOMPARE(g.host.server.countdownAction(), 2);
        QVERIFY(!g.host.server.gameRunning());
        return;
    }
    QCOMPARE(g.host.server.countdownAction(), 3);
    QCOMPARE(g.host.server.roundCountdown(), 60);
    g.forgetAll();
    for (int i = 0; i < 59; ++i)
        g.host.server.timer1Timer();
    QVERIFY(!g.host.server.gameRunning());
    g.host.server.timer1Timer();
    QVERIFY(g.host.server.gameRunning());
    QCOMPARE(g.host.server.countdownAction(), 1);
    QVERIFY(g.waitForRound());
    QCOMPARE(g.bob->messages().first(), start);
    QCOMPARE(g.ann->messages().first(), start);
}

// A ClientSession, as a computer player would use it, joins a running game like a person:
// it logs in, is brought up to date, plays a word and hears the round's end, everything
// read into its typed signals; and it is told when the host closes its connection.
void TestHostGame::sessionPlaysLikeAPerson()
{
    Game g;
    QVERIFY(g.start("100+60+7+4"));
    ClientSession session(g.host.port());
    session.setPlayerName("Dee (cpu)");
    QSignalSpy joined(&session, &ClientSession::seatJoined);
    QSignalSpy board(&session, &ClientSession::boardLoaded);
    QSignalSpy state(&session, &ClientSession::gameStateLoaded);
    QSignalSpy accepted(&session, &ClientSession::wordAccepted);
    QSignalSpy scored(&session, &ClientSession::scoreAdded);
    QSignalSpy over(&session, &ClientSession::roundOver);
    QSignalSpy listed(&session, &ClientSession::roundWordsListed);
    QSignalSpy closed(&session, &ClientSession::closed);
    QVERIFY(session.joinpress(QStringLiteral("127.0.0.1")).isEmpty());
    QVERIFY(g.bob->waitFor("CMD_newplayerinfo+4+Dee (cpu)"));
    QTRY_COMPARE(state.size(), 1);
    QCOMPARE(session.ownSeat(), 4);
    QVERIFY(session.loggedIn() && !session.isHost());
    QCOMPARE(joined.size(), 4); // itself, then the three already seated
    QCOMPARE(joined.first().first().value<Msg::SeatName>().name, QByteArray("Dee (cpu)"));
    QCOMPARE(joined.last().first().value<Msg::SeatName>().seat, 3);

    const Msg::BoardTiles tiles = board.first().first().value<Msg::BoardTiles>();
    QVERIFY(tiles.whole);
    QCOMPARE(tiles.tiles.size(), 100);
    for (const Msg::BoardTile &tile : tiles.tiles)
        QCOMPARE(tile.code, g.grid.code[tile.x][tile.y]);
    const Msg::GameState running = state.first().first().value<Msg::GameState>();
    QCOMPARE(running.seat, 4);
    QCOMPARE(running.settings.minimum, QByteArray("4"));
    QCOMPARE(running.phase, int(Protocol::RoundRunning));
    QVERIFY(running.whole && running.scores.size() == 10);

    const QList<QPoint> path = snake(5, 3);
    const QByteArray word = g.known(path);
    QList<Msg::Cell> cells;
    for (const QPoint &p : path)
        cells.append(Msg::Cell{p.x(), p.y()});
    session.sendMessage(Msg::playerdone(session.ownSeat(), cells));
    QTRY_COMPARE(accepted.size(), 1);
    const Msg::GoodWord good = accepted.first().first().value<Msg::GoodWord>();
    QCOMPARE(good.seat, 4);
    QCOMPARE(good.word, word);
    QCOMPARE(good.letters, 5);
    QCOMPARE(good.first, int(Protocol::First));
    QTRY_COMPARE(scored.size(), 1);
    QCOMPARE(scored.first().first().value<Msg::AddScore>().total, good.points);

    QVERIFY(g.endRound());
    QTRY_COMPARE(listed.size(), 1);
    QCOMPARE(listed.first().first().value<Msg::RoundWords>().list, word);
    const Msg::RoundScores scores = over.first().first().value<Msg::RoundScores>();
    QVERIFY(scores.whole && scores.scores.size() == 10);
    QCOMPARE(scores.scores[3].bonus, good.points);

    g.bob->say("CMD_kickhim+1+4+");
    QTRY_VERIFY(!closed.isEmpty());
    QVERIFY(!session.sock().connected());
}

// Two computer players at Expert sit down at the hosting copy's own table and play a short
// round on a 10x10 board with the real word list, like people: every word they send is
// accepted, they stop at the round's end with words still in mind, and being removed or the
// program closing sends nothing first.
void TestHostGame::computersPlayLikePeople()
{
    HostingCopy copy;
    ComputerTable &table = copy.table;
    TServer &server = copy.server;
    QSignalSpy left(&copy.own, &ClientSession::seatLeft);
    QVERIFY(copy.open());
    table.setLevel(ComputerBrain::Expert);
    table.setCount(2);
    QTRY_VERIFY(server.seat(2).name.endsWith(" (cpu)") && server.seat(3).name.endsWith(" (cpu)"));
    QCOMPARE(table.players().size(), 2);

    // What each computer sends, and whether its round was over by then.
    struct Sent {
        ComputerPlayer *from;
        QByteArray message;
        bool afterRoundEnd;
    };
    QList<Sent> sent;
    std::vector<std::unique_ptr<QSignalSpy>> accepted, refused, over;
    for (ComputerPlayer *p : table.players()) {
        accepted.push_back(std::make_unique<QSignalSpy>(&p->session(), &ClientSession::wordAccepted));
        refused.push_back(std::make_unique<QSignalSpy>(&p->session(), &ClientSession::wordRefused));
        QSignalSpy *roundOver = over.emplace_back(std::make_unique<QSignalSpy>(&p->session(), &ClientSession::roundOver)).get();
        p->session().setSender([&sent, p, roundOver](const QByteArray &whole) {
            sent.append({p, whole, !roundOver->isEmpty()});
            p->session().sock().send(whole);
        });
    }

    copy.own.sendMessage(Msg::startgameToHost("You", 100, 30, 7, 4)); // the test ends it once both scored
    QTRY_VERIFY_WITH_TIMEOUT(accepted[0]->size() >= 1 && accepted[1]->size() >= 1, 20000);
    tickUntilActionChanges(server);
    QTRY_VERIFY(over[0]->size() == 1 && over[1]->size() == 1);
    for (ComputerPlayer *p : table.players())
        QVERIFY(!p->playing());
    QCOMPARE(refused[0]->size() + refused[1]->size(), 0);
    QVERIFY(server.seat(2).score > 0 && server.seat(3).score > 0);
    for (const Sent &s : std::as_const(sent)) {
        QVERIFY(!s.afterRoundEnd);
        QVERIFY(s.message.startsWith("CMD_playerdone+") || s.message.startsWith("CMD_logininfo+"));
    }

    const qsizetype before = sent.size();
    table.setCount(1);
    QTRY_COMPARE(left.size(), 1);
    QCOMPARE(table.players().size(), 1);
    // Removed by the hosting player, it stays away: nobody takes its place.
    const int seat = table.players().first()->seat();
    copy.own.removeSeat(seat);
    QTRY_COMPARE(left.size(), 2);
    QVERIFY(!server.seat(seat).connected);
    QTest::qWait(600); // longer than the longest pause before a computer tries again
    QVERIFY(table.players().isEmpty());
    QCOMPARE(table.waiting(), 0);
    QCOMPARE(sent.size(), before);

    table.setCount(1); // chosen anew: one sits down again
    QTRY_COMPARE(copy.computerSeats().size(), 1);
    table.closeAll();
    QTRY_COMPARE(left.size(), 3);
    QVERIFY(copy.computerSeats().isEmpty());
}

// Nine computers chosen: the host and eight sit down, one seat stays open and the ninth waits.
// A person who arrives during a round gets that seat; at the round's end the computer seated
// last stands up, so a seat is open again; when the person leaves it sits down again, under
// its own name.
void TestHostGame::computersMakeRoomForPeople()
{
    HostingCopy copy;
    QVERIFY(copy.open());
    QSignalSpy waiting(&copy.table, &ComputerTable::waitingChanged);
    copy.table.setLevel(ComputerBrain::Easy);
    copy.table.setCount(9);
    QTRY_COMPARE(copy.computerSeats().size(), 8);
    QCOMPARE(copy.freeSeats(), 1);
    QCOMPARE(copy.table.waiting(), 1);
    QCOMPARE(waiting.last().first().toInt(), 1);

    QSignalSpy roundStarted(&copy.own, &ClientSession::roundStarted);
    copy.settings.pause = 600; // the next round waits while the test looks between rounds
    copy.own.sendMessage(Msg::startgameToHost("You", 100, 60, 4, 4));
    QTRY_VERIFY(!roundStarted.isEmpty());
    RawClient ann(copy.port());
    QVERIFY(ann.login("Ann"));
    QCOMPARE(ann.count("CMD_full"), 0);
    QCOMPARE(copy.freeSeats(), 0);
    QTest::qWait(100);
    QCOMPARE(copy.computerSeats().size(), 8); // not in the middle of a round

    const ComputerPlayer *last = copy.table.players().last();
    const QByteArray standing = last->name();
    const int itsSeat = last->seat();
    tickUntilActionChanges(copy.server);
    QTRY_COMPARE(copy.freeSeats(), 1);
    QVERIFY(!copy.server.seat(itsSeat).connected);
    QCOMPARE(copy.computerSeats().size(), 7);
    QCOMPARE(copy.table.waiting(), 2);
    QCOMPARE(waiting.last().first().toInt(), 2);

    ann.socket().disconnectFromHost();
    QTRY_COMPARE(copy.computerSeats().size(), 8);
    QCOMPARE(copy.freeSeats(), 1);
    QCOMPARE(copy.table.players().last()->name(), standing);
    QCOMPARE(copy.table.waiting(), 1);
}

// Nine connections that never log in take every seat before the computers come: they are
// refused and try again, each pause longer, up to the longest. Once the seats free, they are
// back well within that longest pause.
void TestHostGame::computersComeBackAfterSilentSeats()
{
    HostingCopy copy;
    QVERIFY(copy.open());
    Clients silent;
    for (int i = 0; i < 9; ++i)
        silent.push_back(std::make_unique<RawClient>(copy.port()));
    for (const auto &c : silent)
        QVERIFY(QTest::qWaitFor([&] { return c->seat() > 0; }, 5000));
    QTRY_VERIFY(copy.own.loggedIn());
    QCOMPARE(copy.freeSeats(), 0);

    copy.table.setCount(3);
    QTRY_VERIFY(copy.table.retryPauseMs() == 400); // refused again and again: 50, 100, 200, 400
    QVERIFY(copy.computerSeats().isEmpty());
    QCOMPARE(copy.table.waiting(), 3);

    silent.clear();
    QTRY_COMPARE_WITH_TIMEOUT(copy.computerSeats().size(), 3, 5000);
    QCOMPARE(copy.table.waiting(), 0);
    QTRY_COMPARE(copy.table.retryPauseMs(), 50); // once the own copy has seen them seated
}

QTEST_GUILESS_MAIN(TestHostGame)
#include "tst_hostgame.moc"
