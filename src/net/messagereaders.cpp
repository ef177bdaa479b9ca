#include "net/messages.h"

#include "net/fieldreader.h"
#include "net/protocol.h"

#include <string>

// The readers of messages.h; the builders are in messages.cpp.

namespace Msg {

using namespace Protocol;

namespace {

// Reads groups while there are any; a group that does not read ends the list, and the list is
// then not whole.
template <typename Group, typename ReadOne>
bool readGroups(FieldReader &in, QList<Group> &out, ReadOne readOne)
{
    while (in.groupsLeft()) {
        try {
            out.append(readOne());
        } catch (const FieldError &) {
            return false;
        }
    }
    return true;
}

} // namespace

SeatName readSeatName(const QByteArray &payload)
{
    FieldReader in(payload);
    SeatName out;
    out.seat = in.number();
    out.name = in.rest();
    return out;
}

int readSeat(const QByteArray &payload)
{
    FieldReader in(payload);
    return in.number();
}

Watching readJustwatching(const QByteArray &payload)
{
    FieldReader in(payload);
    Watching out;
    out.seat = in.number();
    out.watching = in.rest() == "1";
    return out;
}

ChatLine readChat(const QByteArray &payload)
{
    ChatLine out;
    const qsizetype bar = payload.indexOf('|');
    out.text = payload.left(bar < 0 ? payload.size() : bar);
    if (bar >= 0)
        out.colour = payload.sliced(bar + 1);
    return out;
}

ChatterSound readPlayasound(const QByteArray &payload)
{
    FieldReader in(payload);
    ChatterSound out;
    out.seat = in.number();
    out.name = in.field();
    return out;
}

QList<QByteArray> GameStart::fields() const
{
    return {starter, settings.playTo, settings.seconds, settings.boardType, settings.minimum, sixth};
}

GameStart readStartgame(const QByteArray &payload)
{
    FieldReader in(payload);
    GameStart out;
    out.starter = in.field();
    out.settings.playTo = in.field();
    out.settings.seconds = in.field();
    out.settings.boardType = in.field();
    out.settings.minimum = in.field();
    out.sixth = in.field();
    return out;
}

BoardTiles readLoadboard(const QByteArray &payload)
{
    FieldReader in(payload);
    BoardTiles out;
    out.whole = readGroups(in, out.tiles, [&in] {
        BoardTile tile;
        tile.x = in.number();
        tile.y = in.number();
        tile.code = in.number();
        return tile;
    });
    return out;
}

GameState readLoadstats(const QByteArray &payload)
{
    FieldReader in(payload);
    GameState out;
    out.seat = in.number();
    out.settings.playTo = in.field();
    out.settings.seconds = in.field();
    out.settings.boardType = in.field();
    out.settings.minimum = in.field();
    out.timeLeft = in.number();
    out.phase = in.number();
    out.whole = readGroups(in, out.scores, [&in] {
        SeatScore score;
        score.seat = in.number();
        score.score = in.number();
        return score;
    });
    return out;
}

GoodWord readGoodword(const QByteArray &payload)
{
    FieldReader in(payload);
    GoodWord out;
    out.seat = in.number();
    out.points = in.number();
    out.word = in.field();
    out.letters = in.number();
    out.first = in.number();
    return out;
}

NotValid readNotvalid(const QByteArray &payload)
{
    FieldReader in(payload);
    NotValid out;
    out.seat = in.number();
    out.reason = in.number();
    out.word = in.field();
    return out;
}

AddScore readAddscore(const QByteArray &payload)
{
    FieldReader in(payload);
    AddScore out;
    out.seat = in.number();
    out.points = in.number();
    out.total = in.number();
    return out;
}

RoundScores readTimeup(const QByteArray &payload)
{
    FieldReader in(payload);
    RoundScores out;
    out.whole = readGroups(in, out.scores, [&in] {
        RoundScore score;
        score.seat = in.number();
        score.bonus = in.number();
        score.total = in.number();
        return score;
    });
    return out;
}

RoundWords readMainlist(const QByteArray &payload)
{
    FieldReader in(payload);
    RoundWords out;
    out.seat = in.number();
    out.list = in.rest();
    return out;
}

QByteArray readWinner(const QByteArray &payload)
{
    FieldReader in(payload);
    return in.field();
}

Login readLogininfo(const QByteArray &payload)
{
    FieldReader in(payload);
    Login out;
    out.seat = in.number();
    out.version = in.field();
    out.name = in.rest();
    return out;
}

Kick readKickhim(const QByteArray &payload)
{
    FieldReader in(payload);
    Kick out;
    out.requester = in.number();
    out.target = in.number();
    return out;
}

WatchRequest readJustwatch(const QByteArray &payload)
{
    FieldReader in(payload);
    WatchRequest out;
    out.seat = in.number();
    out.mode = in.field();
    return out;
}

SeatText readSeatText(const QByteArray &payload)
{
    FieldReader in(payload);
    SeatText out;
    out.seat = in.number();
    out.rest = in.rest();
    return out;
}

PlayerDone readPlayerdone(const QByteArray &payload)
{
    FieldReader in(payload);
    PlayerDone out;
    out.seat = in.number();
    // The path is read whole before anything is judged: a 13th letter or a letter place out
    // of order makes the message unreadable.
    while (in.groupsLeft()) {
        if (out.path.size() == MaxWordLetters)
            throw FieldError("more than " + std::to_string(MaxWordLetters) + " letters");
        const int k = in.number();
        Cell cell;
        cell.x = in.number();
        cell.y = in.number();
        if (k != out.path.size() + 1)
            throw FieldError("letter place out of order");
        out.path.append(cell);
    }
    return out;
}

} // namespace Msg
