#include "client/timebar.h"

#include <QAccessibleWidget>

namespace {

// No value events are sent: a screen reader would read the bar out every few seconds over the
// game's own news. It reads the value when the player asks for it.
class TimeBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TimeBarAccessible(TimeBar *bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return QStringLiteral("Time left");
        case QAccessible::Value:
            return QStringLiteral("%1 seconds").arg(bar()->secondsLeft());
        case QAccessible::Description:
            return QStringLiteral("Seconds left in the round");
        default:
            return QAccessibleWidget::text(t);
        }
    }
    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        // Its width is 0 once the time is up, but the bar is still there to be read.
        s.invisible = !bar()->isVisible();
        s.readOnly = true;
        return s;
    }

    QVariant currentValue() const override { return bar()->secondsLeft(); }
    void setCurrentValue(const QVariant &) override {}
    QVariant maximumValue() const override { return qMax(0, bar()->secondsPerRound()); }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    TimeBar *bar() const { return static_cast<TimeBar *>(widget()); }
};

QAccessibleInterface *timeBarFactory(const QString &, QObject *object)
{
    if (auto *bar = qobject_cast<TimeBar *>(object))
        return new TimeBarAccessible(bar);
    return nullptr;
}

} // namespace

TimeBar::TimeBar(QWidget *parent) : QLabel(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(timeBarFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void TimeBar::setSeconds(int left, int perRound)
{
    m_left = left;
    m_perRound = perRound;
}
