#pragma once

#include "records/historystatistics.h"
#include "records/historystore.h"

#include <QMap>
#include <QWidget>

class HistoryKeeper;
class QComboBox;
class QLabel;
class QTableWidget;
class QVBoxLayout;
class StatisticsCharts;

// "Lexitangle - Statistics": this player's figures from the game history, with charts and the
// opponents met, for a board size and a period. The figures are worked out on the history's
// own thread; the window asks when it is shown or a filter changes, and shows the newest
// answer when it comes, so a slow disk never holds the interface.
class Tstatistics : public QWidget {
    Q_OBJECT
public:
    // Columns of the opponents table.
    enum Column { NameColumn, GamesColumn, WinsColumn, TheirWinsColumn, MeanColumn };

    Tstatistics(HistoryKeeper &history, QWidget *parent = nullptr);

    // Shows the window, raised, and asks for fresh figures.
    void showStatistics();
    HistoryStatistics::Filter filter() const;
    // The text of a headline figure by its key ("games", "wins", "winrate", "rounds", "words",
    // "meanwords", "meanpoints", "bestround", "longest", "bestword", "share").
    QString figure(const QString &key) const;

Q_SIGNALS:
    // The figures of the newest question are on show.
    void figuresShown();

private:
    void buildFilters(QVBoxLayout *all);
    void buildFigures(QVBoxLayout *all);
    void request();
    void answered(int request, const HistoryStatistics::Figures &figures);
    void showFigures(const HistoryStatistics::Figures &figures);
    void showOpponents(const QList<HistoryStatistics::Opponent> &opponents);
    void stateChanged(HistoryStore::State state);

    HistoryKeeper &m_history;
    int m_request = 0;
    QComboBox *m_boardSize;
    QComboBox *m_period;
    QLabel *m_status;
    QMap<QString, QLabel *> m_figures;
    StatisticsCharts *m_charts;
    QTableWidget *m_opponents;
};
