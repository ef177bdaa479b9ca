#pragma once

#include "net/messages.h"
#include "widgets/announcer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>

class ChatHistory;
class QAbstractButton;
class QLineEdit;
class QMenu;
class QWidget;

// What the chat panel needs from the main window.
class ChatPanelHost {
public:
    virtual ~ChatPanelHost() = default;
    virtual int ownSeat() const = 0;
    virtual bool loggedIn() const = 0;
    // One whole message, terminator included.
    virtual void sendMessage(const QByteArray &whole) = 0;
    // "Play Chatter Sounds" is checked.
    virtual bool chatterSoundsOn() const = 0;
    // Plays a clip by resource name ("WAVE3") at once, cutting off the one playing.
    virtual void playChatterClip(const QString &clip) = 0;
    // The caption of label_playername<seat>, or a null QString when there is no such control.
    virtual QString slotCaption(int seat) const = 0;
};

// The chat room of the main window: history, input line, phrase buttons and chatter sounds.
// It creates its controls on the board panel given as parent, at their fixed places.
class ChatPanel : public QObject {
    Q_OBJECT
public:
    static constexpr int PhraseCount = 9;
    static constexpr int SoundCount = 20;
    static constexpr const char *InputPrompt = "<Enter Chat Here>";
    // A phrase button can be used once in this many milliseconds, measured on the clock.
    static constexpr qint64 PhraseGateMs = 2000;
    // The longest input line: relayed with any name and colour it stays far below what the
    // host passes on.
    static constexpr int MaxInputLength = 1000;

    ChatPanel(QWidget *board, ChatPanelHost *host);
    // Chat lines of the other players are spoken there; may stay null.
    void setAnnouncer(Announcer *announcer) { m_announcer = announcer; }

    ChatHistory *mainchat() const { return m_mainchat; }
    QLineEdit *mychat() const { return m_mychat; }
    QMenu *soundsMenu() const { return m_sounds; }

    void addlinetochat(const QString &text, quint32 colour);
    // Gives the input line the keys, ready for a new line (the prompt goes).
    void focusInput();

    void sendit();
    void chatrecieved(const Msg::ChatLine &line);
    void playasound(const Msg::ChatterSound &request);
    void b_phrase1Click(int n);
    void b_phrase10Click();
    void wave14Click(int tag);
    void Paste1Click();
    void ClearMainChat1Click();
    // "Scroll Chat Off": the history's menu item; the main window mirrors it in its Options menu.
    bool scrollOff() const;
    void setScrollOff(bool on);

    bool phraseGateOpen() const { return !m_gateClosed.isValid() || m_gateClosed.hasExpired(PhraseGateMs - 1); }

    quint32 textColour() const { return m_textColour; }
    // The input line is drawn in it (raised to 4.5:1 in "High Contrast"); lines are sent in it.
    void setTextColour(quint32 colour);
    // "High Contrast": the history's lines and the input line readable whatever their colour.
    void setHighContrast(bool on);
    quint32 actionColour() const { return m_actionColour; }
    void setActionColour(quint32 colour);
    int textSize() const;
    void setTextSize(int points);
    // The two colour choosers of the Options menu. TextColor1Click tells whether the user confirmed.
    bool TextColor1Click();
    void ActionColor1Click();

    // Phrases 1..9; numbers outside that range are ignored (an empty phrase is read).
    QString phrase(int n) const;
    void setPhrase(int n, const QString &text);

    // The caption of the popup_sounds item wave<n>, or a null QString.
    static QString soundCaption(int n);
    // The sound number of a received name: exactly "wave1".."wave20", else 0.
    static int soundNumber(QByteArrayView name);
    // A text field as wire bytes: Latin-1, without 0xFF or line breaks that would cut the message.
    static QByteArray wireText(const QString &text);

Q_SIGNALS:
    // The check mark of the history's "Scroll Chat Off" changed.
    void scrollOffChanged(bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createInput(QWidget *board);
    void createPhraseButtons(QWidget *board);
    void createSoundsMenu();

    ChatPanelHost *m_host;
    QPointer<Announcer> m_announcer;
    ChatHistory *m_mainchat = nullptr;
    QLineEdit *m_mychat = nullptr;
    QMenu *m_mychatPopup = nullptr;
    QMenu *m_sounds = nullptr;
    std::array<QAbstractButton *, PhraseCount + 1> m_phraseButtons{};
    std::array<QString, PhraseCount> m_phrases;
    quint32 m_textColour = 0;
    bool m_highContrast = false;
    quint32 m_actionColour = 0;
    // Started when a phrase is sent. The gate is a span of real time: the client queue's
    // ticks run only while messages wait, and far faster than their nominal pace.
    QElapsedTimer m_gateClosed;
};
