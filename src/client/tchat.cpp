#include "client/tchat.h"

Tchat::Tchat(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Lexitangle"));
    resize(775, 590);
}
