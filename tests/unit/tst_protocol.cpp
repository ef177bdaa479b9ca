#include <QTest>

#include "net/colortext.h"
#include "net/fieldreader.h"
#include "net/messages.h"
#include "net/protocol.h"

#include <optional>

Q_DECLARE_METATYPE(std::optional<int>)
Q_DECLARE_METATYPE(std::optional<quint32>)

namespace {

// A message as it goes on the wire: the text and its terminator.
QByteArray wire(const QByteArray &text)
{
    return text + '\xFF';
}

const QByteArray FF(1, '\xFF');

} // namespace

class TestProtocol : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- builders: byte-exact layouts -------------------------------------------------

    void builders_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");

        Msg::SeatValues scores{5, 0, 7, 0, 0, 0, 0, 0, 0, 12};
        Msg::SeatValues round{1, 0, 3, 0, 0, 0, 0, 0, 0, -2};

        // The login example: Ann joins, Bob sits in seat 1.
        QTest::newRow("sendlogininfo") << Msg::sendlogininfo(2) << wire("CMD_sendlogininfo+2");
        QTest::newRow("logininfo, name with its 0xFF")
            << Msg::logininfo(2, Protocol::Version, "Ann" + FF)
            << wire("CMD_logininfo+2+1.0.6+Ann" + FF);
        QTest::newRow("logininfo, bare name")
            << Msg::logininfo(2, "1.0.6", "Ann") << wire("CMD_logininfo+2+1.0.6+Ann" + FF);
        QTest::newRow("newplayerinfo") << Msg::newplayerinfo(2, "Ann")
                                       << wire("CMD_newplayerinfo+2+Ann");
        QTest::newRow("existingplayers") << Msg::existingplayers(1, "Bob")
                                         << wire("CMD_existingplayers+1+Bob");
        QTest::newRow("full") << Msg::full() << wire("CMD_full+");
        QTest::newRow("havewrongversion") << Msg::havewrongversion("Ann Lee")
                                          << wire("CMD_havewrongversion+Ann Lee");
        QTest::newRow("wrongversion") << Msg::wrongversion() << wire("CMD_wrongversion+");
        QTest::newRow("playerdisconnected, never logged in")
            << Msg::playerdisconnected(4, "") << wire("CMD_playerdisconnected+4+");
        QTest::newRow("kickhim") << Msg::kickhim(1, 3) << wire("CMD_kickhim+1+3+");
        QTest::newRow("justwatch") << Msg::justwatch(4, 1) << wire("CMD_justwatch+4+1");
        QTest::newRow("justwatching") << Msg::justwatching(4, 2) << wire("CMD_justwatching+4+2");

        QTest::newRow("chat to host keeps + in the line")
            << Msg::chatToHost(2, "a+b", "clRed") << wire("CMD_chat+2+a+b|clRed");
        QTest::newRow("chat to seats")
            << Msg::chatToSeats("Ann", "a+b|clRed") << wire("CMD_chat+Ann chats: a+b|clRed");
        QTest::newRow("action to host, phrase button")
            << Msg::actionToHost(2, "says: Thanks!", "$00112233")
            << wire("CMD_action+2+says: Thanks!|$00112233");
        QTest::newRow("action to seats")
            << Msg::actionToSeats("Ann", "waves|clBlack") << wire("CMD_action+Ann waves|clBlack");
        QTest::newRow("playasound to host") << Msg::playasoundToHost(3, 14)
                                            << wire("CMD_playasound+3+wave14+");
        QTest::newRow("playasound to seats") << Msg::playasoundToSeats(3, "wave14+")
                                             << wire("CMD_playasound+3+wave14+");

        QTest::newRow("startgame to host") << Msg::startgameToHost("Bob", 100, 60, 8, 4)
                                           << wire("CMD_startgame+Bob+100+60+8+4+0+");
        QTest::newRow("startgame relayed as received")
            << Msg::startgameToSeats({"Bob", "100", "x", "8", "4", "0"})
            << wire("CMD_startgame+Bob+100+x+8+4+0+");
        QTest::newRow("startgame relay pads missing fields")
            << Msg::startgameToSeats({"Bob", "100", "60", "8"})
            << wire("CMD_startgame+Bob+100+60+8+++");
        QTest::newRow("startgame relay drops extra fields")
            << Msg::startgameToSeats({"a", "b", "c", "d", "e", "f", "g"})
            << wire("CMD_startgame+a+b+c+d+e+f+");

        QTest::newRow("loadboard follows the keyword directly")
            << Msg::loadboard("+0+0+29+0+1+5") << wire("CMD_loadboard+0+0+29+0+1+5");
        QTest::newRow("loadstats, negative time left")
            << Msg::loadstats(3, 100, 60, 8, 4, -3, 1, scores)
            << wire("CMD_loadstats+3+100+60+8+4+-3+1"
                    "+1+5+2+0+3+7+4+0+5+0+6+0+7+0+8+0+9+0+10+12");
        QTest::newRow("nextplayer") << Msg::nextplayer(2) << wire("CMD_nextplayer+2+");
        QTest::newRow("playerdone, the three-letter example")
            << Msg::playerdone(2, {{3, 4}, {4, 4}, {4, 5}})
            << wire("CMD_playerdone+2+1+3+4+2+4+4+3+4+5");
        QTest::newRow("notvalid") << Msg::notvalid(2, 3, "AT") << wire("CMD_notvalid+2+3+AT+");
        QTest::newRow("goodword") << Msg::goodword(2, 3, "TEAM", 4, 1)
                                  << wire("CMD_goodword+2+3+TEAM+4+1+");
        QTest::newRow("addscore") << Msg::addscore(2, 3, 17) << wire("CMD_addscore+2+3+17+");
        QTest::newRow("timeup follows the keyword directly")
            << Msg::timeup(round, scores)
            << wire("CMD_timeup+1+1+5+2+0+0+3+3+7+4+0+0+5+0+0+6+0+0+7+0+0+8+0+0+9+0+0"
                    "+10+-2+12");
        QTest::newRow("mainlist") << Msg::mainlist(3, {"ANT", "BEE"})
                                  << wire("CMD_mainlist+3+ANT+BEE");
        QTest::newRow("mainlist without words") << Msg::mainlist(3, {})
                                                << wire("CMD_mainlist+3+No Words");
        QTest::newRow("winner") << Msg::winner("Ann") << wire("CMD_winner+Ann+");
    }
    void builders()
    {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, expected);
        QCOMPARE(built, expected);
    }

    // A 0xFF typed into any text field must not end the message early.
    void buildersCleanTextFields_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<int>("terminators");
        const QByteArray evil = "x" + FF + "CMD_kickhim+1+2+" + FF;
        QTest::newRow("logininfo name") << Msg::logininfo(2, evil, evil) << 2;
        QTest::newRow("newplayerinfo") << Msg::newplayerinfo(2, evil) << 1;
        QTest::newRow("existingplayers") << Msg::existingplayers(2, evil) << 1;
        QTest::newRow("havewrongversion") << Msg::havewrongversion(evil) << 1;
        QTest::newRow("playerdisconnected") << Msg::playerdisconnected(2, evil) << 1;
        QTest::newRow("chat to host") << Msg::chatToHost(2, evil, evil) << 1;
        QTest::newRow("chat to seats") << Msg::chatToSeats(evil, evil) << 1;
        QTest::newRow("action to host") << Msg::actionToHost(2, evil, evil) << 1;
        QTest::newRow("action to seats") << Msg::actionToSeats(evil, evil) << 1;
        QTest::newRow("playasound to seats") << Msg::playasoundToSeats(2, evil) << 1;
        QTest::newRow("startgame to host") << Msg::startgameToHost(evil, 1, 2, 3, 4) << 1;
        QTest::newRow("startgame relay") << Msg::startgameToSeats({evil, evil}) << 1;
        QTest::newRow("loadboard") << Msg::loadboard(evil) << 1;
        QTest::newRow("notvalid") << Msg::notvalid(2, 1, evil) << 1;
        QTest::newRow("goodword") << Msg::goodword(2, 1, evil, 1, 1) << 1;
        QTest::newRow("mainlist") << Msg::mainlist(2, {evil, evil}) << 1;
        QTest::newRow("winner") << Msg::winner(evil) << 1;
    }
    void buildersCleanTextFields()
    {
        QFETCH(QByteArray, built);
        QFETCH(int, terminators);
        QCOMPARE(int(built.count('\xFF')), terminators);
        QVERIFY(built.endsWith(QByteArray(terminators, '\xFF')));
        QVERIFY(built.contains("xCMD_kickhim+1+2+"));
    }

    // --- colour text -----------------------------------------------------------------

    void colorToText_data()
    {
        QTest::addColumn<quint32>("color");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("black") << 0x000000u << QByteArray("clBlack");
        QTest::newRow("maroon is red 128") << 0x000080u << QByteArray("clMaroon");
        QTest::newRow("navy is blue 128") << 0x800000u << QByteArray("clNavy");
        QTest::newRow("silver") << 0xC0C0C0u << QByteArray("clSilver");
        QTest::newRow("red") << 0x0000FFu << QByteArray("clRed");
        QTest::newRow("blue") << 0xFF0000u << QByteArray("clBlue");
        QTest::newRow("fuchsia") << 0xFF00FFu << QByteArray("clFuchsia");
        QTest::newRow("aqua") << 0xFFFF00u << QByteArray("clAqua");
        QTest::newRow("white") << 0xFFFFFFu << QByteArray("clWhite");
        QTest::newRow("near black") << 0x000001u << QByteArray("$00000001");
        QTest::newRow("upper-case hex") << 0xABCDEFu << QByteArray("$00ABCDEF");
        QTest::newRow("money green is not written by name") << 0xC0DCC0u
                                                            << QByteArray("$00C0DCC0");
        QTest::newRow("all 32 bits") << 0xFF00000Fu << QByteArray("$FF00000F");
    }
    void colorToText()
    {
        QFETCH(quint32, color);
        QFETCH(QByteArray, text);
        QCOMPARE(::colorToText(color), text);
    }

    void colorFromText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::optional<quint32>>("color");
        using C = std::optional<quint32>;
        QTest::newRow("settings default") << QByteArray("clblack") << C(0);
        QTest::newRow("upper case") << QByteArray("CLRED") << C(0x0000FF);
        QTest::newRow("exact case") << QByteArray("clNavy") << C(0x800000);
        QTest::newRow("extra name") << QByteArray("clMoneyGreen") << C(0xC0DCC0);
        QTest::newRow("system name") << QByteArray("clBtnFace") << C(0xF0F0F0);
        QTest::newRow("system name, any case") << QByteArray("CLWINDOWTEXT") << C(0);
        QTest::newRow("highlight") << QByteArray("clHighlight") << C(0xD77800);
        QTest::newRow("hex") << QByteArray("$00ABCDEF") << C(0xABCDEF);
        QTest::newRow("short lower-case hex") << QByteArray("$ff") << C(0xFF);
        QTest::newRow("system colour in hex") << QByteArray("$FF00000F") << C(0xF0F0F0);
        QTest::newRow("decimal") << QByteArray("255") << C(255);
        QTest::newRow("system colour in decimal") << QByteArray("-16777201") << C(0xF0F0F0);
        QTest::newRow("unknown system index") << QByteArray("-1") << C();
        QTest::newRow("clNone") << QByteArray("clNone") << C();
        QTest::newRow("palette bits") << QByteArray("$02000000") << C();
        QTest::newRow("decimal above 24 bits") << QByteArray("16777216") << C();
        QTest::newRow("nine hex digits") << QByteArray("$000000001") << C();
        QTest::newRow("bare dollar") << QByteArray("$") << C();
        QTest::newRow("bad hex digit") << QByteArray("$12G") << C();
        QTest::newRow("empty") << QByteArray() << C();
        QTest::newRow("name with tail") << QByteArray("clRedX") << C();
        QTest::newRow("number with tail") << QByteArray("12abc") << C();
        QTest::newRow("huge decimal") << QByteArray("99999999999") << C();
        QTest::newRow("padded") << QByteArray(" clRed") << C();
    }
    void colorFromText()
    {
        QFETCH(QByteArray, text);
        QFETCH(std::optional<quint32>, color);
        QCOMPARE(::colorFromText(text), color);
    }

    void colorRoundTrip_data()
    {
        QTest::addColumn<quint32>("color");
        for (quint32 c : {0x000000u, 0x000080u, 0x008000u, 0x008080u, 0x800000u, 0x800080u,
                          0x808000u, 0x808080u, 0xC0C0C0u, 0x0000FFu, 0x00FF00u, 0x00FFFFu,
                          0xFF0000u, 0xFF00FFu, 0xFFFF00u, 0xFFFFFFu, 0x123456u, 0x000001u})
            QTest::newRow(qPrintable(QString::number(c, 16))) << c;
    }
    void colorRoundTrip()
    {
        QFETCH(quint32, color);
        QCOMPARE(::colorFromText(::colorToText(color)), std::optional<quint32>(color));
    }

    // --- numbers and fields ------------------------------------------------------------

    void parseNumber_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<std::optional<int>>("value");
        using N = std::optional<int>;
        QTest::newRow("zero") << QByteArray("0") << N(0);
        QTest::newRow("minus zero") << QByteArray("-0") << N(0);
        QTest::newRow("negative") << QByteArray("-42") << N(-42);
        QTest::newRow("leading zeros") << QByteArray("007") << N(7);
        QTest::newRow("max") << QByteArray("2147483647") << N(2147483647);
        QTest::newRow("min") << QByteArray("-2147483648") << N(-2147483647 - 1);
        QTest::newRow("max + 1") << QByteArray("2147483648") << N();
        QTest::newRow("min - 1") << QByteArray("-2147483649") << N();
        QTest::newRow("huge") << QByteArray("99999999999999999999999") << N();
        QTest::newRow("empty") << QByteArray() << N();
        QTest::newRow("minus alone") << QByteArray("-") << N();
        QTest::newRow("plus alone") << QByteArray("+") << N();
        QTest::newRow("plus sign") << QByteArray("+5") << N();
        QTest::newRow("double minus") << QByteArray("--1") << N();
        QTest::newRow("leading blank") << QByteArray(" 5") << N();
        QTest::newRow("trailing blank") << QByteArray("5 ") << N();
        QTest::newRow("hex") << QByteArray("0x10") << N();
        QTest::newRow("exponent") << QByteArray("1e3") << N();
        QTest::newRow("high byte") << QByteArray("1\xFF") << N();
    }
    void parseNumber()
    {
        QFETCH(QByteArray, text);
        QFETCH(std::optional<int>, value);
        QCOMPARE(::parseNumber(text), value);
    }

    // How the handlers take a payload apart: fields, then the rest.
    void readerFieldsAndRest()
    {
        FieldReader login("2+1.0.6+Ann+Lee");
        QCOMPARE(login.number(), 2);
        QCOMPARE(login.field(), QByteArray("1.0.6"));
        QCOMPARE(login.rest(), QByteArray("Ann+Lee"));

        FieldReader kick("1+3+");
        QCOMPARE(kick.number(), 1);
        QCOMPARE(kick.number(), 3);
        QVERIFY(kick.atEnd());
        QCOMPARE(kick.field(), QByteArray());
        QCOMPARE(kick.field(), QByteArray());

        FieldReader empties("a++b");
        QCOMPARE(empties.field(), QByteArray("a"));
        QCOMPARE(empties.field(), QByteArray());
        QCOMPARE(empties.field(), QByteArray("b"));
        QVERIFY(empties.atEnd());
    }

    void readerNumberRefusesHostileFields_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("empty payload") << QByteArray();
        QTest::newRow("plus only") << QByteArray("+");
        QTest::newRow("minus only") << QByteArray("-+1");
        QTest::newRow("huge") << QByteArray("123456789012+1");
        QTest::newRow("text") << QByteArray("two+1");
        QTest::newRow("blank") << QByteArray(" +1");
    }
    void readerNumberRefusesHostileFields()
    {
        QFETCH(QByteArray, payload);
        FieldReader reader(payload);
        QVERIFY_THROWS_EXCEPTION(FieldError, reader.number());
    }

    // Repeated groups: a seat, then groups of `width` numbers read while groupsLeft(),
    // the "+@" loop of the handlers.
    void readerGroups_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<bool>("fails");
        QTest::newRow("three-letter word") << QByteArray("2+1+3+4+2+4+4+3+4+5") << 3
                                           << QList<int>{1, 3, 4, 2, 4, 4, 3, 4, 5} << false;
        QTest::newRow("seat only: no groups") << QByteArray("2") << 3 << QList<int>{} << false;
        QTest::newRow("seat and separator: an empty group") << QByteArray("2+") << 3
                                                            << QList<int>{} << true;
        QTest::newRow("truncated group") << QByteArray("2+1+3+4+2+4") << 3
                                         << QList<int>{1, 3, 4, 2, 4} << true;
        QTest::newRow("separator after the last group") << QByteArray("2+1+3+4+") << 3
                                                        << QList<int>{1, 3, 4} << true;
        QTest::newRow("empty field inside a group") << QByteArray("2+1++4") << 3
                                                    << QList<int>{1} << true;
        QTest::newRow("score pairs") << QByteArray("7+1+5+2+-3") << 2
                                     << QList<int>{1, 5, 2, -3} << false;
    }
    void readerGroups()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, width);
        QFETCH(QList<int>, values);
        QFETCH(bool, fails);
        FieldReader reader(payload);
        QList<int> read;
        bool failed = false;
        try {
            reader.number();
            while (reader.groupsLeft()) {
                for (int i = 0; i < width; ++i)
                    read.append(reader.number());
            }
        } catch (const FieldError &) {
            failed = true;
        }
        QCOMPARE(read, values);
        QCOMPARE(failed, fails);
    }

    void cleanText()
    {
        QCOMPARE(Protocol::cleanText("\xFF" "a\xFF\xFF" "b\xFF"), QByteArray("ab"));
        QCOMPARE(Protocol::cleanText("plain \xFE text"), QByteArray("plain \xFE text"));
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
