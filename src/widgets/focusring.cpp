#include "widgets/focusring.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QWidget>

namespace {

const QColor dark(0, 0, 0);
const QColor bright(255, 214, 0);

class RingWidget : public QWidget {
public:
    explicit RingWidget(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("focus_ring"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        // Only the band is painted: inside it the control shows through.
        QPainter p(this);
        band(p, rect(), 1, dark);
        band(p, rect().adjusted(1, 1, -1, -1), 2, bright);
        band(p, rect().adjusted(3, 3, -3, -3), 1, dark);
    }

private:
    static void band(QPainter &p, const QRect &outer, int width, const QColor &colour)
    {
        p.fillRect(QRect(outer.left(), outer.top(), outer.width(), width), colour);
        p.fillRect(QRect(outer.left(), outer.bottom() - width + 1, outer.width(), width), colour);
        p.fillRect(QRect(outer.left(), outer.top(), width, outer.height()), colour);
        p.fillRect(QRect(outer.right() - width + 1, outer.top(), width, outer.height()), colour);
    }
};

// Keys that move about rather than type: letters typed into a word or a chat line do not
// make a later change of window show the ring.
bool movesAbout(const QKeyEvent *key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return true;
    switch (key->key()) {
    case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left:
    case Qt::Key_Right: case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
    case Qt::Key_Escape: case Qt::Key_Alt: case Qt::Key_Menu: case Qt::Key_Space:
        return true;
    default:
        return key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F35;
    }
}

// A spin box's text field, a scroll area's inside: the ring goes round the whole control.
QWidget *controlOf(QWidget *widget)
{
    while (widget->parentWidget() && !widget->isWindow() && widget->parentWidget()->focusProxy() == widget)
        widget = widget->parentWidget();
    return widget;
}

bool wantsRing(const QWidget *widget)
{
    // Menus and popup lists show their own highlight; a window alone has no edge to ring.
    return !widget->isWindow() && widget->window()->windowType() != Qt::Popup
        && !qobject_cast<const QMenuBar *>(widget);
}

} // namespace

FocusRing::FocusRing(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

FocusRing::~FocusRing()
{
    delete m_ring;
}

QWidget *FocusRing::target() const
{
    return m_ring && m_ring->isVisible() ? m_target.data() : nullptr;
}

bool FocusRing::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (movesAbout(static_cast<QKeyEvent *>(event)))
            m_byKeys = true;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_byKeys = false;
        hideRing();
        break;
    case QEvent::FocusIn:
        if (watched->isWidgetType())
            focusEntered(static_cast<QWidget *>(watched), static_cast<QFocusEvent *>(event)->reason());
        break;
    case QEvent::FocusOut:
        if (m_target && watched->isWidgetType() && controlOf(static_cast<QWidget *>(watched)) == m_target)
            hideRing();
        break;
    case QEvent::Hide:
        if (watched == m_target)
            hideRing();
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ParentChange:
        if (watched == m_target && target())
            place();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void FocusRing::focusEntered(QWidget *widget, Qt::FocusReason reason)
{
    // The reason alone does not tell: a dialog that opens says Tab to its first control, however
    // it was opened. What the player last did tells.
    if (reason == Qt::MouseFocusReason)
        m_byKeys = false;
    QWidget *control = controlOf(widget);
    if (m_byKeys && wantsRing(control))
        follow(control);
    else
        hideRing();
}

namespace {

// The ring's place around `target`, and the nearest of its ancestors that holds it whole (a
// frame that fits its control closely would cut the ring off), else its window.
std::pair<QWidget *, QRect> ringPlace(QWidget *target)
{
    QWidget *holder = target->parentWidget();
    QRect ring = target->geometry().adjusted(-FocusRing::Width, -FocusRing::Width, FocusRing::Width,
                                             FocusRing::Width);
    while (!holder->isWindow() && !holder->rect().contains(ring)) {
        ring.translate(holder->pos());
        holder = holder->parentWidget();
    }
    return {holder, ring};
}

} // namespace

void FocusRing::follow(QWidget *target)
{
    m_target = target;
    place();
}

void FocusRing::place()
{
    if (!m_target)
        return;
    const auto [holder, ring] = ringPlace(m_target);
    if (!m_ring)
        m_ring = new RingWidget(holder);
    else if (m_ring->parentWidget() != holder)
        m_ring->setParent(holder);
    m_ring->setGeometry(ring);
    m_ring->show();
    m_ring->raise();
}

void FocusRing::hideRing()
{
    if (m_ring)
        m_ring->hide();
    m_target = nullptr;
}
