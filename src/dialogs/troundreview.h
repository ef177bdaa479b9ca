#pragma once

#include "host/boardcode.h"
#include "records/historystore.h"

#include <QWidget>

#include <memory>
#include <optional>

class BoardSolver;
class HistoryKeeper;
class KeptPlace;
class QComboBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTimer;
class QTreeView;
class ReviewBoard;
class ReviewCodePanel;
class ReviewWordsModel;
class RoundHistory;
class WordDefinitions;

// The round review, "Lexitangle - Round Review": every kept round of the current game with its
// board, every word on it (longest first, then alphabetical) with its points and who found it,
// the words the host listed that the board cannot spell after them, a summary line, the path of
// the word under the mouse or selected, and the meaning of the selected word. It stays open
// across rounds until the player closes it; a new round's list brings the newest round into
// view when the newest was shown. Its place and size are kept across runs (KeptPlace).
//
// With the game history, any game played before can be chosen from a list by date: its rounds
// are shown exactly as those of the game in progress, and the game in progress is one choice
// away.
//
// Under each round's board and words: its code to copy for another player, "Play This Board"
// (a game on it, in a hosting copy between games), and this player's earlier results on it.
class Troundreview : public QWidget {
    Q_OBJECT
public:
    Troundreview(RoundHistory &history, WordDefinitions &definitions, QWidget *parent = nullptr);
    ~Troundreview() override;

    // Offers the recorded games; their words are worked out with `solver`.
    void setPastGames(HistoryKeeper *history, BoardSolver *solver);
    // Shows a recorded game (once it has been read), or the game in progress for 0.
    void showGame(qint64 id);
    // 0 while the game in progress is shown.
    qint64 shownGame() const { return m_gameId; }

    // Shows the window, raised, with the newest round.
    void showReview();
    // 0-based index of the round shown among the kept ones; -1 while there is none.
    int shownRound() const { return m_round; }
    void showRound(int index);
    // The selected, shown rows as text: one word a line, its points after a tab.
    QString selectedText() const;
    // What the definition line says now.
    QString definitionText() const;
    // "High Contrast": every row and the selected row drawn at 4.5:1 or more.
    void setHighContrast(bool on);
    KeptPlace &keptPlace() { return *m_place; }

    void setVisible(bool visible) override;

    // Whether "Play This Board" may start a game now: in a hosting copy, between games.
    void setBoardsPlayable(bool playable);
    // The code of the board on show; nothing when no round is, or no deal could make it.
    std::optional<BoardCode> shownCode() const;

Q_SIGNALS:
    // A recorded game asked for with showGame() is on show.
    void pastGameShown(qint64 id);
    // "Play This Board" was pressed where it may start a game.
    void playBoardRequested(const BoardCode &code);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makeList();
    void listGames(const QList<HistoryStore::GameEntry> &games);
    void gameLoaded(qint64 id, bool found, const HistoryStore::PastGame &game);
    // Shows `rounds` from their newest round (the game in progress) or their first (a past game).
    void showRounds(RoundHistory *rounds, bool newest);
    void liveRoundsChanged();
    void roundsChanged();
    void fillRounds();
    void fillWords();
    void applyFilter();
    void currentChanged(const QModelIndex &index);
    void showPathOf(const QModelIndex &index);
    void define();
    void copySelection();

    RoundHistory &m_live;
    // The rounds on show: the game in progress, or m_past.
    RoundHistory *m_history;
    std::unique_ptr<RoundHistory> m_past;
    HistoryKeeper *m_records = nullptr;
    BoardSolver *m_solver = nullptr;
    qint64 m_gameId = 0;
    qint64 m_wantedGame = 0;
    WordDefinitions &m_definitions;
    int m_round = -1;
    bool m_filled = false;     // the list shows m_round's rows
    int m_firstNumber = 1;     // the number of the oldest round kept, when the rounds were last listed
    int m_currentRow = -1;     // the selected word's row, also while the filter hides it
    bool m_refiltering = false;
    bool m_noticeShown = false;

    QComboBox *m_games;
    QPushButton *m_previous;
    QPushButton *m_next;
    QComboBox *m_rounds;
    QLabel *m_summary;
    ReviewBoard *m_board;
    ReviewCodePanel *m_codePanel;
    QLineEdit *m_filter;
    QTreeView *m_words;
    ReviewWordsModel *m_model;
    QLabel *m_definition;
    QTimer *m_defineTimer;
    KeptPlace *m_place;
};
