#include <QTest>

#include "widgets/turl.h"

class TestTurl : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void open_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("opened"); // empty: nothing may be opened

        QTest::newRow("web page") << "www.example.org/games" << int(TURL::Kind::Http)
                                  << "http://www.example.org/games";
        QTest::newRow("secure") << "example.org" << int(TURL::Kind::Https) << "https://example.org";
        QTest::newRow("mail") << "someone@example.org" << int(TURL::Kind::Mailto)
                              << "mailto:someone@example.org";
        QTest::newRow("prefix not doubled") << "HTTP://example.org" << int(TURL::Kind::Http)
                                            << "HTTP://example.org";
        QTest::newRow("no kind") << "https://example.org/x" << int(TURL::Kind::None)
                                 << "https://example.org/x";
        QTest::newRow("blanks trimmed") << "  example.org " << int(TURL::Kind::Http) << "http://example.org";
        QTest::newRow("empty") << "" << int(TURL::Kind::Http) << "";
        QTest::newRow("no scheme at all") << "example.org" << int(TURL::Kind::None) << "";
        QTest::newRow("not a url") << "exa mple.org/%zz" << int(TURL::Kind::Http) << "";
    }
    // The kind's prefix goes in front once; nothing unusable reaches the desktop.
    void open()
    {
        QFETCH(QString, address);
        QFETCH(int, kind);
        QFETCH(QString, opened);
        QStringList seen;
        const TURL link(address, TURL::Kind(kind), [&seen](const QUrl &url) {
            seen.append(url.toString());
            return true;
        });
        QCOMPARE(link.open(), !opened.isEmpty());
        QCOMPARE(seen, opened.isEmpty() ? QStringList() : QStringList{QUrl(opened).toString()});
    }

    // A refusal by the desktop is reported.
    void refused()
    {
        const TURL link(QStringLiteral("example.org"), TURL::Kind::Http, [](const QUrl &) { return false; });
        QVERIFY(!link.open());
    }
};

QTEST_MAIN(TestTurl)
#include "tst_turl.moc"
