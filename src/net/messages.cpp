#include "net/messages.h"

#include "net/protocol.h"

namespace Msg {

namespace {

// Appends the pieces of one message in order; text goes in cleaned of terminators.
class Line {
public:
    explicit Line(const char *keyword) : m_bytes(keyword) {}

    Line &lit(const char *bytes)
    {
        m_bytes.append(bytes);
        return *this;
    }
    Line &num(int value)
    {
        m_bytes.append(QByteArray::number(value));
        return *this;
    }
    Line &text(const QByteArray &value)
    {
        m_bytes.append(Protocol::cleanText(value));
        return *this;
    }
    // "+" and a number: the usual field.
    Line &field(int value) { return lit("+").num(value); }
    Line &field(const QByteArray &value) { return lit("+").text(value); }

    QByteArray end()
    {
        m_bytes.append(Protocol::Terminator);
        return m_bytes;
    }

private:
    QByteArray m_bytes;
};

} // namespace

using namespace Protocol;

QByteArray sendlogininfo(int seat) { return Line(Cmd::sendlogininfo).field(seat).end(); }

QByteArray full() { return Line(Cmd::full).lit("+").end(); }

QByteArray logininfo(int seat, const QByteArray &version, const QByteArray &loginName)
{
    // The login name carries its own terminator; the message's terminator follows it.
    Line line(Cmd::logininfo);
    line.field(seat).field(version).field(loginName);
    line.lit("\xFF");
    return line.end();
}

QByteArray newplayerinfo(int seat, const QByteArray &name)
{
    return Line(Cmd::newplayerinfo).field(seat).field(name).end();
}

QByteArray existingplayers(int seat, const QByteArray &name)
{
    return Line(Cmd::existingplayers).field(seat).field(name).end();
}

QByteArray havewrongversion(const QByteArray &name)
{
    return Line(Cmd::havewrongversion).field(name).end();
}

QByteArray wrongversion() { return Line(Cmd::wrongversion).lit("+").end(); }

QByteArray playerdisconnected(int seat, const QByteArray &name)
{
    return Line(Cmd::playerdisconnected).field(seat).field(name).end();
}

QByteArray kickhim(int requester, int target)
{
    return Line(Cmd::kickhim).field(requester).field(target).lit("+").end();
}

QByteArray justwatch(int seat, int mode)
{
    return Line(Cmd::justwatch).field(seat).field(mode).end();
}

QByteArray justwatching(int seat, int mode)
{
    return Line(Cmd::justwatching).field(seat).field(mode).end();
}

QByteArray chatToHost(int seat, const QByteArray &line, const QByteArray &colour)
{
    return Line(Cmd::chat).field(seat).field(line).lit("|").text(colour).end();
}

QByteArray chatToSeats(const QByteArray &name, const QByteArray &restAfterSeat)
{
    return Line(Cmd::chat).field(name).lit(" chats: ").text(restAfterSeat).end();
}

QByteArray actionToHost(int seat, const QByteArray &line, const QByteArray &colour)
{
    return Line(Cmd::action).field(seat).field(line).lit("|").text(colour).end();
}

QByteArray actionToSeats(const QByteArray &name, const QByteArray &restAfterSeat)
{
    return Line(Cmd::action).field(name).lit(" ").text(restAfterSeat).end();
}

QByteArray playasoundToHost(int seat, int sound)
{
    return Line(Cmd::playasound).field(seat).lit("+wave").num(sound).lit("+").end();
}

QByteArray playasoundToSeats(int seat, const QByteArray &restAfterSeat)
{
    return Line(Cmd::playasound).field(seat).field(restAfterSeat).end();
}

QByteArray startgameToHost(const QByteArray &starter, int playTo, int seconds, int boardType,
                           int minimum)
{
    return Line(Cmd::startgame)
        .field(starter).field(playTo).field(seconds).field(boardType).field(minimum)
        .lit("+0+").end();
}

QByteArray startgameToSeats(const QList<QByteArray> &fields)
{
    Line line(Cmd::startgame);
    line.lit("+");
    for (int i = 0; i < 6; ++i)
        line.text(fields.value(i)).lit("+");
    return line.end();
}

QByteArray loadboard(const QByteArray &boardText)
{
    return Line(Cmd::loadboard).text(boardText).end();
}

QByteArray loadstats(int seat, int playTo, int seconds, int boardType, int minimum,
                     int timeLeft, int phase, const SeatValues &scores)
{
    Line line(Cmd::loadstats);
    line.field(seat).field(playTo).field(seconds).field(boardType).field(minimum);
    line.field(timeLeft).field(phase);
    for (int i = 0; i < int(scores.size()); ++i)
        line.field(i + 1).field(scores[i]);
    return line.end();
}

QByteArray nextplayer(int seat) { return Line(Cmd::nextplayer).field(seat).lit("+").end(); }

QByteArray playerdone(int seat, const QList<Cell> &path)
{
    Line line(Cmd::playerdone);
    line.field(seat);
    for (int k = 0; k < path.size(); ++k)
        line.field(k + 1).field(path[k].x).field(path[k].y);
    return line.end();
}

QByteArray notvalid(int seat, int reason, const QByteArray &word)
{
    return Line(Cmd::notvalid).field(seat).field(reason).field(word).lit("+").end();
}

QByteArray goodword(int seat, int points, const QByteArray &word, int letters, int first)
{
    return Line(Cmd::goodword)
        .field(seat).field(points).field(word).field(letters).field(first)
        .lit("+").end();
}

QByteArray addscore(int seat, int points, int total)
{
    return Line(Cmd::addscore).field(seat).field(points).field(total).lit("+").end();
}

QByteArray timeup(const SeatValues &roundScores, const SeatValues &totals)
{
    Line line(Cmd::timeup);
    for (int i = 0; i < int(roundScores.size()); ++i)
        line.field(i + 1).field(roundScores[i]).field(totals[i]);
    return line.end();
}

QByteArray mainlist(int seat, const QList<QByteArray> &words)
{
    Line line(Cmd::mainlist);
    line.field(seat);
    if (words.isEmpty())
        line.field(Protocol::NoWords);
    for (const QByteArray &word : words)
        line.field(word);
    return line.end();
}

QByteArray winner(const QByteArray &name)
{
    return Line(Cmd::winner).field(name).lit("+").end();
}

} // namespace Msg
