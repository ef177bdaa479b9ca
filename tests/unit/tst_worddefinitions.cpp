// Definitions from the WordNet database this machine carries (wordnet-base), and what is left
// when the database is missing. WordNet keeps its state process-wide, so the missing database
// is tried last.
#include <QTemporaryDir>
#include <QTest>

#include "words/worddefinitions.h"

class TestWordDefinitions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An inflected form is found by its base forms too, each part of speech's first sense
    // before any second one, never more than three senses.
    void inflectedForm()
    {
        WordDefinitions definitions;
        QVERIFY2(definitions.available(), qPrintable(definitions.problem()));
        const QList<WordDefinitions::Sense> senses = definitions.lookup("RUNNING");
        QCOMPARE(senses.size(), WordDefinitions::MaxSenses);
        QCOMPARE(senses[0].partOfSpeech, QStringLiteral("noun"));
        QCOMPARE(senses[0].lemma, QStringLiteral("running"));
        QCOMPARE(senses[1].partOfSpeech, QStringLiteral("verb"));
        QCOMPARE(senses[1].lemma, QStringLiteral("run"));
        for (const WordDefinitions::Sense &s : senses)
            QVERIFY2(!s.gloss.contains(QLatin1Char('"')) && !s.gloss.endsWith(QLatin1Char(')')), qPrintable(s.gloss));
        const QString text = WordDefinitions::describe("RUNNING", senses);
        QVERIFY2(text.contains(QStringLiteral("verb (run): move fast by using one's feet")), qPrintable(text));
        QCOMPARE(text.count(QLatin1Char('\n')), 2);
    }

    void noDefinition_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::newRow("unknown") << QByteArray("XQZV");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("not letters") << QByteArray("do-g");
        QTest::newRow("too long") << QByteArray(200, 'a');
    }
    void noDefinition()
    {
        QFETCH(QByteArray, word);
        WordDefinitions definitions;
        QVERIFY(definitions.lookup(word).isEmpty());
        QCOMPARE(WordDefinitions::describe(word, {}), QStringLiteral("No definition found."));
    }

    // A folder without WordNet's files costs only the definitions, and says so.
    void missingDatabase()
    {
        QTemporaryDir empty;
        WordDefinitions definitions(empty.path());
        QVERIFY(definitions.lookup("dog").isEmpty());
        QVERIFY(!definitions.available());
        QVERIFY(definitions.problem().contains(QStringLiteral("not found")));
    }
};

QTEST_GUILESS_MAIN(TestWordDefinitions)
#include "tst_worddefinitions.moc"
