#include "dialogs/troundreview.h"

#include "widgets/dialoglook.h"
#include "dialogs/reviewboard.h"
#include "solver/roundhistory.h"
#include "words/worddefinitions.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QColor cream(255, 255, 198);
const QColor white(255, 255, 255);
const QColor missedColour(178, 198, 178);
// 4.5:1 on the list's ground, and the selected row white on a dark blue.
const QColor missedHighContrast(205, 218, 205);
const QColor highlightHighContrast(28, 52, 96);
const QColor listBase(60, 86, 60);
constexpr int RowRole = Qt::UserRole;
// Selecting through the list with the arrow keys asks for one definition, at the word the
// keys come to rest on.
constexpr int DefineDelayMs = 60;

QString finderText(RoundHistory::Finder finder)
{
    switch (finder) {
    case RoundHistory::Finder::Me: return QStringLiteral("you");
    case RoundHistory::Finder::Table: return QStringLiteral("the table");
    case RoundHistory::Finder::Nobody: break;
    }
    return QStringLiteral("missed");
}

QLabel *creamLabel(QWidget *parent, const char *name, bool bold)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, cream);
    label->setPalette(pal);
    QFont f = label->font();
    f.setBold(bold);
    label->setFont(f);
    return label;
}

} // namespace

Troundreview::Troundreview(RoundHistory &history, WordDefinitions &definitions, QWidget *parent)
    : QWidget(parent, Qt::Window), m_history(history), m_definitions(definitions)
{
    setObjectName(QStringLiteral("roundreview"));
    setWindowTitle(QStringLiteral("Lexitangle - Round Review"));
    resize(660, 500);
    DialogLook::applyBackground(this);

    m_previous = new QPushButton(QStringLiteral("\u25C0"), this);
    m_previous->setObjectName(QStringLiteral("button_previousround"));
    m_previous->setToolTip(QStringLiteral("Previous round"));
    m_next = new QPushButton(QStringLiteral("\u25B6"), this);
    m_next->setObjectName(QStringLiteral("button_nextround"));
    m_next->setToolTip(QStringLiteral("Next round"));
    for (QPushButton *b : {m_previous, m_next})
        b->setFixedWidth(32);
    m_rounds = new QComboBox(this);
    m_rounds->setObjectName(QStringLiteral("combo_round"));
    m_rounds->setMinimumContentsLength(12);
    m_summary = creamLabel(this, "label_summary", true);
    m_summary->setWordWrap(true);

    m_board = new ReviewBoard(this);
    m_board->setFixedSize(250, 250);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("edit_filter"));
    m_filter->setPlaceholderText(QStringLiteral("Filter"));
    m_filter->setClearButtonEnabled(true);

    m_words = new QTreeWidget(this);
    m_words->setObjectName(QStringLiteral("list_words"));
    m_words->setColumnCount(3);
    m_words->setHeaderLabels({QStringLiteral("Word"), QStringLiteral("Points"), QStringLiteral("Found by")});
    m_words->setRootIsDecorated(false);
    m_words->setUniformRowHeights(true);
    m_words->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_words->setMouseTracking(true);
    m_words->header()->setSectionResizeMode(WordColumn, QHeaderView::Stretch);
    m_words->header()->setStretchLastSection(false);
    m_words->setColumnWidth(PointsColumn, 60);
    m_words->setColumnWidth(FinderColumn, 90);
    QPalette listPal = m_words->palette();
    listPal.setColor(QPalette::Base, listBase);
    listPal.setColor(QPalette::Text, white);
    m_words->setPalette(listPal);
    m_words->viewport()->installEventFilter(this);

    m_definition = creamLabel(this, "label_definition", false);
    m_definition->setWordWrap(true);
    m_definition->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_definition->setMinimumHeight(64);
    m_definition->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *top = new QHBoxLayout;
    top->addWidget(m_previous);
    top->addWidget(m_rounds);
    top->addWidget(m_next);
    top->addWidget(m_summary, 1);
    auto *left = new QVBoxLayout;
    left->addWidget(m_board);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(m_filter);
    right->addWidget(m_words, 1);
    auto *middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addLayout(right, 1);
    auto *all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(middle, 1);
    all->addWidget(m_definition);

    m_defineTimer = new QTimer(this);
    m_defineTimer->setSingleShot(true);
    m_defineTimer->setInterval(DefineDelayMs);

    connect(m_previous, &QPushButton::clicked, this, [this] { showRound(m_round - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showRound(m_round + 1); });
    connect(m_rounds, &QComboBox::activated, this, &Troundreview::showRound);
    connect(m_filter, &QLineEdit::textChanged, this, &Troundreview::applyFilter);
    connect(m_words, &QTreeWidget::currentItemChanged, this, &Troundreview::currentChanged);
    connect(m_words, &QTreeWidget::itemEntered, this, &Troundreview::showPathOf);
    connect(m_defineTimer, &QTimer::timeout, this, &Troundreview::define);
    auto *copy = new QShortcut(QKeySequence::Copy, m_words, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &Troundreview::copySelection);
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    connect(&m_history, &RoundHistory::roundsChanged, this, &Troundreview::roundsChanged);
    fillRounds();
}

void Troundreview::showReview()
{
    if (m_round < 0 || m_round != m_history.roundCount() - 1)
        showRound(m_history.roundCount() - 1);
    // Opened from the keyboard, the arrow keys step through the words at once.
    if (!isVisible() && !m_words->hasFocus())
        m_words->setFocus(Qt::OtherFocusReason);
    show();
    raise();
    activateWindow();
}

void Troundreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_round >= 0 && m_words->topLevelItemCount() == 0)
        fillWords(); // the newest round came while the window was closed
}

