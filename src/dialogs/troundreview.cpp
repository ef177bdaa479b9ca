#include "dialogs/troundreview.h"

#include "dialogs/keptplace.h"
#include "dialogs/reviewboard.h"
#include "dialogs/reviewcodepanel.h"
#include "dialogs/reviewwordsmodel.h"
#include "records/historykeeper.h"
#include "solver/roundhistory.h"
#include "widgets/accessiblenames.h"
#include "widgets/dialoglook.h"
#include "words/worddefinitions.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor white(255, 255, 255);
const QColor listBase(60, 86, 60);
// High Contrast: the selected row white on a dark blue, 4.5:1 or more.
const QColor highlightHighContrast(28, 52, 96);
const QSize homeSize(660, 560); // room for the code row under the board and the list
// Selecting through the list with the arrow keys asks for one definition, at the word the
// keys come to rest on.
constexpr int DefineDelayMs = 60;

} // namespace

Troundreview::Troundreview(RoundHistory &history, WordDefinitions &definitions, QWidget *parent)
    : QWidget(parent, Qt::Window), m_live(history), m_history(&history), m_definitions(definitions)
{
    setObjectName(QStringLiteral("roundreview"));
    setWindowTitle(QStringLiteral("Lexitangle - Round Review"));
    resize(homeSize);
    m_place = new KeptPlace(*this, homeSize);
    DialogLook::applyBackground(this);

    m_games = new QComboBox(this);
    m_games->setObjectName(QStringLiteral("combo_game"));
    // A recorded game's entry is long (date, table, result): the list keeps a modest width and
    // elides, so the round's summary beside it keeps its room.
    m_games->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_games->setMinimumContentsLength(22);
    m_games->addItem(QStringLiteral("This Game"), qint64(0));
    m_games->hide(); // until there is a history to choose from

    m_previous = new QPushButton(QStringLiteral("\u25C0"), this);
    m_previous->setObjectName(QStringLiteral("button_previousround"));
    m_previous->setToolTip(QStringLiteral("Previous round"));
    m_previous->setAccessibleName(QStringLiteral("Previous round"));
    m_next = new QPushButton(QStringLiteral("\u25B6"), this);
    m_next->setObjectName(QStringLiteral("button_nextround"));
    m_next->setToolTip(QStringLiteral("Next round"));
    m_next->setAccessibleName(QStringLiteral("Next round"));
    for (QPushButton *b : {m_previous, m_next})
        b->setFixedWidth(32);
    m_rounds = new QComboBox(this);
    m_rounds->setObjectName(QStringLiteral("combo_round"));
    m_rounds->setMinimumContentsLength(12);
    m_rounds->setAccessibleName(QStringLiteral("Round"));
    m_summary = DialogLook::creamLabel(this, QString(), true, QStringLiteral("label_summary"));
    m_summary->setWordWrap(true);

    m_board = new ReviewBoard(this);
    m_board->setFixedSize(250, 250);
    m_codePanel = new ReviewCodePanel(this);

    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("edit_filter"));
    m_filter->setPlaceholderText(QStringLiteral("Filter"));
    m_filter->setClearButtonEnabled(true);
    m_filter->setAccessibleName(QStringLiteral("Filter"));
    m_filter->setAccessibleDescription(QStringLiteral("Shows only the words that hold this text"));

    m_definition = DialogLook::creamLabel(this, QString(), false, QStringLiteral("label_definition"));
    m_definition->setWordWrap(true);
    m_definition->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_definition->setMinimumHeight(64);
    m_definition->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *top = new QHBoxLayout;
    top->addWidget(m_games);
    top->addWidget(m_previous);
    top->addWidget(m_rounds);
    top->addWidget(m_next);
    top->addWidget(m_summary, 1);
    auto *left = new QVBoxLayout;
    left->addWidget(m_board);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(m_filter);
    right->addWidget(makeList(), 1);
    auto *middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addLayout(right, 1);
    auto *all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(middle, 1);
    all->addWidget(m_codePanel);
    all->addWidget(m_definition);

    m_defineTimer = new QTimer(this);
    m_defineTimer->setSingleShot(true);
    m_defineTimer->setInterval(DefineDelayMs);

    connect(m_previous, &QPushButton::clicked, this, [this] { showRound(m_round - 1); });
    connect(m_next, &QPushButton::clicked, this, [this] { showRound(m_round + 1); });
    connect(m_rounds, &QComboBox::activated, this, &Troundreview::showRound);
    connect(m_filter, &QLineEdit::textChanged, this, &Troundreview::applyFilter);
    connect(m_defineTimer, &QTimer::timeout, this, &Troundreview::define);
    connect(&m_definitions, &WordDefinitions::opened, this, &Troundreview::define);
    connect(&m_live, &RoundHistory::roundsChanged, this, &Troundreview::liveRoundsChanged);
    connect(m_games, &QComboBox::activated, this, [this](int index) { showGame(m_games->itemData(index).toLongLong()); });
    connect(m_codePanel, &ReviewCodePanel::playRequested, this, &Troundreview::playBoardRequested);
    fillRounds();
}

