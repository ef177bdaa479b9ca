#pragma once

#include <QPixmap>
#include <QString>

// The window artwork carried in the ":/art" resources: the tiled background, the picture
// buttons, the logo and the small decorative pictures. Names are the file names without
// ".png": "background", "button_rotate", "button_clear", "button_send",
// "button_startgame" (main window), "button_start" (game start dialog),
// "button_allwords", "button_review" (words list), "image_logo", "title_wordsfound", "image_minletters",
// "image_timer", "image_eyes", "check_off", "check_on".
class Artwork {
public:
    // ":/art/<name>.png", usable in style sheets; empty for a name that is not a plain
    // lower-case file name.
    static QString path(const QString &name);
    // The picture, or a null pixmap when there is no such artwork. Needs a
    // QGuiApplication.
    static QPixmap picture(const QString &name);
};
