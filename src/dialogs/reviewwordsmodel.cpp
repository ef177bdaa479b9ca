#include "dialogs/reviewwordsmodel.h"

#include <QColor>
#include <QFont>

namespace {

const QColor cream(255, 255, 198);
const QColor white(255, 255, 255);
const QColor missedColour(178, 198, 178);
const QColor notOnBoardColour(150, 160, 150);
// In High Contrast, 4.5:1 or more on the list's ground (60, 86, 60) and still told apart.
const QColor missedHighContrast(205, 218, 205);
const QColor notOnBoardHighContrast(190, 200, 190);

using Finder = RoundHistory::Finder;

QString finderText(Finder finder)
{
    switch (finder) {
    case Finder::Me: return QStringLiteral("you");
    case Finder::Table: return QStringLiteral("the table");
    case Finder::NotOnBoard: return QStringLiteral("not on this board");
    case Finder::Nobody: break;
    }
    return QStringLiteral("missed");
}

QColor colourOf(Finder finder, bool highContrast)
{
    switch (finder) {
    case Finder::Me: return cream;
    case Finder::Table: return white;
    case Finder::NotOnBoard: return highContrast ? notOnBoardHighContrast : notOnBoardColour;
    case Finder::Nobody: break;
    }
    return highContrast ? missedHighContrast : missedColour;
}

} // namespace

ReviewWordsModel::ReviewWordsModel(QObject *parent) : QAbstractTableModel(parent) {}

void ReviewWordsModel::setHighContrast(bool on)
{
    m_highContrast = on;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1), {Qt::ForegroundRole});
}

void ReviewWordsModel::setRows(const QList<RoundHistory::Row> &rows)
{
    beginResetModel();
    m_rows = rows;
    showMatching();
    endResetModel();
}

void ReviewWordsModel::setFilter(const QString &text)
{
    if (text == m_filter)
        return;
    Q_EMIT layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    QList<int> rowsBefore;
    rowsBefore.reserve(before.size());
    for (const QModelIndex &index : before)
        rowsBefore.append(rowAt(index));
    m_filter = text;
    showMatching();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        const QModelIndex shown = indexOfRow(rowsBefore[i]);
        after.append(shown.isValid() ? index(shown.row(), before[i].column()) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged();
}

bool ReviewWordsModel::passes(const RoundHistory::Row &row) const
{
    return m_filter.isEmpty() || QLatin1StringView(row.word).contains(m_filter, Qt::CaseInsensitive);
}

void ReviewWordsModel::showMatching()
{
    m_shown.clear();
    m_shownAt.fill(-1, m_rows.size());
    for (int i = 0; i < int(m_rows.size()); ++i) {
        if (passes(m_rows[i])) {
            m_shownAt[i] = int(m_shown.size());
            m_shown.append(i);
        }
    }
}

int ReviewWordsModel::rowAt(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.row() < m_shown.size() ? m_shown[index.row()] : -1;
}

QModelIndex ReviewWordsModel::indexOfRow(int row) const
{
    return row >= 0 && row < m_shownAt.size() && m_shownAt[row] >= 0 ? index(m_shownAt[row], WordColumn) : QModelIndex();
}

int ReviewWordsModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_shown.size()); }

int ReviewWordsModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ReviewWordsModel::data(const QModelIndex &index, int role) const
{
    const int at = rowAt(index);
    if (at < 0)
        return {};
    const RoundHistory::Row &row = m_rows[at];
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == WordColumn)
            return QString::fromLatin1(row.word);
        if (index.column() == PointsColumn)
            return row.finder == Finder::NotOnBoard ? QString() : QString::number(row.points);
        return finderText(row.finder);
    case Qt::ForegroundRole:
        return colourOf(row.finder, m_highContrast);
    case Qt::FontRole:
        if (row.finder == Finder::Me || row.finder == Finder::NotOnBoard) {
            QFont font; // only these attributes; the rest is the view's
            if (row.finder == Finder::Me)
                font.setBold(true);
            else
                font.setItalic(true);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == PointsColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default:
        return {};
    }
}

QVariant ReviewWordsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case WordColumn: return QStringLiteral("Word");
    case PointsColumn: return QStringLiteral("Points");
    case FinderColumn: return QStringLiteral("Found by");
    default: return {};
    }
}
