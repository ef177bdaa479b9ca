// The focus ring: shown after the keyboard moved the focus, never after the mouse, and a change
// that a player can see: at least a 2-pixel band round the control's edge of pixels whose colour
// changes by 3:1 or more, measured on the real windows' pixels. And the keyboard that comes back
// to the window the player had when a side window closes.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "client/mainpanel.h"
#include "dialogs/tgamestart.h"
#include "widgets/focusring.h"
#include "widgets/keysback.h"

#include <cmath>

namespace {

double luminance(QRgb rgb)
{
    auto channel = [](int c) {
        const double s = c / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// Pixels of the window whose colour changed by at least 3:1.
int changedAtThreeToOne(const QImage &before, const QImage &after)
{
    int count = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (contrast(before.pixel(x, y), after.pixel(x, y)) >= 3.0)
                ++count;
    return count;
}

std::unique_ptr<QWidget> window(const QString &name)
{
    if (name == u"gamestart")
        return std::make_unique<Tgamestart>(Tgamestart::Hooks{});
    // The main window's START GAME picture, with a chat line to come from.
    auto panel = std::make_unique<MainPanel>(nullptr);
    panel->startButton()->show();
    auto *line = new QLineEdit(panel->board());
    line->setObjectName(QStringLiteral("mychat"));
    line->setGeometry(472, 499, 300, 22);
    QWidget::setTabOrder(line, panel->startButton());
    return panel;
}

} // namespace

class TestFocusRing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void visibleChange_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("click"); // clicked before the keys, if any
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("ringed"); // the control in the ring, or none
        QTest::newRow("START by Tab") << "gamestart" << "" << "Tab Tab Tab Tab" << "button_start";
        QTest::newRow("score by Shift+Tab") << "gamestart" << "" << "Tab Backtab" << "UpDown1";
        QTest::newRow("option by an arrow") << "gamestart" << "" << "Tab Tab Down" << "image_size6";
        QTest::newRow("START GAME by Tab") << "panel" << "mychat" << "Tab" << "button_start";
        QTest::newRow("opened, nothing pressed") << "gamestart" << "" << "" << "";
        QTest::newRow("score clicked") << "gamestart" << "UpDown1" << "" << "";
    }
    void visibleChange()
    {
        QFETCH(QString, window);
        QFETCH(QString, click);
        QFETCH(QString, keys);
        QFETCH(QString, ringed);
        FocusRing ring;
        const std::unique_ptr<QWidget> top = ::window(window);
        top->show();
        QVERIFY(QTest::qWaitForWindowActive(top.get()));
        if (!click.isEmpty())
            QTest::mouseClick(top->findChild<QWidget *>(click), Qt::LeftButton);
        const QImage before = top->grab().toImage();
        for (const QString &key : keys.split(u' ', Qt::SkipEmptyParts)) {
            const Qt::Key k = key == u"Tab" ? Qt::Key_Tab : key == u"Backtab" ? Qt::Key_Backtab : Qt::Key_Down;
            QTest::keyClick(QApplication::focusWidget(), k, key == u"Backtab" ? Qt::ShiftModifier : Qt::NoModifier);
        }
        QWidget *target = ringed.isEmpty() ? nullptr : top->findChild<QWidget *>(ringed);
        QCOMPARE(ring.target(), target);
        if (!target)
            return;
        // A 2-pixel band just inside the control's edge: what the least visible change must reach.
        const QSize size = target->size();
        const int band = 2 * 2 * (size.width() + size.height()) - 16;
        const int changed = changedAtThreeToOne(before, top->grab().toImage());
        QVERIFY2(changed >= band, qPrintable(QStringLiteral("%1 of %2").arg(changed).arg(band)));

        // The mouse puts it away.
        QTest::mouseClick(top.get(), Qt::LeftButton, {}, QPoint(1, 1));
        QVERIFY(!ring.target());
    }

    // A side window that had the keyboard closes: the window the player had before gets it
    // back, also when it never had it (shown where no window manager gives the keyboard out).
    void keysComeBack_data()
    {
        QTest::addColumn<bool>("mainHadKeys");
        QTest::newRow("main window had the keyboard") << true;
        QTest::newRow("main window never had it") << false;
    }
    void keysComeBack()
    {
        QFETCH(bool, mainHadKeys);
        KeysBack keysBack;
        QWidget main;
        main.show();
        if (mainHadKeys) {
            main.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&main));
        }
        QWidget side(nullptr, Qt::Tool);
        side.show();
        side.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&side));
        side.hide();
        QTRY_COMPARE(QApplication::activeWindow(), &main);
    }
};

QTEST_MAIN(TestFocusRing)
#include "tst_focusring.moc"
