#include "dialogs/statisticscharts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace {

const QColor cream(255, 255, 198);
const QColor panel(60, 86, 60);
const QColor grid(96, 124, 96);

void styleAxis(QAbstractAxis *axis)
{
    axis->setLabelsColor(cream);
    axis->setTitleBrush(cream);
    axis->setGridLineColor(grid);
    axis->setLinePenColor(grid);
}

QChart *styledChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setTitleBrush(cream);
    chart->setBackgroundBrush(panel);
    chart->setBackgroundRoundness(0);
    chart->legend()->hide();
    // Curves of a few hundred points are redrawn at once; animation would only delay them.
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

QChartView *viewOf(QChart *chart, QWidget *parent, const char *name)
{
    auto *view = new QChartView(chart, parent);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(300, 220);
    return view;
}

// The highest y, rounded up to a tidy figure, so the curve never touches the top.
double topOf(const QList<QPointF> &points, double least)
{
    double top = least;
    for (const QPointF &p : points)
        top = std::max(top, p.y());
    return std::ceil(top * 1.1);
}

} // namespace

StatisticsCharts::StatisticsCharts(QWidget *parent)
    : QObject(parent)
{
    m_shareView = timeChart(parent, QStringLiteral("Your share of each board's words (%)"), QStringLiteral("%"),
                            &m_share, &m_shareTime, &m_shareValues);
    m_shareView->setObjectName(QStringLiteral("chart_share"));
    m_pointsView = timeChart(parent, QStringLiteral("Points per game"), QStringLiteral("points"), &m_points,
                             &m_pointsTime, &m_pointsValues);
    m_pointsView->setObjectName(QStringLiteral("chart_points"));

    QChart *chart = styledChart(QStringLiteral("Words found by length"));
    m_lengths = new QBarSet(QStringLiteral("words"));
    m_lengths->setColor(cream);
    auto *bars = new QBarSeries;
    bars->append(m_lengths);
    chart->addSeries(bars);
    m_lengthNames = new QBarCategoryAxis;
    m_lengthNames->setTitleText(QStringLiteral("letters"));
    m_lengthValues = new QValueAxis;
    m_lengthValues->setLabelFormat(QStringLiteral("%d"));
    for (QAbstractAxis *axis : {static_cast<QAbstractAxis *>(m_lengthNames), static_cast<QAbstractAxis *>(m_lengthValues)})
        styleAxis(axis);
    chart->addAxis(m_lengthNames, Qt::AlignBottom);
    chart->addAxis(m_lengthValues, Qt::AlignLeft);
    bars->attachAxis(m_lengthNames);
    bars->attachAxis(m_lengthValues);
    m_lengthsView = viewOf(chart, parent, "chart_lengths");
}

QChartView *StatisticsCharts::timeChart(QWidget *parent, const QString &title, const QString &valueTitle,
                                        QLineSeries **series, QDateTimeAxis **time, QValueAxis **values)
{
    QChart *chart = styledChart(title);
    *series = new QLineSeries;
    (*series)->setPen(QPen(cream, 2));
    chart->addSeries(*series);
    *time = new QDateTimeAxis;
    (*time)->setFormat(QStringLiteral("d MMM yy"));
    (*time)->setTickCount(5);
    *values = new QValueAxis;
    (*values)->setTitleText(valueTitle);
    (*values)->setLabelFormat(QStringLiteral("%d"));
    styleAxis(*time);
    styleAxis(*values);
    chart->addAxis(*time, Qt::AlignBottom);
    chart->addAxis(*values, Qt::AlignLeft);
    (*series)->attachAxis(*time);
    (*series)->attachAxis(*values);
    return viewOf(chart, parent, "chart");
}

void StatisticsCharts::fitTime(QDateTimeAxis *axis, const QList<QPointF> &points)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 first = points.isEmpty() ? now - 86400000 : qint64(points.first().x());
    const qint64 last = points.isEmpty() ? now : qint64(points.last().x());
    // A little room on both sides, a quarter of an hour at least (a single point too).
    const qint64 pad = std::max<qint64>((last - first) / 50, 15 * 60000);
    axis->setRange(QDateTime::fromMSecsSinceEpoch(first - pad), QDateTime::fromMSecsSinceEpoch(last + pad));
    // Games of one evening read by the clock, those of months by the day.
    constexpr qint64 Day = 86400000;
    const qint64 span = last - first + 2 * pad;
    axis->setFormat(span <= 2 * Day ? QStringLiteral("hh:mm") : span <= 60 * Day ? QStringLiteral("d MMM") : QStringLiteral("MMM yy"));
}

void StatisticsCharts::show(const HistoryStatistics::Figures &f)
{
    m_share->replace(f.shareCurve);
    fitTime(m_shareTime, f.shareCurve);
    m_shareValues->setRange(0, std::min(100.0, topOf(f.shareCurve, 5)));
    m_points->replace(f.pointsPerGame);
    fitTime(m_pointsTime, f.pointsPerGame);
    m_pointsValues->setRange(0, topOf(f.pointsPerGame, 10));

    // Lengths from the shortest to the longest found, at least 3 to 8 so an empty chart has a shape.
    int shortest = 3, longest = 8;
    for (int n = 1; n < int(f.wordsByLength.size()); ++n) {
        if (f.wordsByLength[size_t(n)] > 0) {
            shortest = std::min(shortest, n);
            longest = std::max(longest, n);
        }
    }
    QStringList names;
    QList<qreal> counts;
    int most = 1;
    for (int n = shortest; n <= longest; ++n) {
        names << QString::number(n);
        counts << f.wordsByLength[size_t(n)];
        most = std::max(most, f.wordsByLength[size_t(n)]);
    }
    m_lengthNames->clear();
    m_lengthNames->append(names);
    m_lengths->remove(0, m_lengths->count());
    m_lengths->append(counts);
    m_lengthValues->setRange(0, std::ceil(most * 1.1));
}
