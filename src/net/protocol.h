#pragma once

#include <QByteArray>

// The wire protocol between host and clients: "CMD_" keyword, "+"-separated fields, and the
// terminator byte 0xFF, which never occurs inside a message.
namespace Protocol {

constexpr char Terminator = '\xFF';

// The protocol version text, compared exactly by the host at login.
inline const QByteArray Version = QByteArrayLiteral("1.0.6");

// Every table listens on this TCP port; a copy started by the lobby also connects to the lobby's
// presence listener on 127.0.0.1 at PresencePort.
constexpr quint16 TablePort = 7772;
constexpr quint16 PresencePort = 9001;

// Seat numbers 1..SeatCount are the table's seats, one player slot each; seat 1 is the hosting
// copy's own client. A number above SeatCount is a spy, who has no slot.
constexpr int SeatCount = 10;
constexpr bool isSeat(int n) { return n >= 1 && n <= SeatCount; }

// The longest word: the client builds at most 12 tiles and the host keeps 12 places.
constexpr int MaxWordLetters = 12;

// Why CMD_notvalid refuses a word.
enum NotValidReason : int { NotAWord = 1, AlreadyHad = 2, TooShort = 3 };
// CMD_goodword's flag: whether nobody had found the word before in this round (the points then
// include the bonus point).
enum FirstFinder : int { First = 1, NotFirst = 2 };
// The mode of CMD_justwatch and CMD_justwatching.
enum WatchMode : int { StartWatching = 1, StopWatching = 2 };
// CMD_loadstats' phase, the host's countdown action: what happens when its countdown ends.
enum Phase : int { NoCountdown = 0, RoundRunning = 1, BetweenRounds = 2, NextGameWaiting = 3 };

// CMD_mainlist's single entry for a round in which nobody found a word.
inline const QByteArray NoWords = QByteArrayLiteral("No Words");

// The text with every 0xFF byte removed. The protocol has no escape, so a text field that
// carried one would end its message early and smuggle the tail in as a message of its own.
QByteArray cleanText(QByteArray text);

// The keywords, in the exact letter case that the dispatchers compare.
namespace Cmd {
inline constexpr char sendlogininfo[] = "CMD_sendlogininfo";
inline constexpr char full[] = "CMD_full";
inline constexpr char logininfo[] = "CMD_logininfo";
inline constexpr char newplayerinfo[] = "CMD_newplayerinfo";
inline constexpr char existingplayers[] = "CMD_existingplayers";
inline constexpr char havewrongversion[] = "CMD_havewrongversion";
inline constexpr char wrongversion[] = "CMD_wrongversion";
inline constexpr char playerdisconnected[] = "CMD_playerdisconnected";
inline constexpr char kickhim[] = "CMD_kickhim";
inline constexpr char justwatch[] = "CMD_justwatch";
inline constexpr char justwatching[] = "CMD_justwatching";
inline constexpr char chat[] = "CMD_chat";
inline constexpr char action[] = "CMD_action";
inline constexpr char playasound[] = "CMD_playasound";
inline constexpr char startgame[] = "CMD_startgame";
inline constexpr char loadboard[] = "CMD_loadboard";
inline constexpr char loadstats[] = "CMD_loadstats";
inline constexpr char nextplayer[] = "CMD_nextplayer";
inline constexpr char playerdone[] = "CMD_playerdone";
inline constexpr char notvalid[] = "CMD_notvalid";
inline constexpr char goodword[] = "CMD_goodword";
inline constexpr char addscore[] = "CMD_addscore";
inline constexpr char timeup[] = "CMD_timeup";
inline constexpr char mainlist[] = "CMD_mainlist";
inline constexpr char winner[] = "CMD_winner";
} // namespace Cmd

} // namespace Protocol
