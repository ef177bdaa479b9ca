#include "lobby/window/tablelist.h"

#include "net/protocol.h"

#include <QHeaderView>

namespace {
enum Column { NameColumn, MachineColumn, AddressColumn };
constexpr int KeyRole = Qt::UserRole;
}

TableList::TableList(QWidget *parent)
    : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("list_tables"));
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Player"), QStringLiteral("Machine"), QStringLiteral("Address")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSortingEnabled(true);
    sortByColumn(NameColumn, Qt::AscendingOrder);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setSectionResizeMode(QHeaderView::Stretch);
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        Q_EMIT tableChosen(tableOf(item));
    });
}

void TableList::addOrUpdate(const LanTable &table)
{
    QTreeWidgetItem *item = itemFor(table.key);
    if (!item) {
        item = new QTreeWidgetItem(this);
        item->setData(NameColumn, KeyRole, table.key);
    }
    m_tables.insert(table.key, table);
    // QTreeWidgetItem shows text as it is: no markup is ever read from it.
    item->setText(NameColumn, table.playerName);
    item->setText(MachineColumn, table.machine);
    item->setText(AddressColumn, table.address);
    const bool sameVersion = table.version == QString::fromLatin1(Protocol::Version);
    const QString tip = sameVersion ? QString()
                                    : QStringLiteral("This table runs version %1 of the game; yours is %2.")
                                          .arg(table.version, QString::fromLatin1(Protocol::Version));
    for (int column = 0; column < columnCount(); ++column) {
        item->setToolTip(column, tip);
        item->setForeground(column, sameVersion ? palette().text() : palette().placeholderText());
    }
    if (!currentItem())
        setCurrentItem(item);
}

void TableList::remove(const QString &key)
{
    m_tables.remove(key);
    delete itemFor(key);
}

std::optional<LanTable> TableList::selectedTable() const
{
    const QList<QTreeWidgetItem *> selected = selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return tableOf(selected.first());
}

QTreeWidgetItem *TableList::itemFor(const QString &key) const
{
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (topLevelItem(i)->data(NameColumn, KeyRole).toString() == key)
            return topLevelItem(i);
    return nullptr;
}

LanTable TableList::tableOf(const QTreeWidgetItem *item) const
{
    return m_tables.value(item->data(NameColumn, KeyRole).toString());
}