Troundreview::~Troundreview() = default;

void Troundreview::setPastGames(HistoryKeeper *history, BoardSolver *solver)
{
    m_records = history;
    m_solver = solver;
    m_games->show();
    connect(history, &HistoryKeeper::gamesListed, this, &Troundreview::listGames);
    connect(history, &HistoryKeeper::gameLoaded, this, &Troundreview::gameLoaded);
    connect(history, &HistoryKeeper::boardResultsReady, m_codePanel, &ReviewCodePanel::showResults);
}

void Troundreview::listGames(const QList<HistoryStore::GameEntry> &games)
{
    const QSignalBlocker block(m_games);
    m_games->clear();
    m_games->addItem(QStringLiteral("This Game"), qint64(0));
    for (const HistoryStore::GameEntry &g : games) {
        const QString result = g.winner.isEmpty() ? QStringLiteral("no winner")
                               : g.won            ? QStringLiteral("won")
                                                  : QString::fromLatin1(g.winner) + QStringLiteral(" won");
        m_games->addItem(QStringLiteral("%1  %2, %3 rounds, %4 points, %5")
                             .arg(g.started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                                  Record::roleName(g.role))
                             .arg(g.rounds)
                             .arg(g.ownScore)
                             .arg(result),
                         g.id);
    }
    const int shown = m_games->findData(m_gameId);
    m_games->setCurrentIndex(shown < 0 ? 0 : shown);
}

void Troundreview::showGame(qint64 id)
{
    m_wantedGame = id;
    if (id != 0 && m_records) {
        m_records->requestGame(id); // shown when it has been read
        return;
    }
    m_gameId = 0;
    showRounds(&m_live, true);
    m_past.reset();
    m_games->setCurrentIndex(0);
}

void Troundreview::gameLoaded(qint64 id, bool found, const HistoryStore::PastGame &game)
{
    if (id != m_wantedGame || !found)
        return; // a game asked for earlier, or one that is gone
    QList<RoundHistory::Round> rounds;
    for (const HistoryStore::PastRound &past : game.rounds) {
        RoundHistory::Round round;
        round.cells = past.cells;
        round.minLetters = past.minLetters;
        round.ownWords = past.ownWords.join('+');
        round.tableWords = past.tableWords.join('+');
        round.dealt = game.entry.started;
        rounds.append(std::move(round));
    }
    auto loaded = std::make_unique<RoundHistory>(m_solver);
    loaded->loadRounds(std::move(rounds));
    m_gameId = id;
    showRounds(loaded.get(), false);
    m_past = std::move(loaded);
    const int index = m_games->findData(id);
    if (index >= 0)
        m_games->setCurrentIndex(index);
    Q_EMIT pastGameShown(id);
}

void Troundreview::showRounds(RoundHistory *rounds, bool newest)
{
    m_history = rounds;
    m_round = -1;
    m_firstNumber = rounds->roundCount() > 0 ? rounds->round(0).number : 1;
    fillRounds();
    showRound(newest ? rounds->roundCount() - 1 : 0);
}

void Troundreview::liveRoundsChanged()
{
    // A round of the game in progress ended: the list of games may have grown too.
    if (m_records && isVisible())
        m_records->requestGames();
    if (m_history == &m_live)
        roundsChanged();
}

