#include "client/chatpanel.h"

#include "client/chathistory.h"
#include "net/colortext.h"
#include "net/messages.h"
#include "net/protocol.h"
#include "widgets/accessiblenames.h"
#include "widgets/announcer.h"
#include "widgets/colourvalue.h"
#include "widgets/contrast.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace {

const std::array<const char *, ChatPanel::PhraseCount> defaultPhrases{
    "Way To Go!", "Good One!", "Nice Try!", "Excellent!", "Brilliant!",
    "Wow, WTG!", "Thanks!", "Way To Go Teamie!", "Good Game Everyone!"};

const std::array<const char *, ChatPanel::SoundCount> soundCaptions{
    "Doh", "Cough", "Hello", "Thank You", "Where have you been?", "Snoring", "Sneezing",
    "Sorry", "Welcome", "Yeehaa", "Yippee", "Oh No", "Applause", "Honk", "Oooh",
    "Razzberry", "Cheer", "Woman Laughing", "Man Laughing", "Crying"};

constexpr quint32 Red = 255;

using ColourValue::fromQColor;
using ColourValue::toQColor;

QPalette chatPalette(QPalette pal, quint32 textColour)
{
    pal.setColor(QPalette::Base, QColor(226, 228, 182));
    pal.setColor(QPalette::Text, toQColor(textColour));
    return pal;
}

} // namespace

ChatPanel::ChatPanel(QWidget *board, ChatPanelHost *host)
    : QObject(board)
    , m_host(host)
{
    setObjectName(QStringLiteral("chatpanel"));
    for (int i = 0; i < PhraseCount; ++i)
        m_phrases[i] = QString::fromLatin1(defaultPhrases[i]);

    m_mainchat = new ChatHistory(board);
    m_mainchat->setGeometry(472, 304, 300, 194);
    AccessibleNames::scrollArea(m_mainchat, QStringLiteral("Chat history"));
    createInput(board);
    createPhraseButtons(board);
    createSoundsMenu();
    connect(m_mainchat, &ChatHistory::focusInputRequested, m_mychat,
            [this] { m_mychat->setFocus(Qt::OtherFocusReason); });
    connect(m_mainchat, &ChatHistory::scrollOffChanged, this, &ChatPanel::scrollOffChanged);
}

void ChatPanel::createInput(QWidget *board)
{
    m_mychat = new QLineEdit(board);
    m_mychat->setObjectName(QStringLiteral("mychat"));
    m_mychat->setGeometry(472, 499, 300, 22);
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    m_mychat->setFont(font);
    m_mychat->setPalette(chatPalette(m_mychat->palette(), m_textColour));
    m_mychat->setText(QString::fromLatin1(InputPrompt));
    m_mychat->setMaxLength(MaxInputLength); // typing and pasting alike
    m_mychat->setAccessibleName(QStringLiteral("Chat line"));
    m_mychat->setAccessibleDescription(QStringLiteral("Type a line and press Enter to send it to the table"));
    m_mychat->installEventFilter(this);

    m_mychatPopup = new QMenu(m_mychat);
    m_mychatPopup->setObjectName(QStringLiteral("popup_mychat"));
    auto *paste = m_mychatPopup->addAction(QStringLiteral("Paste"), this, &ChatPanel::Paste1Click);
    paste->setObjectName(QStringLiteral("Paste1"));
    paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    m_mychat->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_mychat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_mychatPopup->popup(m_mychat->mapToGlobal(pos)); });
}

void ChatPanel::createPhraseButtons(QWidget *board)
{
    const QString style = QStringLiteral(
        "QPushButton { background: white; border: 1px solid black; }"
        "QPushButton:pressed { background: #d8d8d8; }");
    for (int n = 1; n <= PhraseCount + 1; ++n) {
        auto *button = new QPushButton(board);
        button->setObjectName(QStringLiteral("b_phrase%1").arg(n));
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setStyleSheet(style);
        button->setGeometry(n <= PhraseCount ? 475 + 30 * (n - 1) : 745, 285, 26, 19);
        m_phraseButtons[n - 1] = button;
        if (n <= PhraseCount) {
            button->setToolTip(Qt::convertFromPlainText(m_phrases[n - 1]));
            button->setAccessibleName(m_phrases[n - 1]);
            button->setAccessibleDescription(QStringLiteral("Phrase button: says this to the table"));
            connect(button, &QPushButton::clicked, this, [this, n] { b_phrase1Click(n); });
        } else {
            button->setToolTip(QStringLiteral("Chatter Sounds"));
            button->setAccessibleName(QStringLiteral("Chatter Sounds"));
            button->setAccessibleDescription(QStringLiteral("Opens the sounds to send to the table"));
            connect(button, &QPushButton::clicked, this, &ChatPanel::b_phrase10Click);
        }
    }
}

