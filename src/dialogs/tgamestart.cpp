#include "dialogs/tgamestart.h"

#include "dialogs/choicepicture.h"
#include "dialogs/optionkeys.h"
#include "net/messages.h"
#include "widgets/artpicture.h"
#include "widgets/artwork.h"
#include "widgets/dialoglook.h"

#include <QEvent>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QColor cream(255, 255, 198);
const QColor maroon(128, 0, 0);
const QColor editBack(226, 228, 182);
const QSize checkSize(34, 21);
// The documented client area; a waiting board code adds one line below it.
const QSize dialogSize(321, 417);
constexpr int CodeNoteHeight = 24;

struct Option {
    const char *caption;
    int code;
    bool rightColumn;
};

// In the order the dialog shows them: left column top to bottom, then the right column.
constexpr Option sizeOptions[] = {
    {"4X4", 4, false}, {"5X5", 9, false}, {"6X6", 5, false}, {"7X7", 10, false},
    {"8X8", 6, true},  {"9X9", 11, true}, {"10X10", 7, true}, {"Random", 8, true},
};

QFont arial(int pixels, bool bold = true, bool underline = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QLabel *text(QWidget *parent, const QString &caption, const QRect &place, int pixels,
             const QColor &colour = cream, bool underline = false)
{
    auto *l = new QLabel(caption, parent);
    l->setGeometry(place);
    l->setFont(arial(pixels, true, underline));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    return l;
}

// Picture 0 of the check list is an empty box, picture 1 a ticked one.
QPixmap checkPicture(int index)
{
    const QPixmap art = Artwork::picture(index == 1 ? QStringLiteral("check_on") : QStringLiteral("check_off"));
    if (!art.isNull())
        return art;
    QPixmap pm(checkSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7.5, 1.5, 18, 18));
    if (index == 1) {
        p.setPen(QPen(maroon, 3));
        p.drawPolyline(QPolygonF({{11, 10}, {15, 15}, {23, 4}}));
    }
    return pm;
}

} // namespace

Tgamestart::Tgamestart(Hooks hooks, QWidget *parent)
    : QDialog(parent), m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("gamestart"));
    setWindowTitle(QStringLiteral("Lexitangle - Game Start"));
    setFixedSize(dialogSize);
    DialogLook::applyBackground(this);

    m_heading = text(this, QStringLiteral("GAME OPTIONS"), QRect(0, 6, 321, 30), 24, maroon, true);
    m_heading->setAlignment(Qt::AlignCenter);

    text(this, QStringLiteral("Play to Score:"), QRect(40, 48, 120, 20), 14);
    m_upDown1 = spin("UpDown1", "edit_playtoscore", 0, 10000, 100, 100, 46);
    name(m_upDown1, QStringLiteral("Play to Score"), QStringLiteral("The score that wins; 0 plays a single round"));
    text(this, QStringLiteral("Round Time:"), QRect(40, 78, 120, 20), 14);
    m_upDown2 = spin("UpDown2", "edit_creationtime", 45, 180, 5, 60, 76);
    name(m_upDown2, QStringLiteral("Round Time"), QStringLiteral("Seconds in each round"));
    text(this, QStringLiteral("secs"), QRect(266, 78, 40, 20), 14);

    m_labelBoardsize = text(this, QStringLiteral("BOARD SIZE"), QRect(0, 110, 321, 22), 16, cream, true);
    m_labelBoardsize->setObjectName(QStringLiteral("label_boardsize"));
    m_labelBoardsize->setAlignment(Qt::AlignCenter);
    int leftRow = 0;
    int rightRow = 0;
    QList<QWidget *> sizes;
    for (const Option &o : sizeOptions) {
        int &row = o.rightColumn ? rightRow : leftRow;
        const QString caption = QLatin1String(o.caption);
        // "4X4" would be read out letter by letter.
        const QString spoken = QString(caption).replace(QLatin1Char('X'), QStringLiteral(" by "));
        sizes << option(QStringLiteral("image_size%1").arg(o.code), caption, o.code, o.rightColumn ? 166 : 54,
                        136 + 24 * row++, spoken, QStringLiteral("Board size"));
    }
    new OptionKeys(sizes, 4, [this](const QString &name) { clicksize(name); }, this);

    m_labelMin = text(this, QStringLiteral("MINIMUM WORD LENGTH"), QRect(0, 236, 321, 22), 16, cream, true);
    m_labelMin->setObjectName(QStringLiteral("label_min"));
    m_labelMin->setAlignment(Qt::AlignCenter);
    QList<QWidget *> minimums;
    for (int code = 3; code <= 7; ++code)
        minimums << option(QStringLiteral("image_min%1").arg(code), QStringLiteral("%1 Letters").arg(code), code,
                           102, 261 + 23 * (code - 3), QStringLiteral("%1 letters").arg(code),
                           QStringLiteral("Minimum word length"));
    new OptionKeys(minimums, 5, [this](const QString &name) { clickmin(name); }, this);

    auto *start = new QPushButton(this);
    start->setObjectName(QStringLiteral("button_start"));
    start->setGeometry(104, 383, 120, 30);
    start->setFlat(true);
    start->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; }"));
    start->setIcon(ArtPicture::load(QStringLiteral("button_start"), QSize(120, 30),
                                    QStringLiteral("Start Game")));
    start->setIconSize(QSize(120, 30));
    start->setAccessibleName(QStringLiteral("Start"));
    start->setAccessibleDescription(QStringLiteral("Starts the game with these options"));
    connect(start, &QPushButton::clicked, this, &Tgamestart::button_startClick);

    m_codeNote = text(this, QString(), QRect(0, dialogSize.height(), dialogSize.width(), CodeNoteHeight - 4), 12);
    m_codeNote->setObjectName(QStringLiteral("label_boardcode"));
    m_codeNote->setAlignment(Qt::AlignCenter);
    m_codeNote->hide();

    clicksize(QStringLiteral("image_size10"));
    clickmin(QStringLiteral("image_min4"));
}

