#include "widgets/announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QTimer>

namespace {

// The news itself: a notification with no widget of its own, the one child of the announcer.
class NewsAccessible : public QAccessibleInterface {
public:
    explicit NewsAccessible(Announcer *announcer) : m_announcer(announcer) {}

    bool isValid() const override { return !m_announcer.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        QAccessibleInterface *parentIface = parent();
        return parentIface ? parentIface->window() : nullptr;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_announcer.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && m_announcer ? m_announcer->current() : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        QAccessibleInterface *parentIface = parent();
        return parentIface ? parentIface->rect() : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        return s;
    }

private:
    QPointer<Announcer> m_announcer;
};

// The announcer as a status bar: a screen reader speaks a notification inside one without
// first naming its role.
class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(Announcer *announcer)
        : QAccessibleWidget(announcer, QAccessible::StatusBar, QStringLiteral("Game news"))
    {
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override { return index == 0 ? news() : nullptr; }
    int indexOfChild(const QAccessibleInterface *child) const override { return child && child == news() ? 0 : -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        // Never drawn, but always there to be heard.
        s.invisible = false;
        s.offscreen = false;
        return s;
    }

private:
    QAccessibleInterface *news() const
    {
        return QAccessible::accessibleInterface(static_cast<Announcer *>(widget())->newsId());
    }
};

QAccessibleInterface *announcerFactory(const QString &, QObject *object)
{
    if (auto *announcer = qobject_cast<Announcer *>(object))
        return new AnnouncerAccessible(announcer);
    return nullptr;
}

} // namespace

Announcer::Announcer(QWidget *parent)
    : QWidget(parent), m_pace(new QTimer(this))
{
    static const bool installed = [] {
        QAccessible::installFactory(announcerFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    m_newsId = QAccessible::registerAccessibleInterface(new NewsAccessible(this));
    m_pace->setSingleShot(true);
    connect(m_pace, &QTimer::timeout, this, &Announcer::next);
}

Announcer::~Announcer()
{
    QAccessible::deleteAccessibleInterface(m_newsId);
}

void Announcer::roundStarted(const QString &boardSize, int minimumLetters, int seconds)
{
    say(QStringLiteral("Round starts: %1 board, %2 letters minimum, %3 seconds.")
            .arg(boardSize)
            .arg(minimumLetters)
            .arg(seconds),
        Pace::Waits);
}

void Announcer::board(const QStringList &rows)
{
    if (rows.isEmpty()) {
        say(QStringLiteral("No board yet."), Pace::AtOnce);
        return;
    }
    QStringList parts{QStringLiteral("Board, %1 by %1.").arg(rows.size())};
    for (qsizetype r = 0; r < rows.size(); ++r)
        parts.append(QStringLiteral("Row %1: %2.").arg(r + 1).arg(rows[r]));
    say(parts.join(QLatin1Char(' ')), Pace::AtOnce);
}

void Announcer::word(const QStringList &letters)
{
    if (letters.isEmpty()) {
        say(QStringLiteral("No letters chosen."), Pace::AtOnce);
        return;
    }
    say(QStringLiteral("Your word, %1 letters: %2.").arg(letters.size()).arg(letters.join(QStringLiteral(", "))),
        Pace::AtOnce);
}

void Announcer::secondsLeft(int seconds)
{
    say(QStringLiteral("%1 seconds left").arg(seconds), Pace::Waits);
}

void Announcer::roundOver(int score, int place, int players)
{
    say(QStringLiteral("Round over. Your score %1, %2 of %3.").arg(score).arg(ordinal(place)).arg(players),
        Pace::Waits);
}

void Announcer::chatLine(const QString &line)
{
    // A chat line may run to thousands of characters; the start says what it is about.
    constexpr int Longest = 200;
    if (m_chatSpoken)
        say(line.size() > Longest ? line.left(Longest) + QStringLiteral(" ...") : line, Pace::Waits);
}

QString Announcer::ordinal(int n)
{
    const int tens = n % 100;
    const int units = n % 10;
    const char *suffix = "th";
    if (tens < 11 || tens > 13)
        suffix = units == 1 ? "st" : units == 2 ? "nd" : units == 3 ? "rd" : "th";
    return QString::number(n) + QLatin1String(suffix);
}

int Announcer::gapAfter(const QString &text)
{
    return qMax(MinimumGapMs, MsPerCharacter * int(qMin<qsizetype>(text.size(), 1000)));
}

void Announcer::say(const QString &text, Pace pace)
{
    if (text.isEmpty())
        return;
    const bool quiet = !m_lastTold.isValid() || m_lastTold.elapsed() >= m_gapMs;
    if (pace == Pace::AtOnce || (quiet && m_waiting.isEmpty())) {
        tell(text);
        return;
    }
    if (m_waiting.size() >= MaxWaiting)
        m_waiting.removeFirst();
    m_waiting.append(text);
    if (!m_pace->isActive())
        m_pace->start(int(qMax<qint64>(0, m_gapMs - m_lastTold.elapsed())));
}

void Announcer::next()
{
    if (m_waiting.isEmpty())
        return;
    const qint64 left = m_gapMs - m_lastTold.elapsed();
    if (left > 0) {
        // News told at once since this timer was set pushed the quiet time on.
        m_pace->start(int(left));
        return;
    }
    tell(m_waiting.takeFirst());
    if (!m_waiting.isEmpty())
        m_pace->start(m_gapMs);
}

void Announcer::tell(const QString &text)
{
    m_current = text;
    m_lastTold.start();
    m_gapMs = gapAfter(text);
    QAccessibleInterface *news = QAccessible::accessibleInterface(m_newsId);
    if (!news)
        return;
    QAccessibleEvent changed(news, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    // Showing again is what makes the screen reader speak it.
    QAccessibleEvent shown(news, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
