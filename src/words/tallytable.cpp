#include "words/tallytable.h"

#include <QString>

#include <algorithm>
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
std::optional<int> parseCount(QByteArrayView line)
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

// The lines of a text, each ended by LF or CR LF; the last may lack its end. Only views into
// the text are handed out, so a text of many lines costs no copy per line.
class LineReader {
public:
    explicit LineReader(const QByteArray &text)
        : m_text(text)
    {
    }
    bool atEnd() const { return m_pos >= m_text.size(); }
    QByteArrayView next()
    {
        qsizetype end = m_text.indexOf('\n', m_pos);
        if (end < 0)
            end = m_text.size();
        QByteArrayView line(m_text.constData() + m_pos, end - m_pos);
        m_pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        return line;
    }
    // Lines from the current one to the end.
    qsizetype remaining() const
    {
        if (atEnd())
            return 0;
        const QByteArrayView rest(m_text.constData() + m_pos, m_text.size() - m_pos);
        return rest.count('\n') + (rest.endsWith('\n') ? 0 : 1);
    }

private:
    const QByteArray &m_text;
    qsizetype m_pos = 0;
};

} // namespace

TallyTable::TallyTable()
    : m_rows{zeroRow()}
{
}

TallyTable::Row TallyTable::zeroRow() const
{
    Row row(m_columns);
    std::fill_n(row.begin(), ColumnCount, QByteArrayLiteral("0"));
    return row;
}

bool TallyTable::contains(int col, int row) const
{
    return col >= 0 && col < ColumnCount && row >= 0 && row < m_rows.size();
}

QByteArray TallyTable::cell(int col, int row) const
{
    return col >= 0 && col < m_columns && row >= 0 && row < m_rows.size() ? m_rows.at(row).at(col)
                                                                         : QByteArray();
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
    QByteArray text = QByteArray::number(m_columns) + Crlf + QByteArray::number(rowCount()) + Crlf;
    for (int col = 0; col < m_columns; ++col) {
        for (const Row &row : m_rows)
            text += row.at(col) + Crlf;
    }
    return text;
}

std::optional<TallyTable> TallyTable::fromText(const QByteArray &text)
{
    LineReader lines(text);
    if (lines.atEnd())
        return std::nullopt;
    const std::optional<int> columns = parseCount(lines.next());
    if (lines.atEnd())
        return std::nullopt;
    const std::optional<int> rows = parseCount(lines.next());
    // The row count is checked against the lines actually present before anything is sized by
    // it: a row beyond every line would be nothing but empty cells, and a damaged count must
    // not make us allocate what it claims.
    const qsizetype cellLines = lines.remaining();
    if (!columns || *columns < 1 || !rows || *rows < 1 || *rows > MaxRows
        || *rows > std::max<qsizetype>(cellLines, 1))
        return std::nullopt;

    // A column counts as stored when the text holds at least its first line; the count alone
    // must not make us allocate what it claims. Fewer columns than ours read as empty cells.
    const qsizetype present = (cellLines + *rows - 1) / *rows;
    const int stored = int(std::min<qsizetype>(*columns, present));
    TallyTable table;
    table.m_columns = std::max(stored, int(ColumnCount));
    table.m_rows = QList<Row>(*rows, Row(table.m_columns));
    for (int col = 0; col < stored; ++col) {
        for (int row = 0; row < *rows && !lines.atEnd(); ++row)
            table.m_rows[row][col] = withoutLineBreaks(lines.next().toByteArray());
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
    m_rows = {Row(m_columns, QByteArrayLiteral("0"))};
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
