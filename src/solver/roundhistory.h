#pragma once

#include "solver/boardsolver.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDateTime>
#include <QList>
#include <QObject>

#include <optional>

// The rounds of the current game as this player saw them, for the round review: each round's
// board, the words the host accepted from this player, and the words the host listed for the
// whole table at the round's end. A round counts once its list has come; the board of a round
// still being played is never offered (it would show the words before the clock ends).
//
// Every word on a round's board comes from this copy's own word list through the solver. A
// word the table found that this list lacks (the host's list differs) is still shown, with a
// chain of tiles found for it on the board.
class RoundHistory : public QObject {
    Q_OBJECT
public:
    enum class Finder { Me, Table, Nobody };

    struct Row {
        QByteArray word;
        int points = 0;
        Finder finder = Finder::Nobody;
        QList<QPoint> path; // empty only for a listed word that the board cannot spell
    };

    struct Summary {
        int words = 0;      // rows
        int points = 0;     // of all rows
        int myWords = 0;
        int myPoints = 0;
        int tableWords = 0; // distinct words the table found, this player's own included
    };

    struct Round {
        BoardCells cells{};
        int minLetters = 4;
        QByteArrayList ownWords;
        QByteArrayList tableWords;
        // When this copy saw the board come (for a recorded round, when its game began):
        // what was played on the same board before it is earlier.
        QDateTime dealt;
        std::optional<QList<Row>> rows; // filled the first time they are asked for
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
    // The rounds of a game played before, as recorded: they replace the rounds held.
    void loadRounds(QList<Round> rounds);

    int roundCount() const { return int(m_rounds.size()); }
    // 0 <= index < roundCount().
    const Round &round(int index) const { return m_rounds[index]; }
    // Every word on the board and every word the table found, longest first, then in
    // alphabetical order.
    const QList<Row> &rows(int index);
    Summary summary(int index);
    static QString summaryText(const Summary &s);

Q_SIGNALS:
    // The list of rounds changed: a round ended, or a new game emptied it.
    void roundsChanged();

private:
    QList<Row> computeRows(const Round &round);

    BoardSolver *m_solver;
    QList<Round> m_rounds;
    std::optional<Round> m_playing;
};
