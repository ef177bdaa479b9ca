#include "dialogs/keptplace.h"

#include "client/windowplace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

KeptPlace::KeptPlace(QWidget &window, QSize homeSize)
    : QObject(&window), m_window(window), m_homeSize(homeSize)
{
}

void KeptPlace::setStored(std::optional<QRect> place)
{
    m_kept = place;
    if (!m_window.isVisible())
        m_next = place;
}

void KeptPlace::placeForShowing()
{
    const QRect wanted = m_next.value_or(homePlace());
    const QSize minimum = m_window.minimumSize().expandedTo(m_window.minimumSizeHint());
    const QRect fitted = WindowPlace::fitInto(wanted.topLeft(), wanted.size(), workArea(wanted.topLeft()),
                                              frameExtra(), minimum);
    m_window.resize(fitted.size());
    m_window.move(fitted.topLeft()); // the frame's corner, as the file keeps it
    if (!m_kept)
        m_kept = fitted;
}

void KeptPlace::hidden()
{
    m_next = currentPlace();
    keep();
}

void KeptPlace::keep()
{
    const std::optional<QRect> place = m_window.isVisible() ? currentPlace() : m_next;
    if (!place || place == m_kept)
        return;
    m_kept = place;
    Q_EMIT changed(*place);
}

void KeptPlace::reset()
{
    m_next.reset();
    if (m_window.isVisible())
        placeForShowing();
}

// Centred over the main window, or over the screen when there is none.
QRect KeptPlace::homePlace() const
{
    const QWidget *main = m_window.parentWidget() ? m_window.parentWidget()->window() : nullptr;
    const QRect over = main && main->isVisible() ? main->frameGeometry() : workArea(QPoint());
    QRect home(QPoint(), m_homeSize + frameExtra());
    home.moveCenter(over.center());
    return QRect(home.topLeft(), m_homeSize);
}

QRect KeptPlace::currentPlace() const { return QRect(m_window.pos(), m_window.size()); }

// What the window manager adds around the inside. Before the window is first framed, the main
// window's frame stands in for it: the same window manager draws both.
QSize KeptPlace::frameExtra() const
{
    const QWidget *framed = &m_window;
    if (m_window.frameGeometry().size() == m_window.size() && m_window.parentWidget())
        framed = m_window.parentWidget()->window();
    return framed->frameGeometry().size() - framed->size();
}

// The available area of the screen that holds `corner`, else of the window's own screen.
QRect KeptPlace::workArea(QPoint corner) const
{
    QScreen *at = QGuiApplication::screenAt(corner);
    if (!at)
        at = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    return at ? at->availableGeometry() : QRect(0, 0, 1920, 1080);
}
