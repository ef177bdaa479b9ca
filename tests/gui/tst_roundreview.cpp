// The round review window over a board and a word list written by the test: marks, order and
// summary; a word only the table knew; the path under the mouse and under the arrow keys;
// definitions; copying and filtering; and a window that stays open as rounds go by.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTreeView>

#include "boardrows.h"
#include "dialogs/reviewboard.h"
#include "dialogs/reviewcodepanel.h"
#include "dialogs/reviewwordsmodel.h"
#include "dialogs/troundreview.h"
#include "solver/boardsolver.h"
#include "solver/roundhistory.h"
#include "words/lettercodes.h"
#include "words/worddefinitions.h"

namespace {

// The texts of one column of the list, as shown (the filter's rows only).
QStringList column(const QTreeView *list, int c)
{
    QStringList texts;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        texts << list->model()->index(i, c).data().toString();
    return texts;
}

// Boards a hostile host may deal: 100 A tiles, or the same with a B in the corner whose only
// A neighbour is (1, 0), so that every A..ABA..A needs that tile twice, which no pruning by
// letters and neighbours can tell.
BoardCells allA(bool trap)
{
    BoardCells cells;
    cells.fill(1);
    if (trap) {
        cells[0] = 2;
        cells[1] = cells[11] = LetterCodes::Empty;
    }
    return cells;
}

} // namespace

class TestRoundReview : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    std::unique_ptr<BoardSolver> m_solver;
    std::unique_ptr<RoundHistory> m_history;
    std::unique_ptr<WordDefinitions> m_definitions; // unopened at each test's start
    std::unique_ptr<Troundreview> m_review;
    const BoardCells m_cells = boardFromRows({"CATS", "OREX", "DOGQ", "ZZZY"});

    QTreeView *list() { return m_review->findChild<QTreeView *>(QStringLiteral("list_words")); }
    ReviewBoard *board() { return m_review->findChild<ReviewBoard *>(); }
    QModelIndex indexFor(const QString &word)
    {
        const auto found = list()->model()->match(list()->model()->index(0, 0), Qt::DisplayRole, word, 1, Qt::MatchExactly);
        return found.isEmpty() ? QModelIndex() : found.first();
    }
    // The path the review holds for the word, as the solver found it.
    QList<QPoint> pathOf(const QByteArray &word)
    {
        for (const RoundHistory::Row &row : m_history->rows(m_review->shownRound()))
            if (row.word == word)
                return row.path;
        return {};
    }
    void playRound(const QByteArrayList &mine, const QByteArray &table)
    {
        m_history->boardDealt(m_cells);
        for (const QByteArray &w : mine)
            m_history->wordAccepted(w);
        m_history->roundListed(table, 4);
    }

