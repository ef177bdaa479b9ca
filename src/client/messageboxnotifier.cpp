#include "client/messageboxnotifier.h"

#include "widgets/infront.h"

#include <QApplication>
#include <QMessageBox>

void MessageBoxNotifier::openInFront(QMessageBox &box)
{
    // A box waits for the player, so nothing may cover it: not even a window that stays on top
    // of the others (the lobby download window at a solo start), which a box of the main window
    // would otherwise open beneath.
    // QMessageBox sets its window flags anew with its modality: that comes first.
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    InFront::show(&box);
}

void MessageBoxNotifier::showMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, m_parent);
    box.setTextFormat(Qt::PlainText);
    openInFront(box);
    box.exec();
}

bool MessageBoxNotifier::confirm(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setTextFormat(Qt::PlainText);
    openInFront(box);
    return box.exec() == QMessageBox::Yes;
}
