#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

#include "dialogs/helptext.h"
#include "dialogs/thelp.h"
#include "host/gamerules.h"

class TestHelp : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pageButtons_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("caption");
        const QStringList captions{"Overview", "Connecting", "Game Play", "Scoring", "Documentation", "License"};
        for (int tag = 1; tag <= 6; ++tag)
            QTest::newRow(qPrintable(captions[tag - 1])) << tag << captions[tag - 1];
    }
    // Each button brings its page to the front with its caption as the heading; a second press
    // changes nothing.
    void pageButtons()
    {
        QFETCH(int, tag);
        QFETCH(QString, caption);
        Thelp help({});
        auto *button = help.findChild<QPushButton *>(QStringLiteral("SelButton%1").arg(tag));
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        for (int press = 0; press < 2; ++press) {
            button->click();
            QCOMPARE(help.currentPage(), tag);
            QCOMPARE(help.findChild<QLabel *>(QStringLiteral("label_caption"))->text(), caption);
            auto *memo = help.findChild<QTextBrowser *>(QStringLiteral("memo%1").arg(tag));
            QVERIFY(memo && memo->isVisibleTo(&help));
        }
    }

    // The window opens on the overview; every page has text and none can be edited.
    void startsOnOverview()
    {
        Thelp help({});
        QCOMPARE(help.currentPage(), 1);
        QCOMPARE(help.findChild<QLabel *>(QStringLiteral("label_caption"))->text(), QStringLiteral("Overview"));
        for (int page = 1; page <= 6; ++page) {
            auto *memo = help.findChild<QTextBrowser *>(QStringLiteral("memo%1").arg(page));
            QVERIFY(memo);
            QVERIFY(memo->isReadOnly());
            QVERIFY(memo->toPlainText().size() > 40);
        }
    }

    // About runs the callback; Done hides the window.
    void aboutAndDone()
    {
        int abouts = 0;
        Thelp help([&abouts] { ++abouts; });
        help.show();
        help.findChild<QPushButton *>(QStringLiteral("button_about"))->click();
        QCOMPARE(abouts, 1);
        help.findChild<QPushButton *>(QStringLiteral("button_done"))->click();
        QVERIFY(!help.isVisible());
    }

    // The scoring page's table tells the points the host really gives.
    void scoringTableMatchesRules()
    {
        QTextDocument doc;
        doc.setHtml(HelpText::page(4));
        const QString text = doc.toPlainText();
        const QRegularExpression rows(QStringLiteral("Letters\\s+((?:\\d+\\s+)+)Points\\s+((?:\\d+\\s*)+)"));
        const QRegularExpressionMatch match = rows.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        const QStringList letters = match.captured(1).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        const QStringList points = match.captured(2).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        QCOMPARE(letters.size(), 9);
        for (int i = 0; i < letters.size(); ++i)
            QCOMPARE(points.value(i).toInt(), GameRules::scoreForLetters(letters[i].toInt()));
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
