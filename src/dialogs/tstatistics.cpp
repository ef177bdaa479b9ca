#include "dialogs/tstatistics.h"

#include "dialogs/statisticscharts.h"
#include "records/historykeeper.h"
#include "widgets/dialoglook.h"

#include <QChartView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QColor white(255, 255, 255);
const QColor listBase(60, 86, 60);

struct SizeChoice {
    const char *caption;
    int code;
};
constexpr SizeChoice Sizes[] = {{"All sizes", 0}, {"4X4", 4},  {"5X5", 9},  {"6X6", 5},   {"7X7", 10},
                                {"8X8", 6},       {"9X9", 11}, {"10X10", 7}, {"Random", 8}};
struct PeriodChoice {
    const char *caption;
    int days; // 0: all time
};
constexpr PeriodChoice Periods[] = {{"All time", 0}, {"Last 7 days", 7}, {"Last 30 days", 30}, {"Last 365 days", 365}};

struct FigureName {
    const char *key;
    const char *caption;
};
constexpr FigureName Figures[] = {
    {"games", "Games"},
    {"wins", "Wins"},
    {"winrate", "Win rate"},
    {"rounds", "Rounds played"},
    {"words", "Words found"},
    {"meanwords", "Words per round"},
    {"meanpoints", "Points per round"},
    {"bestround", "Best round"},
    {"longest", "Longest word"},
    {"bestword", "Best-scoring word"},
    {"share", "Share of the board's words"},
};

QString percent(double share) { return QStringLiteral("%1%").arg(share * 100, 0, 'f', 1); }
QString decimal(double value) { return QString::number(value, 'f', 1); }
QString word(const QByteArray &w) { return w.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(w); }

QTableWidgetItem *cell(const QString &text, bool number)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

