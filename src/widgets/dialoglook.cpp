#include "widgets/dialoglook.h"

#include "widgets/artwork.h"

#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

void DialogLook::applyBackground(QWidget *window)
{
    QPalette palette = window->palette();
    const QColor green(Red, Green, Blue);
    palette.setColor(QPalette::Window, green);
    const QPixmap tile = Artwork::picture(QStringLiteral("background"));
    if (!tile.isNull())
        palette.setBrush(QPalette::Window, QBrush(green, tile));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

QLabel *DialogLook::label(QWidget *parent, const QString &text, const QRect &place,
                          const QString &name)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    if (!name.isEmpty())
        label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 255, 198));
    label->setPalette(palette);
    return label;
}

QPushButton *DialogLook::button(QWidget *parent, const QString &text, const QRect &place,
                                const QString &name)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(place);
    button->setObjectName(name);
    return button;
}
