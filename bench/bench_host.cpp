// How long a player waits for the host's verdict on a word: CMD_playerdone out, CMD_goodword
// (or CMD_notvalid) back, over loopback, beside a raw loopback echo measured in the same run.
// The host takes one message per 10 ms tick, so the verdict is expected to cost tens of
// milliseconds once several players submit at once; the echo shows what the network adds.
// The same verdict is measured while another player floods the host with chat lines (keeping
// 100 to 200 of them waiting all the time), beside the verdict with nobody flooding: the host
// serves connections in turn, so the flood should cost about one tick, not its length.

#include "host/hostsettings.h"
#include "host/tserver.h"
#include "words/wordchecker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int EchoRounds = 2000;
constexpr int SoloWords = 200;
constexpr int Players = 9;
constexpr int WordsPerPlayer = 100;
constexpr int PathLength = 8;
// A flooder keeps between FloodBatch and 2 * FloodBatch lines waiting at the host (below the
// host's bound of 256 per connection, which would close it).
constexpr int FloodBatch = 100;

class EveryWord : public WordChecker {
public:
    bool isword(QByteArrayView) override { return true; }
};

struct Percentiles {
    double p50 = 0;
    double p99 = 0;
};

Percentiles percentiles(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    if (ns.empty())
        return {};
    const auto at = [&](double q) { return ns[size_t(q * double(ns.size() - 1))] / 1e6; };
    return {at(0.50), at(0.99)};
}

// Runs the event loop until done() holds or the time is up.
bool runUntil(const std::function<bool()> &done, int ms = 120000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

// Round trips of one small message through an in-process echo over loopback.
std::vector<qint64> measureEcho()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    QTcpSocket *peer = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, peer, [&] { peer->write(peer->readAll()); });
    });
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, server.serverPort());
    runUntil([&] { return peer != nullptr && client.state() == QAbstractSocket::ConnectedState; });

    const QByteArray message = QByteArray("CMD_playerdone+1+1+0+0+2+0+1+3+0+2+4+0+3") + '\xFF';
    std::vector<qint64> ns;
    QElapsedTimer clock;
    QByteArray got;
    QObject::connect(&client, &QTcpSocket::readyRead, [&] {
        got += client.readAll();
        if (got.size() < message.size())
            return;
        ns.push_back(clock.nsecsElapsed());
        got.clear();
        if (int(ns.size()) < EchoRounds) {
            clock.start();
            client.write(message);
        }
    });
    clock.start();
    client.write(message);
    runUntil([&] { return int(ns.size()) == EchoRounds; });
    return ns;
}

// A raw player: logs in, then submits random paths one after another, each once the
// verdict on the previous one came back.
class Bot {
public:
    Bot(quint16 port, int index) : m_rng(index)
    {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { take(); });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }

    int seat = 0;
    bool inRound = false;
    std::vector<qint64> latencies;

    void say(const QByteArray &message) { m_socket.write(message + '\xFF'); }
    // gapMs: how long the player thinks between a verdict and the next word.
    void submit(int words, int gapMs = 0)
    {
        m_left = words;
        m_gapMs = gapMs;
        next();
    }
    bool done() const { return m_left == 0 && !m_waiting; }
    // Keeps the host busy with this player's chat lines until stopped.
    void flood(bool on)
    {
        m_flooding = on;
        if (on) {
            m_echoes = 0;
            sendFlood(2 * FloodBatch);
        }
    }
    int floodEchoes() const { return m_echoes; }

private:
    void next()
    {
        m_waiting = m_left > 0;
        if (m_left == 0)
            return;
        if (m_gapMs > 0 && !m_thinking) {
            m_thinking = true;
            QTimer::singleShot(m_gapMs, &m_socket, [this] {
                m_thinking = false;
                sendNext();
            });
            return;
        }
        sendNext();
    }

    void sendFlood(int lines)
    {
        QByteArray burst;
        for (int i = 0; i < lines; ++i)
            burst += "CMD_chat+" + QByteArray::number(seat) + "+flood|clRed" + '\xFF';
        m_socket.write(burst);
    }

    void sendNext()
    {
        --m_left;
        m_clock.start();
        say(randomPath());
    }

    QByteArray randomPath()
    {
        // A self-avoiding walk of neighbours on the 10x10 board; restart when stuck.
        for (;;) {
            std::vector<std::pair<int, int>> path{{int(m_rng() % 10), int(m_rng() % 10)}};
            while (int(path.size()) < PathLength) {
                std::vector<std::pair<int, int>> options;
                const auto [x, y] = path.back();
                for (int dx = -1; dx <= 1; ++dx) {
                    for (int dy = -1; dy <= 1; ++dy) {
                        const std::pair<int, int> p{x + dx, y + dy};
                        if ((dx || dy) && p.first >= 0 && p.first < 10 && p.second >= 0
                            && p.second < 10 && std::find(path.begin(), path.end(), p) == path.end())
                            options.push_back(p);
                    }
                }
                if (options.empty())
                    break;
                path.push_back(options[m_rng() % options.size()]);
            }
            if (int(path.size()) < PathLength)
                continue;
            QByteArray message = "CMD_playerdone+" + QByteArray::number(seat);
            for (int k = 0; k < PathLength; ++k) {
                message += "+" + QByteArray::number(k + 1) + "+" + QByteArray::number(path[k].first)
                    + "+" + QByteArray::number(path[k].second);
            }
            return message;
        }
    }

    void take()
    {
        m_partial += m_socket.readAll();
        qsizetype end;
        while ((end = m_partial.indexOf('\xFF')) >= 0) {
            handle(m_partial.left(end));
            m_partial.remove(0, end + 1);
        }
    }

    void handle(const QByteArray &message)
    {
        if (message.startsWith("CMD_sendlogininfo+")) {
            seat = message.mid(18).toInt();
            say("CMD_logininfo+" + QByteArray::number(seat) + "+1.0.6+Bot" + QByteArray::number(seat)
                + '\xFF');
        } else if (message.startsWith("CMD_nextplayer+")) {
            inRound = true;
        } else if (message == "CMD_chat+Bot" + QByteArray::number(seat) + " chats: flood|clRed") {
            ++m_echoes;
            if (m_flooding && m_echoes % FloodBatch == 0)
                sendFlood(FloodBatch);
        } else if (m_waiting
                   && (message.startsWith("CMD_goodword+") || message.startsWith("CMD_notvalid+"))) {
            latencies.push_back(m_clock.nsecsElapsed());
            next();
        }
    }

    QTcpSocket m_socket;
    QByteArray m_partial;
    QElapsedTimer m_clock;
    std::mt19937 m_rng;
    int m_left = 0;
    bool m_waiting = false;
    bool m_thinking = false;
    int m_gapMs = 0;
    bool m_flooding = false;
    int m_echoes = 0;
};

