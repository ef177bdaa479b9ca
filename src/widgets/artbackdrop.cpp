#include "widgets/artbackdrop.h"

#include <QPainter>

ArtBackdrop::ArtBackdrop(const QPixmap &picture, QWidget *parent) : QWidget(parent), m_picture(picture)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ArtBackdrop::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(rect(), m_picture);
}
