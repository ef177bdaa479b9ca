#include "widgets/dialoglook.h"

#include "widgets/artwork.h"

#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>

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

QLabel *DialogLook::creamLabel(QWidget *parent, const QString &text, bool bold, const QString &name)
{
    auto *label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 255, 198));
    label->setPalette(palette);
    return label;
}

QLabel *DialogLook::label(QWidget *parent, const QString &text, const QRect &place,
                          const QString &name)
{
    QLabel *label = creamLabel(parent, text, true, name);
    label->setGeometry(place);
    return label;
}

void DialogLook::closeWithKeys(QWidget *window)
{
    for (const QKeySequence &keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        QObject::connect(new QShortcut(keys, window), &QShortcut::activated, window, &QWidget::close);
}

QPushButton *DialogLook::button(QWidget *parent, const QString &text, const QRect &place,
                                const QString &name)
{
    auto *button = new QPushButton(text, parent);
    button->setGeometry(place);
    button->setObjectName(name);
    return button;
}