void ChatPanel::createSoundsMenu()
{
    m_sounds = new QMenu(m_phraseButtons[PhraseCount]);
    m_sounds->setObjectName(QStringLiteral("popup_sounds"));
    m_sounds->setToolTipsVisible(true);
    auto add = [this](const QString &name, const QString &caption, int tag) {
        QAction *item = m_sounds->addAction(caption);
        item->setObjectName(name);
        item->setToolTip(caption);
        item->setData(tag);
        connect(item, &QAction::triggered, this, [this, tag] { wave14Click(tag); });
    };
    add(QStringLiteral("Cancel1"), QStringLiteral("<Cancel>"), 0);
    for (int n = 1; n <= SoundCount; ++n)
        add(QStringLiteral("wave%1").arg(n), soundCaption(n), n);
}

void ChatPanel::addlinetochat(const QString &text, quint32 colour)
{
    m_mainchat->addlinetochat(text, colour);
}

void ChatPanel::focusInput()
{
    if (m_mychat->text() == QLatin1StringView(InputPrompt))
        m_mychat->clear();
    // Reached by a key: the focus shows as it does after Tab.
    m_mychat->setFocus(Qt::ShortcutFocusReason);
}

QByteArray ChatPanel::wireText(const QString &text)
{
    QByteArray bytes = text.toLatin1();
    bytes.removeIf([](char c) { return c == '\xff' || c == '\r' || c == '\n'; });
    return bytes;
}

void ChatPanel::sendit()
{
    if (!m_host->loggedIn())
        return;
    const QString input = m_mychat->text();
    if (input.startsWith(u'/')) {
        // "/me" alone is an empty action; "/mewave" loses its "w": four characters always go.
        if (input.startsWith(QStringLiteral("/me")))
            m_host->sendMessage(Msg::actionToHost(m_host->ownSeat(), wireText(input.mid(4)),
                                                  colorToText(m_actionColour)));
    } else if (!input.isEmpty()) {
        m_host->sendMessage(
            Msg::chatToHost(m_host->ownSeat(), wireText(input), colorToText(m_textColour)));
    }
    m_mychat->clear();
}

void ChatPanel::chatrecieved(const Msg::ChatLine &line)
{
    // A line without a colour, or with one that does not read, is red.
    const quint32 colour = line.colour ? colorFromText(*line.colour).value_or(Red) : Red;
    const QString text = QString::fromLatin1(line.text);
    addlinetochat(text, colour);
    // The host puts the sender's name first; the player's own lines come back the same way.
    const QString own = m_host->slotCaption(m_host->ownSeat());
    if (m_announcer && (own.isEmpty() || !text.startsWith(own + QLatin1Char(' '))))
        m_announcer->chatLine(text);
}

void ChatPanel::b_phrase1Click(int n)
{
    if (!phraseGateOpen() || n < 1 || n > PhraseCount)
        return;
    const QString &phrase = m_phrases[n - 1];
    const QString text = phrase.startsWith(QStringLiteral("/me ")) ? phrase.mid(4)
                                                                   : QStringLiteral("says: ") + phrase;
    m_host->sendMessage(
        Msg::actionToHost(m_host->ownSeat(), wireText(text), colorToText(m_actionColour)));
    m_gateClosed.start();
}

void ChatPanel::b_phrase10Click()
{
    QAbstractButton *button = m_phraseButtons[PhraseCount];
    m_sounds->popup(button->mapToGlobal(QPoint(button->width(), button->height())));
}

