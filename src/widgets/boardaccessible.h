#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QStringList>

class AccessibleBoard;

// A board widget as assistive tools see it: a table ("Board, 4 by 4") of its playing square,
// each cell named by its letter, row and column and its place in the word being built
// ("R, row 1, column 2, selected 3rd"). Rows and columns count from 1 as the board is drawn.
// Cells are made when first asked for, keyed by their grid cell, and live as long as the table.
//
// Any widget that also inherits AccessibleBoard gets this interface: install() registers the
// factory, once, and the board widgets call it when they are made.
class BoardAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    BoardAccessible(QWidget *widget, const AccessibleBoard *board);
    ~BoardAccessible() override;

    static void install();

    // The names: "R, row 1, column 2", and ", selected 3rd" for a tile of the word.
    static QString cellName(QChar letter, int row, int column, int place);
    static QString tableName(const QString &title, int size);
    // The board row by row, each row's letters in order: {"R, A, T, E", ...}.
    static QStringList rows(const AccessibleBoard &board);

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    // QAccessibleTableInterface
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface *> selectedCells() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

    const AccessibleBoard &board() const { return *m_board; }

private:
    QAccessibleInterface *cellOf(QPoint gridCell) const;

    const AccessibleBoard *m_board;
    mutable QHash<int, QAccessible::Id> m_cells;
};
