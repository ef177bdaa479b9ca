#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The player's private record of results: 9 columns of decimal text cells, row 0 the player's
// own totals, rows 1..N the followed opponents in the order they were followed.
//
// Row 0:  1 games played, 2 games won, 3 most words in one round, 4 accepted 12-letter words.
// Row i:  0 name; totals 1 games together, 2 opponent won, 3 player won, 4 neither won;
//         5..8 the same four for this session.
//
// Invariants: there is always a row 0 and every row has columnCount() cells, at least 9. Columns
// past 9 are not ours (a stored tally may have been widened elsewhere): they are kept as read
// and written back, and no operation changes them. Names never hold CR or LF, since one line
// of the stored text is one cell.
class TallyTable {
public:
    // The columns this program uses.
    static constexpr int ColumnCount = 9;
    static constexpr int FirstSessionColumn = 5;
    // Far more opponents than anybody follows; a row count past it is not a tally.
    static constexpr int MaxRows = 100000;
    // The winner argument of addgame that means "the player won".
    static constexpr char OwnWin[] = "addtomine";

    enum OwnColumn { GamesPlayed = 1, GamesWon = 2, MostWords = 3, LongWords = 4 };

    TallyTable();

    int rowCount() const { return int(m_rows.size()); }
    // ColumnCount, or more when a stored tally had more.
    int columnCount() const { return m_columns; }
    // Empty for a cell outside the table.
    QByteArray cell(int col, int row) const;
    // Column 0 of rows 1..N, in row order: name i belongs to row i + 1.
    QList<QByteArray> names() const;

    // Lines ended by CR LF: the column count, the row count, then the cells column by column.
    QByteArray toText() const;
    // Read as the stored format is read: the first two lines set the column and row counts
    // (decimal, at least 1), the cells follow column by column, a cell whose line is missing is
    // empty, lines past the last cell are ignored, lines end with CR LF or LF. Columns past 9
    // are kept as far as the text holds lines for them (a count alone allocates nothing).
    // Refused: counts that are not numbers, or more rows than lines. A stray CR is dropped from
    // a cell. Session figures are kept; call startSession() after loading.
    static std::optional<TallyTable> fromText(const QByteArray &text);

    // +1 to the cell and the new value; a cell that is not a number counts as 0. A cell outside
    // the table is left alone and gives 0.
    int addit(int col, int row);
    int addtomineincrease(int col);
    void addtomineset(int col, int value);

    // Removes an opponent row; the rows below move up. Row 0 is never removed.
    bool moverow(int row);
    // Starts following an opponent and returns the row; an already followed name (in any letter
    // case) keeps its row. CR and LF are dropped from the name; a name left empty gives -1.
    int follow(const QByteArray &name);
    // The row of a followed opponent, letter case ignored; -1 when not followed.
    int rowOf(const QByteArray &name) const;

    // Only row 0 is left, every cell "0"; the width stays.
    void resetAll();
    // Session figures (columns 5..8 of the opponent rows) start again at "0".
    void startSession();

    // Records a finished game. `winner` is the winner's name, or OwnWin when the player won.
    // `namesAtTable` are the other players at the table; only followed ones are counted, each
    // row once even if its name appears twice in different letter case.
    void addgame(const QByteArray &winner, const QList<QByteArray> &namesAtTable);

private:
    using Row = QList<QByteArray>;
    // "0" in the program's columns, empty in any column past them.
    Row zeroRow() const;
    bool contains(int col, int row) const;

    // Before m_rows: the constructor's first row is sized by it.
    int m_columns = ColumnCount;
    QList<Row> m_rows;
};
