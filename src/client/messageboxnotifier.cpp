#include "client/messageboxnotifier.h"

#include "widgets/infront.h"

#include <QApplication>
#include <QMessageBox>

namespace {

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
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, ownerFor(m_parent));
    box.setTextFormat(Qt::PlainText);
    openInFront(box);
    box.exec();
}

bool MessageBoxNotifier::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, ownerFor(m_parent));
    box.setTextFormat(Qt::PlainText);
    openInFront(box);
    return box.exec() == QMessageBox::Yes;
}
