#pragma once

#include <QByteArray>
#include <QList>

#include <array>
#include <optional>

// One builder per message of the protocol. Each returns the whole message, terminator
// included, ready for one TSock::send(). Text fields are cleaned of 0xFF bytes; numbers are
// decimal without padding. Where a message travels both ways, "ToHost" builds the client's
// form and "ToSeats" the host's relayed form.
namespace Msg {

// A board position in the host's orientation: column and row 0..9.
struct Cell {
    int x = 0;
    int y = 0;
    friend bool operator==(const Cell &, const Cell &) = default;
};

// Ten values, one per seat 1..10 (index 0 is seat 1).
using SeatValues = std::array<int, 10>;

QByteArray sendlogininfo(int seat);
QByteArray full();
// loginName is the player name followed by its own 0xFF (with or without that byte, the
// message always ends name 0xFF 0xFF: the second terminator makes an empty message).
QByteArray logininfo(int seat, const QByteArray &version, const QByteArray &loginName);
QByteArray newplayerinfo(int seat, const QByteArray &name);
QByteArray existingplayers(int seat, const QByteArray &name);
QByteArray havewrongversion(const QByteArray &name);
QByteArray wrongversion();
QByteArray playerdisconnected(int seat, const QByteArray &name);
QByteArray kickhim(int requester, int target);
// mode: 1 sets just watching, 2 unsets it.
QByteArray justwatch(int seat, int mode);
QByteArray justwatching(int seat, int mode);

QByteArray chatToHost(int seat, const QByteArray &line, const QByteArray &colour);
// restAfterSeat: the received payload after its seat field, "|" and colour included.
QByteArray chatToSeats(const QByteArray &name, const QByteArray &restAfterSeat);
QByteArray actionToHost(int seat, const QByteArray &line, const QByteArray &colour);
QByteArray actionToSeats(const QByteArray &name, const QByteArray &restAfterSeat);
// sound: the chatter sound number 1..20, sent as "wave" n.
QByteArray playasoundToHost(int seat, int sound);
// restAfterSeat: the received payload after its seat field ("wave" n "+").
QByteArray playasoundToSeats(int seat, const QByteArray &restAfterSeat);

QByteArray startgameToHost(const QByteArray &starter, int playTo, int seconds, int boardType,
                           int minimum);
// The six received fields, relayed as they came, each followed by "+". Missing fields are
// sent empty and fields beyond the sixth are left out.
QByteArray startgameToSeats(const QList<QByteArray> &fields);

// boardText: the board text of the deal ("+" x "+" y "+" code for all 100 cells).
QByteArray loadboard(const QByteArray &boardText);
QByteArray loadstats(int seat, int playTo, int seconds, int boardType, int minimum,
                     int timeLeft, int phase, const SeatValues &scores);
QByteArray nextplayer(int seat);
// The path of the word, first letter first; letter places are numbered from 1.
QByteArray playerdone(int seat, const QList<Cell> &path);
// reason: 1 not a word, 2 already had it this round, 3 too short.
QByteArray notvalid(int seat, int reason, const QByteArray &word);
// first: 1 first finder of the word this round, 2 otherwise.
QByteArray goodword(int seat, int points, const QByteArray &word, int letters, int first);
QByteArray addscore(int seat, int points, int total);
QByteArray timeup(const SeatValues &roundScores, const SeatValues &totals);
// An empty list is sent as the single entry "No Words".
QByteArray mainlist(int seat, const QList<QByteArray> &words);
QByteArray winner(const QByteArray &name);

// ---- readers ---------------------------------------------------------------------------
//
// Each takes a payload (the text after the keyword and its "+") whole, before anything of it
// is used, and throws FieldError when a number field does not read. Repeated groups are read
// up to the first one that does not read: the groups before it come back, with `whole` false,
// and what to make of such a message is the caller's choice. Text fields come as they were
// sent; seat numbers are not range-checked here, every user decides what a seat outside its
// range means. Readers used by the host are marked so; the others read what the host sends.

// CMD_newplayerinfo, CMD_existingplayers, CMD_playerdisconnected: a seat and the rest of the
// payload as its name (a name may hold "+").
struct SeatName {
    int seat = 0;
    QByteArray name;
};
SeatName readSeatName(const QByteArray &payload);

// CMD_sendlogininfo, CMD_nextplayer: the seat they name.
int readSeat(const QByteArray &payload);

// CMD_justwatching: mode is the rest of the payload; exactly "1" sets just watching.
struct Watching {
    int seat = 0;
    bool watching = false;
};
Watching readJustwatching(const QByteArray &payload);

// CMD_chat and CMD_action as the host relays them: the line up to the first "|", and the
// colour text after it when there is a "|".
struct ChatLine {
    QByteArray text;
    std::optional<QByteArray> colour;
};
ChatLine readChat(const QByteArray &payload);

// CMD_playasound as relayed: the seat that sent it and the sound's name ("wave" n).
struct ChatterSound {
    int seat = 0;
    QByteArray name;
};
ChatterSound readPlayasound(const QByteArray &payload);

// A game's settings as CMD_startgame and CMD_loadstats carry them, kept as the texts that were
// sent: the host relays them unchanged and the client shows the target score as it came.
struct GameSettings {
    QByteArray playTo;
    QByteArray seconds;
    QByteArray boardType;
    QByteArray minimum;
};

// CMD_startgame, both ways (the host reads it too): six text fields, missing ones empty.
struct GameStart {
    QByteArray starter;
    GameSettings settings;
    QByteArray sixth; // always "0" from this program
    // The six fields in their order, as startgameToSeats() relays them.
    QList<QByteArray> fields() const;
};
GameStart readStartgame(const QByteArray &payload);

// One "+x+y+code" group of CMD_loadboard: a cell of the 10x10 grid and its code.
struct BoardTile {
    int x = 0;
    int y = 0;
    int code = 0;
    friend bool operator==(const BoardTile &, const BoardTile &) = default;
};
struct BoardTiles {
    QList<BoardTile> tiles;
    bool whole = true;
};
BoardTiles readLoadboard(const QByteArray &payload);

struct SeatScore {
    int seat = 0;
    int score = 0;
};
// CMD_loadstats: a running game, for a player who logs in meanwhile.
struct GameState {
    int seat = 0;
    GameSettings settings;
    int timeLeft = 0;
    int phase = 0; // Protocol::Phase
    QList<SeatScore> scores;
    bool whole = true;
};
GameState readLoadstats(const QByteArray &payload);

struct GoodWord {
    int seat = 0;
    int points = 0;
    QByteArray word;
    int letters = 0;
    int first = 0; // Protocol::FirstFinder
};
GoodWord readGoodword(const QByteArray &payload);

struct NotValid {
    int seat = 0;
    int reason = 0; // Protocol::NotValidReason; other codes may come from a stranger's host
    QByteArray word;
};
NotValid readNotvalid(const QByteArray &payload);

struct AddScore {
    int seat = 0;
    int points = 0;
    int total = 0;
};
AddScore readAddscore(const QByteArray &payload);

// CMD_timeup: one group per seat.
struct RoundScore {
    int seat = 0;
    int bonus = 0; // the points of the round just ended
    int total = 0;
};
struct RoundScores {
    QList<RoundScore> scores;
    bool whole = true;
};
RoundScores readTimeup(const QByteArray &payload);

// CMD_mainlist: list is the rest after the seat, words separated by "+", or "No Words".
struct RoundWords {
    int seat = 0;
    QByteArray list;
};
RoundWords readMainlist(const QByteArray &payload);

// CMD_winner: the winner's name.
QByteArray readWinner(const QByteArray &payload);

// Host: CMD_logininfo. name is the rest, as it came.
struct Login {
    int seat = 0;
    QByteArray version;
    QByteArray name;
};
Login readLogininfo(const QByteArray &payload);

// Host: CMD_kickhim.
struct Kick {
    int requester = 0;
    int target = 0;
};
Kick readKickhim(const QByteArray &payload);

// Host: CMD_justwatch. mode is the field after the seat ("1" sets, "2" unsets).
struct WatchRequest {
    int seat = 0;
    QByteArray mode;
};
WatchRequest readJustwatch(const QByteArray &payload);

// Host: CMD_chat, CMD_action and CMD_playasound from a client: the sender's seat, and the rest
// after it, which is relayed byte for byte.
struct SeatText {
    int seat = 0;
    QByteArray rest;
};
SeatText readSeatText(const QByteArray &payload);

// Host: CMD_playerdone. Letter places must come as 1, 2, 3 ... and a word has at most
// Protocol::MaxWordLetters of them; the positions are the host's to check.
struct PlayerDone {
    int seat = 0;
    QList<Cell> path;
};
PlayerDone readPlayerdone(const QByteArray &payload);

} // namespace Msg
