#include "client/boardcontrols.h"

#include "widgets/accessiblenames.h"
#include "widgets/artbackdrop.h"
#include "widgets/artpicture.h"
#include "client/boardview.h"
#include "client/timebar.h"
#include "client/tileset.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

namespace {

const QColor cream(255, 255, 198);
const QColor boardGreen(76, 106, 76);

QFont boldFont(int pixels)
{
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setPixelSize(pixels);
    return f;
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

QLabel *label(QWidget *parent, const char *name, const QString &caption, const QRect &place,
              int pixels, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(place);
    l->setFont(boldFont(pixels));
    l->setAlignment(align);
    setTextColour(l, cream);
    return l;
}

QLabel *picture(QWidget *parent, const QString &name, const QRect &place, const QPixmap &pm)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setGeometry(place);
    l->setPixmap(pm);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton *pictureButton(QWidget *parent, const char *name, const QRect &place,
                           const QString &art, const QString &caption)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(place);
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    b->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; }"));
    b->setIcon(ArtPicture::load(art, place.size(), caption));
    b->setIconSize(place.size());
    b->setAccessibleName(caption);
    return b;
}

QFrame *greenPanel(QWidget *parent, const char *name, const QRect &place)
{
    auto *f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    f->setGeometry(place);
    f->setAutoFillBackground(true);
    QPalette pal = f->palette();
    pal.setColor(QPalette::Window, boardGreen);
    f->setPalette(pal);
    return f;
}

} // namespace

BoardControls::BoardControls(QWidget *parent, const WordEntry &entry, const TileSet &tiles)
    : panel(parent)
{
    panel_boardback = new QFrame(parent);
    panel_boardback->setObjectName(QStringLiteral("panel_boardback"));
    panel_boardback->setGeometry(45, 100, 422, 422);
    panel_boardback->setStyleSheet(QStringLiteral("QFrame#panel_boardback { background: black; }"));
    paintbox_board = new BoardView(entry, panel_boardback);
    paintbox_board->move(1, 1);
    paintbox_board->setTileSet(tiles);

    for (int n = 1; n <= Slots; ++n) {
        QLabel *slot = picture(parent, QStringLiteral("image_letters%1").arg(n),
                               QRect(5 + 43 * (n - 1), 8, 42, 42), tiles.picture(30));
        slot->setProperty("tag", n);
        image_letters[n - 1] = slot;
    }
    image_minletters = picture(parent, QStringLiteral("image_minletters"), QRect(5, 2, 517, 7),
                               ArtPicture::load(QStringLiteral("image_minletters"), QSize(517, 7), {},
                                                QColor(200, 40, 30)));
    image_minletters->setAccessibleName(QStringLiteral("Word below the minimum length"));

    label_status = label(parent, "label_status", QStringLiteral("Welcome to Lexitangle"),
                         QRect(6, 50, 515, 16), 13, Qt::AlignCenter);

    button_rotate = pictureButton(parent, "button_rotate", QRect(0, 68, 90, 29),
                                  QStringLiteral("button_rotate"), QStringLiteral("Rotate"));
    button_clear = pictureButton(parent, "button_clear", QRect(96, 68, 84, 30),
                                 QStringLiteral("button_clear"), QStringLiteral("Clear"));
    button_send = pictureButton(parent, "button_send", QRect(372, 68, 96, 30),
                                QStringLiteral("button_send"), QStringLiteral("Send"));
    button_rotate->hide();
    button_clear->hide();
    button_send->hide();

    label_typingoff = label(parent, "label_typingoff", QStringLiteral("TYPING OFF"),
                            QRect(527, 12, 110, 20), 16);
    label_typingoff->setCursor(Qt::PointingHandCursor);

    // The track lies under the bar: dark, so the countdown reads on it as well as on the bar.
    auto *track = new ArtBackdrop(ArtPicture::load(QStringLiteral("image_timerback"), QSize(170, 20), {},
                                                   QColor(12, 9, 6)),
                                  parent);
    track->setObjectName(QStringLiteral("image_timerback"));
    track->setGeometry(191, 74, 170, 20);
    image_timer = new TimeBar(parent);
    image_timer->setObjectName(QStringLiteral("image_timer"));
    image_timer->setGeometry(191, 74, 0, 20);
    image_timer->setPixmap(ArtPicture::load(QStringLiteral("image_timer"), QSize(170, 20), {}, QColor(60, 150, 60)));
    image_timer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The bar's width follows the countdown, up to 224 pixels: the picture stretches with it.
    image_timer->setScaledContents(true);
    label_timer = label(parent, "label_timer", QStringLiteral("Time: 0:00"), QRect(195, 75, 166, 18),
                        16, Qt::AlignCenter);
    setTextColour(label_timer, QColor(224, 227, 157));

    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    label_playtoscore = label(parent, "label_playtoscore", QStringLiteral("Play To Score: 1000"),
                              QRect(512, 260, 120, 13), 11, right);
    label_timeperturn = label(parent, "label_timeperturn", QStringLiteral("Time: 500 secs"),
                              QRect(635, 258, 140, 13), 11);
    label_minletters = label(parent, "label_minletters", QStringLiteral("10 Letters Min"),
                             QRect(635, 271, 140, 13), 11);
    label_boardsize = label(parent, "label_boardsize", QStringLiteral("Board Size: 10X10"),
                            QRect(484, 271, 148, 13), 11, right);

    panel_words = greenPanel(parent, "panel_words", QRect(638, 2, 139, 256));
    panel_words->setFrameShape(QFrame::Box);
    panel_words->setAccessibleName(QStringLiteral("Words panel"));
    label_found = label(panel_words, "label_found", QStringLiteral("Count: 0"), QRect(4, 10, 131, 18),
                        13, Qt::AlignCenter);
    richedit_words = new QTextEdit(panel_words);
    richedit_words->setObjectName(QStringLiteral("richedit_words"));
    AccessibleNames::scrollArea(richedit_words, QStringLiteral("Your words this round"),
                                QStringLiteral("Each word you sent with its points or why it was refused"));
    richedit_words->setGeometry(4, 35, 133, 220);
    richedit_words->setReadOnly(true);
    richedit_words->setFocusPolicy(Qt::NoFocus);
    richedit_words->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    richedit_words->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    richedit_words->setFrameShape(QFrame::NoFrame);
    // Every verdict is one line: "13 : " and twelve capitals fit in the panel's 11-pixel
    // Arial; a line that still does not is cut at the edge, never wrapped.
    richedit_words->setLineWrapMode(QTextEdit::NoWrap);
    QFont wordsFont(QStringLiteral("Arial"));
    wordsFont.setPixelSize(11);
    richedit_words->setFont(wordsFont);
    richedit_words->document()->setDocumentMargin(2);
    QPalette wordsPal = richedit_words->palette();
    wordsPal.setColor(QPalette::Base, boardGreen);
    wordsPal.setColor(QPalette::Text, cream);
    richedit_words->setPalette(wordsPal);

    panel_winner = greenPanel(parent, "panel_winner", QRect(3, 2, 519, 49));
    label_winner2 = label(panel_winner, "label_winner2", QString(), QRect(41, 14, 470, 28), 24);
    setTextColour(label_winner2, Qt::gray);
    label_winner1 = label(panel_winner, "label_winner1", QString(), QRect(40, 15, 470, 28), 24);
    panel_winner->hide();
}
