#pragma once

#include <QPlainTextEdit>
#include <QUrl>
#include <functional>

class QAction;
class QMenu;

// The read-only chat history `mainchat`: one coloured line per addlinetochat, with the head up to
// the first ':' in bold. Player text is always inserted as plain characters, never as markup, so a
// remote "<b>" or "<img>" shows as those characters.
//
// A plain-text view: its layout places lines by number, not by pixel, so dropping the oldest line
// of a full history costs the same as adding one, however long the history is.
class ChatHistory : public QPlainTextEdit {
    Q_OBJECT
public:
    // A link found in a line of text: where it starts, its text (the line's letter case) and the
    // link prefix that decided it (lower case).
    struct Link {
        int start = -1;
        QString text;
        QString prefix;
        bool isValid() const { return start >= 0; }
    };

    using UrlOpener = std::function<bool(const QUrl &)>;

    // The oldest lines go beyond this many, so a flood of remote lines cannot exhaust memory;
    // a reader who scrolled up keeps his place as they go.
    static constexpr int MaxLines = 20000;
    // Lines come from other players: a line is shown up to this many characters, and the oldest
    // lines also go while the history holds more characters than this, so a flood of the longest
    // lines the host relays cannot exhaust memory either.
    static constexpr int MaxLineLength = 4000;
    static constexpr int MaxCharacters = 2000000;
    static constexpr int MinTextSize = 1;
    static constexpr int MaxTextSize = 72;

    explicit ChatHistory(QWidget *parent = nullptr);

    void addlinetochat(const QString &text, quint32 colour);
    // "High Contrast": every line, those already there too, in its own colour raised to 4.5:1
    // on the history's ground where it falls short; off, in its own colour again.
    void setHighContrast(bool on);

    bool scrollOff() const;
    void setScrollOff(bool on);

    int textSize() const;
    // Sizes outside MinTextSize..MaxTextSize (an edited settings file) leave the size as it is.
    void setTextSize(int points);

    // The seam through which links leave the program; QDesktopServices::openUrl by default.
    void setUrlOpener(UrlOpener opener);

    QMenu *popupMenu() const { return m_popup; }

    // Copy1Click, ClearMainChat1Click (both "Clear Main Chat" items), ScrollChatOff1Click.
    void Copy1Click();
    void ClearMainChat1Click();
    void ScrollChatOff1Click();

    // The link under character `position` of `text`, or an invalid Link.
    static Link findLink(const QString &text, int position);
    static QString linkAt(const QString &text, int position);
    // What a click on the link hands to the platform; an empty QUrl for links never opened.
    static QUrl urlToOpen(const Link &link);

    // The link under a point of the viewport, or an invalid Link (position relative to the document).
    Link linkAtPoint(const QPoint &viewportPos, int *documentStart = nullptr) const;

    // Index of the first line (block and wrapped line) shown at the top of the view.
    int firstVisibleLine() const;

Q_SIGNALS:
    // A button was released in the history, or it was cleared: the input line takes the focus.
    void focusInputRequested();
    void scrollOffChanged(bool on);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Where a line keeps the colour it came in.
    static constexpr int WrittenColour = QTextFormat::UserProperty + 1;
    QColor shown(const QColor &written) const;
    void buildPopup();
    void prepareDocument();
    int characterAt(const QPoint &viewportPos) const;

    QMenu *m_popup = nullptr;
    QAction *m_scrollOffAction = nullptr;
    Qt::CursorShape m_textCursorShape = Qt::IBeamCursor;
    bool m_highContrast = false;
    UrlOpener m_openUrl;
};