void ChatPanel::wave14Click(int tag)
{
    // Spies (seats above ten) cannot send sounds.
    if (tag < 1 || tag > SoundCount || !m_host->loggedIn() || m_host->ownSeat() > Protocol::SeatCount)
        return;
    m_host->sendMessage(Msg::playasoundToHost(m_host->ownSeat(), tag));
}

int ChatPanel::soundNumber(QByteArrayView name)
{
    if (!name.startsWith("wave") || name.size() < 5 || name.size() > 6 || name.at(4) == '0')
        return 0;
    const QByteArrayView digits = name.sliced(4);
    bool ok = false;
    const int n = digits.toByteArray().toInt(&ok, 10);
    if (!ok || n < 1 || n > SoundCount || QByteArray::number(n) != digits)
        return 0;
    return n;
}

QString ChatPanel::soundCaption(int n)
{
    if (n < 1 || n > SoundCount)
        return {};
    return QString::fromLatin1(soundCaptions[n - 1]);
}

void ChatPanel::playasound(const Msg::ChatterSound &request)
{
    // Only the program's own clip names are ever looked up; anything else plays and writes nothing.
    const int sound = soundNumber(request.name);
    if (sound == 0)
        return;
    if (m_host->chatterSoundsOn()) {
        m_host->playChatterClip(QStringLiteral("WAVE%1").arg(sound));
        return;
    }
    const QString caption = m_host->slotCaption(request.seat);
    if (caption.isNull())
        return;
    addlinetochat(caption + QStringLiteral(": <Chatter Sound> ") + soundCaption(sound), ColourValue::SystemLine);
}

void ChatPanel::Paste1Click()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        m_mychat->setText(text);
}

void ChatPanel::ClearMainChat1Click()
{
    m_mainchat->ClearMainChat1Click();
}

bool ChatPanel::scrollOff() const
{
    return m_mainchat->scrollOff();
}

void ChatPanel::setScrollOff(bool on)
{
    m_mainchat->setScrollOff(on);
}

void ChatPanel::setTextColour(quint32 colour)
{
    m_textColour = colour;
    QPalette pal = chatPalette(m_mychat->palette(), colour);
    if (m_highContrast)
        pal.setColor(QPalette::Text, Contrast::readable(toQColor(colour), pal.color(QPalette::Base)));
    m_mychat->setPalette(pal);
}

void ChatPanel::setHighContrast(bool on)
{
    m_highContrast = on;
    m_mainchat->setHighContrast(on);
    setTextColour(m_textColour);
}

void ChatPanel::setActionColour(quint32 colour)
{
    m_actionColour = colour;
}

int ChatPanel::textSize() const
{
    return m_mainchat->textSize();
}

void ChatPanel::setTextSize(int points)
{
    m_mainchat->setTextSize(points);
}

bool ChatPanel::TextColor1Click()
{
    const QColor chosen = QColorDialog::getColor(toQColor(m_textColour), m_mychat->window());
    if (!chosen.isValid())
        return false;
    setTextColour(fromQColor(chosen));
    return true;
}

void ChatPanel::ActionColor1Click()
{
    const QColor chosen = QColorDialog::getColor(toQColor(m_actionColour), m_mychat->window());
    if (chosen.isValid())
        setActionColour(fromQColor(chosen));
}

QString ChatPanel::phrase(int n) const
{
    return n >= 1 && n <= PhraseCount ? m_phrases[n - 1] : QString();
}

void ChatPanel::setPhrase(int n, const QString &text)
{
    if (n < 1 || n > PhraseCount)
        return;
    m_phrases[n - 1] = text;
    // The tooltip shows the phrase as typed, never as markup.
    m_phraseButtons[n - 1]->setToolTip(text.isEmpty() ? QString() : Qt::convertFromPlainText(text));
    m_phraseButtons[n - 1]->setAccessibleName(text.isEmpty() ? QStringLiteral("Empty phrase") : text);
}

bool ChatPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_mychat || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    if (m_mychat->text() == QLatin1StringView(InputPrompt))
        m_mychat->clear();
    auto *keyEvent = static_cast<QKeyEvent *>(event);
    if (keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter) {
        sendit();
        return true;
    }
    // Ctrl+V is the shortcut of "Paste", which replaces the whole line.
    if (keyEvent->matches(QKeySequence::Paste)) {
        Paste1Click();
        return true;
    }
    return false;
}
