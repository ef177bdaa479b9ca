#pragma once

#include <QByteArray>
#include <QList>

#include <array>

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

} // namespace Msg
