#pragma once

#include "records/historystatistics.h"

#include <QObject>

class QBarCategoryAxis;
class QBarSet;
class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QWidget;

// The three charts of the statistics window, made once and refilled with each answer: the
// share of each board's words per round over time (the skill curve), the points of each game,
// and the words found by their length.
class StatisticsCharts : public QObject {
    Q_OBJECT
public:
    explicit StatisticsCharts(QWidget *parent);

    QChartView *shareView() const { return m_shareView; }
    QChartView *pointsView() const { return m_pointsView; }
    QChartView *lengthsView() const { return m_lengthsView; }

    void show(const HistoryStatistics::Figures &figures);

private:
    QChartView *timeChart(QWidget *parent, const QString &title, const QString &valueTitle, QLineSeries **series,
                          QDateTimeAxis **time, QValueAxis **values);
    static void fitTime(QDateTimeAxis *axis, const QList<QPointF> &points);

    QChartView *m_shareView;
    QChartView *m_pointsView;
    QChartView *m_lengthsView;
    QLineSeries *m_share = nullptr;
    QDateTimeAxis *m_shareTime = nullptr;
    QValueAxis *m_shareValues = nullptr;
    QLineSeries *m_points = nullptr;
    QDateTimeAxis *m_pointsTime = nullptr;
    QValueAxis *m_pointsValues = nullptr;
    QBarSet *m_lengths = nullptr;
    QBarCategoryAxis *m_lengthNames = nullptr;
    QValueAxis *m_lengthValues = nullptr;
};
