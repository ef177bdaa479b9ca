#pragma once

#include "bots/computerbrain.h"
#include "bots/computerchat.h"
#include "net/messages.h"
#include "solver/boardsolver.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

#include <memory>

class ClientSession;
class WordBands;

// One computer player at a table: a ClientSession of its own, connected over loopback to the
// table's host and logged in like any person, that plays each round with a ComputerBrain. The
// host knows nothing of it beyond its name.
//
// It sends only words of the board's full list on the solver's paths, never two messages less
// than ComputerBrain::MinGapMs apart, nothing once the round is over or while it is set to
// just watching, and at most one chat line at a game's end. Whatever ends its connection
// (a close, the table being full, another version) ends the player: it says ended() once, with
// why, and never connects again; whoever seated it decides whether another takes its name and
// tries again. Destroying it closes the connection with nothing sent first.
class ComputerPlayer : public QObject {
    Q_OBJECT
public:
    // Why a connection ended: the host said the table is full; the connection closed or broke
    // (the host removed the player, or the network failed); or the host speaks another version.
    enum class Ending { Refused, Closed, OtherVersion };

    // port: the table's, on 127.0.0.1. solver and bands are shared by every computer player of
    // the table and must outlive it.
    ComputerPlayer(const QByteArray &name, int level, quint16 port, BoardSolver &solver,
                   const WordBands &bands, quint32 seed, QObject *parent = nullptr);
    ~ComputerPlayer() override;

    // Connects and logs in. A connection that cannot start, or fails, ends as Closed.
    void join();
    // From the next round on.
    void setLevel(int level) { m_level = level; }

    QByteArray name() const { return m_name; }
    int level() const { return m_level; }
    // The seat the host gave it; 0 before.
    int seat() const;
    // Playing a round: words are still to come.
    bool playing() const { return m_timer.isActive(); }
    bool hasEnded() const { return m_ended; }
    ClientSession &session() { return *m_session; }

Q_SIGNALS:
    // The connection is over for good; the player does nothing more.
    void ended(ComputerPlayer::Ending why);

private:
    void connectSession();
    void gameStarted(const Msg::GameStart &start);
    void boardLoaded(const Msg::BoardTiles &tiles);
    void gameStateLoaded(const Msg::GameState &state);
    void roundStarted(int seat);
    void watchingChanged(const Msg::Watching &change);
    void winnerNamed(const QByteArray &winner);
    void takeSettings(const Msg::GameSettings &settings);

    void startPlaying(qint64 roundMs);
    void stopPlaying();
    // Sets the timer for the next word, or leaves it off when the round has no more.
    void arm();
    void playNext();
    void say(const QByteArray &line);
    // Milliseconds until a message may go out again.
    qint64 gapLeft() const;
    void send(const QByteArray &whole);
    void end(Ending why);

    QByteArray m_name;
    int m_level;
    BoardSolver &m_solver;
    const WordBands &m_bands;
    QRandomGenerator m_rng;
    std::unique_ptr<ClientSession> m_session;
    ComputerBrain m_brain;
    ComputerChat m_chat;

    BoardCells m_cells{};
    bool m_boardKnown = false;
    int m_seconds = 60;
    int m_minimum = 4;
    bool m_watching = false;
    bool m_ended = false;

    QTimer m_timer;     // the next word
    QTimer m_chatTimer; // the end-of-game line, as if typed
    QByteArray m_pendingLine;
    QElapsedTimer m_roundClock;
    QElapsedTimer m_sinceSend;
};
