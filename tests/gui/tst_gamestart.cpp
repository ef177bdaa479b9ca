#include <QApplication>
#include <QTest>

#include "dialogs/tgamestart.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <memory>

namespace {

constexpr char FF = char(0xFF);

QByteArray startBytes(const char *fields)
{
    return QByteArray("CMD_startgame+") + fields + "+0+" + FF;
}

} // namespace

class TestGameStart : public QObject {
    Q_OBJECT

    std::unique_ptr<Tgamestart> dialog;
    QByteArrayList sent;
    int saves = 0;
    // What each start told the host about the first round's board.
    QList<std::optional<BoardCode>> firstBoards;
    QByteArray name = "Ann";

    QStringList checked(const QString &prefix) const
    {
        QStringList names;
        for (const QLabel *l : dialog->findChildren<QLabel *>()) {
            if (l->objectName().startsWith(prefix) && l->property("mark").toInt() == 1)
                names << l->objectName();
        }
        return names;
    }

private slots:
    void init()
    {
        sent.clear();
        saves = 0;
        firstBoards.clear();
        dialog = std::make_unique<Tgamestart>(Tgamestart::Hooks{
            [this] { return name; },
            [this](const QByteArray &m) { sent << m; },
            [this] { ++saves; },
            [this](const std::optional<BoardCode> &code) { firstBoards << code; },
        });
    }
    void cleanup() { dialog.reset(); }

    /// The score and round time stay inside their ranges, also from the settings file.
    void spinRanges_data()
    {
        QTest::addColumn<QString>("score");
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QByteArray>("fields");
        QTest::newRow("form defaults") << "" << "" << 0 << QByteArray("Ann+100+60+10+4");
        QTest::newRow("stored values") << "300" << "90" << 0 << QByteArray("Ann+300+90+10+4");
        QTest::newRow("stored time below range") << "30" << "1" << 0 << QByteArray("Ann+30+45+10+4");
        QTest::newRow("stored time above range") << "300" << "999" << 0 << QByteArray("Ann+300+180+10+4");
        QTest::newRow("not numbers") << "lots" << "soon" << 0 << QByteArray("Ann+100+60+10+4");
        QTest::newRow("score down to 0") << "100" << "45" << -3 << QByteArray("Ann+0+45+10+4");
        QTest::newRow("top without separator") << "9900" << "180" << 5 << QByteArray("Ann+10000+180+10+4");
        QTest::newRow("steps from an odd start") << "30" << "60" << 2 << QByteArray("Ann+230+70+10+4");
    }
    void spinRanges()
    {
        QFETCH(QString, score);
        QFETCH(QString, seconds);
        QFETCH(int, steps);
        QFETCH(QByteArray, fields);
        dialog->setPlaytoscore(score);
        dialog->setTimeperturn(seconds);
        auto *upDown1 = dialog->findChild<QSpinBox *>(QStringLiteral("UpDown1"));
        auto *upDown2 = dialog->findChild<QSpinBox *>(QStringLiteral("UpDown2"));
        const int key = steps > 0 ? Qt::Key_Up : Qt::Key_Down;
        for (int i = 0; i < qAbs(steps); ++i) {
            QTest::keyClick(upDown1, Qt::Key(key));
            QTest::keyClick(upDown2, Qt::Key(key));
        }
        QCOMPARE(dialog->startMessage(), startBytes(fields));
        QVERIFY(dialog->findChild<QLineEdit *>(QStringLiteral("edit_playtoscore"))->isReadOnly());
        QVERIFY(dialog->findChild<QLineEdit *>(QStringLiteral("edit_creationtime"))->isReadOnly());
    }

