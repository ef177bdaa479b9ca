#include "client/chathistory.h"

#include "widgets/colourvalue.h"
#include "widgets/contrast.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocumentFragment>
#include <QTextLayout>

#include <array>

namespace {

constexpr std::array<const char *, 8> linkPrefixes{
    "http://", "ftp://", "file://", "gopher://", "telnet://", "news:", "mailto:", "www."};

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator
           || c == QChar::LineSeparator;
}

// A link keeps its last character only if it is a digit, '/' or a letter a to z.
bool endsLink(QChar lower)
{
    return (lower >= u'a' && lower <= u'z') || (lower >= u'0' && lower <= u'9') || lower == u'/';
}

} // namespace

ChatHistory::ChatHistory(QWidget *parent)
    : QPlainTextEdit(parent)
    , m_openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    setObjectName(QStringLiteral("mainchat"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    prepareDocument();

    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    setFont(font);

    // The selection stays visible while the input line has the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor(226, 228, 182));
    pal.setColor(QPalette::Text, Qt::black);
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    setPalette(pal);

    viewport()->setMouseTracking(true);
    m_textCursorShape = viewport()->cursor().shape();
    buildPopup();
}

QColor ChatHistory::shown(const QColor &written) const
{
    return m_highContrast ? Contrast::readable(written, palette().color(QPalette::Base)) : written;
}

void ChatHistory::setHighContrast(bool on)
{
    if (on == m_highContrast)
        return;
    m_highContrast = on;
    // Every line keeps the colour it came in, so the look can go back and forth.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextCharFormat format = fragment.charFormat();
            const QVariant written = format.property(WrittenColour);
            if (!written.isValid())
                continue;
            format.setForeground(shown(written.value<QColor>()));
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    cursor.endEditBlock();
}

void ChatHistory::prepareDocument()
{
    document()->setDocumentMargin(5);
    document()->setMaximumBlockCount(MaxLines);
}

void ChatHistory::buildPopup()
{
    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popup_mainchat"));
    auto *copy = m_popup->addAction(QStringLiteral("Copy"), this, &ChatHistory::Copy1Click);
    copy->setObjectName(QStringLiteral("Copy1"));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    auto *clear = m_popup->addAction(QStringLiteral("Clear Main Chat"), this,
                                     &ChatHistory::ClearMainChat1Click);
    clear->setObjectName(QStringLiteral("ClearMainChat2"));
    m_popup->addSeparator();
    // A checkable action flips its own mark when chosen from the menu.
    m_scrollOffAction = m_popup->addAction(QStringLiteral("Scroll Chat Off"));
    m_scrollOffAction->setObjectName(QStringLiteral("ScrollChatOff1"));
    m_scrollOffAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_scrollOffAction->setCheckable(true);
    connect(m_scrollOffAction, &QAction::toggled, this, &ChatHistory::scrollOffChanged);
}

void ChatHistory::addlinetochat(const QString &line, quint32 colour)
{
    const QString text = line.left(MaxLineLength);
    setUpdatesEnabled(false);
    const bool keepView = scrollOff();
    QScrollBar *bar = verticalScrollBar();
    // The reader's place: the line at the top of the view, counted from its block, and the caret.
    const QTextBlock top = firstVisibleBlock();
    const int topBlock = top.blockNumber();
    const int lineInTop = bar->value() - top.firstLineNumber();
    const int caretAnchor = textCursor().anchor();
    const int caretPosition = textCursor().position();
    const int blocksBefore = document()->blockCount();
    const int charactersBefore = document()->characterCount();

    const int colon = text.indexOf(u':');
    const QString head = colon < 0 ? QString() : text.left(colon + 1);
    const QString tail = colon < 0 ? text : text.mid(colon + 1);

    QTextCharFormat format;
    const QColor written = ColourValue::toQColor(colour);
    format.setForeground(shown(written));
    format.setProperty(WrittenColour, written);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // One change for the layout; the document drops its oldest line at its end when full.
    cursor.beginEditBlock();
    format.setFontWeight(QFont::Bold);
    cursor.insertText(head, format);
    format.setFontWeight(QFont::Normal);
    cursor.insertText(tail, format);
    cursor.insertBlock(QTextBlockFormat(), format);
    while (document()->characterCount() > MaxCharacters && document()->blockCount() > 2) {
        QTextCursor oldest(document());
        oldest.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        oldest.removeSelectedText();
    }
    cursor.endEditBlock();

    if (keepView) {
        // Whatever the cap took from the front moves the reader's place up by as much.
        const int blocksGone = blocksBefore + 1 - document()->blockCount();
        const int charactersGone = charactersBefore + int(text.size()) + 1 - document()->characterCount();
        const int anchor = qMax(0, caretAnchor - charactersGone);
        const int position = qMax(0, caretPosition - charactersGone);
        // Setting the caret scrolls it into view: only when the insertion moved it.
        QTextCursor caret = textCursor();
        if (caret.anchor() != anchor || caret.position() != position) {
            caret.setPosition(anchor);
            caret.setPosition(position, QTextCursor::KeepAnchor);
            setTextCursor(caret);
        }
        const QTextBlock stillTop = document()->findBlockByNumber(topBlock - blocksGone);
        bar->setValue(stillTop.isValid() && topBlock >= blocksGone ? stillTop.firstLineNumber() + lineInTop : 0);
    } else {
        setTextCursor(cursor);
        bar->setValue(bar->maximum());
    }
    setUpdatesEnabled(true);
    viewport()->update();
}

bool ChatHistory::scrollOff() const
{
    return m_scrollOffAction->isChecked();
}

void ChatHistory::setScrollOff(bool on)
{
    m_scrollOffAction->setChecked(on);
}

void ChatHistory::ScrollChatOff1Click()
{
    setScrollOff(!scrollOff());
}

int ChatHistory::textSize() const
{
    return font().pointSize();
}

void ChatHistory::setTextSize(int points)
{
    if (points < MinTextSize || points > MaxTextSize)
        return;
    QFont f = font();
    f.setPointSize(points);
    setFont(f);
}

void ChatHistory::setUrlOpener(UrlOpener opener)
{
    m_openUrl = std::move(opener);
}

void ChatHistory::Copy1Click()
{
    const QString selected = textCursor().selection().toPlainText();
    if (!selected.isEmpty())
        QApplication::clipboard()->setText(selected);
}

void ChatHistory::ClearMainChat1Click()
{
    clear();
    prepareDocument();
    Q_EMIT focusInputRequested();
}

ChatHistory::Link ChatHistory::findLink(const QString &text, int position)
{
    if (position < 0 || position >= text.size() || isBlank(text.at(position)))
        return {};
    int start = position;
    while (start > 0 && !isBlank(text.at(start - 1)))
        --start;
    int end = position + 1;
    while (end < text.size() && !isBlank(text.at(end)))
        ++end;

    const QString word = text.mid(start, end - start);
    const QString lower = word.toLower();
    for (const char *prefix : linkPrefixes) {
        const QLatin1StringView p(prefix);
        const int at = lower.indexOf(p);
        if (at < 0)
            continue;
        int length = lower.size() - at;
        while (length > 0 && !endsLink(lower.at(at + length - 1)))
            --length;
        if (length <= p.size())
            return {};
        return {start + at, word.mid(at, length), QString(p)};
    }
    return {};
}

QString ChatHistory::linkAt(const QString &text, int position)
{
    return findLink(text, position).text;
}

QUrl ChatHistory::urlToOpen(const Link &link)
{
    // A file link names something on this machine and came from another player: show it, never
    // open it.
    if (!link.isValid() || link.prefix == u"file://")
        return {};
    const QString address = link.prefix == u"www." ? QStringLiteral("http://") + link.text : link.text;
    const QUrl url(address, QUrl::TolerantMode);
    if (!url.isValid() || url.isLocalFile())
        return {};
    return url;
}

int ChatHistory::characterAt(const QPoint &viewportPos) const
{
    // cursorForPosition gives the nearest gap between characters; the character under the pointer
    // is the one before that gap when the pointer lies left of it.
    QTextCursor gap = cursorForPosition(viewportPos);
    int position = gap.position();
    if (position > gap.block().position() && viewportPos.x() < cursorRect(gap).left())
        --position;
    return position;
}

ChatHistory::Link ChatHistory::linkAtPoint(const QPoint &viewportPos, int *documentStart) const
{
    const int position = characterAt(viewportPos);
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {};
    Link link = findLink(block.text(), position - block.position());
    if (link.isValid() && documentStart)
        *documentStart = block.position() + link.start;
    return link;
}

int ChatHistory::firstVisibleLine() const
{
    const QTextCursor top = cursorForPosition(QPoint(0, 0));
    const QTextBlock topBlock = top.block();
    int line = 0;
    for (QTextBlock b = document()->begin(); b.isValid() && b != topBlock; b = b.next())
        line += qMax(1, b.layout()->lineCount());
    return line + qMax(0, topBlock.layout()->lineForTextPosition(top.positionInBlock()).lineNumber());
}

void ChatHistory::mouseMoveEvent(QMouseEvent *event)
{
    const bool overLink = linkAtPoint(event->position().toPoint()).isValid();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : m_textCursorShape);
    QPlainTextEdit::mouseMoveEvent(event);
}

void ChatHistory::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        int start = 0;
        const Link link = linkAtPoint(event->position().toPoint(), &start);
        if (link.isValid()) {
            QTextCursor select(document());
            select.setPosition(start);
            select.setPosition(start + link.text.size(), QTextCursor::KeepAnchor);
            setTextCursor(select);
            const QUrl url = urlToOpen(link);
            if (!url.isEmpty() && m_openUrl)
                m_openUrl(url);
            event->accept();
            return;
        }
    }
    QPlainTextEdit::mousePressEvent(event);
}

void ChatHistory::mouseReleaseEvent(QMouseEvent *event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    Q_EMIT focusInputRequested();
}

void ChatHistory::contextMenuEvent(QContextMenuEvent *event)
{
    m_popup->popup(event->globalPos());
}
