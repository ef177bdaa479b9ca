#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/tphrases.h"

class TestPhrases : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // "Done" hands back all nine texts, empty ones included, and closes the window.
    void doneHandsBackEveryText()
    {
        Tphrases editor;
        for (int n = 1; n <= Tphrases::PhraseCount; ++n)
            editor.setPhraseText(n, QStringLiteral("phrase %1").arg(n));
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QSignalSpy done(&editor, &Tphrases::done);

        editor.findChild<QLineEdit *>(QStringLiteral("phrase1"))->clear();
        auto *second = editor.findChild<QLineEdit *>(QStringLiteral("phrase2"));
        second->clear();
        QTest::keyClicks(second, QStringLiteral("/me bows"));
        QTest::mouseClick(editor.findChild<QAbstractButton *>(QStringLiteral("button_done")),
                          Qt::LeftButton);

        QCOMPARE(done.count(), 1);
        QCOMPARE(editor.phraseText(1), QString());
        QCOMPARE(editor.phraseText(2), QStringLiteral("/me bows"));
        QCOMPARE(editor.phraseText(9), QStringLiteral("phrase 9"));
        QVERIFY(!editor.isVisible());
    }

    // Fifty characters is the longest phrase, whether typed or filled in.
    void phrasesStopAtFiftyCharacters_data()
    {
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("kept");
        QTest::newRow("49") << 49 << 49;
        QTest::newRow("50") << 50 << 50;
        QTest::newRow("51") << 51 << 50;
        QTest::newRow("80") << 80 << 50;
    }
    void phrasesStopAtFiftyCharacters()
    {
        QFETCH(int, typed);
        QFETCH(int, kept);
        Tphrases editor;
        QTest::keyClicks(editor.findChild<QLineEdit *>(QStringLiteral("phrase5")), QString(typed, u'a'));
        QCOMPARE(editor.phraseText(5).size(), kept);
        editor.setPhraseText(6, QString(typed, u'b'));
        QCOMPARE(editor.phraseText(6).size(), kept);
    }

    // Closing without "Done" reports nothing.
    void closeWithoutDone()
    {
        Tphrases editor;
        QSignalSpy done(&editor, &Tphrases::done);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.setPhraseText(3, QStringLiteral("changed"));
        editor.close();
        QCOMPARE(done.count(), 0);
    }

    void outOfRangeNumbersAreIgnored()
    {
        Tphrases editor;
        editor.setPhraseText(0, QStringLiteral("x"));
        editor.setPhraseText(10, QStringLiteral("x"));
        QCOMPARE(editor.phraseText(0), QString());
        QCOMPARE(editor.phraseText(10), QString());
    }
};

QTEST_MAIN(TestPhrases)
#include "tst_phrases.moc"
