#include <QTest>

#include "words/tallytable.h"

using Cells = QList<QByteArray>;

namespace {

const QByteArray Eight0 = "0,0,0,0,0,0,0,0";

// Builds a stored text by hand: counts, then the cells column by column.
QByteArray textOf(const QList<Cells> &rows, int columns = 9)
{
    QByteArray text = QByteArray::number(columns) + "\r\n" + QByteArray::number(rows.size()) + "\r\n";
    for (int col = 0; col < columns; ++col) {
        for (const Cells &row : rows)
            text += row.value(col) + "\r\n";
    }
    return text;
}

// Columns 1..8 of a row, comma-joined, for compact comparisons.
QByteArray figures(const TallyTable &table, int row)
{
    Cells cells;
    for (int col = 1; col < TallyTable::ColumnCount; ++col)
        cells.append(table.cell(col, row));
    return cells.join(',');
}

// 20 columns of 3 rows, every cell different.
QByteArray wide()
{
    QList<Cells> rows(3);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 20; ++col)
            rows[row].append(col == 0 && row > 0 ? "Name" + QByteArray::number(row)
                                                 : QByteArray::number(row * 100 + col));
    }
    return textOf(rows, 20);
}

TallyTable following(const QList<QByteArray> &names)
{
    TallyTable table;
    for (const QByteArray &name : names)
        table.follow(name);
    return table;
}

} // namespace

class TestTallyTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- stored text ---

    // A new tally is 9, 1 and nine "0" lines: 33 bytes, nothing else.
    void freshText()
    {
        const QByteArray text = TallyTable().toText();
        QCOMPARE(text, QByteArray("9\r\n1\r\n") + QByteArray("0\r\n").repeated(9));
        QCOMPARE(text.size(), 33);
    }

    // Cells go out column by column: all names first, then every games count, and so on.
    void textIsColumnByColumn_data()
    {
        QTest::addColumn<QList<QByteArray>>("names");
        QTest::newRow("one") << QList<QByteArray>{"Ann"};
        QTest::newRow("two") << QList<QByteArray>{"Ann", "Bob Smith"};
        QTest::newRow("three") << QList<QByteArray>{"Ann", "Bob", "C\xE9line"};
    }
    void textIsColumnByColumn()
    {
        QFETCH(QList<QByteArray>, names);
        TallyTable table = following(names);
        table.addgame(TallyTable::OwnWin, names);
        const int rows = 1 + int(names.size());
        QList<QByteArray> lines = table.toText().split('\n');
        QCOMPARE(lines.takeLast(), QByteArray()); // ended by the last line break
        QCOMPARE(lines.size(), 2 + 9 * rows);
        for (QByteArray &line : lines) {
            QVERIFY(line.endsWith('\r'));
            line.chop(1);
        }
        QCOMPARE(lines.at(0), QByteArray("9"));
        QCOMPARE(lines.at(1), QByteArray::number(rows));
        QCOMPARE(lines.at(2), QByteArray("0"));
        QCOMPARE(lines.mid(3, names.size()), names);
        // Column 1 (games): the player's 1, then 1 for each opponent at the table.
        QCOMPARE(lines.mid(2 + rows, rows), QList<QByteArray>(rows, "1"));
        // Column 4 (neither won) is 0 in every row.
        QCOMPARE(lines.mid(2 + 4 * rows, rows), QList<QByteArray>(rows, "0"));
    }

    // Whatever is written reads back to the same table; a missing final CR LF is forgiven.
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("canonical");
        const QByteArray fresh = TallyTable().toText();
        QTest::newRow("fresh") << fresh << fresh;
        const QByteArray rich = textOf({{"0", "12", "5", "31", "2", "0", "0", "0", "0"},
                                        {"Ann Lee", "4", "1", "2", "1", "3", "1", "1", "1"},
                                        {"B\xF6rk", "", "x", "", "", "", "", "", ""}});
        QTest::newRow("blanks, Latin-1, empty and odd cells") << rich << rich;
        QTest::newRow("no final CR LF") << fresh.chopped(2) << fresh;
        QTest::newRow("leading zeros in the counts") << "09\r\n01\r\n" + fresh.mid(6) << fresh;

        // Read as the format reads: the first two lines set the counts, a missing cell is empty,
        // lines past the last cell are ignored, a line ends with CR LF or LF alone.
        const QList<Cells> two = {{"0", "0", "0", "0", "0", "0", "0", "0", "0"},
                                  {"Ann", "1", "0", "1", "0", "1", "0", "1", "0"}};
        const Cells lastCellEmpty = {"0", "0", "0", "0", "0", "0", "0", "0", ""};
        QTest::newRow("LF only") << QByteArray(fresh).replace("\r\n", "\n") << fresh;
        QTest::newRow("CR LF and LF mixed") << QByteArray("9\n1\r\n") + fresh.mid(6) << fresh;
        QTest::newRow("one empty line too many") << fresh + "\r\n" << fresh;
        QTest::newRow("one line too many") << fresh + "0\r\n" << fresh;
        QTest::newRow("one cell missing") << fresh.chopped(3) << textOf({lastCellEmpty});
        QTest::newRow("counts only") << QByteArray("9\r\n1\r\n") << textOf({Cells(9, "")});
        QTest::newRow("8 columns") << textOf({Cells(8, "0")}, 8) << textOf({lastCellEmpty});
        // Columns past ours are somebody else's: kept as read, however many.
        QTest::newRow("10 columns") << textOf({Cells(10, "0")}, 10) << textOf({Cells(10, "0")}, 10);
        QTest::newRow("20 columns, 3 rows") << wide() << wide();
        QTest::newRow("column count past the lines")
            << QByteArray("999999999\r\n1\r\n") + fresh.mid(6) << fresh;
        QTest::newRow("11 columns, the last one cut short")
            << textOf({two.at(0) + Cells{"x", "y"}, two.at(1) + Cells{"p", "q"}}, 11).chopped(3)
            << textOf({two.at(0) + Cells{"x", "y"}, two.at(1) + Cells{"p", ""}}, 11);
        QTest::newRow("row count too small")
            << QByteArray("9\r\n1\r\n") + textOf(two).mid(6)
            << textOf({{"0", "Ann", "0", "1", "0", "0", "0", "1", "0"}});
        QTest::newRow("row count larger than the lines")
            << QByteArray("9\r\n3\r\n") + textOf(two).mid(6)
            << textOf({{"0", "1", "0", "0", "0", "1", "", "", ""},
                       {"Ann", "0", "1", "0", "0", "0", "", "", ""},
                       {"0", "0", "0", "1", "0", "0", "", "", ""}});
        QTest::newRow("bare LF in a name is a line end")
            << textOf({two.at(0), {"An\nn", "0", "0", "0", "0", "0", "0", "0", "0"}})
            << textOf({{"0", "n", "0", "0", "0", "0", "0", "0", "0"}, {"An", "0", "0", "0", "0", "0", "0", "0", "0"}});
        QTest::newRow("bare CR in a name is dropped")
            << textOf({two.at(0), {"An\rn", "0", "0", "0", "0", "0", "0", "0", "0"}})
            << textOf({two.at(0), {"Ann", "0", "0", "0", "0", "0", "0", "0", "0"}});
    }
    void roundTrip()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, canonical);
        const std::optional<TallyTable> table = TallyTable::fromText(text);
        QVERIFY(table);
        QCOMPARE(table->toText(), canonical);
    }

    // A run over a wider tally: games, a new opponent and a reset never touch the columns past
    // ours, and every row keeps the width.
    void widerTallyKeepsItsColumns()
    {
        std::optional<TallyTable> table = TallyTable::fromText(wide());
        QVERIFY(table);
        table->startSession();
        table->addgame(TallyTable::OwnWin, {"Name1", "Cid"});
        QCOMPARE(table->follow("Cid"), 3);
        QCOMPARE(table->columnCount(), 20);
        const std::optional<TallyTable> again = TallyTable::fromText(table->toText());
        QVERIFY(again);
        QCOMPARE(again->columnCount(), 20);
        for (int col = TallyTable::ColumnCount; col < 20; ++col) {
            for (int row = 0; row < 3; ++row)
                QCOMPARE(again->cell(col, row), QByteArray::number(row * 100 + col));
            QCOMPARE(again->cell(col, 3), QByteArray());
        }
        QCOMPARE(figures(*again, 1), QByteArray("102,102,104,104,1,0,1,0"));
        table->resetAll();
        QCOMPARE(table->toText(), QByteArray("20\r\n1\r\n") + QByteArray("0\r\n").repeated(20));
    }

    // Counts that are not numbers, or that promise rows no line holds, are refused before any
    // row is allocated.
    void refusesDamagedText_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray fresh = TallyTable().toText();
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("column count only") << QByteArray("9\r\n");
        QTest::newRow("two rows, no cells") << QByteArray("9\r\n2\r\n");
        QTest::newRow("rows past the lines") << QByteArray("9\r\n11\r\n") + fresh.mid(6);
        QTest::newRow("more rows than any tally") << "9\r\n" + QByteArray::number(TallyTable::MaxRows + 1)
                + "\r\n" + QByteArray("\r\n").repeated(TallyTable::MaxRows + 1);
        QTest::newRow("999999999 rows") << QByteArray("9\r\n999999999\r\n") + fresh.mid(6);
        QTest::newRow("count past int") << QByteArray("9\r\n4294967297\r\n") + fresh.mid(6);
        QTest::newRow("zero rows") << QByteArray("9\r\n0\r\n");
        QTest::newRow("negative rows") << QByteArray("9\r\n-1\r\n");
        QTest::newRow("non-numeric rows") << QByteArray("9\r\none\r\n") + fresh.mid(6);
        QTest::newRow("blank in count") << QByteArray("9\r\n 1\r\n") + fresh.mid(6);
        QTest::newRow("plus sign") << QByteArray("+9\r\n1\r\n") + fresh.mid(6);
        QTest::newRow("zero columns") << QByteArray("0\r\n1\r\n");
        QTest::newRow("binary junk") << QByteArray("WRZL\x21\0\0\0\x0e\0", 10);
    }
    void refusesDamagedText()
    {
        QFETCH(QByteArray, text);
        QVERIFY(!TallyTable::fromText(text));
    }

    // --- recording games ---

    // Own totals and the figures of each followed opponent at the table, for each kind of end.
    void addgame_data()
    {
        QTest::addColumn<QByteArray>("winner");
        QTest::addColumn<QList<QByteArray>>("atTable");
        QTest::addColumn<QByteArray>("own");  // games played, games won
        QTest::addColumn<QByteArray>("ann");  // columns 1..8 of Ann's row
        QTest::addColumn<QByteArray>("bob");

        using Names = QList<QByteArray>;
        const QByteArray own = TallyTable::OwnWin;
        QTest::newRow("player won") << own << Names{"Ann"} << QByteArray("1,1")
                                    << QByteArray("1,0,1,0,1,0,1,0") << Eight0;
        QTest::newRow("third player won") << QByteArray("Cid") << Names{"Ann", "Cid"} << QByteArray("1,0")
                                          << QByteArray("1,0,0,1,1,0,0,1") << Eight0;
        QTest::newRow("lost to the opponent") << QByteArray("Ann") << Names{"Ann"} << QByteArray("1,0")
                                              << QByteArray("1,1,0,0,1,1,0,0") << Eight0;
        QTest::newRow("both at the table, Bob won")
            << QByteArray("Bob") << Names{"Ann", "Bob"} << QByteArray("1,0")
            << QByteArray("1,0,0,1,1,0,0,1") << QByteArray("1,1,0,0,1,1,0,0");
        QTest::newRow("row found in any case") << own << Names{"ANN"} << QByteArray("1,1")
                                               << QByteArray("1,0,1,0,1,0,1,0") << Eight0;
        QTest::newRow("winner compared exactly") << QByteArray("ann") << Names{"Ann"} << QByteArray("1,0")
                                                 << QByteArray("1,0,0,1,1,0,0,1") << Eight0;
        QTest::newRow("same opponent twice counts once")
            << QByteArray("Ann") << Names{"Ann", "aNN"} << QByteArray("1,0")
            << QByteArray("1,1,0,0,1,1,0,0") << Eight0;
        QTest::newRow("line breaks in names ignored")
            << QByteArray("Ann\r\n") << Names{"A\r\nnn"} << QByteArray("1,0")
            << QByteArray("1,1,0,0,1,1,0,0") << Eight0;
        QTest::newRow("nobody followed at the table") << own << Names{"Cid", ""} << QByteArray("1,1")
                                                      << Eight0 << Eight0;
    }
    void addgame()
    {
        QFETCH(QByteArray, winner);
        QFETCH(QList<QByteArray>, atTable);
        QFETCH(QByteArray, own);
        QFETCH(QByteArray, ann);
        QFETCH(QByteArray, bob);
        TallyTable table = following({"Ann", "Bob"});
        table.addgame(winner, atTable);
        QCOMPARE(table.cell(TallyTable::GamesPlayed, 0) + ',' + table.cell(TallyTable::GamesWon, 0), own);
        QCOMPARE(figures(table, 1), ann);
        QCOMPARE(figures(table, 2), bob);
        QCOMPARE(table.rowCount(), 3);
    }

    // Empty figures from an old file count as 0 and are written back as numbers.
    void addgameFillsEmptyCells()
    {
        std::optional<TallyTable> table =
            TallyTable::fromText(textOf({Cells(9, "0"), {"Ann", "", "", "", "", "", "", "", ""}}));
        QVERIFY(table);
        table->addgame("Ann", {"Ann"});
        QCOMPARE(figures(*table, 1), QByteArray("1,1,0,0,1,1,0,0"));
    }

    // After a restart the totals are kept and the session figures start again at 0.
    void sessionRestarts()
    {
        TallyTable table = following({"Ann", "Bob"});
        table.addgame("Ann", {"Ann", "Bob"});
        table.addgame(TallyTable::OwnWin, {"Ann"});
        std::optional<TallyTable> next = TallyTable::fromText(table.toText());
        QVERIFY(next);
        QCOMPARE(figures(*next, 1), QByteArray("2,1,1,0,2,1,1,0"));
        next->startSession();
        QCOMPARE(figures(*next, 1), QByteArray("2,1,1,0,0,0,0,0"));
        QCOMPARE(figures(*next, 2), QByteArray("1,0,0,1,0,0,0,0"));
        QCOMPARE(figures(*next, 0), QByteArray("2,1,0,0,0,0,0,0"));
    }

    // Reset leaves only row 0; the next game counts from there.
    void resetThenGame()
    {
        TallyTable table = following({"Ann", "Bob"});
        table.addgame(TallyTable::OwnWin, {"Ann", "Bob"});
        table.addtomineset(TallyTable::MostWords, 9);
        table.resetAll();
        QCOMPARE(table.toText(), TallyTable().toText());
        table.addgame("Ann", {"Ann"});
        QCOMPARE(table.rowCount(), 1);
        QCOMPARE(figures(table, 0), QByteArray("1,0,0,0,0,0,0,0"));
    }

    // --- cells and rows ---

    // +1 to any cell text; what is not a number counts as 0, and the top value does not wrap.
    void addit_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("zero") << QByteArray("0") << 1;
        QTest::newRow("number") << QByteArray("41") << 42;
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("text") << QByteArray("abc") << 1;
        QTest::newRow("negative") << QByteArray("-3") << -2;
        QTest::newRow("too big for a number") << QByteArray("99999999999") << 1;
        QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    }
    void addit()
    {
        QFETCH(QByteArray, before);
        QFETCH(int, after);
        Cells own(9, "0");
        own[4] = before;
        std::optional<TallyTable> table = TallyTable::fromText(textOf({own}));
        QVERIFY(table);
        QCOMPARE(table->addit(4, 0), after);
        QCOMPARE(table->cell(4, 0), QByteArray::number(after));
    }

    // Cells outside the table are never touched.
    void outOfRangeCellsIgnored_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::newRow("column 9") << 9 << 0;
        QTest::newRow("column -1") << -1 << 0;
        QTest::newRow("row past the end") << 1 << 2;
        QTest::newRow("row -1") << 1 << -1;
    }
    void outOfRangeCellsIgnored()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        TallyTable table = following({"Ann"});
        const QByteArray before = table.toText();
        QCOMPARE(table.addit(col, row), 0);
        if (row == 0) { // the own-row operations take a column only
            table.addtomineset(col, 5);
            QCOMPARE(table.addtomineincrease(col), 0);
        }
        QCOMPARE(table.toText(), before);
    }

    // Own totals are changed by count or by setting.
    void ownTotals()
    {
        TallyTable table;
        QCOMPARE(table.addtomineincrease(TallyTable::LongWords), 1);
        QCOMPARE(table.addtomineincrease(TallyTable::LongWords), 2);
        table.addtomineset(TallyTable::MostWords, 17);
        QCOMPARE(figures(table, 0), QByteArray("0,0,17,2,0,0,0,0"));
    }

    // Removing a row moves the rows below up with all their figures; row 0 stays.
    void moverow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QList<QByteArray>>("names");
        using Names = QList<QByteArray>;
        QTest::newRow("first") << 1 << true << Names{"Bob", "Cid"};
        QTest::newRow("middle") << 2 << true << Names{"Ann", "Cid"};
        QTest::newRow("last") << 3 << true << Names{"Ann", "Bob"};
        QTest::newRow("own row") << 0 << false << Names{"Ann", "Bob", "Cid"};
        QTest::newRow("past the end") << 4 << false << Names{"Ann", "Bob", "Cid"};
        QTest::newRow("negative") << -1 << false << Names{"Ann", "Bob", "Cid"};
    }
    void moverow()
    {
        QFETCH(int, row);
        QFETCH(bool, removed);
        QFETCH(QList<QByteArray>, names);
        TallyTable table = following({"Ann", "Bob", "Cid"});
        table.addgame("Ann", {"Ann", "Bob"});
        table.addgame("Cid", {"Cid"});
        QCOMPARE(table.moverow(row), removed);
        QCOMPARE(table.names(), names);
        const QByteArray expected[] = {"1,1,0,0,1,1,0,0", "1,0,0,1,1,0,0,1", "1,1,0,0,1,1,0,0"};
        const QList<QByteArray> all = {"Ann", "Bob", "Cid"};
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(figures(table, i + 1), expected[all.indexOf(names.at(i))]);
        QCOMPARE(figures(table, 0), QByteArray("2,0,0,0,0,0,0,0"));
    }

    // Following adds a row once per name in any case; line breaks never reach a name.
    void follow_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<QByteArray>>("names");
        using Names = QList<QByteArray>;
        QTest::newRow("new") << QByteArray("Bob") << 2 << Names{"Ann", "Bob"};
        QTest::newRow("already followed") << QByteArray("Ann") << 1 << Names{"Ann"};
        QTest::newRow("other case") << QByteArray("aNN") << 1 << Names{"Ann"};
        QTest::newRow("Latin-1 case") << QByteArray("\xC9VE") << 2 << Names{"Ann", "\xC9VE"};
        QTest::newRow("line breaks dropped") << QByteArray("B\r\no\nb\r") << 2 << Names{"Ann", "Bob"};
        QTest::newRow("line breaks, then known") << QByteArray("An\r\nn") << 1 << Names{"Ann"};
        QTest::newRow("nothing but line breaks") << QByteArray("\r\n") << -1 << Names{"Ann"};
        QTest::newRow("empty") << QByteArray() << -1 << Names{"Ann"};
    }
    void follow()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, row);
        QFETCH(QList<QByteArray>, names);
        TallyTable table = following({"Ann"});
        QCOMPARE(table.follow(name), row);
        QCOMPARE(table.names(), names);
        QCOMPARE(table.rowOf(name), row);
        QCOMPARE(figures(table, table.rowCount() - 1), Eight0);
        QVERIFY(TallyTable::fromText(table.toText())); // the stored layout still holds
    }

    // A Latin-1 name found in the other case: the lookup is not ASCII-only.
    void rowOfLatin1()
    {
        const TallyTable table = following({"\xC9ve"});
        QCOMPARE(table.rowOf("\xE9VE"), 1);
        QCOMPARE(table.rowOf("Eve"), -1);
    }
};

QTEST_GUILESS_MAIN(TestTallyTable)
#include "tst_tallytable.moc"
