#pragma once

#include "net/messages.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class MessageFramer;
class QHostAddress;
class ReceiveQueue;
class TServer;
class TSock;

// One client of a table, without any widget: the connection `sock` to the host, the framing
// of what arrives, the client queue `receivedlist` (`Timer1`) with its handler table, the own
// seat and the login. The main window is a client of it; so can be anything else that plays
// at a table, such as a computer player in the hosting copy.
//
// Every message from the host becomes one typed signal, emitted only after its whole payload
// has been read: a payload that does not read is dropped by the queue with a warning and
// signals nothing. Messages that name another seat are passed on as well; each listener
// decides what is its own. Listeners must not throw.
class ClientSession : public QObject {
    Q_OBJECT
public:
    // The client queue takes one message per tick of this many milliseconds.
    static constexpr int TickMs = 1;

    // port: the table's port for joinpress (the program's is 7772, tests use their host's).
    explicit ClientSession(quint16 port = 7772, QObject *parent = nullptr);
    ~ClientSession() override;

    TSock &sock() { return *m_sock; }
    const TSock &sock() const { return *m_sock; }
    ReceiveQueue &receivedlist() { return *m_queue; }

    // The player's name as the login gives it to the host.
    void setPlayerName(const QByteArray &name) { m_playerName = name; }
    QByteArray playerName() const { return m_playerName; }

    // Start-up. Each answers an empty text once the connection is on its way, otherwise the
    // error to show the player; nothing further has started then.
    // Host and solo: `server` starts listening and this client joins it over loopback, as
    // the connection the host keeps seat 1 for.
    QString hostpress(TServer &server);
    // Join: connects to `address` on the session's port.
    QString joinpress(const QString &address);

    // 0 before the login; 1..10 a seat; above 10 a spy.
    int ownSeat() const { return m_ownSeat; }
    // From CMD_sendlogininfo on; never cleared.
    bool loggedIn() const { return m_loggedIn; }
    // This copy hosts the table (set by hostpress).
    bool isHost() const { return m_host; }

    // One whole message, terminator included. A failure is a warning on stderr.
    void sendMessage(const QByteArray &whole);
    // The hosting player asks the host to remove a seat (CMD_kickhim); told first to whoever
    // seated that player, so the close that follows is known for a removal.
    void removeSeat(int seat);
    // Where sendMessage() puts the bytes: the socket, unless a test records them instead.
    using Sender = std::function<void(const QByteArray &whole)>;
    void setSender(Sender sender) { m_sender = std::move(sender); }

    // The handlers of the handler table, one per message (payload = text after the keyword
    // and its "+"). Each reads its payload and tells what it says. A field that does not read
    // throws FieldError before anything is told, except in a list of repeated groups: the
    // groups before the bad one are still told (with `whole` false), then it throws.
    void sendloginfo(const QByteArray &payload);
    void newplayerinfo(const QByteArray &payload);
    void playerdisconnected(const QByteArray &payload);
    void justwatching(const QByteArray &payload);
    void chatrecieved(const QByteArray &payload);
    void playasound(const QByteArray &payload);
    void startthegame(const QByteArray &payload);
    void loadboard(const QByteArray &payload);
    void loadstats(const QByteArray &payload);
    void getnextplayer(const QByteArray &payload);
    void goodword(const QByteArray &payload);
    void notvalid(const QByteArray &payload);
    void addscore(const QByteArray &payload);
    void timeup(const QByteArray &payload);
    void mainlist(const QByteArray &payload);
    void winner(const QByteArray &payload);
    void sockInfo(TSock *sender, int kind, const QString &text);

Q_SIGNALS:
    // The host gave this connection its seat and the login answer has gone out.
    void loggedInAs(int seat);
    // CMD_newplayerinfo and CMD_existingplayers alike.
    void seatJoined(const Msg::SeatName &player);
    void seatLeft(const Msg::SeatName &player);
    // Seats 1..10 only: a spy has nobody to watch for.
    void watchingChanged(const Msg::Watching &change);
    // CMD_havewrongversion: the player whose version differs from the host's.
    void otherVersionDiffers(const QByteArray &name);
    // CMD_wrongversion: this copy's version differs from the host's.
    void ownVersionDiffers();
    void tableFull();
    // CMD_chat and CMD_action alike.
    void chatLine(const Msg::ChatLine &line);
    void chatterSound(const Msg::ChatterSound &sound);
    void gameStarted(const Msg::GameStart &start);
    void boardLoaded(const Msg::BoardTiles &tiles);
    void gameStateLoaded(const Msg::GameState &state);
    // CMD_nextplayer: a round begins for `seat`.
    void roundStarted(int seat);
    void wordAccepted(const Msg::GoodWord &word);
    void wordRefused(const Msg::NotValid &word);
    void scoreAdded(const Msg::AddScore &score);
    void roundOver(const Msg::RoundScores &scores);
    void roundWordsListed(const Msg::RoundWords &words);
    void winnerNamed(const QByteArray &name);
    // The connection is gone: the socket reported its close, and every message that arrived
    // before it has been handled. Once per connection.
    void closed();
    // removeSeat() is about to ask for this seat's removal.
    void removalAsked(int seat);

private:
    void registerHandlers();
    void connectSocket();
    void received(TSock *sender);
    // local: the address to bind to before connecting; a null address binds nothing.
    QString open(const QString &address, quint16 port, const QHostAddress &local);

    quint16 m_port;
    TSock *m_sock = nullptr;
    ReceiveQueue *m_queue = nullptr;
    std::unique_ptr<MessageFramer> m_framer;
    Sender m_sender;

    QByteArray m_playerName;
    int m_ownSeat = 0;
    bool m_loggedIn = false;
    bool m_host = false;
    // The connection's close waits in the queue (or was handled); cleared by a new open.
    bool m_closeQueued = false;
};
