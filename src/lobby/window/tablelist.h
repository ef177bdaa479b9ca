#pragma once

#include "lobby/lantable.h"

#include <QHash>
#include <QTreeWidget>

#include <optional>

// The tables on this network, one row each: the host player's name, the machine, the address.
// Rows are keyed by the browser's key, so a table whose details change keeps its row. All of it
// came from the network and is shown as plain text only.
class TableList : public QTreeWidget {
    Q_OBJECT
public:
    explicit TableList(QWidget *parent = nullptr);

    void addOrUpdate(const LanTable &table);
    void remove(const QString &key);
    // The selected table, if any.
    std::optional<LanTable> selectedTable() const;

Q_SIGNALS:
    // A row was double-clicked or Return was pressed on it.
    void tableChosen(const LanTable &table);

private:
    QTreeWidgetItem *itemFor(const QString &key) const;
    LanTable tableOf(const QTreeWidgetItem *item) const;

    QHash<QString, LanTable> m_tables;
};
