#include "widgets/keysback.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {

bool isWindow(QObject *object)
{
    auto *w = qobject_cast<QWidget *>(object);
    if (!w || !w->isWindow())
        return false;
    const Qt::WindowType type = w->windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Tool;
}

} // namespace

KeysBack::KeysBack(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

QWidget *KeysBack::previous() const
{
    for (auto it = m_used.crbegin(); it != m_used.crend(); ++it)
        if (*it && (*it)->isVisible())
            return *it;
    // A window shown without a window manager never had the keyboard: a main window then.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowType() == Qt::Window)
            return w;
    return nullptr;
}

bool KeysBack::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowActivate && isWindow(watched)) {
        auto *window = static_cast<QWidget *>(watched);
        m_used.removeAll(window);
        m_used.removeAll(nullptr);
        m_used.append(window);
    } else if (event->type() == QEvent::Hide && isWindow(watched) && !m_used.isEmpty()
               && m_used.last() == watched) {
        // A window loses the keyboard as it hides, before this: it had it if it was the last
        // to get it and no other has it now.
        m_used.removeLast();
        if (QApplication::activeWindow() == nullptr)
            if (QWidget *next = previous())
                next->activateWindow();
    }
    return QObject::eventFilter(watched, event);
}
