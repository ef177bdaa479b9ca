#include "widgets/boardaccessible.h"

#include "widgets/accessibleboard.h"
#include "widgets/announcer.h"

#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {

// One tile of the board, kept by its grid cell: its row and column follow the playing square
// as it is now, so a new deal or a turn of the board never leaves it naming another tile.
class BoardCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    BoardCellAccessible(QWidget *view, QPoint gridCell) : m_view(view), m_cell(gridCell) {}

    bool isValid() const override { return table() && square().contains(m_cell); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return m_view ? QAccessible::queryAccessibleInterface(m_view) : nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::Cell; }

    QString text(QAccessible::Text t) const override
    {
        const AccessibleBoard *b = board();
        if (t != QAccessible::Name || !b || !isValid())
            return QString();
        return BoardAccessible::cellName(b->letterAt(m_cell), rowIndex() + 1, columnIndex() + 1, b->placeInWord(m_cell));
    }

    QRect rect() const override
    {
        const AccessibleBoard *b = board();
        if (!b || !m_view)
            return QRect();
        const QRect local = b->cellRect(m_cell);
        return QRect(m_view->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        s.selectable = true;
        s.selected = isSelected();
        if (!m_view || !m_view->isVisible())
            s.invisible = true;
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface *>(this) : nullptr;
    }

    // QAccessibleTableCellInterface
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return m_cell.x() - square().left(); }
    int rowIndex() const override { return m_cell.y() - square().top(); }
    bool isSelected() const override
    {
        const AccessibleBoard *b = board();
        return b && b->placeInWord(m_cell) > 0;
    }
    QAccessibleInterface *table() const override { return parent(); }

private:
    const AccessibleBoard *board() const
    {
        auto *t = m_view ? dynamic_cast<BoardAccessible *>(QAccessible::queryAccessibleInterface(m_view)) : nullptr;
        return t ? &t->board() : nullptr;
    }
    QRect square() const
    {
        const AccessibleBoard *b = board();
        return b ? b->playingSquare() : QRect();
    }

    QPointer<QWidget> m_view;
    QPoint m_cell;
};

QAccessibleInterface *boardFactory(const QString &, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (const auto *board = dynamic_cast<const AccessibleBoard *>(widget))
        return new BoardAccessible(widget, board);
    return nullptr;
}

// Grid cells as hash keys; the grid is never wider than this.
constexpr int KeySide = 64;

} // namespace

BoardAccessible::BoardAccessible(QWidget *widget, const AccessibleBoard *board)
    : QAccessibleWidget(widget, QAccessible::Table), m_board(board)
{
}

BoardAccessible::~BoardAccessible()
{
    for (QAccessible::Id id : std::as_const(m_cells))
        QAccessible::deleteAccessibleInterface(id);
}

void BoardAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(boardFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString BoardAccessible::cellName(QChar letter, int row, int column, int place)
{
    QString name = letter.isNull() ? QStringLiteral("empty") : QString(letter);
    name += QStringLiteral(", row %1, column %2").arg(row).arg(column);
    if (place > 0)
        name += QStringLiteral(", selected ") + Announcer::ordinal(place);
    return name;
}

QString BoardAccessible::tableName(const QString &title, int size)
{
    if (size <= 0)
        return title + QStringLiteral(", no tiles");
    return QStringLiteral("%1, %2 by %2").arg(title).arg(size);
}

QStringList BoardAccessible::rows(const AccessibleBoard &board)
{
    const QRect square = board.playingSquare();
    QStringList rows;
    for (int r = square.top(); r <= square.bottom(); ++r) {
        QStringList letters;
        for (int c = square.left(); c <= square.right(); ++c) {
            const QChar letter = board.letterAt(QPoint(c, r));
            letters.append(letter.isNull() ? QStringLiteral("empty") : QString(letter));
        }
        rows.append(letters.join(QStringLiteral(", ")));
    }
    return rows;
}

QString BoardAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return tableName(m_board->boardTitle(), m_board->playingSquare().width());
    return QAccessibleWidget::text(t);
}

int BoardAccessible::rowCount() const { return m_board->playingSquare().height(); }
int BoardAccessible::columnCount() const { return m_board->playingSquare().width(); }
int BoardAccessible::childCount() const { return rowCount() * columnCount(); }

QString BoardAccessible::columnDescription(int column) const { return QStringLiteral("Column %1").arg(column + 1); }
QString BoardAccessible::rowDescription(int row) const { return QStringLiteral("Row %1").arg(row + 1); }

QAccessibleInterface *BoardAccessible::cellOf(QPoint gridCell) const
{
    if (!m_board->playingSquare().contains(gridCell))
        return nullptr;
    const int key = gridCell.x() * KeySide + gridCell.y();
    auto found = m_cells.constFind(key);
    if (found != m_cells.constEnd())
        return QAccessible::accessibleInterface(*found);
    auto *cell = new BoardCellAccessible(widget(), gridCell);
    m_cells.insert(key, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

QAccessibleInterface *BoardAccessible::cellAt(int row, int column) const
{
    const QRect square = m_board->playingSquare();
    if (row < 0 || column < 0 || row >= square.height() || column >= square.width())
        return nullptr;
    return cellOf(square.topLeft() + QPoint(column, row));
}

QAccessibleInterface *BoardAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || columns == 0)
        return nullptr;
    return cellAt(index / columns, index % columns);
}

int BoardAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *cell = child ? const_cast<QAccessibleInterface *>(child)->tableCellInterface() : nullptr;
    if (!cell || child->parent() != this)
        return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
}

QAccessibleInterface *BoardAccessible::childAt(int x, int y) const
{
    const QPoint local = widget()->mapFromGlobal(QPoint(x, y));
    const QRect square = m_board->playingSquare();
    for (int r = square.top(); r <= square.bottom(); ++r)
        for (int c = square.left(); c <= square.right(); ++c)
            if (m_board->cellRect(QPoint(c, r)).contains(local))
                return cellOf(QPoint(c, r));
    return nullptr;
}

int BoardAccessible::selectedCellCount() const { return int(selectedCells().size()); }

QList<QAccessibleInterface *> BoardAccessible::selectedCells() const
{
    // In the word's order, so the tiles read as the word.
    QList<std::pair<int, QAccessibleInterface *>> chosen;
    const QRect square = m_board->playingSquare();
    for (int r = square.top(); r <= square.bottom(); ++r)
        for (int c = square.left(); c <= square.right(); ++c)
            if (const int place = m_board->placeInWord(QPoint(c, r)); place > 0)
                chosen.append({place, cellOf(QPoint(c, r))});
    std::sort(chosen.begin(), chosen.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<QAccessibleInterface *> cells;
    for (const auto &[place, cell] : chosen)
        cells.append(cell);
    return cells;
}

void *BoardAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}