void Tgamestart::name(QSpinBox *box, const QString &name, const QString &description)
{
    // The box and the text inside it, which is what takes the focus.
    for (QWidget *w : {static_cast<QWidget *>(box), static_cast<QWidget *>(box->findChild<QLineEdit *>())}) {
        w->setAccessibleName(name);
        w->setAccessibleDescription(description);
    }
}

QSpinBox *Tgamestart::spin(const char *spinName, const char *editName, int min, int max, int step,
                           int value, int top)
{
    auto *box = new QSpinBox(this);
    box->setObjectName(QLatin1String(spinName));
    box->setGeometry(170, top, 90, 24);
    box->setRange(min, max);
    box->setSingleStep(step);
    box->setValue(value);
    box->setWrapping(false);
    box->setGroupSeparatorShown(false);
    box->setFont(arial(14));
    // The text changes only through the arrows; typing into it is not offered.
    QLineEdit *edit = box->findChild<QLineEdit *>();
    edit->setObjectName(QLatin1String(editName));
    edit->setReadOnly(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, editBack);
    pal.setColor(QPalette::Text, maroon);
    box->setPalette(pal);
    edit->setPalette(pal);
    return box;
}

QWidget *Tgamestart::option(const QString &name, const QString &caption, int code, int left, int top,
                            const QString &spoken, const QString &group)
{
    auto *picture = new ChoicePicture(name, code, this);
    picture->setAccessibleName(spoken);
    picture->setAccessibleDescription(group);
    picture->setGeometry(QRect(QPoint(left, top), checkSize));
    picture->setChecked(false, checkPicture(0));
    connect(picture, &ChoicePicture::chosen, this, [this](const QString &chosen) {
        if (chosen.startsWith(QLatin1String("image_size")))
            clicksize(chosen);
        else
            clickmin(chosen);
    });
    picture->setCursor(Qt::PointingHandCursor);
    picture->installEventFilter(this);

    QLabel *label = text(this, caption, QRect(left + 38, top, 80, checkSize.height()), 14);
    // The caption chooses the option too, as the picture beside it.
    label->setProperty("option", name);
    label->installEventFilter(this);
    return picture;
}

