#include <QApplication>
#include <QTest>

#include "dialogs/twordslist.h"

#include <QLabel>
#include <QPushButton>
#include <QItemSelectionModel>
#include <QTableWidget>

namespace {

// The grid's cells row by row, "" for an empty cell.
QStringList cells(const QTableWidget *grid)
{
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            const QTableWidgetItem *item = grid->item(r, c);
            texts << (item ? item->text() : QString());
        }
    }
    return texts;
}

} // namespace

class TestWordsList : public QObject {
    Q_OBJECT

private slots:
    /// Words fill three to a row; a multiple of three leaves one empty row.
    void thewords_data()
    {
        QTest::addColumn<QByteArrayList>("lists");
        QTest::addColumn<QStringList>("grid");
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("noWords");
        QTest::newRow("seven") << QByteArrayList{"ACT+ARC+CAT+RAT+TAR+TEA+ZOO"}
                               << QStringList{"ACT", "ARC", "CAT", "RAT", "TAR", "TEA", "ZOO", "", ""}
                               << "Count: 7" << false;
        QTest::newRow("six after seven") << QByteArrayList{"A+B+C+D+E+F+G", "H+I+J+K+L+M"}
                                         << QStringList{"H", "I", "J", "K", "L", "M", "", "", ""}
                                         << "Count: 6" << false;
        QTest::newRow("three") << QByteArrayList{"ACT+CAT+TAC"} << QStringList{"ACT", "CAT", "TAC", "", "", ""}
                               << "Count: 3" << false;
        QTest::newRow("one") << QByteArrayList{"CAT"} << QStringList{"CAT", "", ""} << "Count: 1" << false;
        QTest::newRow("no words") << QByteArrayList{"No Words"} << QStringList{"", "", ""} << "Count: 0" << true;
        QTest::newRow("no words after words") << QByteArrayList{"A+B+C+D", "No Words"}
                                              << QStringList{"", "", ""} << "Count: 0" << true;
    }
    void thewords()
    {
        QFETCH(QByteArrayList, lists);
        QFETCH(QStringList, grid);
        QFETCH(QString, count);
        QFETCH(bool, noWords);
        Twordslist window;
        for (const QByteArray &list : lists)
            window.thewords(list);
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("stringgrid_words"));
        QCOMPARE(cells(table), grid);
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label_found"))->text(), count);
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("label_nowords"))->isVisible(), noWords);
        QCOMPARE(table->isVisible(), !noWords);
        QVERIFY(window.isVisible());
    }

    /// Every cell paints alike: a clicked cell shows no highlight.
    void noSelectionHighlight()
    {
        Twordslist window;
        window.thewords("CAT+DOG+EMU+FOX");
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("stringgrid_words"));
        const QRect first = table->visualRect(table->model()->index(0, 0));
        const QImage before = table->viewport()->grab(first).toImage();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, first.center());
        table->selectionModel()->select(table->model()->index(0, 0), QItemSelectionModel::Select);
        table->setCurrentCell(0, 0);
        const QImage after = table->viewport()->grab(first).toImage();
        QCOMPARE(after, before);
        QCOMPARE(before.pixelColor(1, 1), QColor(76, 106, 76));
    }

    /// The window comes back where the player left it and hides with its button.
    void remembersPlace()
    {
        Twordslist window;
        QCOMPARE(QPoint(window.rememberedLeft(), window.rememberedTop()), QPoint(42, 98));
        window.setRemembered(200, 150);
        window.thewords("CAT");
        QCOMPARE(window.pos(), QPoint(200, 150));
        window.move(260, 170);
        QCOMPARE(QPoint(window.rememberedLeft(), window.rememberedTop()), QPoint(260, 170));
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("button_allwords")), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QCOMPARE(QPoint(window.rememberedLeft(), window.rememberedTop()), QPoint(260, 170));
        window.thewords("DOG");
        QCOMPARE(window.pos(), QPoint(260, 170));
    }

    /// Shown at a round's end, the window leaves the keys with the window the player types in
    /// (the offscreen platform activates every window it shows, so only the request is seen
    /// here); Escape closes it.
    void keysStayWithThePlayersWindow()
    {
        Twordslist window;
        window.thewords("CAT");
        QVERIFY(window.testAttribute(Qt::WA_ShowWithoutActivating));
        window.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &window);
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestWordsList)
#include "tst_wordslist.moc"
