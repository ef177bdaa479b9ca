#include "client/windowgeometry.h"

#include "client/windowplace.h"
#include "dialogs/twordslist.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QRect WindowGeometry::place() const { return QRect(m_window.pos(), m_window.size()); }

QSize WindowGeometry::frameExtra() const
{
    return m_window.frameGeometry().size() - m_window.geometry().size();
}

QSize WindowGeometry::minimumWindowSize() const
{
    return m_window.minimumSize().expandedTo(m_window.minimumSizeHint());
}

QRect WindowGeometry::workArea(QPoint corner) const
{
    QScreen *at = QGuiApplication::screenAt(corner);
    if (!at)
        at = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    return at ? at->availableGeometry() : QRect(0, 0, 1920, 1080);
}

QRect WindowGeometry::storablePlace() const
{
    const QPoint corner = m_window.pos();
    return QRect(corner, WindowPlace::fitSize(m_window.size(), workArea(corner), frameExtra(),
                                              minimumWindowSize()));
}

void WindowGeometry::placeStored(QPoint corner, QSize size)
{
    placeWindow(corner, size);
    m_remembered = place();
}

void WindowGeometry::placeWindow(QPoint corner, QSize size)
{
    const QRect fitted = WindowPlace::fitInto(corner, size, workArea(corner), frameExtra(), minimumWindowSize());
    m_window.resize(fitted.size());
    m_window.move(fitted.topLeft()); // the frame's corner: the title bar stays on the screen
}

void WindowGeometry::fitOnClose(Twordslist *words)
{
    if (place() == m_remembered)
        return;
    const QRect work = workArea(m_window.pos());
    QSize size = m_window.size();
    if (size.width() > work.width())
        size.setWidth(size.width() - 15);
    if (size.height() > work.height())
        size.setHeight(size.height() - 15);
    m_window.resize(size);
    m_remembered = place();
    if (!words)
        return;
    int left = words->rememberedLeft();
    int top = words->rememberedTop();
    if (left > work.right())
        left = work.right() - words->width();
    if (top > work.bottom())
        top = work.bottom() - words->height();
    words->setRemembered(left, top);
}