QWidget *Troundreview::makeList()
{
    m_model = new ReviewWordsModel(this);
    m_words = new QTreeView(this);
    m_words->setObjectName(QStringLiteral("list_words"));
    m_words->setModel(m_model);
    m_words->setRootIsDecorated(false);
    m_words->setItemsExpandable(false);
    m_words->setUniformRowHeights(true);
    m_words->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_words->setMouseTracking(true);
    m_words->header()->setSectionResizeMode(ReviewWordsModel::WordColumn, QHeaderView::Stretch);
    m_words->header()->setStretchLastSection(false);
    m_words->setColumnWidth(ReviewWordsModel::PointsColumn, 60);
    m_words->setColumnWidth(ReviewWordsModel::FinderColumn, 110);
    QPalette listPal = m_words->palette();
    listPal.setColor(QPalette::Base, listBase);
    listPal.setColor(QPalette::Text, white);
    m_words->setPalette(listPal);
    m_words->viewport()->installEventFilter(this);
    AccessibleNames::scrollArea(m_words, QStringLiteral("Words of the round"),
                                QStringLiteral("Every word on the board with its points and who found it"));

    connect(m_words->selectionModel(), &QItemSelectionModel::currentChanged, this, &Troundreview::currentChanged);
    connect(m_words, &QAbstractItemView::entered, this, &Troundreview::showPathOf);
    auto *copy = new QShortcut(QKeySequence::Copy, m_words, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, &Troundreview::copySelection);
    DialogLook::closeWithKeys(this);
    return m_words;
}

void Troundreview::showReview()
{
    // The review is asked for the game in progress: a past game on show makes way for it.
    if (m_history != &m_live)
        showGame(0);
    if (m_round < 0 || m_round != m_history->roundCount() - 1)
        showRound(m_history->roundCount() - 1);
    // Opened from the keyboard, the arrow keys step through the words at once.
    if (!isVisible() && !m_words->hasFocus())
        m_words->setFocus(Qt::OtherFocusReason);
    show();
    raise();
    activateWindow();
}

void Troundreview::setHighContrast(bool on)
{
    QPalette pal = m_words->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight,
                     on ? highlightHighContrast : palette().color(group, QPalette::Highlight));
        pal.setColor(group, QPalette::HighlightedText,
                     on ? QColor(Qt::white) : palette().color(group, QPalette::HighlightedText));
    }
    m_words->setPalette(pal);
    m_model->setHighContrast(on);
}

void Troundreview::setVisible(bool visible)
{
    if (visible && !isVisible())
        m_place->placeForShowing();
    QWidget::setVisible(visible);
}

void Troundreview::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        m_place->hidden();
}

void Troundreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The definitions' database opens on a worker as the review shows, so that as a rule it is
    // ready by the time a word is selected.
    m_definitions.openInBackground();
    if (m_records)
        m_records->requestGames();
    if (m_round >= 0 && !m_filled)
        fillWords(); // the newest round came while the window was closed
}

void Troundreview::roundsChanged()
{
    // The oldest rounds of a long game are dropped: the index of the round on show moves with
    // them (below 0 when it was dropped itself).
    const int count = m_history->roundCount();
    const int first = count > 0 ? m_history->round(0).number : 1;
    if (m_round >= 0)
        m_round -= first - m_firstNumber;
    m_firstNumber = first;
    // The newest round follows when it was the one on show, or when there was none.
    const bool followNewest = m_round < 0 || m_round >= count - 2;
    fillRounds();
    if (followNewest)
        showRound(count - 1);
}

void Troundreview::fillRounds()
{
    const QSignalBlocker block(m_rounds);
    m_rounds->clear();
    for (int i = 0; i < m_history->roundCount(); ++i)
        m_rounds->addItem(QStringLiteral("Round %1").arg(m_history->round(i).number));
    if (m_history->roundCount() == 0) {
        m_round = -1;
        m_summary->setText(QStringLiteral("No round of this game has ended yet."));
        m_board->setBoard(BoardCells{});
        m_codePanel->showRound(nullptr);
        m_model->setRows({});
        m_filled = false;
        m_currentRow = -1;
        m_definition->clear();
    } else if (m_round >= 0 && m_round < m_history->roundCount()) {
        m_rounds->setCurrentIndex(m_round);
    }
    m_previous->setEnabled(m_round > 0);
    m_next->setEnabled(m_round >= 0 && m_round < m_history->roundCount() - 1);
}

