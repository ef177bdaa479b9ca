#include "widgets/infront.h"

#include <QWidget>

namespace InFront {

void show(QWidget *window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace InFront
