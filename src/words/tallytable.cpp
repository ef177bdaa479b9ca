#include "words/tallytable.h"

#include <QString>

#include <limits>

namespace {

const QByteArray Crlf = QByteArrayLiteral("\r\n");
// A total's session twin lies this many columns to the right (1..4 -> 5..8).
constexpr int SessionOffset = TallyTable::FirstSessionColumn - 1;

// Opponent names arrive from the network; a line break in one would shift every later cell
// of the stored text.
QByteArray withoutLineBreaks(QByteArray name)
{
    name.removeIf([](char c) { return c == '\r' || c == '\n'; });
    return name;
}

// Names are Latin-1 text; QByteArray's own case folding covers ASCII only, so "\xC9ve" and
// "\xE9VE" would stay apart.
bool sameNameAnyCase(const QByteArray &a, const QByteArray &b)
{
    return a.size() == b.size()
        && QString::fromLatin1(a).compare(QString::fromLatin1(b), Qt::CaseInsensitive) == 0;
}

// A count line: decimal digits only, short enough that no sign, blank or overflow gets in.
std::optional<int> parseCount(const QByteArray &line)
{
    if (line.isEmpty() || line.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char c : line) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Lines ended by CR LF; the last one may lack it. A bare CR or LF is not part of the layout.
std::optional<QList<QByteArray>> splitLines(const QByteArray &text)
{
    QList<QByteArray> lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(Crlf, pos);
        if (end < 0)
            end = text.size();
        const QByteArray line = text.mid(pos, end - pos);
        if (line.contains('\r') || line.contains('\n'))
            return std::nullopt;
        lines.append(line);
        pos = end + Crlf.size();
    }
    return lines;
}

} // namespace

TallyTable::TallyTable()
    : m_rows{zeroRow()}
{
}

TallyTable::Row TallyTable::zeroRow()
{
    return Row(ColumnCount, QByteArrayLiteral("0"));
}

bool TallyTable::contains(int col, int row) const
{
    return col >= 0 && col < ColumnCount && row >= 0 && row < m_rows.size();
}

QByteArray TallyTable::cell(int col, int row) const
{
    return contains(col, row) ? m_rows.at(row).at(col) : QByteArray();
}

QList<QByteArray> TallyTable::names() const
{
    QList<QByteArray> result;
    for (qsizetype row = 1; row < m_rows.size(); ++row)
        result.append(m_rows.at(row).at(0));
    return result;
}

QByteArray TallyTable::toText() const
{
    QByteArray text = QByteArray::number(ColumnCount) + Crlf + QByteArray::number(rowCount()) + Crlf;
    for (int col = 0; col < ColumnCount; ++col) {
        for (const Row &row : m_rows)
            text += row.at(col) + Crlf;
    }
    return text;
}

std::optional<TallyTable> TallyTable::fromText(const QByteArray &text)
{
    const std::optional<QList<QByteArray>> lines = splitLines(text);
    if (!lines || lines->size() < 2)
        return std::nullopt;
    const std::optional<int> columns = parseCount(lines->at(0));
    const std::optional<int> rows = parseCount(lines->at(1));
    // The counts are checked against the lines actually present before anything is sized by
    // them, so a damaged file cannot make us allocate what its first lines claim.
    if (columns != ColumnCount || !rows || *rows < 1
        || lines->size() != 2 + qint64(ColumnCount) * *rows)
        return std::nullopt;

    TallyTable table;
    table.m_rows = QList<Row>(*rows, Row(ColumnCount));
    for (int col = 0; col < ColumnCount; ++col) {
        for (int row = 0; row < *rows; ++row)
            table.m_rows[row][col] = lines->at(2 + col * *rows + row);
    }
    return table;
}

int TallyTable::addit(int col, int row)
{
    if (!contains(col, row))
        return 0;
    QByteArray &cell = m_rows[row][col];
    bool ok = false;
    int value = cell.toInt(&ok);
    if (!ok)
        value = 0;
    if (value < std::numeric_limits<int>::max())
        ++value;
    cell = QByteArray::number(value);
    return value;
}

int TallyTable::addtomineincrease(int col)
{
    return addit(col, 0);
}

void TallyTable::addtomineset(int col, int value)
{
    if (contains(col, 0))
        m_rows[0][col] = QByteArray::number(value);
}

bool TallyTable::moverow(int row)
{
    if (row < 1 || row >= m_rows.size())
        return false;
    m_rows.removeAt(row);
    return true;
}

int TallyTable::follow(const QByteArray &name)
{
    const QByteArray clean = withoutLineBreaks(name);
    if (clean.isEmpty())
        return -1;
    const int existing = rowOf(clean);
    if (existing > 0)
        return existing;
    Row row = zeroRow();
    row[0] = clean;
    m_rows.append(row);
    return rowCount() - 1;
}

int TallyTable::rowOf(const QByteArray &name) const
{
    const QByteArray clean = withoutLineBreaks(name);
    if (clean.isEmpty())
        return -1;
    for (qsizetype row = 1; row < m_rows.size(); ++row) {
        if (sameNameAnyCase(m_rows.at(row).at(0), clean))
            return int(row);
    }
    return -1;
}

void TallyTable::resetAll()
{
    m_rows = {zeroRow()};
}

void TallyTable::startSession()
{
    for (qsizetype row = 1; row < m_rows.size(); ++row) {
        for (int col = FirstSessionColumn; col < ColumnCount; ++col)
            m_rows[row][col] = QByteArrayLiteral("0");
    }
}

void TallyTable::addgame(const QByteArray &winner, const QList<QByteArray> &namesAtTable)
{
    addtomineincrease(GamesPlayed);
    if (winner == OwnWin)
        addtomineincrease(GamesWon);

    const QByteArray cleanWinner = withoutLineBreaks(winner);
    QList<int> counted;
    for (const QByteArray &name : namesAtTable) {
        const int row = rowOf(name);
        if (row < 1 || counted.contains(row))
            continue;
        counted.append(row);
        for (int col = 1; col < ColumnCount; ++col) {
            if (m_rows[row][col].isEmpty())
                m_rows[row][col] = QByteArrayLiteral("0");
        }
        // Whether the opponent won is decided by the exact name, not by the letter-case-blind
        // lookup that found the row. Columns 2..4 are totals, 6..8 the session's twins.
        const int outcome = m_rows.at(row).at(0) == cleanWinner ? 2 : winner == OwnWin ? 3 : 4;
        for (int col : {1, outcome}) {
            addit(col, row);
            addit(col + SessionOffset, row);
        }
    }
}
