#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class ReviewBoard;
class RoundHistory;
class WordDefinitions;

// The round review, "Lexitangle - Round Review": every round of the current game with its
// board, every word on it (longest first, then alphabetical) with its points and who found it,
// a summary line, the path of the word under the mouse or selected, and the meaning of the
// selected word. It stays open across rounds until the player closes it; a new round's list
// brings the newest round into view when the newest was shown.
class Troundreview : public QWidget {
    Q_OBJECT
public:
    // Columns of the word list.
    enum Column { WordColumn, PointsColumn, FinderColumn };

    Troundreview(RoundHistory &history, WordDefinitions &definitions, QWidget *parent = nullptr);

    // Shows the window, raised, with the newest round.
    void showReview();
    // 0-based index of the round shown; -1 while there is none.
    int shownRound() const { return m_round; }
    void showRound(int index);
    // The selected, visible rows as text: one word a line, its points after a tab.
    QString selectedText() const;
    // What the definition line says now.
    QString definitionText() const;
    // "High Contrast": the missed words and the selected row drawn at 4.5:1 or more.
    void setHighContrast(bool on);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void roundsChanged();
    void fillRounds();
    void fillWords();
    void applyFilter();
    void currentChanged(QTreeWidgetItem *item);
    void showPathOf(QTreeWidgetItem *item);
    void define();
    void copySelection();

    RoundHistory &m_history;
    WordDefinitions &m_definitions;
    int m_round = -1;
    bool m_noticeShown = false;
    bool m_highContrast = false;

    QPushButton *m_previous;
    QPushButton *m_next;
    QComboBox *m_rounds;
    QLabel *m_summary;
    ReviewBoard *m_board;
    QLineEdit *m_filter;
    QTreeWidget *m_words;
    QLabel *m_definition;
    QTimer *m_defineTimer;
};