void Tgamestart::check(const QString &prefix, int first, int last, const QString &name,
                       QString &hint, const QString &fallback)
{
    ChoicePicture *chosen = nullptr;
    for (int code = first; code <= last; ++code) {
        auto *picture = findChild<ChoicePicture *>(prefix + QString::number(code));
        if (picture->objectName() == name)
            chosen = picture;
    }
    if (!chosen)
        chosen = findChild<ChoicePicture *>(prefix + fallback);
    for (int code = first; code <= last; ++code) {
        auto *picture = findChild<ChoicePicture *>(prefix + QString::number(code));
        picture->setChecked(picture == chosen, checkPicture(picture == chosen ? 1 : 0));
        OptionKeys::setChosen(picture, picture == chosen);
    }
    hint = chosen->property("hint").toString();
}

void Tgamestart::setHighContrast(bool on)
{
    // Maroon on the green is 1.8:1; the cream of the other texts is well above 4.5:1.
    QPalette pal = m_heading->palette();
    pal.setColor(QPalette::WindowText, on ? cream : maroon);
    m_heading->setPalette(pal);
}

void Tgamestart::clicksize(const QString &name)
{
    check(QStringLiteral("image_size"), 4, 11, name, m_boardsize, QStringLiteral("8"));
    m_labelBoardsize->setProperty("hint", m_boardsize);
    showCodeNote();
}

void Tgamestart::clickmin(const QString &name)
{
    check(QStringLiteral("image_min"), 3, 7, name, m_min, QStringLiteral("3"));
    m_labelMin->setProperty("hint", m_min);
}

void Tgamestart::setPlaytoscore(const QString &value)
{
    bool ok = false;
    const int score = value.toInt(&ok);
    if (ok)
        m_upDown1->setValue(score);
}

void Tgamestart::setTimeperturn(const QString &value)
{
    bool ok = false;
    const int seconds = value.toInt(&ok);
    // The spin control clamps: the settings' built-in "1" shows (and sends) 45.
    if (ok)
        m_upDown2->setValue(seconds);
}

int Tgamestart::playtoscore() const
{
    return m_upDown1->value();
}

int Tgamestart::timeperturn() const
{
    return m_upDown2->value();
}

QByteArray Tgamestart::startMessage() const
{
    // The builder keeps the terminator byte out of the name, where it would cut the message
    // short at the host. The spin boxes' values, never their texts: those may carry a
    // locale's thousands separator. Size and minimum are always one of the options' codes.
    const QByteArray name = m_hooks.ownName ? m_hooks.ownName() : QByteArray();
    return Msg::startgameToHost(name, m_upDown1->value(), m_upDown2->value(), m_boardsize.toInt(),
                                m_min.toInt());
}

void Tgamestart::button_startClick()
{
    const QByteArray message = startMessage();
    // The board goes to the host before the start that uses it; a start without one clears
    // whatever an earlier start left waiting there.
    if (m_hooks.firstBoard)
        m_hooks.firstBoard(m_code && m_code->sizeCode() == m_boardsize.toInt() ? m_code : std::nullopt);
    if (m_hooks.send)
        m_hooks.send(message);
    hide();
    if (m_hooks.saveSettings)
        m_hooks.saveSettings();
}

void Tgamestart::playBoard(const BoardCode &code)
{
    m_code = code;
    clickmin(QStringLiteral("image_min%1").arg(code.minLetters()));
    clicksize(QStringLiteral("image_size%1").arg(code.sizeCode()));
}

void Tgamestart::showCodeNote()
{
    if (!m_code) {
        m_codeNote->hide();
        setFixedSize(dialogSize);
        return;
    }
    const QString size = QStringLiteral("%1X%1").arg(m_code->side());
    m_codeNote->setText(m_code->sizeCode() == m_boardsize.toInt()
                            ? QStringLiteral("The first round deals the %1 board of your code.").arg(size)
                            : QStringLiteral("Your code's board is %1: choose %1 to play it.").arg(size));
    m_codeNote->show();
    setFixedSize(dialogSize.width(), dialogSize.height() + CodeNoteHeight);
}

void Tgamestart::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // Minimised is not closed: the code stays for the start.
    if (event->spontaneous())
        return;
    m_code.reset();
    showCodeNote();
}

bool Tgamestart::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonRelease
        || static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return QDialog::eventFilter(watched, event);
    const QVariant option = watched->property("option");
    const QString name = option.isValid() ? option.toString() : watched->objectName();
    if (name.startsWith(QLatin1String("image_size")))
        clicksize(name);
    else if (name.startsWith(QLatin1String("image_min")))
        clickmin(name);
    else
        return QDialog::eventFilter(watched, event);
    return true;
}
