#pragma once

#include "solver/roundhistory.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

// The round review's word list: word, points and who found it for every row of one round,
// only the rows whose word holds the filter text (any letter case). A host may list many
// thousands of words, so the list is a model the view reads for the rows it draws, not a
// widget item a row. A new filter keeps the selection and the current word on the rows that
// stay shown.
class ReviewWordsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { WordColumn, PointsColumn, FinderColumn, ColumnCount };

    explicit ReviewWordsModel(QObject *parent = nullptr);

    void setRows(const QList<RoundHistory::Row> &rows);
    void setFilter(const QString &text);
    // "High Contrast": the missed rows and those not on the board in lighter colours.
    void setHighContrast(bool on);

    // The round's row at `index` (its place among all rows), or -1.
    int rowAt(const QModelIndex &index) const;
    // Where the round's row `row` is shown; invalid when the filter hides it.
    QModelIndex indexOfRow(int row) const;
    const RoundHistory::Row &row(int row) const { return m_rows[row]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    bool passes(const RoundHistory::Row &row) const;
    void showMatching();

    QList<RoundHistory::Row> m_rows;
    QString m_filter;
    QList<int> m_shown;    // rows that pass the filter, in order
    QList<int> m_shownAt;  // for each row, its place in m_shown, or -1
    bool m_highContrast = false;
};