void print(const char *what, const Percentiles &p, const Percentiles &echo)
{
    std::printf("%-34s p50 %8.3f ms  p99 %8.3f ms   (x%.0f / x%.0f echo)\n", what, p.p50, p.p99,
                echo.p50 > 0 ? p.p50 / echo.p50 : 0.0, echo.p99 > 0 ? p.p99 / echo.p99 : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);

    const Percentiles echo = percentiles(measureEcho());

    EveryWord words;
    DefaultHostSettings settings;
    QRandomGenerator rng(1);
    TServer host(words, settings, rng, 0);
    host.startListening();

    std::vector<std::unique_ptr<Bot>> bots;
    for (int i = 0; i < Players; ++i) {
        bots.push_back(std::make_unique<Bot>(host.listeningPort(), i + 1));
        // One at a time, so the seats come in order and bot 0 is the hosting player.
        if (!runUntil([&] { return bots.back()->seat == i + 1; }, 10000)) {
            std::fprintf(stderr, "bot %d got no seat\n", i + 1);
            return 1;
        }
    }
    bots[0]->say("CMD_startgame+Bench+100000+600+7+3+0+");
    const auto allInRound = [&] {
        return std::all_of(bots.begin(), bots.end(), [](const auto &b) { return b->inRound; });
    };
    if (!runUntil(allInRound, 30000)) {
        std::fprintf(stderr, "the round did not start\n");
        return 1;
    }

    bots[0]->submit(SoloWords);
    runUntil([&] { return bots[0]->done(); });
    const Percentiles solo = percentiles(bots[0]->latencies);
    const size_t soloCount = bots[0]->latencies.size();

    // A player who thinks between words: the queue is idle when each word arrives.
    bots[0]->latencies.clear();
    bots[0]->submit(SoloWords / 4, 25);
    runUntil([&] { return bots[0]->done(); }, 60000);
    const Percentiles thinking = percentiles(bots[0]->latencies);

    // The same, while the player of seat 2 floods the host with chat lines.
    bots[0]->latencies.clear();
    bots[1]->flood(true);
    runUntil([&] { return bots[1]->floodEchoes() >= FloodBatch; }, 30000);
    bots[0]->submit(SoloWords / 4, 25);
    runUntil([&] { return bots[0]->done(); }, 600000);
    bots[1]->flood(false);
    const Percentiles flooded = percentiles(bots[0]->latencies);
    const size_t floodedCount = bots[0]->latencies.size();
    runUntil([&] { return bots[1]->floodEchoes() % FloodBatch == 0; }, 30000);

    std::vector<qint64> crowd;
    for (auto &bot : bots) {
        bot->latencies.clear();
        bot->submit(WordsPerPlayer);
    }
    runUntil([&] { return std::all_of(bots.begin(), bots.end(), [](const auto &b) { return b->done(); }); });
    for (auto &bot : bots)
        crowd.insert(crowd.end(), bot->latencies.begin(), bot->latencies.end());
    const Percentiles nine = percentiles(crowd);

    std::printf("%-34s p50 %8.3f ms  p99 %8.3f ms\n", "loopback echo round trip", echo.p50,
                echo.p99);
    print("verdict, 1 player, back to back", solo, echo);
    print("verdict, 1 player, 25 ms between", thinking, echo);
    print("same, while another floods", flooded, echo);
    std::printf("%-34s p50 %+8.3f ms  p99 %+8.3f ms   (%.1f / %.1f host ticks; %zu verdicts, "
                "%d flood lines relayed)\n",
                "the flood adds", flooded.p50 - thinking.p50, flooded.p99 - thinking.p99,
                (flooded.p50 - thinking.p50) / 10.0, (flooded.p99 - thinking.p99) / 10.0,
                floodedCount, bots[1]->floodEchoes());
    print("verdict, 9 players submitting", nine, echo);
    std::printf("(%zu echo round trips, %zu + %zu verdicts; the host queue takes one message "
                "per 10 ms tick)\n",
                size_t(EchoRounds), soloCount, crowd.size());
    return 0;
}
