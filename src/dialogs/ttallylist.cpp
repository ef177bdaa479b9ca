#include "dialogs/ttallylist.h"

#include "widgets/accessiblenames.h"
#include "widgets/dialoglook.h"
#include "words/notifier.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <utility>

namespace {

constexpr int NameRole = Qt::UserRole;

QString shown(const QByteArray &latin1)
{
    return QString::fromLatin1(latin1);
}

QByteArray nameOf(const QListWidgetItem *item)
{
    return item->data(NameRole).toByteArray();
}

QListWidgetItem *checkItem(QListWidget *list, const QByteArray &name, bool checked)
{
    auto *item = new QListWidgetItem(shown(name), list);
    item->setData(NameRole, name);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QFrame *panel(QWidget *parent, const QRect &place)
{
    auto *frame = new QFrame(parent);
    frame->setGeometry(place);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    return frame;
}

} // namespace

Ttallylist::Ttallylist(const QString &tallyPath, Notifier *notifier,
                       PlayersAtTable playersAtTable, QWidget *parent)
    : QDialog(parent)
    , m_store(tallyPath)
    , m_notifier(notifier)
    , m_playersAtTable(std::move(playersAtTable))
{
    setObjectName(QStringLiteral("tallylist"));
    setWindowTitle(QStringLiteral("Lexitangle - Tally List"));
    setFixedSize(475, 390);
    DialogLook::applyBackground(this);
    buildOwnPanel();
    buildOpponentPanel();
    buildLists();
    DialogLook::button(this, QStringLiteral("Reset Tally"), QRect(303, 361, 90, 25),
                       QStringLiteral("button_reset"));
    auto *done = DialogLook::button(this, QStringLiteral("Done"), QRect(403, 361, 68, 25),
                                    QStringLiteral("button_done"));
    connect(findChild<QPushButton *>(QStringLiteral("button_reset")), &QPushButton::clicked,
            this, &Ttallylist::button_resetClick);
    connect(done, &QPushButton::clicked, this, &QDialog::close);

    TallyStore::Loaded loaded = m_store.load();
    m_table = std::move(loaded.table);
    if (!loaded.error.isEmpty() && m_notifier)
        m_notifier->showMessage(loaded.message());
    loadtally();
}

void Ttallylist::buildOwnPanel()
{
    QFrame *own = panel(this, QRect(2, 3, 297, 118));
    DialogLook::label(own, QStringLiteral("Your Total Tally"), QRect(8, 4, 280, 18));
    const QString captions[] = {QStringLiteral("Total Games:"), QStringLiteral("Your Wins:"),
                                QStringLiteral("Most Words in a Round:"),
                                QStringLiteral("12 Letters Words:")};
    for (int i = 0; i < 4; ++i) {
        const int y = 26 + 22 * i;
        DialogLook::label(own, captions[i], QRect(16, y, 190, 18));
        m_mine[i] = DialogLook::label(own, QStringLiteral("0"), QRect(210, y, 80, 18),
                                      QStringLiteral("mylabel_%1").arg(i + 1));
    }
}

void Ttallylist::buildOpponentPanel()
{
    QFrame *his = panel(this, QRect(2, 123, 297, 140));
    m_hisnametop = DialogLook::label(his, QStringLiteral("XX's Tally"), QRect(8, 4, 280, 18),
                                     QStringLiteral("label_hisnametop"));
    for (const auto &[text, x] : {std::pair{QStringLiteral("Total"), 160},
                                  std::pair{QStringLiteral("Session"), 225}}) {
        QLabel *head = DialogLook::label(his, text, QRect(x, 24, 60, 18));
        QFont font = head->font();
        font.setUnderline(true);
        head->setFont(font);
    }
    const QString captions[] = {QStringLiteral("Number of Games"), QStringLiteral("XX Wins:"),
                                QStringLiteral("Your Wins:"), QStringLiteral("Neither Won:")};
    for (int i = 0; i < 4; ++i) {
        const int y = 46 + 22 * i;
        QLabel *caption = DialogLook::label(his, captions[i], QRect(16, y, 140, 18));
        if (i == 1) {
            caption->setObjectName(QStringLiteral("label_hisname"));
            m_hisname = caption;
        }
        m_figures[i] = DialogLook::label(his, QStringLiteral("0"), QRect(160, y, 60, 18),
                                         QStringLiteral("label_%1").arg(i + 1));
        m_figures[i + 4] = DialogLook::label(his, QStringLiteral("0"), QRect(225, y, 60, 18),
                                             QStringLiteral("label_%1").arg(i + 5));
    }
}

void Ttallylist::buildLists()
{
    QFrame *current = panel(this, QRect(2, 287, 297, 98));
    DialogLook::label(this, QStringLiteral("Players In Current Game"), QRect(6, 267, 290, 18));
    m_checklist = new QListWidget(current);
    m_checklist->setObjectName(QStringLiteral("checklist"));
    m_checklist->setGeometry(current->contentsRect());
    AccessibleNames::scrollArea(m_checklist, QStringLiteral("Players In Current Game"),
                                QStringLiteral("Check a player to keep a tally against him"));

    DialogLook::label(this, QStringLiteral("Players Being Tallied"), QRect(303, 1, 170, 18));
    m_tally = new QListWidget(this);
    m_tally->setObjectName(QStringLiteral("listbox_tally"));
    m_tally->setGeometry(301, 19, 172, 339);
    AccessibleNames::scrollArea(m_tally, QStringLiteral("Players Being Tallied"),
                                QStringLiteral("Choose a player to see the tally against him"));

    connect(m_checklist, &QListWidget::itemChanged, this, &Ttallylist::checklistClickCheck);
    connect(m_tally, &QListWidget::itemChanged, this, &Ttallylist::listbox_tallyClickCheck);
    connect(m_tally, &QListWidget::currentRowChanged, this, &Ttallylist::listbox_tallyClick);
}

void Ttallylist::loadtally()
{
    showOwnTotals();
    m_quiet = true;
    m_tally->clear();
    for (const QByteArray &name : m_table.names())
        checkItem(m_tally, name, true);
    m_quiet = false;
}

void Ttallylist::showOwnTotals()
{
    for (int col = 1; col <= 4; ++col)
        m_mine[col - 1]->setText(shown(m_table.cell(col, 0)));
}

void Ttallylist::showRow(int row)
{
    if (row < 1 || row >= m_table.rowCount())
        return;
    for (int col = 1; col <= 8; ++col)
        m_figures[col - 1]->setText(shown(m_table.cell(col, row)));
    const QString name = shown(m_table.cell(0, row));
    m_hisname->setText(name + QStringLiteral(" Wins:"));
    m_hisnametop->setText(name + QStringLiteral("'s Tally"));
}

void Ttallylist::setCheckQuietly(QListWidgetItem *item, bool checked)
{
    m_quiet = true;
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    m_quiet = false;
}

void Ttallylist::uncheckInChecklist(const QByteArray &name)
{
    for (int i = 0; i < m_checklist->count(); ++i) {
        QListWidgetItem *item = m_checklist->item(i);
        if (shown(nameOf(item)).compare(shown(name), Qt::CaseInsensitive) == 0)
            setCheckQuietly(item, false);
    }
}

void Ttallylist::viewTally()
{
    loadchecklist();
    show();
    raise();
    activateWindow();
}

void Ttallylist::loadchecklist()
{
    m_quiet = true;
    m_checklist->clear();
    const QList<QByteArray> players = m_playersAtTable ? m_playersAtTable() : QList<QByteArray>();
    for (const QByteArray &name : players)
        checkItem(m_checklist, name, m_table.rowOf(name) > 0);
    m_quiet = false;
}

bool Ttallylist::save() const
{
    QString error;
    const bool saved = m_store.save(m_table, &error);
    if (m_saveReport)
        m_saveReport(m_store.path(), saved, error);
    return saved;
}

void Ttallylist::addgame(const QByteArray &winner)
{
    loadchecklist();
    QList<QByteArray> atTable;
    for (int i = 0; i < m_checklist->count(); ++i)
        atTable.append(nameOf(m_checklist->item(i)));
    m_table.addgame(winner, atTable);
    showOwnTotals();
    showRow(m_tally->currentRow() + 1);
    // A game is worth keeping even if the program never reaches its normal close.
    save();
}

void Ttallylist::addtomineincrease(int col)
{
    m_table.addtomineincrease(col);
    showOwnTotals();
}

void Ttallylist::addtomineset(int col, int value)
{
    m_table.addtomineset(col, value);
    showOwnTotals();
}

QString Ttallylist::mostWordsCaption() const
{
    return m_mine[TallyTable::MostWords - 1]->text();
}

void Ttallylist::checklistClickCheck(QListWidgetItem *item)
{
    if (m_quiet || m_table.rowOf(nameOf(item)) > 0)
        return;
    const int row = m_table.follow(nameOf(item));
    if (row < 1)
        return;
    m_quiet = true;
    checkItem(m_tally, m_table.cell(0, row), true);
    m_quiet = false;
}

void Ttallylist::listbox_tallyClick(int index)
{
    showRow(index + 1);
}

void Ttallylist::listbox_tallyClickCheck(QListWidgetItem *item)
{
    if (m_quiet || item->checkState() == Qt::Checked)
        return;
    // The item may go away; that must not happen inside its own change notification, which the
    // list view is still delivering. The question is asked once that has finished.
    QMetaObject::invokeMethod(this, [this, name = nameOf(item)] { confirmDrop(name); },
                              Qt::QueuedConnection);
}

void Ttallylist::confirmDrop(const QByteArray &name)
{
    QListWidgetItem *item = nullptr;
    for (int i = 0; i < m_tally->count() && !item; ++i) {
        if (nameOf(m_tally->item(i)) == name)
            item = m_tally->item(i);
    }
    if (!item || item->checkState() == Qt::Checked)
        return;
    const bool drop = m_notifier
        && m_notifier->confirm(QStringLiteral("This will delete ") + shown(name)
                               + QStringLiteral("'s Tally, Are you want to delete it?"));
    if (!drop) {
        setCheckQuietly(item, true);
        return;
    }
    // List position i belongs to table row i + 1.
    m_table.moverow(m_tally->row(item) + 1);
    m_quiet = true;
    delete item;
    m_quiet = false;
    uncheckInChecklist(name);
    showRow(m_tally->currentRow() + 1);
}

void Ttallylist::button_resetClick()
{
    if (!m_notifier || !m_notifier->confirm(QStringLiteral("Are you sure you want to reset the Tally?")))
        return;
    m_table.resetAll();
    loadtally();
    for (QLabel *figure : m_figures)
        figure->setText(QStringLiteral("0"));
    m_quiet = true;
    for (int i = 0; i < m_checklist->count(); ++i)
        m_checklist->item(i)->setCheckState(Qt::Unchecked);
    m_quiet = false;
}
