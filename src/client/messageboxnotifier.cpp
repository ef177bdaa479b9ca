#include "client/messageboxnotifier.h"

#include "widgets/infront.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

namespace {

// Long enough for any window manager that is merely busy; a parent that never appears (a
// minimised window) costs the player no more than this before the box opens anyway.
constexpr int PlacementWaitMs = 3000;

// Ends `loop` when `window` is exposed, which on X11 comes after the window manager has given
// it its place.
class ExposeWatch : public QObject {
public:
    ExposeWatch(QWindow *window, QEventLoop &loop) : m_loop(loop) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed())
            m_loop.quit();
        return false;
    }

private:
    QEventLoop &m_loop;
};

// A box opens centred over its parent as far as Qt knows where the parent stands. A parent shown
// an instant ago (a joining copy told "Game is full" at once) may not have been placed by the
// window manager yet; Qt then takes it for standing at the screen's corner and the box opens
// over whatever window is there. So the box waits for its parent to be on screen.
void waitUntilPlaced(QWidget *parent)
{
    QWidget *window = parent ? parent->window() : nullptr;
    QWindow *handle = window ? window->windowHandle() : nullptr;
    if (!handle || !window->isVisible() || handle->isExposed())
        return;
    QEventLoop loop;
    ExposeWatch watch(handle, loop);
    QTimer::singleShot(PlacementWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// A window manager keeps a box with the window it belongs to: a box of the main window stays
// beneath a window that stays on top of the others (the lobby download window at a solo start).
// So while such a window shows, the box belongs to it.
QWidget *ownerFor(QWidget *parent)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)
            && w->windowType() != Qt::ToolTip && w->windowType() != Qt::Popup)
            return w;
    return parent;
}

} // namespace

void MessageBoxNotifier::openInFront(QMessageBox &box)
{
    // A box waits for the player, so nothing may cover it. QMessageBox sets its window flags
    // anew with its modality: that comes first.
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    InFront::show(&box);
}

void MessageBoxNotifier::showMessage(const QString &text)
{
    waitUntilPlaced(m_parent);
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, ownerFor(m_parent));
    box.setTextFormat(Qt::PlainText);
    openInFront(box);
    box.exec();
}

bool MessageBoxNotifier::confirm(const QString &text)
{
    waitUntilPlaced(m_parent);
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, ownerFor(m_parent));
    box.setTextFormat(Qt::PlainText);
    openInFront(box);
    return box.exec() == QMessageBox::Yes;
}
