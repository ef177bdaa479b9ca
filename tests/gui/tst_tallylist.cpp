#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "dialogs/ttallylist.h"
#include "words/notifier.h"
#include "words/tlzrw1.h"

#include <memory>

namespace {

// Answers confirmations from a queue (Yes when it runs dry) and keeps every text it was shown.
class RecordingNotifier : public Notifier {
public:
    void showMessage(const QString &text) override { messages.append(text); }
    bool confirm(const QString &text) override
    {
        questions.append(text);
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    QStringList messages;
    QStringList questions;
    QList<bool> answers;
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The tally text inside the file, cut at its CR LF line ends.
QList<QByteArray> storedLines(const QString &path)
{
    const QByteArray text = Tlzrw1::decompressBytes(fileBytes(path), path);
    if (!text.endsWith("\r\n"))
        return {};
    QList<QByteArray> lines;
    qsizetype pos = 0;
    for (qsizetype end; (end = text.indexOf("\r\n", pos)) >= 0; pos = end + 2)
        lines.append(text.mid(pos, end - pos));
    return lines;
}

} // namespace

class TestTallylist : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Lexitangletally.tld"));
        QFile::remove(m_path);
        m_notifier = RecordingNotifier();
        m_players.clear();
    }

    // --- stored layout ---

    // Nothing followed: 9, 1 and nine zero lines.
    void layoutWithoutOpponents()
    {
        auto tally = makeWindow();
        QVERIFY(tally->save());
        const QList<QByteArray> lines = storedLines(m_path);
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines.mid(0, 2), (QList<QByteArray>{"9", "1"}));
        QCOMPARE(lines.mid(2), QList<QByteArray>(9, "0"));
    }

    // Two opponents followed from the players at the table: 2 + 27 lines, column 0 first.
    void layoutWithTwoOpponents()
    {
        m_players = {"Ann", "Bob Smith"};
        auto tally = makeWindow();
        tally->loadchecklist();
        checkAll(list("checklist"));
        QCOMPARE(names(list("listbox_tally")), (QStringList{"Ann", "Bob Smith"}));
        QVERIFY(tally->save());
        const QList<QByteArray> lines = storedLines(m_path);
        QCOMPARE(lines.size(), 2 + 27);
        QCOMPARE(lines.mid(0, 5), (QList<QByteArray>{"9", "3", "0", "Ann", "Bob Smith"}));
    }

    // A name carrying a line break is stored on one line.
    void lineBreakInNameIsCleaned()
    {
        m_players = {"Ev\r\nil"};
        auto tally = makeWindow();
        tally->loadchecklist();
        checkAll(list("checklist"));
        QCOMPARE(names(list("listbox_tally")), QStringList{"Evil"});
        QVERIFY(tally->save());
        QCOMPARE(storedLines(m_path).size(), 2 + 18);
    }

    // --- recording games ---

    void recordGame_data()
    {
        QTest::addColumn<QByteArray>("winner");
        QTest::addColumn<QList<QByteArray>>("atTable");
        QTest::addColumn<QString>("ownFigures");  // mylabel_1, mylabel_2
        QTest::addColumn<QString>("annFigures");  // label_1 .. label_8 for Ann
        QTest::addColumn<QString>("bobFigures");

        const QList<QByteArray> both{"Ann", "Bob"};
        QTest::newRow("player won") << QByteArray("addtomine") << both << "1 1"
                                    << "1 0 1 0 1 0 1 0" << "1 0 1 0 1 0 1 0";
        QTest::newRow("Ann won") << QByteArray("Ann") << both << "1 0"
                                 << "1 1 0 0 1 1 0 0" << "1 0 0 1 1 0 0 1";
        QTest::newRow("third player won") << QByteArray("Cid") << (both + QList<QByteArray>{"Cid"})
                                          << "1 0" << "1 0 0 1 1 0 0 1" << "1 0 0 1 1 0 0 1";
        // Bob followed but not at this game: untouched.
        QTest::newRow("Bob away") << QByteArray("addtomine") << QList<QByteArray>{"Ann"} << "1 1"
                                  << "1 0 1 0 1 0 1 0" << "0 0 0 0 0 0 0 0";
        // The winner is told apart by the exact name; the row is found in any letter case.
        QTest::newRow("winner in other case") << QByteArray("ann") << QList<QByteArray>{"ANN"}
                                              << "1 0" << "1 0 0 1 1 0 0 1" << "0 0 0 0 0 0 0 0";
    }
    void recordGame()
    {
        QFETCH(QByteArray, winner);
        QFETCH(QList<QByteArray>, atTable);
        QFETCH(QString, ownFigures);
        QFETCH(QString, annFigures);
        QFETCH(QString, bobFigures);

        auto tally = makeFollowing({"Ann", "Bob"});
        m_players = atTable;
        tally->addgame(winner);

        QCOMPARE(text("mylabel_1") + ' ' + text("mylabel_2"), ownFigures);
        QCOMPARE(figuresShownFor(0), annFigures);
        QCOMPARE(figuresShownFor(1), bobFigures);
        QCOMPARE(text("label_hisname"), QStringLiteral("Bob Wins:"));
        QCOMPARE(text("label_hisnametop"), QStringLiteral("Bob's Tally"));
    }

    // The labels of the selected opponent follow a game at once.
    void selectedOpponentRefreshedAfterGame()
    {
        auto tally = makeFollowing({"Ann"});
        list("listbox_tally")->setCurrentRow(0);
        QCOMPARE(text("label_1"), QStringLiteral("0"));
        m_players = {"Ann"};
        tally->addgame("Ann");
        QCOMPARE(text("label_1"), QStringLiteral("1"));
        QCOMPARE(text("label_6"), QStringLiteral("1"));
    }

    // The player's own records from the game flow.
    void ownRecords()
    {
        auto tally = makeWindow();
        tally->addtomineincrease(4);
        tally->addtomineincrease(4);
        tally->addtomineset(3, 12);
        QCOMPARE(text("mylabel_4"), QStringLiteral("2"));
        QCOMPARE(tally->mostWordsCaption(), QStringLiteral("12"));
        QCOMPARE(text("mylabel_1"), QStringLiteral("0"));
    }

    // --- persistence ---

    // A recorded game reaches the file at once, with no close, and a new run reads it back with
    // the session figures at 0 and the totals kept.
    void gameSurvivesRestart()
    {
        {
            auto tally = makeFollowing({"Ann"});
            QVERIFY(tally->save());
            const QByteArray before = fileBytes(m_path);
            m_players = {"Ann"};
            tally->addgame("Ann");
            QVERIFY(fileBytes(m_path) != before);
        }
        m_players.clear();
        auto again = makeWindow();
        QCOMPARE(text("mylabel_1"), QStringLiteral("1"));
        QCOMPARE(figuresShownFor(0), QStringLiteral("1 1 0 0 0 0 0 0"));
        QVERIFY(m_notifier.messages.isEmpty());
    }

    // An unreadable file: its message in a box, and an empty tally to go on with.
    void damagedFileGivesMessageAndEmptyTally()
    {
        {
            QFile file(m_path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a tally");
        }
        auto tally = makeWindow();
        const QString kept = m_path + QStringLiteral(".bad");
        QCOMPARE(m_notifier.messages,
                 QStringList{m_path + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !")
                             + QStringLiteral("\n\nThe unreadable file was kept as ")
                             + QDir::toNativeSeparators(kept) + QStringLiteral(". A new tally has been started.")});
        QCOMPARE(list("listbox_tally")->count(), 0);
        QCOMPARE(text("mylabel_1"), QStringLiteral("0"));
        // What the next save writes goes beside the kept file, not over it.
        QVERIFY(tally->save());
        QCOMPARE(fileBytes(kept), QByteArray("not a tally"));
        QVERIFY(QFile::remove(kept));
    }

    // Every save is reported; a failed one with its reason, and the old file stays.
    void savesAreReported()
    {
        auto tally = makeWindow();
        QStringList reports;
        tally->setSaveReport([&reports](const QString &path, bool saved, const QString &reason) {
            reports.append(QStringLiteral("%1 %2 %3").arg(path).arg(saved).arg(reason));
        });
        QVERIFY(tally->save());
        QVERIFY(QFile::remove(m_path));
        QVERIFY(QDir().mkpath(m_path + QStringLiteral("/keep"))); // a folder no file can replace
        tally->addgame("Ann");
        QCOMPARE(reports.size(), 2);
        QCOMPARE(reports.at(0), m_path + QStringLiteral(" 1 "));
        QVERIFY2(reports.at(1).startsWith(m_path + QStringLiteral(" 0 "))
                     && reports.at(1).size() > m_path.size() + 3,
                 qPrintable(reports.at(1)));
        QVERIFY(QFileInfo::exists(m_path + QStringLiteral("/keep")));
        QVERIFY(QDir(m_path).removeRecursively());
    }

    // --- following and dropping ---

    // The players at the table are listed, checked exactly when followed; checking one that is
    // followed already adds nothing.
    void checklistShowsFollowed()
    {
        auto tally = makeFollowing({"Ann"});
        m_players = {"ANN", "Bob"};
        tally->loadchecklist();
        QListWidget *checklist = list("checklist");
        QCOMPARE(names(checklist), (QStringList{"ANN", "Bob"}));
        QCOMPARE(checklist->item(0)->checkState(), Qt::Checked);
        QCOMPARE(checklist->item(1)->checkState(), Qt::Unchecked);
        checklist->item(0)->setCheckState(Qt::Unchecked);
        checklist->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(names(list("listbox_tally")), QStringList{"Ann"});
    }

    void drop_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("yes") << true << QStringList{"Ann", "Cid"};
        QTest::newRow("no") << false << QStringList{"Ann", "Bob", "Cid"};
    }
    // Clearing a followed opponent asks first; Yes drops the row, No puts the check back.
    void drop()
    {
        QFETCH(bool, yes);
        QFETCH(QStringList, left);
        auto tally = makeFollowing({"Ann", "Bob", "Cid"});
        m_players = {"Cid"};
        tally->addgame("Cid");
        m_notifier.answers = {yes};
        list("listbox_tally")->item(1)->setCheckState(Qt::Unchecked);
        QTRY_COMPARE(m_notifier.questions.size(), 1);
        QCOMPARE(m_notifier.questions.first(),
                 QStringLiteral("This will delete Bob's Tally, Are you want to delete it?"));
        QCOMPARE(names(list("listbox_tally")), left);
        for (int i = 0; i < list("listbox_tally")->count(); ++i)
            QCOMPARE(list("listbox_tally")->item(i)->checkState(), Qt::Checked);
        QCOMPARE(tally->table().names().size(), left.size());
        // Cid's figures stay with Cid, whichever row they are on now.
        QCOMPARE(figuresShownFor(int(left.indexOf("Cid"))), QStringLiteral("1 1 0 0 1 1 0 0"));
    }

    // Setting a check mark never asks.
    void checkingAsksNothing()
    {
        auto tally = makeFollowing({"Ann"});
        list("listbox_tally")->item(0)->setCheckState(Qt::Checked);
        QCoreApplication::processEvents();
        QVERIFY(m_notifier.questions.isEmpty());
    }

    void reset_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    // Yes empties everything; No keeps everything; a game afterwards counts from nothing.
    void reset()
    {
        QFETCH(bool, yes);
        auto tally = makeFollowing({"Ann"});
        m_players = {"Ann"};
        tally->addgame("addtomine");
        list("listbox_tally")->setCurrentRow(0);
        m_notifier.answers = {yes};
        button("button_reset")->click();
        QCOMPARE(m_notifier.questions, QStringList{QStringLiteral("Are you sure you want to reset the Tally?")});
        QCOMPARE(list("listbox_tally")->count(), yes ? 0 : 1);
        QCOMPARE(text("mylabel_2"), yes ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(text("label_3"), yes ? QStringLiteral("0") : QStringLiteral("1"));

        tally->addgame("Ann");
        QCOMPARE(text("mylabel_1"), yes ? QStringLiteral("1") : QStringLiteral("2"));
        QCOMPARE(tally->table().rowCount(), yes ? 1 : 2);
    }

private:
    std::unique_ptr<Ttallylist> makeWindow()
    {
        return std::make_unique<Ttallylist>(m_path, &m_notifier, [this] { return m_players; });
    }

    std::unique_ptr<Ttallylist> makeFollowing(const QList<QByteArray> &followed)
    {
        auto tally = makeWindow();
        m_players = followed;
        tally->loadchecklist();
        checkAll(list("checklist"));
        m_players.clear();
        return tally;
    }

    template<typename T> T *child(const char *name) const
    {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *found = top->findChild<T *>(QLatin1String(name)))
                return found;
        }
        return nullptr;
    }
    QListWidget *list(const char *name) const { return child<QListWidget>(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    QString text(const char *name) const
    {
        QLabel *label = child<QLabel>(name);
        return label ? label->text() : QStringLiteral("<missing>");
    }

    static void checkAll(QListWidget *list)
    {
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(Qt::Checked);
    }
    static QStringList names(QListWidget *list)
    {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result.append(list->item(i)->text());
        return result;
    }

    // Selects the opponent at list position `index` and reads label_1 .. label_8.
    QString figuresShownFor(int index)
    {
        list("listbox_tally")->setCurrentRow(index);
        QStringList figures;
        for (int i = 1; i <= 8; ++i)
            figures.append(text(QStringLiteral("label_%1").arg(i).toLatin1().constData()));
        return figures.join(' ');
    }

    QTemporaryDir m_dir;
    QString m_path;
    RecordingNotifier m_notifier;
    QList<QByteArray> m_players;
};

QTEST_MAIN(TestTallylist)
#include "tst_tallylist.moc"
