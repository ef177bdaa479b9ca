#include "dialogs/tabout.h"

#include "widgets/artwork.h"
#include "widgets/turl.h"
#include "net/protocol.h"

#include <QLabel>
#include <QEvent>
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
    // The top of the logo column: its first letters.
    const QPixmap column = Artwork::picture(QStringLiteral("image_logo"));
    const qreal ratio = column.devicePixelRatio();
    QPixmap top = column.copy(QRectF(0, 0, 40 * ratio, 150 * ratio).toRect());
    top.setDevicePixelRatio(ratio);
    logo->setPixmap(top);
    logo->setGeometry(12, 12, 40, 150);
    logo->setAccessibleName(QStringLiteral("Lexitangle logo"));
    label(this, QStringLiteral("Label1"), QStringLiteral("Lexitangle"), QPoint(70, 16), 24, true);
    label(this, QStringLiteral("Label2"), QStringLiteral("Version"), QPoint(70, 56), 13, true);
    QLabel *version = label(this, QStringLiteral("version"), QString::fromLatin1(Protocol::Version), QPoint(125, 56), 13, true);
    label(this, QStringLiteral("Label3"), QStringLiteral(".6"), QPoint(version->x() + version->width(), 56), 13, true);
    // The maker's web page, opened through the desktop like any link.
    QLabel *link = label(this, QStringLiteral("Label7"), QStringLiteral("www.orvo22.com"), QPoint(70, 90), 13, true);
    QFont underlined = link->font();
    underlined.setUnderline(true);
    link->setFont(underlined);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(214, 138, 75, 25);
    connect(done, &QPushButton::clicked, this, &QWidget::close);
}

bool Tabout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && watched->objectName() == QStringLiteral("Label7")) {
        Label7Click();
        return true;
    }
    return SideWindow::eventFilter(watched, event);
}

void Tabout::Label7Click()
{
    TURL(QStringLiteral("www.orvo22.com")).open();
}
