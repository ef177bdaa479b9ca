#include <QSignalSpy>
#include <QTest>

#include "net/fieldreader.h"
#include "net/messageframer.h"
#include "net/messages.h"
#include "net/receivequeue.h"

#include <QRegularExpression>

namespace {

const QByteArray FF(1, '\xFF');

struct Call {
    QByteArray keyword;
    QByteArray payload;
    int source;
    bool operator==(const Call &) const = default;
};

// A queue whose handlers log every call, with keywords of both sides' tables.
class Recorder {
public:
    explicit Recorder(ReceiveQueue &queue)
    {
        for (const char *keyword : {"CMD_logininfo", "CMD_chat", "CMD_timeup", "CMD_loadboard"}) {
            queue.addHandler(keyword, [this, keyword](const QByteArray &payload, int source) {
                calls.append({keyword, payload, source});
            });
        }
    }
    QList<Call> calls;
};

} // namespace

Q_DECLARE_METATYPE(Call)

class TestReceiveQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- framing -----------------------------------------------------------------

    // Reads, as they arrive, and the messages they complete.
    void framing_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("messages");
        QTest::addColumn<int>("partial");
        QTest::newRow("two messages in one read")
            << QList<QByteArray>{"CMD_a+1" + FF + "CMD_b+2" + FF}
            << QList<QByteArray>{"CMD_a+1", "CMD_b+2"} << 0;
        QTest::newRow("one message in two reads")
            << QList<QByteArray>{"CMD_chat+2+he", "llo|clRed" + FF}
            << QList<QByteArray>{"CMD_chat+2+hello|clRed"} << 0;
        QTest::newRow("terminator alone in the second read")
            << QList<QByteArray>{"CMD_a+1", FF} << QList<QByteArray>{"CMD_a+1"} << 0;
        QTest::newRow("login's double terminator gives no empty message")
            << QList<QByteArray>{Msg::logininfo(2, "1.0.6", "Ann" + FF)}
            << QList<QByteArray>{"CMD_logininfo+2+1.0.6+Ann"} << 0;
        QTest::newRow("tail waits for its terminator")
            << QList<QByteArray>{"CMD_a+1" + FF + "CMD_b"} << QList<QByteArray>{"CMD_a+1"} << 5;
        QTest::newRow("no terminator yet") << QList<QByteArray>{"CMD_a", "+1"}
                                           << QList<QByteArray>{} << 7;
        QTest::newRow("empty reads") << QList<QByteArray>{"", "x" + FF, ""}
                                     << QList<QByteArray>{"x"} << 0;
        QTest::newRow("terminators only") << QList<QByteArray>{FF + FF + FF, FF}
                                          << QList<QByteArray>{} << 0;
    }
    void framing()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QList<QByteArray>, messages);
        QFETCH(int, partial);
        MessageFramer framer;
        QList<QByteArray> got;
        for (const QByteArray &read : reads)
            got += framer.feed(read);
        QCOMPARE(got, messages);
        QCOMPARE(int(framer.partialSize()), partial);
        QVERIFY(!framer.overflowed());
    }

    // A peer that never sends a terminator cannot make us buffer more than the limit.
    void framingOverflow()
    {
        MessageFramer framer(64 * 1024);
        const QByteArray chunk(16 * 1024, 'a');
        QList<QByteArray> got = framer.feed("CMD_a+1" + FF);
        for (int i = 0; i < 4; ++i)
            got += framer.feed(chunk);
        QVERIFY(!framer.overflowed()); // exactly at the limit is still a message
        got += framer.feed("b");
        QVERIFY(framer.overflowed());
        QCOMPARE(framer.partialSize(), 0);
        QCOMPARE(got, QList<QByteArray>{"CMD_a+1"});
        QVERIFY(framer.feed("CMD_c+1" + FF).isEmpty()); // nothing more from this peer
        framer.reset();
        QCOMPARE(framer.feed("CMD_c+1" + FF), QList<QByteArray>{"CMD_c+1"});
    }

    void framingLimitHoldsForWholeMessages_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("overflows");
        QTest::newRow("at the limit") << 64 * 1024 << false;
        QTest::newRow("one past") << 64 * 1024 + 1 << true;
    }
    void framingLimitHoldsForWholeMessages()
    {
        QFETCH(int, length);
        QFETCH(bool, overflows);
        MessageFramer framer;
        const QList<QByteArray> got = framer.feed(QByteArray(length, 'm') + FF + "x" + FF);
        QCOMPARE(framer.overflowed(), overflows);
        QCOMPARE(got.size(), overflows ? 0 : 2);
    }

    // A client skips a message too long to take, up to its terminator, in whatever reads it
    // comes, and goes on with the next.
    void framingSkipsAnOverlongMessage_data()
    {
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("messages");
        const QByteArray big(64 * 1024 + 1, 'm');
        QTest::newRow("in one read") << QList<QByteArray>{"CMD_a+1" + FF + big + FF + "CMD_b+2" + FF}
                                     << QList<QByteArray>{"CMD_a+1", "CMD_b+2"};
        QTest::newRow("across reads")
            << QList<QByteArray>{"CMD_a+1" + FF + big.left(40000), big.mid(40000), "mm", "m" + FF + "CMD_b+2" + FF}
            << QList<QByteArray>{"CMD_a+1", "CMD_b+2"};
        QTest::newRow("terminator alone in the next read")
            << QList<QByteArray>{big, FF, "CMD_b+2" + FF} << QList<QByteArray>{"CMD_b+2"};
    }
    void framingSkipsAnOverlongMessage()
    {
        QFETCH(QList<QByteArray>, reads);
        QFETCH(QList<QByteArray>, messages);
        MessageFramer framer(64 * 1024, MessageFramer::Overflow::SkipMessage);
        QTest::ignoreMessage(QtWarningMsg, "discarding a message longer than 65536 bytes");
        QList<QByteArray> got;
        for (const QByteArray &read : reads)
            got += framer.feed(read);
        QCOMPARE(got, messages);
        QVERIFY(!framer.overflowed());
        QCOMPARE(framer.skippedMessages(), 1);
        QCOMPARE(framer.partialSize(), 0);
    }

    // --- dispatch ----------------------------------------------------------------

    // Entries and what reaches a handler: keyword exact, payload after the first "+".
    void dispatch_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QList<Call>>("calls");
        QTest::newRow("payload keeps its +")
            << QByteArray("CMD_chat+2+a+b|clRed")
            << QList<Call>{{"CMD_chat", "2+a+b|clRed", 0}};
        QTest::newRow("loadboard's payload starts at the first +")
            << QByteArray("CMD_loadboard+0+0+29") << QList<Call>{{"CMD_loadboard", "0+0+29", 0}};
        QTest::newRow("empty payload") << QByteArray("CMD_chat+") << QList<Call>{{"CMD_chat", "", 0}};
        QTest::newRow("known keyword without + is dropped") << QByteArray("CMD_timeup")
                                                            << QList<Call>{};
        QTest::newRow("empty entry") << QByteArray() << QList<Call>{};
        QTest::newRow("empty keyword") << QByteArray("+CMD_chat+1") << QList<Call>{};
        QTest::newRow("wrong letter case") << QByteArray("CMD_Chat+1") << QList<Call>{};
        QTest::newRow("unknown keyword") << QByteArray("CMD_chatter+1") << QList<Call>{};
        QTest::newRow("keyword prefix") << QByteArray("CMD_cha+1") << QList<Call>{};
        QTest::newRow("tail after a 0xFF in a chat line") << QByteArray("rest of line|clRed")
                                                          << QList<Call>{};
    }
    void dispatch()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QList<Call>, calls);
        ReceiveQueue queue(10);
        Recorder recorder(queue);
        queue.enqueue(entry);
        // What no handler takes is never queued: a flood of it costs no memory.
        QCOMPARE(queue.size(), int(calls.size()));
        queue.tick();
        QCOMPARE(recorder.calls, calls);
        QCOMPARE(queue.size(), 0);
    }

    // The login example end to end: the second 0xFF's empty message is never queued.
    void loginExampleQueuesOnlyTheLogin()
    {
        ReceiveQueue queue(10);
        Recorder recorder(queue);
        MessageFramer framer;
        for (const QByteArray &message : framer.feed(Msg::logininfo(2, "1.0.6", "Ann" + FF)))
            queue.enqueue(message, 7);
        QCOMPARE(queue.size(), 1);
        queue.tick();
        QCOMPARE(recorder.calls, (QList<Call>{{"CMD_logininfo", "2+1.0.6+Ann", 7}}));
        QCOMPARE(queue.size(), 0);
    }

    void oneEntryPerTickInOrder()
    {
        ReceiveQueue queue(10);
        Recorder recorder(queue);
        MessageFramer framer;
        for (const QByteArray &m : framer.feed("CMD_chat+1" + FF + "CMD_timeup+2" + FF))
            queue.enqueue(m);
        queue.tick();
        QCOMPARE(recorder.calls, (QList<Call>{{"CMD_chat", "1", 0}}));
        queue.tick();
        QCOMPARE(recorder.calls.size(), 2);
        QCOMPARE(recorder.calls.last(), (Call{"CMD_timeup", "2", 0}));
        queue.tick(); // empty queue: an empty entry
        QCOMPARE(recorder.calls.size(), 2);
    }

    void firstMatchingHandlerWins()
    {
        ReceiveQueue queue(10);
        QStringList order;
        queue.addHandler("CMD_chat", [&](const QByteArray &, int) { order << "first"; });
        queue.addHandler("CMD_chat", [&](const QByteArray &, int) { order << "second"; });
        queue.enqueue("CMD_chat+x");
        queue.tick();
        QCOMPARE(order, QStringList{"first"});
    }

    // --- sources -------------------------------------------------------------------

    void pendingFromCountsPerSource()
    {
        ReceiveQueue queue(10);
        Recorder recorder(queue);
        queue.enqueue("CMD_chat+a", 1);
        queue.enqueue("CMD_chat+b", 2);
        queue.enqueue("CMD_chat+c", 1);
        QCOMPARE(queue.pendingFrom(1), 2);
        QCOMPARE(queue.pendingFrom(2), 1);
        QCOMPARE(queue.pendingFrom(3), 0);
        queue.tick();
        QCOMPARE(queue.pendingFrom(1), 1);
        queue.dropFrom(1);
        QCOMPARE(queue.pendingFrom(1), 0);
        QCOMPARE(queue.size(), 1);
        queue.tick();
        QCOMPARE(recorder.calls,
                 (QList<Call>{{"CMD_chat", "a", 1}, {"CMD_chat", "b", 2}}));
        QCOMPARE(queue.pendingFrom(2), 0);
    }

    // Connections with work take turns: a flood from one delays another's message by one
    // tick, and each connection's own messages keep their order.
    void sourcesTakeTurns()
    {
        ReceiveQueue queue(10);
        Recorder recorder(queue);
        for (const char *m : {"a1", "a2", "a3", "a4"})
            queue.enqueue("CMD_chat+" + QByteArray(m), 1);
        queue.enqueue("CMD_chat+b1", 2);
        queue.enqueue("CMD_chat+c1", 3);
        queue.enqueue("CMD_chat+b2", 2);
        while (queue.size() > 0)
            queue.tick();
        QByteArrayList order;
        for (const Call &c : recorder.calls)
            order << c.payload;
        QCOMPARE(order, QByteArrayList({"a1", "b1", "c1", "a2", "b2", "a3", "a4"}));
    }

    // A close is an entry of its source: it comes after what the source queued before it,
    // and dropping the source's messages keeps it.
    void closeComesAfterItsSourcesMessages()
    {
        ReceiveQueue queue(10);
        Recorder recorder(queue);
        QList<int> closed;
        queue.setCloseHandler([&](int source) {
            closed << source;
            recorder.calls.append({"close", {}, source});
        });
        queue.enqueue("CMD_chat+a1", 1);
        queue.enqueue("CMD_chat+a2", 1);
        queue.enqueueClose(1);
        queue.enqueue("CMD_chat+b1", 2);
        queue.enqueueClose(2);
        queue.enqueue("CMD_chat+c1", 3);
        queue.enqueueClose(3);
        queue.dropFrom(3);
        QCOMPARE(queue.size(), 6);
        while (queue.size() > 0)
            queue.tick();
        QCOMPARE(recorder.calls, (QList<Call>{{"CMD_chat", "a1", 1}, {"CMD_chat", "b1", 2},
                                              {"close", {}, 3}, {"CMD_chat", "a2", 1},
                                              {"close", {}, 2}, {"close", {}, 1}}));
        QCOMPARE(closed, (QList<int>{3, 2, 1}));
    }

    // Past its bound in entries or in bytes the queue takes nothing more and says so.
    void limits_data()
    {
        QTest::addColumn<int>("maxEntries");
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<int>("queued");
        QTest::newRow("entries") << 3 << 0 << 3;
        QTest::newRow("bytes") << 0 << 25 << 2; // each message is 12 bytes
        QTest::newRow("unbounded") << 0 << 0 << 5;
    }
    void limits()
    {
        QFETCH(int, maxEntries);
        QFETCH(int, maxBytes);
        QFETCH(int, queued);
        ReceiveQueue queue(10);
        Recorder recorder(queue);
        queue.setLimits(maxEntries, maxBytes);
        QList<ReceiveQueue::Enqueued> results;
        for (int i = 0; i < 5; ++i)
            results << queue.enqueue("CMD_chat+" + QByteArray::number(i) + "ab");
        QCOMPARE(queue.size(), queued);
        QCOMPARE(queue.bytes(), qsizetype(12 * queued));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(results[i], i < queued ? ReceiveQueue::Enqueued::Queued : ReceiveQueue::Enqueued::Full);
        QCOMPARE(queue.enqueue("CMD_nobody+1"), ReceiveQueue::Enqueued::Ignored);
        queue.tick();
        QCOMPARE(queue.bytes(), qsizetype(12 * (queued - 1)));
        if (maxEntries > 0)
            QCOMPARE(queue.enqueue("CMD_chat+xyab"), ReceiveQueue::Enqueued::Queued);
    }

    // --- bad payloads ----------------------------------------------------------------

    void fieldErrorDropsOnlyThatMessage()
    {
        ReceiveQueue queue(10);
        QList<int> seats;
        queue.addHandler("CMD_nextplayer", [&](const QByteArray &payload, int) {
            FieldReader reader(payload);
            seats.append(reader.number());
        });
        queue.enqueue("CMD_nextplayer+two+");
        queue.enqueue("CMD_nextplayer+3+");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("CMD_nextplayer"));
        queue.tick();
        queue.tick();
        QCOMPARE(seats, QList<int>{3});
    }

    // --- the timer -------------------------------------------------------------------

    void timerRunsOnlyWithWork()
    {
        ReceiveQueue queue(1);
        Recorder recorder(queue);
        QSignalSpy ticks(&queue, &ReceiveQueue::ticked);
        QVERIFY(!queue.timerActive());
        queue.enqueue("CMD_chat+1");
        queue.enqueue("CMD_chat+2");
        QVERIFY(queue.timerActive());
        QTRY_COMPARE(recorder.calls.size(), 2);
        QTRY_VERIFY(!queue.timerActive());
        QCOMPARE(recorder.calls.last().payload, QByteArray("2"));
        QVERIFY(ticks.size() >= 2);
    }

    void keepAliveHoldsTheTimer()
    {
        ReceiveQueue queue(1);
        QSignalSpy ticks(&queue, &ReceiveQueue::ticked);
        queue.setKeepAlive(true);
        QVERIFY(queue.timerActive());
        QVERIFY(ticks.wait());
        QVERIFY(queue.timerActive());
        queue.setKeepAlive(false);
        QVERIFY(!queue.timerActive());
    }

    void droppingTheLastSourceStopsTheTimer()
    {
        ReceiveQueue queue(1000);
        Recorder recorder(queue);
        queue.enqueue("CMD_chat+1", 4);
        QVERIFY(queue.timerActive());
        queue.dropFrom(4);
        QVERIFY(!queue.timerActive());
    }
};

QTEST_GUILESS_MAIN(TestReceiveQueue)
#include "tst_receivequeue.moc"