Tstatistics::Tstatistics(HistoryKeeper &history, QWidget *parent)
    : QWidget(parent, Qt::Window), m_history(history)
{
    setObjectName(QStringLiteral("statistics"));
    setWindowTitle(QStringLiteral("Lexitangle - Statistics"));
    resize(900, 640);
    DialogLook::applyBackground(this);
    DialogLook::closeWithKeys(this);

    m_status = DialogLook::creamLabel(this, QString(), false);
    m_status->setObjectName(QStringLiteral("label_status"));
    m_charts = new StatisticsCharts(this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs_charts"));
    tabs->addTab(m_charts->shareView(), QStringLiteral("Skill Curve"));
    tabs->addTab(m_charts->pointsView(), QStringLiteral("Points per Game"));
    tabs->addTab(m_charts->lengthsView(), QStringLiteral("Words by Length"));

    m_opponents = new QTableWidget(0, 5, this);
    m_opponents->setObjectName(QStringLiteral("table_opponents"));
    m_opponents->setHorizontalHeaderLabels({QStringLiteral("Opponent"), QStringLiteral("Games"), QStringLiteral("Your Wins"),
                                            QStringLiteral("Their Wins"), QStringLiteral("Mean Score")});
    m_opponents->verticalHeader()->hide();
    m_opponents->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_opponents->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_opponents->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette pal = m_opponents->palette();
    pal.setColor(QPalette::Base, listBase);
    pal.setColor(QPalette::Text, white);
    m_opponents->setPalette(pal);

    auto *all = new QVBoxLayout(this);
    buildFilters(all);
    buildFigures(all);
    auto *lower = new QHBoxLayout;
    lower->addWidget(tabs, 3);
    auto *opponents = new QVBoxLayout;
    opponents->addWidget(DialogLook::creamLabel(this, QStringLiteral("Opponents"), true));
    opponents->addWidget(m_opponents, 1);
    lower->addLayout(opponents, 2);
    all->addLayout(lower, 1);
    all->addWidget(m_status);

    connect(&m_history, &HistoryKeeper::statisticsReady, this, &Tstatistics::answered);
    connect(&m_history, &HistoryKeeper::opened, this, &Tstatistics::stateChanged);
    stateChanged(m_history.state());
}

void Tstatistics::buildFilters(QVBoxLayout *all)
{
    m_boardSize = new QComboBox(this);
    m_boardSize->setObjectName(QStringLiteral("combo_boardsize"));
    for (const SizeChoice &s : Sizes)
        m_boardSize->addItem(QLatin1String(s.caption), s.code);
    m_period = new QComboBox(this);
    m_period->setObjectName(QStringLiteral("combo_period"));
    for (const PeriodChoice &p : Periods)
        m_period->addItem(QLatin1String(p.caption), p.days);
    auto *row = new QHBoxLayout;
    row->addWidget(DialogLook::creamLabel(this, QStringLiteral("Board Size:"), true));
    row->addWidget(m_boardSize);
    row->addSpacing(16);
    row->addWidget(DialogLook::creamLabel(this, QStringLiteral("Period:"), true));
    row->addWidget(m_period);
    row->addStretch();
    all->addLayout(row);
    connect(m_boardSize, &QComboBox::activated, this, &Tstatistics::request);
    connect(m_period, &QComboBox::activated, this, &Tstatistics::request);
}

void Tstatistics::buildFigures(QVBoxLayout *all)
{
    auto *grid = new QGridLayout;
    constexpr int PerColumn = 6;
    for (int i = 0; i < int(std::size(Figures)); ++i) {
        const QString key = QLatin1String(Figures[i].key);
        QLabel *value = DialogLook::creamLabel(this, QStringLiteral("-"), true);
        value->setObjectName(QStringLiteral("value_") + key);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_figures.insert(key, value);
        const int row = i % PerColumn, column = (i / PerColumn) * 2;
        grid->addWidget(DialogLook::creamLabel(this, QLatin1String(Figures[i].caption) + QLatin1Char(':'), false), row, column);
        grid->addWidget(value, row, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    all->addLayout(grid);
}

HistoryStatistics::Filter Tstatistics::filter() const
{
    HistoryStatistics::Filter f;
    f.boardType = m_boardSize->currentData().toInt();
    const int days = m_period->currentData().toInt();
    if (days > 0)
        f.since = QDateTime::currentDateTimeUtc().addDays(-days);
    return f;
}

QString Tstatistics::figure(const QString &key) const
{
    const QLabel *label = m_figures.value(key);
    return label ? label->text() : QString();
}

void Tstatistics::showStatistics()
{
    show();
    raise();
    activateWindow();
    request();
}

void Tstatistics::request()
{
    if (m_history.state() == HistoryStore::State::Newer || m_history.state() == HistoryStore::State::Unusable)
        return;
    m_status->setText(QStringLiteral("Reading the game history..."));
    m_history.requestStatistics(++m_request, filter());
}

void Tstatistics::stateChanged(HistoryStore::State state)
{
    if (state == HistoryStore::State::Newer)
        m_status->setText(QStringLiteral("The game history was written by a newer version of Lexitangle."));
    else if (state == HistoryStore::State::Unusable)
        m_status->setText(QStringLiteral("The game history cannot be read in this run."));
}

void Tstatistics::answered(int request, const HistoryStatistics::Figures &figures)
{
    if (request != m_request)
        return; // an older question's answer: a newer one is on its way
    showFigures(figures);
    m_status->setText(figures.games ? QString() : QStringLiteral("No games recorded yet."));
    Q_EMIT figuresShown();
}

void Tstatistics::showFigures(const HistoryStatistics::Figures &f)
{
    const QLocale locale;
    auto set = [this](const char *key, const QString &text) { m_figures.value(QLatin1String(key))->setText(text); };
    set("games", locale.toString(f.games));
    set("wins", locale.toString(f.wins));
    set("winrate", percent(f.winRate()));
    set("rounds", locale.toString(f.rounds));
    set("words", locale.toString(f.wordsFound));
    set("meanwords", decimal(f.meanWords()));
    set("meanpoints", decimal(f.meanPoints()));
    set("bestround", f.bestRoundPoints < 0 ? QStringLiteral("-")
                                           : QStringLiteral("%1 points, %2 words (%3)")
                                                 .arg(f.bestRoundPoints)
                                                 .arg(f.bestRoundWords)
                                                 .arg(locale.toString(f.bestRoundEnded.date(), QLocale::ShortFormat)));
    set("longest", word(f.longestWord));
    set("bestword", f.bestWord.isEmpty() ? QStringLiteral("-")
                                         : QStringLiteral("%1 (%2 points)").arg(word(f.bestWord)).arg(f.bestWordPoints));
    set("share", f.sharedRounds ? percent(f.meanShare()) : QStringLiteral("-"));
    m_charts->show(f);
    showOpponents(f.opponents);
}

void Tstatistics::showOpponents(const QList<HistoryStatistics::Opponent> &opponents)
{
    m_opponents->setSortingEnabled(false);
    m_opponents->setRowCount(int(opponents.size()));
    for (int row = 0; row < opponents.size(); ++row) {
        const HistoryStatistics::Opponent &o = opponents[row];
        m_opponents->setItem(row, NameColumn, cell(QString::fromLatin1(o.name), false));
        m_opponents->setItem(row, GamesColumn, cell(QString::number(o.games), true));
        m_opponents->setItem(row, WinsColumn, cell(QString::number(o.winsAgainst), true));
        m_opponents->setItem(row, TheirWinsColumn, cell(QString::number(o.theirWins), true));
        m_opponents->setItem(row, MeanColumn, cell(decimal(o.meanScore), true));
    }
}
