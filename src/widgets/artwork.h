#pragma once

#include <QPixmap>
#include <QString>

// The window artwork carried in the ":/art" resources: the tiled background, the picture
// buttons, the logo and the small decorative pictures. Names are the file names without
// ".png": "background", "button_rotate", "button_clear", "button_send",
// "button_startgame" (main window), "button_start" (game start dialog),
// "button_allwords", "button_review" (words list), "image_logo", "title_wordsfound", "image_minletters",
// "image_timer", "image_timerback", "image_eyes", "check_off", "check_on". Each is carried
// twice: at its size in pixels and drawn anew at twice that ("<name>@2x.png").
class Artwork {
public:
    // ":/art/<name>.png", usable in style sheets; empty for a name that is not a plain
    // lower-case file name.
    static QString path(const QString &name);
    // The picture for screens of the given device pixel ratio (0: the application's), or a
    // null pixmap when there is no such artwork. Above a ratio of 1 it is the picture drawn
    // at twice the size, with a ratio of 2, so it takes the same room and stays sharp. Needs
    // a QGuiApplication.
    static QPixmap picture(const QString &name, qreal ratio = 0);
};