    /// A locale with thousands separators still sends plain digits.
    void noSeparatorInAnyLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        init();
        dialog->setPlaytoscore(QStringLiteral("10000"));
        QLocale::setDefault(before);
        QCOMPARE(dialog->startMessage(), startBytes("Ann+10000+60+10+4"));
    }

    /// Choosing options checks exactly one per group; unknown names fall back.
    void options_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<QString>("sizeChecked");
        QTest::addColumn<QString>("minChecked");
        QTest::addColumn<QByteArray>("fields");
        QTest::newRow("7X7, 4 letters") << "image_size10" << "image_min4" << "image_size10" << "image_min4"
                                        << QByteArray("Ann+100+60+10+4");
        QTest::newRow("random") << "image_size8" << "image_min7" << "image_size8" << "image_min7"
                                << QByteArray("Ann+100+60+8+7");
        QTest::newRow("5X5 second in its column") << "image_size9" << "image_min3" << "image_size9" << "image_min3"
                                                  << QByteArray("Ann+100+60+9+3");
        QTest::newRow("stored 12 and 9") << "image_size12" << "image_min9" << "image_size8" << "image_min3"
                                         << QByteArray("Ann+100+60+8+3");
        QTest::newRow("garbage names") << "image_size" << "" << "image_size8" << "image_min3"
                                       << QByteArray("Ann+100+60+8+3");
    }
    void options()
    {
        QFETCH(QString, size);
        QFETCH(QString, minimum);
        QFETCH(QString, sizeChecked);
        QFETCH(QString, minChecked);
        QFETCH(QByteArray, fields);
        dialog->clicksize(QStringLiteral("image_size4"));
        dialog->clickmin(QStringLiteral("image_min6"));
        dialog->clicksize(size);
        dialog->clickmin(minimum);
        QCOMPARE(checked(QStringLiteral("image_size")), QStringList{sizeChecked});
        QCOMPARE(checked(QStringLiteral("image_min")), QStringList{minChecked});
        QCOMPARE(dialog->startMessage(), startBytes(fields));
        QCOMPARE(dialog->boardsizeHint().toLatin1(), fields.split('+').at(3));
        QCOMPARE(dialog->minHint().toLatin1(), fields.split('+').at(4));
    }

    /// Clicking a picture, or the caption beside it, chooses that option.
    void clickingPictures()
    {
        dialog->show();
        QTest::mouseClick(dialog->findChild<QLabel *>(QStringLiteral("image_size11")), Qt::LeftButton);
        QCOMPARE(checked(QStringLiteral("image_size")), QStringList{"image_size11"});
        QLabel *caption = nullptr;
        for (QLabel *l : dialog->findChildren<QLabel *>()) {
            if (l->text() == QStringLiteral("6 Letters"))
                caption = l;
        }
        QVERIFY(caption);
        QTest::mouseClick(caption, Qt::LeftButton);
        QCOMPARE(checked(QStringLiteral("image_min")), QStringList{"image_min6"});
    }

    /// By keys alone: Tab reaches the chosen option of each group, the arrows choose within the
    /// group (as the columns stand, wrapping round), Space chooses the focused option, and
    /// Enter starts. Keys are sent to whatever holds the focus.
    void keyboardChoices_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QByteArray>("fields");
        QTest::newRow("5X5 and 3 letters") << "Tab Tab Up Up Tab Up Return" << QByteArray("Ann+100+60+9+3");
        QTest::newRow("down into the next column") << "Tab Tab Down Return" << QByteArray("Ann+100+60+6+4");
        QTest::newRow("across the row") << "Tab Tab Right Return" << QByteArray("Ann+100+60+8+4");
        QTest::newRow("back across from 8X8") << "Tab Tab Down Left Return" << QByteArray("Ann+100+60+4+4");
        QTest::newRow("up wraps to Random") << "Tab Tab Home Up Return" << QByteArray("Ann+100+60+8+4");
        QTest::newRow("minimum wraps to 3") << "Tab Tab Tab End Right Return" << QByteArray("Ann+100+60+10+3");
        QTest::newRow("Tab leaves the groups for START") << "Tab Tab Down Tab Down Tab Space"
                                                         << QByteArray("Ann+100+60+6+5");
        QTest::newRow("back with Shift+Tab") << "Tab Tab Tab Backtab Up Return" << QByteArray("Ann+100+60+5+4");
        QTest::newRow("Space takes back a mouse choice") << "Tab Tab click:image_size4 Space Return"
                                                         << QByteArray("Ann+100+60+10+4");
    }
    void keyboardChoices()
    {
        QFETCH(QString, keys);
        QFETCH(QByteArray, fields);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        dialog->findChild<QSpinBox *>(QStringLiteral("UpDown1"))->setFocus();
        const QHash<QString, Qt::Key> names{{"Tab", Qt::Key_Tab},     {"Backtab", Qt::Key_Backtab},
                                            {"Up", Qt::Key_Up},       {"Down", Qt::Key_Down},
                                            {"Left", Qt::Key_Left},   {"Right", Qt::Key_Right},
                                            {"Home", Qt::Key_Home},   {"End", Qt::Key_End},
                                            {"Space", Qt::Key_Space}, {"Return", Qt::Key_Return}};
        for (const QString &key : keys.split(u' ')) {
            if (key.startsWith(QLatin1String("click:"))) {
                QTest::mouseClick(dialog->findChild<QLabel *>(key.mid(6)), Qt::LeftButton);
                continue;
            }
            QWidget *focus = QApplication::focusWidget();
            QVERIFY2(focus, qPrintable(key));
            QTest::keyClick(focus, names.value(key), key == u"Backtab" ? Qt::ShiftModifier : Qt::NoModifier);
        }
        QCOMPARE(sent, QByteArrayList{startBytes(fields)});
        QVERIFY(!dialog->isVisible());
    }

    /// The start picture sends the exact bytes once, hides the dialog and asks for a save.
    void startSendsAndHides()
    {
        dialog->setPlaytoscore(QStringLiteral("300"));
        dialog->setTimeperturn(QStringLiteral("90"));
        dialog->clicksize(QStringLiteral("image_size10"));
        dialog->clickmin(QStringLiteral("image_min4"));
        dialog->show();
        QTest::mouseClick(dialog->findChild<QWidget *>(QStringLiteral("button_start")), Qt::LeftButton);
        QCOMPARE(sent, QByteArrayList{QByteArray("CMD_startgame+Ann+300+90+10+4+0+") + FF});
        QVERIFY(!dialog->isVisible());
        QCOMPARE(saves, 1);
    }

    /// Opened for a code, the dialog is preset to its size and minimum and hands the code to
    /// the host with the start, as long as the size is still the code's; the message is the
    /// ordinary one. Closed without a start, it forgets the code.
    void boardCode_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<bool>("closeFirst");
        QTest::addColumn<QByteArray>("fields");
        QTest::addColumn<bool>("handed");
        QTest::addColumn<QString>("note");
        const QString deals = QStringLiteral("The first round deals the 5X5 board of your code.");
        QTest::newRow("as preset") << "" << "" << false << QByteArray("Ann+100+60+9+5") << true << deals;
        QTest::newRow("another minimum") << "" << "image_min3" << false << QByteArray("Ann+100+60+9+3") << true << deals;
        QTest::newRow("another size") << "image_size4" << "" << false << QByteArray("Ann+100+60+4+5") << false
                                      << QStringLiteral("Your code's board is 5X5: choose 5X5 to play it.");
        QTest::newRow("another size and back") << "image_size9" << "" << false << QByteArray("Ann+100+60+9+5") << true
                                               << deals;
        QTest::newRow("closed and opened again") << "" << "" << true << QByteArray("Ann+100+60+9+5") << false
                                                 << QString();
    }
    void boardCode()
    {
        QFETCH(QString, size);
        QFETCH(QString, minimum);
        QFETCH(bool, closeFirst);
        QFETCH(QByteArray, fields);
        QFETCH(bool, handed);
        QFETCH(QString, note);
        const std::optional<BoardCode> code = BoardCode::decode(u"55-9FNU2-8EMTZ-7DKSY-6CJRX-5BHQW-J");
        QVERIFY(code);
        dialog->clicksize(QStringLiteral("image_size7"));
        dialog->show();
        dialog->playBoard(*code);
        QCOMPARE(checked(QStringLiteral("image_size")), QStringList{"image_size9"});
        QCOMPARE(checked(QStringLiteral("image_min")), QStringList{"image_min5"});
        if (size == QStringLiteral("image_size9"))
            dialog->clicksize(QStringLiteral("image_size10"));
        if (!size.isEmpty())
            dialog->clicksize(size);
        if (!minimum.isEmpty())
            dialog->clickmin(minimum);
        if (closeFirst) {
            dialog->close();
            dialog->show();
        }
        const auto *line = dialog->findChild<QLabel *>(QStringLiteral("label_boardcode"));
        QCOMPARE(line->isVisible(), !note.isEmpty());
        if (!note.isEmpty())
            QCOMPARE(line->text(), note);
        QCOMPARE(dialog->height(), note.isEmpty() ? 417 : 441);

        QTest::mouseClick(dialog->findChild<QWidget *>(QStringLiteral("button_start")), Qt::LeftButton);
        QCOMPARE(sent, QByteArrayList{startBytes(fields.constData())});
        QCOMPARE(firstBoards, QList<std::optional<BoardCode>>{handed ? code : std::nullopt});
        // The start used the code up: the next start deals as usual.
        QVERIFY(!dialog->boardCode());
        QVERIFY(!line->isVisible());
        QCOMPARE(dialog->height(), 417);
        dialog->show();
        dialog->button_startClick();
        QCOMPARE(firstBoards.last(), std::optional<BoardCode>());
    }

    /// A name holding the terminator byte cannot cut the message short.
    void terminatorNeverInName()
    {
        name = QByteArray("An") + FF + "n";
        QCOMPARE(dialog->startMessage(), startBytes("Ann+100+60+10+4"));
        name = "Ann";
    }
};

QTEST_MAIN(TestGameStart)
#include "tst_gamestart.moc"
