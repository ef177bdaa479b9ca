#pragma once

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

// Pictures of the window artwork (see Artwork for the names) at the size a control needs.
// A picture that is missing is drawn as a plain stand-in of that size with the caption, so a
// control never collapses or loses its meaning.
namespace ArtPicture {

QPixmap load(const QString &name, QSize size, const QString &caption = QString(),
             QColor fill = QColor(150, 40, 30));

} // namespace ArtPicture