private Q_SLOTS:
    void init()
    {
        QByteArray records;
        for (const char *w : {"CARE", "CARET", "CATS", "CORD", "GORE", "RATE", "TEAR", "TREE"})
            records += '\x1E' + QByteArray(w) + QByteArray(14 - int(qstrlen(w)), ' ');
        const QString path = m_dir.filePath(QStringLiteral("English"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(records) == records.size());
        file.close();
        m_solver = std::make_unique<BoardSolver>(path);
        m_history = std::make_unique<RoundHistory>(m_solver.get());
        m_definitions = std::make_unique<WordDefinitions>();
        m_review = std::make_unique<Troundreview>(*m_history, *m_definitions);
        m_history->startGame();
    }
    void cleanup()
    {
        m_review.reset();
        m_definitions.reset();
        m_history.reset();
    }

    // A round still being played is never shown; once its list came, every word on the board
    // is listed longest first then alphabetically, marked by who found it. DOER, which the
    // table found and this copy's list lacks, is there too, with its path on the board.
    void marksOrderAndSummary()
    {
        m_history->boardDealt(m_cells);
        m_history->wordAccepted("CARE");
        QCOMPARE(m_history->roundCount(), 0);
        m_history->roundListed("CARE+DOER+RATE", 4);
        m_review->showReview();
        QVERIFY(QTest::qWaitForWindowExposed(m_review.get()));
        QCOMPARE(m_review->windowTitle(), QStringLiteral("Lexitangle - Round Review"));
        QCOMPARE(column(list(), ReviewWordsModel::WordColumn),
                 QStringList({"CARET", "CARE", "CATS", "CORD", "DOER", "GORE", "RATE", "TEAR"}));
        QCOMPARE(column(list(), ReviewWordsModel::PointsColumn), QStringList({"2", "1", "1", "1", "1", "1", "1", "1"}));
        QCOMPARE(column(list(), ReviewWordsModel::FinderColumn),
                 QStringList({"missed", "you", "missed", "missed", "the table", "missed", "the table", "missed"}));
        QCOMPARE(m_review->findChild<QLabel *>(QStringLiteral("label_summary"))->text(),
                 QStringLiteral("You found 1 of 8 words, 1 of 9 points; the table found 3"));
        QCOMPARE(pathOf("DOER"), QList<QPoint>({{3, 5}, {4, 5}, {5, 4}, {4, 4}}));
    }

    void listedWordsTheBoardCannotSpell_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QByteArrayList>("mine");
        QTest::addColumn<QByteArray>("listed");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("finders");
        QTest::addColumn<QString>("summary");
        const QStringList onBoard{"CARET", "CARE", "CATS", "CORD", "GORE", "RATE", "TEAR"};
        const QStringList missed(7, QStringLiteral("missed"));
        QTest::newRow("a tile twice") << "cats" << QByteArrayList{} << QByteArray("TREE")
                                      << onBoard + QStringList{"TREE"} << missed + QStringList{"not on this board"}
                                      << "You found 0 of 7 words, 0 of 8 points; the table found 0; not on this board: 1";
        QTest::newRow("own word") << "cats" << QByteArrayList{"QUIZ"} << QByteArray("QUIZ+RATE")
                                  << onBoard + QStringList{"QUIZ"}
                                  << QStringList{"missed", "missed", "missed", "missed", "missed", "the table", "missed",
                                                 "not on this board"}
                                  << "You found 0 of 7 words, 0 of 8 points; the table found 1; not on this board: 1";
        QTest::newRow("100 A tiles") << "A" << QByteArrayList{} << QByteArray("AAAA+AAAAAAAAAAAB+AAAAAAAAAAAA")
                                     << QStringList{"AAAAAAAAAAAA", "AAAA", "AAAAAAAAAAAB"}
                                     << QStringList{"the table", "the table", "not on this board"}
                                     << "You found 0 of 2 words, 0 of 13 points; the table found 2; not on this board: 1";
        QTest::newRow("a trap for the search") << "trap" << QByteArrayList{} << QByteArray("AAAAAAAAAAB+AAAAAAAAAABA")
                                               << QStringList{"AAAAAAAAAAB", "AAAAAAAAAABA"}
                                               << QStringList{"the table", "not on this board"}
                                               << "You found 0 of 1 words, 0 of 11 points; the table found 1; not on this board: 1";
    }
    // A word the host lists that the board cannot spell, the player's own too, comes after the
    // board's words with no points and no path, and counts in no total. Crafted boards on which
    // a plain search for such a word takes hours are settled at once or within the search's
    // steps (the time it takes is measured by bench_solver).
    void listedWordsTheBoardCannotSpell()
    {
        QFETCH(QString, board);
        QFETCH(QByteArrayList, mine);
        QFETCH(QByteArray, listed);
        QFETCH(QStringList, words);
        QFETCH(QStringList, finders);
        QFETCH(QString, summary);
        m_history->boardDealt(board == QLatin1String("cats") ? m_cells : allA(board == QLatin1String("trap")));
        for (const QByteArray &w : mine)
            m_history->wordAccepted(w);
        m_history->roundListed(listed, 4);
        m_review->showReview();
        QCOMPARE(column(list(), ReviewWordsModel::WordColumn), words);
        QCOMPARE(column(list(), ReviewWordsModel::FinderColumn), finders);
        QCOMPARE(column(list(), ReviewWordsModel::PointsColumn).last(), QString());
        QCOMPARE(m_review->findChild<QLabel *>(QStringLiteral("label_summary"))->text(), summary);
        for (const RoundHistory::Row &row : m_history->rows(0))
            QCOMPARE(row.path.size(), row.finder == RoundHistory::Finder::NotOnBoard ? 0 : row.word.size());
    }

    // A long game keeps its last 50 rounds under their own numbers; the round on show stays
    // on show while older ones go, and one that goes itself gives way to the newest. A list
    // past the longest message a host can send is cut at its last whole word.
    void longGamesAndLongLists()
    {
        m_review->showReview();
        for (int n = 1; n <= 60; ++n)
            playRound({}, "TEAR");
        QCOMPARE(m_history->roundCount(), RoundHistory::MaxRounds);
        QCOMPARE(m_history->round(0).number, 11);
        auto *rounds = m_review->findChild<QComboBox *>(QStringLiteral("combo_round"));
        QCOMPARE(rounds->itemText(0), QStringLiteral("Round 11"));
        QCOMPARE(rounds->currentText(), QStringLiteral("Round 60"));
        m_review->showRound(5);
        playRound({}, "TEAR");
        QCOMPARE(rounds->currentText(), QStringLiteral("Round 16"));
        m_review->showRound(0);
        playRound({}, "TEAR");
        QCOMPARE(rounds->currentText(), QStringLiteral("Round 62"));

        QByteArray longList; // "AAAA+AAAB+...": 5 bytes a word, 14,000 words
        for (int n = 0; n < 14000; ++n) {
            QByteArray word(4, 'A');
            for (int i = 3, rest = n; rest; --i, rest /= 26)
                word[i] = char('A' + rest % 26);
            longList += (n ? "+" : "") + word;
        }
        m_history->boardDealt(allA(false));
        m_history->roundListed(longList, 4);
        const RoundHistory::Round &kept = m_history->round(m_history->roundCount() - 1);
        QCOMPARE(kept.tableWords.size(), 65535); // 13,107 whole words of 5 bytes
        QVERIFY(longList.startsWith(kept.tableWords));
        QCOMPARE(m_history->rows(m_history->roundCount() - 1).size(), 13107);
    }

    // The mouse over a word draws its path; leaving the list brings back the selected word's.
    // The arrow keys move the selection, its path, and then its definition.
    void pathsAndDefinitions()
    {
        // The definitions' database opens on a worker while the selection goes on: here on a
        // pool's one thread, held busy until a word is selected. The word waits with "Looking
        // up…", and its meaning follows.
        QSemaphore go; // outlives the pool, which waits for its tasks
        QThreadPool pool;
        pool.setMaxThreadCount(1);
        pool.start([&go] { go.tryAcquire(1, 10000); });
        m_definitions->openInBackground(&pool);

        playRound({"CARE"}, "CARE");
        m_review->showReview();
        QVERIFY(QTest::qWaitForWindowExposed(m_review.get()));
        list()->setCurrentIndex(indexFor(QStringLiteral("CARET")));
        QCOMPARE(board()->path(), pathOf("CARET"));

        QWidget *viewport = list()->viewport();
        const QPoint over = list()->visualRect(indexFor(QStringLiteral("GORE"))).center();
        QMouseEvent move(QEvent::MouseMove, over, viewport->mapToGlobal(over), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(board()->path(), pathOf("GORE"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(viewport, &leave);
        QCOMPARE(board()->path(), pathOf("CARET"));

        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_Down);
        QCOMPARE(list()->currentIndex().data().toString(), QStringLiteral("CARE"));
        QCOMPARE(board()->path(), pathOf("CARE"));
        QTRY_COMPARE(m_review->definitionText(), QStringLiteral("CARE\nLooking up\u2026"));
        go.release();
        QTRY_VERIFY2(m_review->definitionText().contains(QStringLiteral("noun: the work of providing treatment")),
                     qPrintable(m_review->definitionText()));
        QVERIFY(m_review->definitionText().contains(QStringLiteral("verb: ")));
        QVERIFY(m_review->definitionText().startsWith(QStringLiteral("CARE\n")));
    }

    // Ctrl+A, Ctrl+C copies one word a line with its points; the filter keeps only matching
    // words, and only those are copied.
    void copyAndFilter()
    {
        playRound({}, "No Words");
        m_review->showReview();
        QVERIFY(QTest::qWaitForWindowExposed(m_review.get()));
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("CARET\t2\nCARE\t1\nCATS\t1\nCORD\t1\nGORE\t1\nRATE\t1\nTEAR\t1\n"));
        QCOMPARE(m_review->findChild<QLabel *>(QStringLiteral("label_summary"))->text(),
                 QStringLiteral("You found 0 of 7 words, 0 of 8 points; the table found 0"));

        m_review->findChild<QLineEdit *>(QStringLiteral("edit_filter"))->setText(QStringLiteral("or"));
        QCOMPARE(column(list(), 0), QStringList({"CORD", "GORE"}));
        QTest::keyClick(list(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("CORD\t1\nGORE\t1\n"));
    }

    // A round's board has its code, to copy and to play where the copy may start games; a
    // board no deal makes (a crafted host's) has none, and nothing is offered for it.
    void boardCodeOfRound_data()
    {
        QTest::addColumn<BoardCells>("cells");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<bool>("playable");
        QTest::addColumn<QString>("code");
        const BoardCells dealt = boardFromRows({"CATS", "OREX", "DOGQ", "ZZZY"});
        BoardCells holed = dealt;
        holed[size_t(4 * 10 + 4)] = LetterCodes::Empty;
        QTest::newRow("joining copy") << dealt << 4 << false << "44-HPHQT-5XSCX-WFY7E-MU";
        QTest::newRow("hosting copy between games") << dealt << 4 << true << "44-HPHQT-5XSCX-WFY7E-MU";
        QTest::newRow("a minimum no dialog offers") << dealt << 9 << true << "47-HPHQT-5XSCX-WFY7E-MC";
        QTest::newRow("a hole") << holed << 4 << true << "";
        QTest::newRow("3X3") << boardFromRows({"CAT", "ORE", "DOG"}) << 4 << true << "";
    }
    void boardCodeOfRound()
    {
        QFETCH(BoardCells, cells);
        QFETCH(int, minimum);
        QFETCH(bool, playable);
        QFETCH(QString, code);
        m_history->boardDealt(cells);
        m_history->roundListed("No Words", minimum);
        m_review->setBoardsPlayable(playable);
        m_review->showReview();
        QStringList played;
        connect(m_review.get(), &Troundreview::playBoardRequested, this,
                [&played](const BoardCode &c) { played << c.text(); });
        auto *copy = m_review->findChild<QPushButton *>(QStringLiteral("button_copycode"));
        auto *play = m_review->findChild<QPushButton *>(QStringLiteral("button_playboard"));
        const QString shown = m_review->findChild<QLabel *>(QStringLiteral("label_boardcode"))->text();
        QCOMPARE(copy->isEnabled(), !code.isEmpty());
        QCOMPARE(play->isEnabled(), !code.isEmpty() && playable);
        QCOMPARE(shown, code.isEmpty() ? QStringLiteral("No deal makes this board: it has no code.")
                                       : QStringLiteral("Board code: ") + code);

        QApplication::clipboard()->setText(QStringLiteral("before"));
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text(), code.isEmpty() ? QStringLiteral("before") : code);
        QTest::mouseClick(play, Qt::LeftButton);
        QCOMPARE(played, !code.isEmpty() && playable ? QStringList{code} : QStringList());
    }

    void earlierResults_data()
    {
        QTest::addColumn<QList<int>>("endedMinutesAgo"); // oldest first, as the history answers
        QTest::addColumn<int>("boardWords");
        QTest::addColumn<QStringList>("named");          // points of the results named, in order
        QTest::addColumn<QString>("rest");
        QTest::newRow("none") << QList<int>() << 80 << QStringList() << "";
        QTest::newRow("only this round") << QList<int>{-1} << 80 << QStringList() << "";
        QTest::newRow("one") << QList<int>{30} << 80 << QStringList{"30 points"} << "";
        QTest::newRow("board words not known") << QList<int>{30} << -1 << QStringList{"30 points"} << "";
        QTest::newRow("newest first, this round left out") << QList<int>{50, 40, -1} << 80
                                                           << QStringList{"40 points", "50 points"} << "";
        QTest::newRow("five") << QList<int>{90, 70, 60, 50, 1} << 80
                              << QStringList{"1 point", "50 points", "60 points"} << "; and 2 more times.";
        QTest::newRow("four") << QList<int>{90, 70, 60, 50} << 80
                              << QStringList{"50 points", "60 points", "70 points"} << "; and 1 more time.";
    }
    // Only what ended before the round was dealt counts as earlier; the newest are named first.
    void earlierResults()
    {
        QFETCH(QList<int>, endedMinutesAgo);
        QFETCH(int, boardWords);
        QFETCH(QStringList, named);
        QFETCH(QString, rest);
        const QDateTime dealt = QDateTime::currentDateTimeUtc();
        QList<HistoryStore::BoardResult> results;
        for (int minutes : endedMinutesAgo) {
            HistoryStore::BoardResult r;
            r.ended = dealt.addSecs(-60 * minutes);
            r.points = minutes;
            r.found = 1;
            r.boardWords = boardWords;
            r.minLetters = 4;
            results.append(r);
        }
        const QString text = ReviewCodePanel::earlierText(results, dealt);
        if (named.isEmpty()) {
            QCOMPARE(text, QString());
            return;
        }
        QVERIFY2(text.startsWith(QStringLiteral("You played this board before. ")), qPrintable(text));
        QVERIFY2(text.endsWith(rest.isEmpty() ? QStringLiteral(" letters min.") : rest), qPrintable(text));
        const QString words = boardWords < 0 ? QStringLiteral(": 1 word, ") : QStringLiteral(": 1 of 80 words, ");
        qsizetype at = 0;
        for (const QString &points : named) {
            at = text.indexOf(words + points + QStringLiteral(", 4 letters min"), at);
            QVERIFY2(at > 0, qPrintable(text));
        }
        QCOMPARE(text.count(QStringLiteral("letters min")), named.size());
    }

    // The window stays open when rounds go by; the newest round comes into view, and the
    // arrows step back through the game. A new game empties it.
    void staysOpenAcrossRounds()
    {
        playRound({"CARE"}, "CARE");
        m_review->showReview();
        QVERIFY(QTest::qWaitForWindowExposed(m_review.get()));
        list()->setCurrentIndex(indexFor(QStringLiteral("CARET")));
        m_history->boardDealt(boardFromRows({"TEAR", "ZZZZ", "ZZZZ", "ZZZZ"}));
        QCOMPARE(m_review->shownRound(), 0);
        m_history->roundListed("TEAR", 4);
        QVERIFY(m_review->isVisible());
        QCOMPARE(m_review->shownRound(), 1);
        QCOMPARE(column(list(), 0), QStringList({"TEAR"}));
        QVERIFY(!list()->currentIndex().isValid()); // the last round's word goes with its round
        QVERIFY(board()->path().isEmpty());
        QCOMPARE(m_review->findChild<QComboBox *>(QStringLiteral("combo_round"))->currentText(), QStringLiteral("Round 2"));
        QTest::mouseClick(m_review->findChild<QPushButton *>(QStringLiteral("button_previousround")), Qt::LeftButton);
        QCOMPARE(m_review->shownRound(), 0);
        QCOMPARE(list()->model()->rowCount(), 7);
        m_history->startGame();
        QVERIFY(m_review->isVisible());
        QCOMPARE(m_review->shownRound(), -1);
        QCOMPARE(list()->model()->rowCount(), 0);
    }

    // Escape and Ctrl+W close the window wherever the keyboard is in it; opened, it gives the
    // keyboard to the word list.
    void closeKeys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeyCombination>("keys");
        QTest::newRow("Escape in the list") << "list_words" << QKeyCombination(Qt::Key_Escape);
        QTest::newRow("Ctrl+W in the list") << "list_words" << (Qt::CTRL | Qt::Key_W);
        QTest::newRow("Escape in the filter") << "edit_filter" << QKeyCombination(Qt::Key_Escape);
        QTest::newRow("Ctrl+W in the filter") << "edit_filter" << (Qt::CTRL | Qt::Key_W);
        QTest::newRow("Escape on the rounds") << "combo_round" << QKeyCombination(Qt::Key_Escape);
    }
    void closeKeys()
    {
        QFETCH(QString, focus);
        QFETCH(QKeyCombination, keys);
        playRound({"CARE"}, "CARE");
        m_review->showReview();
        QVERIFY(QTest::qWaitForWindowActive(m_review.get()));
        QCOMPARE(QApplication::focusWidget(), list());
        auto *target = m_review->findChild<QWidget *>(focus);
        target->setFocus();
        QTest::keyClick(target, keys.key(), keys.keyboardModifiers());
        QVERIFY(!m_review->isVisible());
    }
};

QTEST_MAIN(TestRoundReview)
#include "tst_roundreview.moc"
