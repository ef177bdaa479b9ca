#include "dialogs/sidewindow.h"

#include "widgets/dialoglook.h"

SideWindow::SideWindow(const QString &objectName, const QString &caption, QSize clientSize, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(caption);
    setFixedSize(clientSize);
    setModal(false);
    DialogLook::applyBackground(this);
}
