#include "client/windowplace.h"

#include <algorithm>

QSize WindowPlace::fitSize(QSize size, const QRect &area, QSize frame, QSize minimum)
{
    const int width = std::min(size.width(), area.width() - frame.width());
    const int height = std::min(size.height(), area.height() - frame.height());
    return QSize(std::max(width, minimum.width()), std::max(height, minimum.height()));
}

QRect WindowPlace::fitInto(QPoint corner, QSize size, const QRect &area, QSize frame, QSize minimum)
{
    const QSize fitted = fitSize(size, area, frame, minimum);
    const int lastLeft = area.left() + area.width() - (fitted.width() + frame.width());
    const int lastTop = area.top() + area.height() - (fitted.height() + frame.height());
    const int left = std::max(area.left(), std::min(corner.x(), lastLeft));
    const int top = std::max(area.top(), std::min(corner.y(), lastTop));
    return QRect(QPoint(left, top), fitted);
}
