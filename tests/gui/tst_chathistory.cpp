#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "client/chathistory.h"
#include "widgets/colourvalue.h"
#include "widgets/contrast.h"

namespace {

struct Run {
    QString text;
    bool bold;
    QColor colour;
};

// The runs of one line of the history, as the user sees them.
QList<Run> runsOf(const QTextBlock &block)
{
    QList<Run> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        runs.append({f.text(), f.charFormat().fontWeight() >= QFont::Bold,
                     f.charFormat().foreground().color()});
    }
    return runs;
}

QString boldText(const QTextBlock &block)
{
    QString bold;
    for (const Run &r : runsOf(block))
        if (r.bold)
            bold += r.text;
    return bold;
}

} // namespace

class TestChatHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // --- lines: bold head, colour, plain text ---

    void headUpToFirstColonIsBold_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("bold");
        QTest::newRow("chat line") << "Ann chats: hello" << "Ann chats:";
        QTest::newRow("system notice") << "You are Connected." << "";
        QTest::newRow("several colons") << "Ann chats: at 10:30: ok" << "Ann chats:";
        QTest::newRow("colon first") << ":x" << ":";
        QTest::newRow("colon last") << "Bob:" << "Bob:";
        QTest::newRow("chatter notice") << "Ann: <Chatter Sound> Hello" << "Ann:";
    }
    void headUpToFirstColonIsBold()
    {
        QFETCH(QString, line);
        QFETCH(QString, bold);
        ChatHistory history;
        history.addlinetochat(line, 0);
        const QTextBlock block = history.document()->firstBlock();
        QCOMPARE(block.text(), line);
        QCOMPARE(boldText(block), bold);
    }

    // Both runs carry the line's colour; red is the lowest byte of the value.
    void colourAppliesToHeadAndTail_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("system maroon") << quint32(128) << QColor(128, 0, 0);
        QTest::newRow("blue in high byte") << quint32(0xFF0000) << QColor(0, 0, 255);
        QTest::newRow("mixed") << quint32(0x00FF8040) << QColor(0x40, 0x80, 0xFF);
        QTest::newRow("top byte ignored") << quint32(0x80000010) << QColor(0x10, 0, 0);
    }
    void colourAppliesToHeadAndTail()
    {
        QFETCH(quint32, colour);
        QFETCH(QColor, expected);
        ChatHistory history;
        history.addlinetochat(QStringLiteral("Ann chats: hi"), colour);
        const QList<Run> runs = runsOf(history.document()->firstBlock());
        QCOMPARE(runs.size(), 2);
        for (const Run &r : runs)
            QCOMPARE(r.colour, expected);
    }

    // "High Contrast" raises a line whose colour falls short on the history's ground to 4.5:1,
    // the lines already there too, and gives every line its own colour back when it goes off.
    void highContrastColours_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<bool>("raised");
        QTest::newRow("yellow") << quint32(0x0000FFFF) << true;
        QTest::newRow("lime") << quint32(0x0000FF00) << true;
        QTest::newRow("silver") << quint32(0x00C0C0C0) << true;
        QTest::newRow("system maroon") << quint32(128) << false;
        QTest::newRow("black") << quint32(0) << false;
    }
    void highContrastColours()
    {
        QFETCH(quint32, colour);
        QFETCH(bool, raised);
        ChatHistory history;
        const QColor base = history.palette().color(QPalette::Base);
        const QColor written = ColourValue::toQColor(colour);
        history.addlinetochat(QStringLiteral("Ann chats: before"), colour);
        history.setHighContrast(true);
        history.addlinetochat(QStringLiteral("Ann chats: after"), colour);
        for (QTextBlock b : {history.document()->firstBlock(), history.document()->firstBlock().next()})
            for (const Run &r : runsOf(b)) {
                QVERIFY2(Contrast::ratio(r.colour, base) >= Contrast::Readable, qPrintable(r.colour.name()));
                QCOMPARE(r.colour == written, !raised);
            }
        history.setHighContrast(false);
        for (QTextBlock b : {history.document()->firstBlock(), history.document()->firstBlock().next()})
            for (const Run &r : runsOf(b))
                QCOMPARE(r.colour, written);
    }

    // Remote text is never read as markup.
    void markupIsShownLiterally_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("bold tag") << "Ann chats: <b>loud</b>";
        QTest::newRow("image") << "Ann chats: <img src=\"file:///etc/passwd\">";
        QTest::newRow("entity") << "Ann chats: &lt;&amp;";
        QTest::newRow("table") << "Ann chats: <table><tr><td>x</td></tr></table>";
    }
    void markupIsShownLiterally()
    {
        QFETCH(QString, line);
        ChatHistory history;
        history.addlinetochat(line, 0);
        const QTextBlock block = history.document()->firstBlock();
        QCOMPARE(block.text(), line);
        QCOMPARE(boldText(block), QStringLiteral("Ann chats:"));
        for (auto it = block.begin(); !it.atEnd(); ++it)
            QVERIFY(!it.fragment().charFormat().isImageFormat());
        QCOMPARE(history.document()->blockCount(), 2);
    }

    // Each line is its own paragraph, in order, and the next one starts on a fresh line.
    void linesFollowEachOther()
    {
        ChatHistory history;
        history.addlinetochat(QStringLiteral("one: a"), 0);
        history.addlinetochat(QStringLiteral("two"), 128);
        QCOMPARE(history.toPlainText(), QStringLiteral("one: a\ntwo\n"));
        QCOMPARE(boldText(history.document()->findBlockByNumber(1)), QString());
    }

    void clearEmptiesAndHandsFocusBack()
    {
        ChatHistory history;
        QSignalSpy focus(&history, &ChatHistory::focusInputRequested);
        history.addlinetochat(QStringLiteral("x: y"), 0);
        history.findChild<QAction *>(QStringLiteral("ClearMainChat2"))->trigger();
        QCOMPARE(history.toPlainText(), QString());
        QCOMPARE(focus.count(), 1);
        history.addlinetochat(QStringLiteral("again"), 0);
        QCOMPARE(history.toPlainText(), QStringLiteral("again\n"));
        QCOMPARE(history.document()->documentMargin(), 5.0);
        QCOMPARE(history.document()->maximumBlockCount(), ChatHistory::MaxLines);
    }

    // The oldest lines give way, past the line count or past the characters that a flood of
    // the longest relayed lines brings; the newest stay in order, each shown up to its limit.
    void floodKeepsNewestLines_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("length");
        QTest::newRow("short lines") << ChatHistory::MaxLines + 50 << 10;
        QTest::newRow("the longest lines a host relays") << 600 << 65500;
    }
    void floodKeepsNewestLines()
    {
        QFETCH(int, lines);
        QFETCH(int, length);
        ChatHistory history;
        for (int i = 0; i < lines; ++i)
            history.addlinetochat(QStringLiteral("Ann chats: %1 ").arg(i) + QString(length, u'x'), 0);
        QVERIFY(history.document()->blockCount() <= ChatHistory::MaxLines);
        QVERIFY(history.document()->characterCount() <= ChatHistory::MaxCharacters);
        const QTextBlock last = history.document()->lastBlock().previous();
        const QString newest = QStringLiteral("Ann chats: %1 ").arg(lines - 1) + QString(length, u'x');
        QCOMPARE(last.text(), newest.left(ChatHistory::MaxLineLength));
        QCOMPARE(boldText(last), QStringLiteral("Ann chats:"));
        QVERIFY(last.previous().text().startsWith(QStringLiteral("Ann chats: %1 ").arg(lines - 2)));
    }

    void textSize_data()
    {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("size");
        QTest::newRow("12") << 12 << 12;
        QTest::newRow("14") << 14 << 14;
        QTest::newRow("zero ignored") << 0 << 8;
        QTest::newRow("negative ignored") << -3 << 8;
        QTest::newRow("huge ignored") << 5000 << 8;
    }
    void textSize()
    {
        QFETCH(int, requested);
        QFETCH(int, size);
        ChatHistory history;
        QCOMPARE(history.textSize(), 8);
        history.setTextSize(requested);
        QCOMPARE(history.textSize(), size);
    }

    // --- scrolling ---

    void scrollOffKeepsViewAndCaret()
    {
        ChatHistory history;
        history.resize(300, 194);
        history.show();
        QVERIFY(QTest::qWaitForWindowExposed(&history));
        for (int i = 0; i < 200; ++i)
            history.addlinetochat(QStringLiteral("line %1: text").arg(i), 0);
        history.setScrollOff(true);
        // Setting the caret scrolls to it, so the view is moved afterwards.
        QTextCursor caret(history.document());
        caret.setPosition(10);
        caret.setPosition(14, QTextCursor::KeepAnchor);
        history.setTextCursor(caret);
        QScrollBar *bar = history.verticalScrollBar();
        bar->setValue(bar->maximum() / 3);
        const int value = bar->value();
        const int firstLine = history.firstVisibleLine();
        QVERIFY(firstLine > 0);

        for (int i = 0; i < 100; ++i)
            history.addlinetochat(QStringLiteral("more %1: text").arg(i), 0);

        QCOMPARE(bar->value(), value);
        QCOMPARE(history.firstVisibleLine(), firstLine);
        QCOMPARE(history.textCursor().anchor(), 10);
        QCOMPARE(history.textCursor().position(), 14);
        QVERIFY(bar->maximum() > value);
    }

    // Past the cap every new line drops the oldest; a reader who scrolled up still sees the
    // same lines and keeps his selection.
    void scrollOffKeepsViewPastTheCap()
    {
        ChatHistory history;
        history.resize(300, 194);
        history.show();
        QVERIFY(QTest::qWaitForWindowExposed(&history));
        for (int i = 0; i < ChatHistory::MaxLines; ++i)
            history.addlinetochat(QStringLiteral("line %1: text").arg(i), 0);
        history.setScrollOff(true);
        const QTextBlock chosen = history.document()->findBlockByNumber(ChatHistory::MaxLines / 2);
        QTextCursor caret(chosen);
        caret.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        history.setTextCursor(caret);
        const QString selected = history.textCursor().selectedText();
        const auto topLine = [&] { return history.cursorForPosition(QPoint(0, 0)).block().text(); };
        const QString top = topLine();

        for (int i = 0; i < 100; ++i)
            history.addlinetochat(QStringLiteral("more %1: text").arg(i), 0);

        QVERIFY(history.document()->blockCount() <= ChatHistory::MaxLines);
        QCOMPARE(history.document()->firstBlock().text(), QStringLiteral("line 101: text"));
        QCOMPARE(topLine(), top);
        QCOMPARE(history.textCursor().selectedText(), selected);
    }

    void eachLineScrollsIntoViewWhenOn()
    {
        ChatHistory history;
        history.resize(300, 194);
        history.show();
        QVERIFY(QTest::qWaitForWindowExposed(&history));
        for (int i = 0; i < 200; ++i)
            history.addlinetochat(QStringLiteral("line %1: text").arg(i), 0);
        QScrollBar *bar = history.verticalScrollBar();
        bar->setValue(0);
        history.addlinetochat(QStringLiteral("newest: here"), 0);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(history.firstVisibleLine() > 150);
    }

    void scrollOffMenuItemToggles()
    {
        ChatHistory history;
        QSignalSpy changed(&history, &ChatHistory::scrollOffChanged);
        auto *item = history.findChild<QAction *>(QStringLiteral("ScrollChatOff1"));
        QVERIFY(item);
        item->trigger();
        QVERIFY(history.scrollOff());
        history.ScrollChatOff1Click();
        QVERIFY(!history.scrollOff());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(0).at(0).toBool(), true);
        QCOMPARE(changed.at(1).at(0).toBool(), false);
    }

    // --- links ---

    void findsLinkUnderPosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("link");
        const QString line = QStringLiteral("Ann chats: see http://a.com/x now");
        QTest::newRow("on the link") << line << 17 << "http://a.com/x";
        QTest::newRow("last character") << line << 28 << "http://a.com/x";
        QTest::newRow("word after") << line << 31 << "";
        QTest::newRow("on a blank") << line << 14 << "";
        QTest::newRow("beyond end") << line << int(line.size()) << "";
        QTest::newRow("negative") << line << -1 << "";
        QTest::newRow("prefix mid-word") << "xyzhttp://b.org" << 1 << "http://b.org";
        QTest::newRow("brackets and stop") << "(www.foo.com)." << 3 << "www.foo.com";
        QTest::newRow("trailing slash kept") << "http://a.com/)" << 2 << "http://a.com/";
        QTest::newRow("trailing comma") << "mailto:ann@x.org," << 0 << "mailto:ann@x.org";
        QTest::newRow("www. alone") << "www." << 0 << "";
        QTest::newRow("www. and stops") << "www..." << 1 << "";
        QTest::newRow("http:// alone") << "http://" << 3 << "";
        QTest::newRow("one past prefix") << "www.x" << 0 << "www.x";
        QTest::newRow("order decides") << "www.http://q.r" << 0 << "http://q.r";
        QTest::newRow("case kept") << "go HTTP://Foo.COM!" << 5 << "HTTP://Foo.COM";
        QTest::newRow("news mid word") << "mynews:alt.games" << 0 << "news:alt.games";
        QTest::newRow("ftp") << "ftp://h/f.txt" << 0 << "ftp://h/f.txt";
        QTest::newRow("file") << "file://c/x" << 0 << "file://c/x";
        QTest::newRow("telnet") << "telnet://h" << 0 << "telnet://h";
        QTest::newRow("gopher") << "gopher://h" << 0 << "gopher://h";
        QTest::newRow("second line") << "a b\nhttp://x.y z" << 6 << "http://x.y";
        QTest::newRow("stops at line feed") << "http://x.y\nmore" << 0 << "http://x.y";
        QTest::newRow("non-ascii tail dropped") << QStringLiteral("http://x.y\u00e9") << 0 << "http://x.y";
        QTest::newRow("tab inside word") << "see\thttp://t.t" << 0 << "http://t.t";
        QTest::newRow("no prefix") << "example.com" << 2 << "";
    }
    void findsLinkUnderPosition()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(QString, link);
        QCOMPARE(ChatHistory::linkAt(text, position), link);
    }

    void linkStartIsWhereThePrefixIs()
    {
        const ChatHistory::Link link = ChatHistory::findLink(QStringLiteral("ab (xwww.q.r)"), 5);
        QCOMPARE(link.start, 5);
        QCOMPARE(link.prefix, QStringLiteral("www."));
    }

    void whatOpens_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("web") << "http://a.com/x" << QUrl(QStringLiteral("http://a.com/x"));
        QTest::newRow("www gets http") << "www.a.com" << QUrl(QStringLiteral("http://www.a.com"));
        QTest::newRow("ftp") << "ftp://h/f" << QUrl(QStringLiteral("ftp://h/f"));
        QTest::newRow("mail") << "mailto:a@b.c" << QUrl(QStringLiteral("mailto:a@b.c"));
        QTest::newRow("news") << "news:alt.x" << QUrl(QStringLiteral("news:alt.x"));
        QTest::newRow("file never") << "file:///etc/passwd" << QUrl();
        QTest::newRow("FILE never") << "FILE://host/share/x.exe" << QUrl();
    }
    void whatOpens()
    {
        QFETCH(QString, text);
        QFETCH(QUrl, url);
        QCOMPARE(ChatHistory::urlToOpen(ChatHistory::findLink(text, 0)), url);
    }

    // The pointer over a link shows the hand; a left press selects and opens it; a release gives
    // the focus back to the input line. A file link is selected but never opened.
    void pressOnLink_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QList<QUrl>>("opened");
        QTest::newRow("web") << "Ann chats: go http://example.com/x now" << "http://example.com/x"
                             << QList<QUrl>{QUrl(QStringLiteral("http://example.com/x"))};
        QTest::newRow("file") << "Ann chats: go file:///home/x now" << "file:///home/x"
                              << QList<QUrl>{};
    }
    void pressOnLink()
    {
        QFETCH(QString, line);
        QFETCH(QString, link);
        QFETCH(QList<QUrl>, opened);
        ChatHistory history;
        history.resize(300, 194);
        QList<QUrl> seen;
        history.setUrlOpener([&seen](const QUrl &url) { seen.append(url); return true; });
        QSignalSpy focus(&history, &ChatHistory::focusInputRequested);
        history.show();
        QVERIFY(QTest::qWaitForWindowExposed(&history));
        history.addlinetochat(line, 0);

        QTextCursor at(history.document());
        at.setPosition(int(line.indexOf(link)) + 3);
        const QPoint onLink = history.cursorRect(at).center() + QPoint(2, 0);
        QWidget *vp = history.viewport();
        QTest::mouseMove(vp, onLink);
        QCOMPARE(vp->cursor().shape(), Qt::PointingHandCursor);
        QTest::mousePress(vp, Qt::LeftButton, {}, onLink);
        QCOMPARE(history.textCursor().selectedText(), link);
        QCOMPARE(seen, opened);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, onLink);
        QCOMPARE(focus.count(), 1);

        at.setPosition(2);
        const QPoint onName = history.cursorRect(at).center() + QPoint(2, 0);
        QTest::mouseMove(vp, onName);
        QCOMPARE(vp->cursor().shape(), Qt::IBeamCursor);
        QTest::mouseClick(vp, Qt::LeftButton, {}, onName);
        QCOMPARE(seen, opened);
        QCOMPARE(focus.count(), 2);
    }
};

QTEST_MAIN(TestChatHistory)
#include "tst_chathistory.moc"
