#include <QAbstractButton>
#include <QAction>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/tspylist.h"

namespace {

QPoint centreOf(QListWidget *list, int row)
{
    return list->visualItemRect(list->item(row)).center();
}

} // namespace

class TestSpyList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A host announcing spectator after spectator fills no more than MaxSpies entries; one who
    // leaves makes room.
    void boundedEntries()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("more than .* spectators")));
        Tspylist spies;
        for (int n = 0; n < Tspylist::MaxSpies + 50; ++n)
            spies.addSpy(11 + n, QStringLiteral("Spy"));
        QCOMPARE(spies.list()->count(), Tspylist::MaxSpies);
        QVERIFY(spies.removeSpy(11, QStringLiteral("Spy")));
        spies.addSpy(500, QStringLiteral("Late"));
        QCOMPARE(spies.list()->count(), Tspylist::MaxSpies);
        QCOMPARE(spies.list()->item(Tspylist::MaxSpies - 1)->text(), QStringLiteral("500: Late"));
    }

    // The entry under the pointer is the one removed, whichever entry is selected.
    void actsOnEntryUnderPointer_data()
    {
        QTest::addColumn<int>("hover");
        QTest::addColumn<QList<int>>("kicked");
        QTest::newRow("first") << 0 << QList<int>{11};
        QTest::newRow("second") << 1 << QList<int>{12};
        QTest::newRow("third, name with colon") << 2 << QList<int>{15};
        QTest::newRow("below the entries") << -1 << QList<int>{};
    }
    void actsOnEntryUnderPointer()
    {
        QFETCH(int, hover);
        QFETCH(QList<int>, kicked);
        Tspylist spies;
        spies.addSpy(11, QStringLiteral("Ann"));
        spies.addSpy(12, QStringLiteral("Bob"));
        spies.addSpy(15, QStringLiteral("Cy: the spy"));
        spies.setKickEnabled(true);
        spies.show();
        QVERIFY(QTest::qWaitForWindowExposed(&spies));
        QListWidget *list = spies.list();
        list->setCurrentRow(0);
        QTest::mouseMove(&spies, QPoint(150, 160));
        QTest::mouseMove(list->viewport(), centreOf(list, 1));
        QCOMPARE(spies.hoverIndex(), 1);
        const QPoint target = hover < 0 ? QPoint(10, list->viewport()->height() - 3)
                                        : centreOf(list, hover);
        QTest::mouseMove(list->viewport(), target);
        QCOMPARE(spies.hoverIndex(), hover);

        QList<int> seen;
        connect(&spies, &Tspylist::kickRequested, this, [&seen](int seat) { seen.append(seat); });
        spies.findChild<QAction *>(QStringLiteral("popup_kickhim"))->trigger();
        QCOMPARE(seen, kicked);
    }

    void disabledUnlessHosting()
    {
        Tspylist spies;
        spies.addSpy(11, QStringLiteral("Ann"));
        spies.show();
        QVERIFY(QTest::qWaitForWindowExposed(&spies));
        QTest::mouseMove(spies.list()->viewport(), centreOf(spies.list(), 0));
        auto *item = spies.findChild<QAction *>(QStringLiteral("popup_kickhim"));
        QCOMPARE(item->text(), QStringLiteral("Remove From Game"));
        QVERIFY(!item->isEnabled());
        QSignalSpy kicking(&spies, &Tspylist::kickRequested);
        spies.popup_kickhimClick();
        QCOMPARE(kicking.count(), 0);
    }

    void emptyListOffersNothing()
    {
        Tspylist spies;
        spies.setKickEnabled(true);
        spies.show();
        QVERIFY(QTest::qWaitForWindowExposed(&spies));
        QTest::mouseMove(spies.list()->viewport(), QPoint(20, 8));
        QCOMPARE(spies.hoverIndex(), -1);
        QSignalSpy kicking(&spies, &Tspylist::kickRequested);
        spies.popup_kickhimClick();
        QCOMPARE(kicking.count(), 0);
    }

    // Entries are "<seat>: <name>" in order of arrival; a removal needs seat and name to match.
    void entriesComeAndGo()
    {
        Tspylist spies;
        spies.addSpy(11, QStringLiteral("Ann"));
        spies.addSpy(12, QStringLiteral("Bob"));
        QCOMPARE(spies.list()->item(0)->text(), QStringLiteral("11: Ann"));
        QVERIFY(!spies.removeSpy(11, QStringLiteral("Bob")));
        QVERIFY(!spies.removeSpy(13, QStringLiteral("Ann")));
        QCOMPARE(spies.list()->count(), 2);
        QVERIFY(spies.removeSpy(11, QStringLiteral("Ann")));
        QCOMPARE(spies.list()->count(), 1);
        QCOMPARE(spies.list()->item(0)->text(), QStringLiteral("12: Bob"));
    }

    // After a removal the remembered index would point at a different spy: nobody is removed
    // until the pointer moves again.
    void removalForgetsPointedEntry()
    {
        Tspylist spies;
        spies.addSpy(11, QStringLiteral("Ann"));
        spies.addSpy(12, QStringLiteral("Bob"));
        spies.setKickEnabled(true);
        spies.show();
        QVERIFY(QTest::qWaitForWindowExposed(&spies));
        QTest::mouseMove(&spies, QPoint(150, 160));
        QTest::mouseMove(spies.list()->viewport(), centreOf(spies.list(), 1));
        QCOMPARE(spies.hoverIndex(), 1);
        QVERIFY(spies.removeSpy(11, QStringLiteral("Ann")));
        QSignalSpy kicking(&spies, &Tspylist::kickRequested);
        spies.popup_kickhimClick();
        QCOMPARE(kicking.count(), 0);
    }

    void doneCloses()
    {
        Tspylist spies;
        spies.show();
        QVERIFY(QTest::qWaitForWindowExposed(&spies));
        QTest::mouseClick(spies.findChild<QAbstractButton *>(QStringLiteral("button_done")),
                          Qt::LeftButton);
        QVERIFY(!spies.isVisible());
        QVERIFY(spies.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(spies.windowTitle(), QStringLiteral("Lexitangle - Spys"));
    }
};

QTEST_MAIN(TestSpyList)
#include "tst_spylist.moc"
