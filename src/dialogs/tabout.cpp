#include "dialogs/tabout.h"

#include "net/protocol.h"

#include <QLabel>
#include <QPushButton>

namespace {
QLabel *label(QWidget *parent, const QString &name, const QString &text, QPoint at, int pixelSize, bool bold)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    l->setFont(font);
    l->setStyleSheet(QStringLiteral("color: rgb(255,255,198);"));
    l->move(at);
    l->adjustSize();
    return l;
}
}

Tabout::Tabout(QWidget *parent)
    : SideWindow(QStringLiteral("about"), QStringLiteral("Lexitangle - About"), QSize(304, 174), parent)
{
    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setPixmap(QPixmap(QStringLiteral(":/art/logo_square.png")));
    logo->setGeometry(12, 12, 64, 64);
    label(this, QStringLiteral("Label1"), QStringLiteral("Lexitangle"), QPoint(90, 16), 24, true);
    label(this, QStringLiteral("Label2"), QStringLiteral("Version"), QPoint(90, 56), 13, true);
    QLabel *version = label(this, QStringLiteral("version"), QString::fromLatin1(Protocol::Version), QPoint(145, 56), 13, true);
    label(this, QStringLiteral("Label3"), QStringLiteral(".6"), QPoint(version->x() + version->width(), 56), 13, true);
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(214, 138, 75, 25);
    connect(done, &QPushButton::clicked, this, &QWidget::close);
}
