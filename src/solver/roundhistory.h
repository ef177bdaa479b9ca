#pragma once

#include "solver/boardsolver.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QSet>

#include <optional>

// The rounds of the current game as this player saw them, for the round review: each round's
// board, the words the host accepted from this player, and the words the host listed for the
// whole table at the round's end. A round counts once its list has come; the board of a round
// still being played is never offered (it would show the words before the clock ends).
//
// Every word on a round's board comes from this copy's own word list through the solver. A
// word the table found that this list lacks (the host's list differs) is still shown, with a
// chain of tiles found for it on the board; one the board cannot spell is shown apart, as not
// on this board, with no points.
//
// What a host sends is bounded before it is kept, so no host can grow a copy without end: the
// last `MaxRounds` rounds of a game, at most `MaxListBytes` of listed words and as much of the
// player's own words a round, kept as one text each; the rows of one round at a time.
class RoundHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxRounds = 50;
    // The longest message a host can send: a longer list is cut at its last whole word.
    static constexpr qsizetype MaxListBytes = 64 * 1024;

    enum class Finder { Me, Table, Nobody, NotOnBoard };

    struct Row {
        QByteArray word;
        int points = 0;
        Finder finder = Finder::Nobody;
        QList<QPoint> path; // empty only for a word not on this board
    };

    struct Summary {
        int words = 0;      // rows on the board
        int points = 0;     // of all rows on the board
        int myWords = 0;
        int myPoints = 0;
        int tableWords = 0; // distinct words on the board the table found, this player's own included
        int notOnBoard = 0; // listed words the board cannot spell
    };

    struct Round {
        int number = 0; // 1 for a game's first round
        BoardCells cells{};
        int minLetters = 4;
        QByteArray ownWords;   // playable, distinct, each followed by '+'
        QByteArray tableWords; // the same
        // When this copy saw the board come (for a recorded round, when its game began):
        // what was played on the same board before it is earlier.
        QDateTime dealt;
    };

    // `solver` may be null: then only the table's words are shown.
    explicit RoundHistory(BoardSolver *solver, QObject *parent = nullptr);

    // A new game: the rounds of the last one are gone.
    void startGame();
    // A board arrived: the next round (a board that never got its list is dropped).
    void boardDealt(const BoardCells &cells);
    void wordAccepted(const QByteArray &word);
    // The host's list for the round that was dealt last: words separated by "+", or "No Words".
    void roundListed(const QByteArray &list, int minLetters);
    // The rounds of a game played before, as recorded, their words "+"-separated: they replace
    // the rounds held, bounded and numbered as the rounds of a game in progress.
    void loadRounds(QList<Round> rounds);

    int roundCount() const { return int(m_rounds.size()); }
    // 0 <= index < roundCount(); the oldest kept round first.
    const Round &round(int index) const { return m_rounds[index]; }
    // Every word on the board and every word the table found, longest first, then in
    // alphabetical order; the words not on this board last, in the same order. Worked out
    // for one round at a time: the reference holds until rows of another round are asked for.
    const QList<Row> &rows(int index);
    Summary summary(int index);
    static QString summaryText(const Summary &s);

Q_SIGNALS:
    // The list of rounds changed: a round ended, or a new game emptied it.
    void roundsChanged();

private:
    QList<Row> computeRows(const Round &round) const;

    BoardSolver *m_solver;
    QList<Round> m_rounds;
    int m_roundsListed = 0;
    std::optional<Round> m_playing;
    QSet<QByteArray> m_playingOwn; // m_playing's own words
    int m_rowsNumber = 0;          // the round m_rows belong to; 0 for none
    QList<Row> m_rows;
};