void Troundreview::roundsChanged()
{
    // The newest round follows when it was the one on show, or when there was none.
    const int count = m_history.roundCount();
    const bool followNewest = m_round < 0 || m_round >= count - 2;
    fillRounds();
    if (followNewest)
        showRound(count - 1);
}

void Troundreview::fillRounds()
{
    const QSignalBlocker block(m_rounds);
    m_rounds->clear();
    for (int i = 0; i < m_history.roundCount(); ++i)
        m_rounds->addItem(QStringLiteral("Round %1").arg(i + 1));
    if (m_history.roundCount() == 0) {
        m_round = -1;
        m_summary->setText(QStringLiteral("No round of this game has ended yet."));
        m_board->setBoard(BoardCells{});
        m_words->clear();
        m_definition->clear();
    } else if (m_round >= 0 && m_round < m_history.roundCount()) {
        m_rounds->setCurrentIndex(m_round);
    }
    m_previous->setEnabled(m_round > 0);
    m_next->setEnabled(m_round >= 0 && m_round < m_history.roundCount() - 1);
}

void Troundreview::showRound(int index)
{
    if (index < 0 || index >= m_history.roundCount())
        return;
    m_round = index;
    {
        const QSignalBlocker block(m_rounds);
        m_rounds->setCurrentIndex(index);
    }
    m_previous->setEnabled(index > 0);
    m_next->setEnabled(index < m_history.roundCount() - 1);
    m_board->setBoard(m_history.round(index).cells);
    m_words->clear();
    m_definition->clear();
    // A hidden window waits: the words are worked out when it is shown.
    if (isVisible())
        fillWords();
}

void Troundreview::setHighContrast(bool on)
{
    m_highContrast = on;
    QPalette pal = m_words->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight,
                     on ? highlightHighContrast : palette().color(group, QPalette::Highlight));
        pal.setColor(group, QPalette::HighlightedText,
                     on ? QColor(Qt::white) : palette().color(group, QPalette::HighlightedText));
    }
    m_words->setPalette(pal);
    // The rows take their colours when they are made; a hidden window makes them when shown.
    m_words->clear();
    if (m_round >= 0 && isVisible())
        fillWords();
}

void Troundreview::fillWords()
{
    const QList<RoundHistory::Row> &rows = m_history.rows(m_round);
    m_summary->setText(RoundHistory::summaryText(m_history.summary(m_round)));
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const RoundHistory::Row &row = rows[i];
        auto *item = new QTreeWidgetItem({QString::fromLatin1(row.word), QString::number(row.points), finderText(row.finder)});
        item->setData(WordColumn, RowRole, int(i));
        item->setTextAlignment(PointsColumn, Qt::AlignRight | Qt::AlignVCenter);
        const QColor colour = row.finder == RoundHistory::Finder::Me      ? cream
                              : row.finder == RoundHistory::Finder::Table ? white
                              : m_highContrast                            ? missedHighContrast
                                                                          : missedColour;
        for (int c = 0; c < 3; ++c) {
            item->setForeground(c, colour);
            if (row.finder == RoundHistory::Finder::Me) {
                QFont f = item->font(c);
                f.setBold(true);
                item->setFont(c, f);
            }
        }
        items.append(item);
    }
    m_words->addTopLevelItems(items);
    applyFilter();
}

void Troundreview::applyFilter()
{
    const QString filter = m_filter->text().trimmed();
    for (int i = 0; i < m_words->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_words->topLevelItem(i);
        item->setHidden(!filter.isEmpty() && !item->text(WordColumn).contains(filter, Qt::CaseInsensitive));
    }
    // A selected word the filter hides takes its path with it.
    QTreeWidgetItem *current = m_words->currentItem();
    showPathOf(current && !current->isHidden() ? current : nullptr);
}

void Troundreview::currentChanged(QTreeWidgetItem *item)
{
    showPathOf(item);
    m_definition->clear();
    if (item)
        m_defineTimer->start();
}

void Troundreview::showPathOf(QTreeWidgetItem *item)
{
    if (!item || m_round < 0) {
        m_board->setPath({});
        return;
    }
    const QList<RoundHistory::Row> &rows = m_history.rows(m_round);
    const int row = item->data(WordColumn, RowRole).toInt();
    m_board->setPath(row >= 0 && row < rows.size() ? rows[row].path : QList<QPoint>());
}

bool Troundreview::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the list puts the selected word's path back.
    if (watched == m_words->viewport() && event->type() == QEvent::Leave)
        showPathOf(m_words->currentItem());
    return QWidget::eventFilter(watched, event);
}

void Troundreview::define()
{
    const QTreeWidgetItem *item = m_words->currentItem();
    if (!item)
        return;
    if (!m_definitions.available()) {
        // Told once; after that the line stays empty.
        m_definition->setText(m_noticeShown ? QString() : m_definitions.problem());
        m_noticeShown = true;
        return;
    }
    const QByteArray word = item->text(WordColumn).toLatin1();
    m_definition->setText(QStringLiteral("%1\n%2").arg(item->text(WordColumn),
                                                       WordDefinitions::describe(word, m_definitions.lookup(word))));
}

QString Troundreview::definitionText() const
{
    return m_definition->text();
}

QString Troundreview::selectedText() const
{
    QString text;
    for (int i = 0; i < m_words->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = m_words->topLevelItem(i);
        if (item->isSelected() && !item->isHidden())
            text += item->text(WordColumn) + QLatin1Char('\t') + item->text(PointsColumn) + QLatin1Char('\n');
    }
    return text;
}

void Troundreview::copySelection()
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}
