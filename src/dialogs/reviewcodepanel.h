#pragma once

#include "host/boardcode.h"
#include "records/historystore.h"
#include "records/recordedboard.h"
#include "solver/roundhistory.h"

#include <QDateTime>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

// A row of the review: the board's code with "Copy Board Code" and "Play This Board", and
// under it this player's earlier results on the same board.
class ReviewCodePanel : public QWidget {
    Q_OBJECT
public:
    // Earlier results named one by one, newest first; the rest are counted.
    static constexpr int EarlierShown = 3;

    explicit ReviewCodePanel(QWidget *parent = nullptr);

    // The round on show, or null for none. Its earlier results are gone until showResults().
    void showRound(const RoundHistory::Round *round);
    // Whether "Play This Board" may start a game now.
    void setPlayable(bool playable);
    // The code of the board on show; nothing when no round is, or no deal could make it.
    const std::optional<BoardCode> &code() const { return m_code; }
    // The square of the board on show, as the history looks boards up.
    const RecordedBoard::Square &square() const { return m_square; }
    // This player's results on `square`, oldest first; those of another board than the one
    // on show are left alone.
    void showResults(const RecordedBoard::Square &square, const QList<HistoryStore::BoardResult> &results);

    // "You played this board before ..." for the results that ended before `dealt` (all of
    // them for an invalid time); empty when there are none.
    static QString earlierText(const QList<HistoryStore::BoardResult> &results, const QDateTime &dealt);

Q_SIGNALS:
    void playRequested(const BoardCode &code);

private:
    void refresh();

    std::optional<BoardCode> m_code;
    RecordedBoard::Square m_square;
    QDateTime m_dealt;
    bool m_shown = false;
    bool m_playable = false;

    QLabel *m_text;
    QPushButton *m_copy;
    QPushButton *m_play;
    QLabel *m_earlier;
};
