#pragma once

#include "host/board.h"
#include "host/boardcode.h"
#include "host/seat.h"
#include "net/messageframer.h"
#include "net/protocol.h"
#include "net/receivequeue.h"
#include "net/tsock.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>

#include <array>
#include <optional>

class BoardSolver;
class HostSettings;
class QRandomGenerator;
class WordChecker;

// The host of a table: the seat table, logins, relays of chat, the rounds with their
// countdown, the checking and scoring of words and the winner. A plain QObject; the hosting
// copy's own client reaches it over loopback like every other player.
//
// The host trusts no seat number a client writes. Every queued message remembers the
// connection it came from, and a message that names another seat than its sender's own is
// dropped (the hosting player, seat 1, may still set just watching for and remove any seat).
//
// Seat 1 belongs to the hosting copy's own client once setOwnClient() named it: nobody who
// happens to connect first can take the hosting player's seat and powers.
class TServer : public QObject {
    Q_OBJECT
public:
    static constexpr int SeatLimit = Protocol::SeatCount;
    // Bounds that keep one misbehaving connection from eating the host's memory; a
    // connection that passes one is closed like a normal close.
    static constexpr qsizetype MaxPartialMessage = 64 * 1024;
    static constexpr qint64 MaxPendingOutput = 4 * 1024 * 1024;
    static constexpr int MaxQueuedPerConnection = 256;
    // The longest message a client takes (its own framing limit): nothing longer is sent.
    static constexpr qsizetype MaxRelayedMessage = MessageFramer::DefaultMaxMessage;

    TServer(WordChecker &spell, HostSettings &settings, QRandomGenerator &rng,
            quint16 port = 7772, QObject *parent = nullptr);
    ~TServer() override;

    // Starts `Sock1` listening (backlog 5) on the port given at construction; 0 lets the
    // system choose. Throws ESockException when the port cannot be had.
    void startListening();
    quint16 listeningPort() const;
    // The port given at construction, whether or not it could be had.
    quint16 listeningPortWanted() const { return m_port; }
    // The solver that "Better Boards" counts words with; without one every round gets one deal.
    void setSolver(BoardSolver *solver) { m_solver = solver; }
    // The hosting copy's own client connects from this address and port: seat 1 is kept for
    // that connection alone, and every other one takes a seat from 2 up, also when it comes
    // first. Without a call (a host driven by tests) the first connection gets seat 1.
    void setOwnClient(const QHostAddress &address, quint16 port);
    // The board the first round of the next game started from seat 1 (the hosting player's
    // own seat) deals, if that game is of the code's size; every other round, and every other
    // game, is dealt as usual. That start uses it up, whatever its size; nothing clears it.
    // Only the hosting copy itself calls this: no message asks for it.
    void setFirstBoard(std::optional<BoardCode> code) { m_firstBoard = std::move(code); }

    // One tick of the host queue: dispatches at most one message. The queue's own 10 ms
    // timer calls it while messages wait; tests may call it directly.
    void socktimerTimer();
    // One second of the round countdown (the `timer1` tick).
    void timer1Timer();
    // A connection waits on `Sock1`. Safe to call when none waits: nothing changes.
    void Sock1Accept(TSock *sender = nullptr);

    // Read-only views for the window and for tests.
    bool gameRunning() const { return m_gameRunning; }
    // 0 before the first game, 1 while a round runs, 2 in a pause, 3 waiting for the
    // automatic next game.
    int countdownAction() const { return m_countdownAction; }
    int roundCountdown() const { return m_roundCountdown; }
    int seatCount() const { return m_seatCount; }
    // Seat 1..SeatLimit.
    const Seat &seat(int n) const;
    const Board &board() const { return m_board; }
    // Messages waiting in the host queue.
    int queuedMessages() const { return receivedlist.size(); }
    // The dispatch timer runs only while messages wait.
    bool socktimerActive() const { return receivedlist.timerActive(); }

private:
    // What a connection needs besides its seat: its id and its unfinished message.
    struct Peer {
        int id = 0;
        MessageFramer framer{MaxPartialMessage};
    };

    // Events of the seat connections.
    void Sock1Read(TSock *sender, qint64 count);
    void tempsockDisconnect(TSock *sender);
    void tempsockInfo(TSock *sender, int kind, const QString &text);
    // The next waiting connection, parented to the host; null when none could be taken.
    TSock *acceptOne();
    // The seat for a new connection; 0 when the table is full.
    int chooseSeat(const TSock *connection) const;
    bool isOwnClient(const TSock *connection) const;
    void refuseConnection(TSock *connection);
    void takeSeat(int n, TSock *connection);
    // A connection that broke a bound: what it still had waiting is forgotten.
    void closeForAbuse(TSock *connection, int id);
    void connectionClosed(int connectionId);
    void freeSeat(int n);

    // Message handlers; senderSeat is the seat of the connection the message came from
    // (0 when that connection no longer holds one).
    void receivedlogininfo(const QByteArray &payload, int senderSeat);
    void kickhim(const QByteArray &payload, int senderSeat);
    void justwatch(const QByteArray &payload, int senderSeat);
    void chat(const QByteArray &payload, int senderSeat);
    void action(const QByteArray &payload, int senderSeat);
    void playasound(const QByteArray &payload, int senderSeat);
    // `first`: the board of the first round, instead of a deal, when the game's size is its.
    void startgame(const QByteArray &payload, const std::optional<BoardCode> &first = std::nullopt);
    void playerdone(const QByteArray &payload, int senderSeat);

    // Game flow.
    void startround(const Board *chosen = nullptr);
    // Deals, or takes `chosen` as it is; either way the board goes out in CMD_loadboard.
    void createboard(const Board *chosen = nullptr);
    void findplayer();
    void outoftime();
    bool checkforwin();
    void startCountdown(int seconds, int action);
    // The board and the standings, for a player who logs in while a game runs.
    void sendGameState(int n);

    void disconnectsock(int n);
    void sendTo(int n, const QByteArray &message);
    void sendToAll(const QByteArray &message);
    // Sends a relayed line to everyone unless it is longer than a client takes.
    void relay(const char *what, int senderSeat, const QByteArray &message);
    int seatOfConnection(int connectionId) const;
    void route(const char *keyword, void (TServer::*handler)(const QByteArray &, int));
    Seat &seatRef(int n) { return m_seats[n - 1]; }

    WordChecker &m_spell;
    HostSettings &m_settings;
    QRandomGenerator &m_rng;
    BoardSolver *m_solver = nullptr;
    quint16 m_port;

    TSock Sock1;
    ReceiveQueue receivedlist;
    QTimer timer1;

    std::array<Seat, SeatLimit> m_seats;
    QHash<TSock *, Peer> m_peers;
    int m_seatCount = 0;
    int m_nextConnectionId = 1;
    QHostAddress m_ownAddress;
    quint16 m_ownPort = 0;

    bool m_gameRunning = false;
    int m_playTo = 0;
    int m_secondsPerRound = 0;
    int m_boardType = 0;
    int m_minimumLetters = 0;
    Board m_board;
    std::optional<BoardCode> m_firstBoard;
    QByteArray m_savedGameStart;
    // Every distinct word accepted in the current round, kept in ascending order.
    QList<QByteArray> listbox_words;
    int m_roundCountdown = 0;
    int m_countdownAction = 0;
};