void Troundreview::showRound(int index)
{
    if (index < 0 || index >= m_history->roundCount())
        return;
    m_round = index;
    {
        const QSignalBlocker block(m_rounds);
        m_rounds->setCurrentIndex(index);
    }
    m_previous->setEnabled(index > 0);
    m_next->setEnabled(index < m_history->roundCount() - 1);
    m_board->setBoard(m_history->round(index).cells);
    m_codePanel->showRound(&m_history->round(index));
    m_model->setRows({}); // a reset: the view forgets its current word without a signal
    m_filled = false;
    m_currentRow = -1;
    m_definition->clear();
    // A hidden window waits: the words are worked out when it is shown.
    if (isVisible())
        fillWords();
}

void Troundreview::fillWords()
{
    m_model->setRows(m_history->rows(m_round));
    m_summary->setText(RoundHistory::summaryText(m_history->summary(m_round)));
    m_filled = true;
    applyFilter();
    if (m_records)
        m_records->requestBoardResults(m_codePanel->square());
}

void Troundreview::applyFilter()
{
    {
        const QScopedValueRollback<bool> quiet(m_refiltering, true);
        m_model->setFilter(m_filter->text().trimmed());
        // The selected word comes back when the filter shows it again; while the filter hides
        // it, its path goes with it.
        const QModelIndex current = m_model->indexOfRow(m_currentRow);
        if (m_words->currentIndex().row() != current.row())
            m_words->selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    }
    showPathOf(m_words->currentIndex());
}

void Troundreview::currentChanged(const QModelIndex &index)
{
    if (m_refiltering)
        return;
    m_currentRow = m_model->rowAt(index);
    showPathOf(index);
    m_definition->clear();
    if (index.isValid())
        m_defineTimer->start();
}

void Troundreview::showPathOf(const QModelIndex &index)
{
    const int row = m_model->rowAt(index);
    m_board->setPath(row >= 0 ? m_model->row(row).path : QList<QPoint>());
}

bool Troundreview::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the list puts the selected word's path back.
    if (watched == m_words->viewport() && event->type() == QEvent::Leave)
        showPathOf(m_words->currentIndex());
    return QWidget::eventFilter(watched, event);
}

void Troundreview::define()
{
    const int row = m_model->rowAt(m_words->currentIndex());
    if (row < 0)
        return;
    const QByteArray word = m_model->row(row).word;
    if (!m_definitions.isOpen()) {
        // Opening the database reads megabytes, on a worker; opened() comes back here.
        m_definitions.openInBackground();
        m_definition->setText(QString::fromLatin1(word) + QStringLiteral("\nLooking up\u2026"));
        return;
    }
    // The lookup itself can find the database damaged; it then answers nothing.
    const QList<WordDefinitions::Sense> senses = m_definitions.lookup(word);
    if (!m_definitions.available()) {
        // Told once; after that the line stays empty.
        m_definition->setText(m_noticeShown ? QString() : m_definitions.problem());
        m_noticeShown = true;
        return;
    }
    m_definition->setText(QStringLiteral("%1\n%2").arg(QString::fromLatin1(word), WordDefinitions::describe(word, senses)));
}

QString Troundreview::definitionText() const
{
    return m_definition->text();
}

QString Troundreview::selectedText() const
{
    QModelIndexList selected = m_words->selectionModel()->selectedRows(ReviewWordsModel::WordColumn);
    std::sort(selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex &index : selected) {
        const QModelIndex points = index.siblingAtColumn(ReviewWordsModel::PointsColumn);
        text += index.data().toString() + QLatin1Char('\t') + points.data().toString() + QLatin1Char('\n');
    }
    return text;
}

void Troundreview::copySelection()
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void Troundreview::setBoardsPlayable(bool playable)
{
    m_codePanel->setPlayable(playable);
}

std::optional<BoardCode> Troundreview::shownCode() const
{
    return m_codePanel->code();
}
