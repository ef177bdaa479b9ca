#pragma once

#include <QAccessible>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QTimer;

// Tells a screen reader what a sighted player reads at a glance: verdicts, the round's start,
// the last seconds, the round's end, the winner, chat lines, and the board or word read on
// request. Every place that speaks goes through here, so the wording and the pace live once.
//
// Qt has no announcement event. What the screen reader speaks without moving the player's focus
// is a notification that shows itself inside a status bar: so this widget, which is never
// drawn and takes no input, is a status bar to assistive tools, with one notification child
// that carries the latest news and shows itself again for each one.
//
// Pace: news waits until the one before has had time to be heard (at least a second), and at
// most MaxWaiting items wait, the oldest dropped first. Verdicts and readings asked for by a
// key are told at once: they answer what the player just did.
class Announcer : public QWidget {
    Q_OBJECT
public:
    enum class Pace { Waits, AtOnce };
    static constexpr int MinimumGapMs = 1000;
    // About what a screen reader needs to speak one character at its usual rate.
    static constexpr int MsPerCharacter = 60;
    static constexpr int MaxWaiting = 4;

    explicit Announcer(QWidget *parent);
    ~Announcer() override;

    void verdict(const QString &text) { say(text, Pace::AtOnce); }
    // Readings asked for: the board's rows as drawn, and the letters of the word being built.
    void board(const QStringList &rows);
    void word(const QStringList &letters);
    void roundStarted(const QString &boardSize, int minimumLetters, int seconds);
    void secondsLeft(int seconds);
    // `place` 1 is the top; equal scores share a place.
    void roundOver(int score, int place, int players);
    void winner(const QString &text) { say(text, Pace::Waits); }
    void chatLine(const QString &line);
    void setChatSpoken(bool spoken) { m_chatSpoken = spoken; }
    bool chatSpoken() const { return m_chatSpoken; }

    void say(const QString &text, Pace pace);

    // What the notification carries now, and what waits behind it.
    QString current() const { return m_current; }
    const QList<QString> &waiting() const { return m_waiting; }

    // How long news after `text` waits.
    static int gapAfter(const QString &text);
    static QString ordinal(int n);
    // The notification's accessible interface, registered for the announcer's life.
    QAccessible::Id newsId() const { return m_newsId; }

private:
    void tell(const QString &text);
    void next();

    QAccessible::Id m_newsId = 0;
    QString m_current;
    QList<QString> m_waiting;
    QElapsedTimer m_lastTold;
    int m_gapMs = 0;
    QTimer *m_pace;
    bool m_chatSpoken = true;
};
