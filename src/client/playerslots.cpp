#include "client/playerslots.h"

#include "widgets/artwork.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>

#include <algorithm>

namespace {
struct SlotPlace {
    int nameTop, scoreTop, bonusTop, eyesTop;
    const char *hint;
};

// Columns: names at x 472, eyes at 471, scores at 575, bonuses at 602. A score label grows
// with its text; a bonus ends short of the words panel, which begins at 638.
constexpr int ScoreLeft = 575;
constexpr int ScoreWidth = 26;
constexpr int BonusLeft = 602;
constexpr int BonusRight = 636;
constexpr int NameLeft = 472;
constexpr int EyesLeft = 471;
constexpr int EyesWidth = 23;
// While the eyes are shown the name starts this far into its label, just past them, so the
// mark never covers its first letters.
constexpr int WatchingIndent = EyesLeft + EyesWidth + 3 - NameLeft;

// Tops of the ten slots' controls, and their hint names.
constexpr SlotPlace Places[PlayerSlots::SlotCount] = {
    {71, 71, 69, 71, ""},         {90, 90, 87, 90, "Klot"},     {109, 108, 106, 108, "Klick"},
    {127, 127, 124, 127, "Kling"}, {146, 145, 142, 146, "Klick"}, {165, 164, 161, 164, "Krazy"},
    {184, 182, 179, 183, "Klick"}, {202, 201, 197, 202, "Kling"}, {221, 219, 216, 220, "Klick"},
    {240, 238, 234, 239, "Krazy"},
};

QPixmap eyesPicture()
{
    QPixmap picture = Artwork::picture(QStringLiteral("image_eyes"));
    if (!picture.isNull())
        return picture;
    // Drawn when the artwork is not carried: two small eyes looking right.
    QPixmap drawn(23, 10);
    drawn.fill(Qt::transparent);
    QPainter p(&drawn);
    p.setRenderHint(QPainter::Antialiasing);
    for (int x : {2, 12}) {
        p.setBrush(Qt::white);
        p.setPen(Qt::black);
        p.drawEllipse(QRectF(x, 0.5, 9, 9));
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(x + 4.5, 3, 4, 4));
    }
    return drawn;
}

// A name label that asks for its menu to be prepared before showing it. (No parameter may be
// called "slots": Qt's keyword macro would erase the name and leave the member null.)
class NameLabel : public QLabel {
public:
    NameLabel(int seat, PlayerSlots *owner, QWidget *parent)
        : QLabel(parent), m_seat(seat), m_slots(owner) {}

protected:
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        m_slots->popupKick()->setProperty("tag", m_seat);
        Q_EMIT m_slots->contextPopup(m_seat);
        m_slots->popupKick()->exec(event->globalPos());
    }

private:
    int m_seat;
    PlayerSlots *m_slots;
};
}

PlayerSlots::PlayerSlots(QWidget *panel)
    : QObject(panel)
    , m_panel(panel)
    , m_popup(new QMenu(panel))
{
    m_popup->setObjectName(QStringLiteral("popup_kick"));
    auto add = [this](const QString &caption, const char *name, auto &&chosen) {
        QAction *item = m_popup->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        connect(item, &QAction::triggered, this, std::forward<decltype(chosen)>(chosen));
    };
    add(QStringLiteral("Remove From Game"), "RemoveFromGame1", [this] { Q_EMIT removeChosen(popupTarget()); });
    add(QStringLiteral("Set to Just Watch"), "SettoJustWatch1",
        [this] { Q_EMIT watchChosen(popupTarget(), Protocol::StartWatching); });
    add(QStringLiteral("Unset Just Watch"), "UnsetJustWatch1",
        [this] { Q_EMIT watchChosen(popupTarget(), Protocol::StopWatching); });
    m_popup->setProperty("tag", 0);
    for (int seat = 1; seat <= SlotCount; ++seat)
        build(seat);
}

void PlayerSlots::build(int seat)
{
    const SlotPlace &place = Places[seat - 1];
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    const QString number = QString::number(seat);
    auto style = [&](QLabel *label, const QString &name, int x, int y, const QString &text) {
        label->setObjectName(name + number);
        label->setFont(font);
        label->setStyleSheet(QStringLiteral("color: rgb(255,255,198); background: transparent;"));
        label->move(x, y);
        label->setTextFormat(Qt::PlainText); // names come from the network: never markup
        label->setText(text);
    };
    auto *name = new NameLabel(seat, this, m_panel);
    style(name, QStringLiteral("label_playername"), NameLeft, place.nameTop, Waiting);
    name->setFixedSize(98, 16);
    name->setProperty("tag", seat);
    name->setProperty("hint", QString::fromLatin1(place.hint));
    auto *score = new QLabel(m_panel);
    style(score, QStringLiteral("label_score"), ScoreLeft, place.scoreTop, QStringLiteral("0"));
    score->resize(ScoreWidth, 16);
    auto *bonus = new QLabel(m_panel);
    style(bonus, QStringLiteral("label_bonus"), BonusLeft, place.bonusTop, QStringLiteral("0"));
    bonus->resize(BonusRight - BonusLeft, 16);
    auto *eyes = new QLabel(m_panel);
    eyes->setObjectName(QStringLiteral("image_eyes") + number);
    eyes->setGeometry(EyesLeft, place.eyesTop, EyesWidth, 10);
    eyes->setScaledContents(true);
    eyes->setPixmap(eyesPicture());
    eyes->setAttribute(Qt::WA_TransparentForMouseEvents);
    eyes->setAccessibleName(QStringLiteral("Just watching"));
    eyes->hide();
}

void PlayerSlots::fitScore(QLabel *score, QLabel *bonus)
{
    if (!score)
        return;
    const int text = score->fontMetrics().horizontalAdvance(score->text()) + 1;
    score->resize(std::max(ScoreWidth, text), score->height());
    if (bonus) {
        const int left = std::max(BonusLeft, score->x() + score->width());
        bonus->setGeometry(left, bonus->y(), std::max(0, BonusRight - left), bonus->height());
    }
}

QLabel *PlayerSlots::find(const char *prefix, int seat) const
{
    if (!isSlot(seat))
        return nullptr;
    return m_panel->findChild<QLabel *>(QString::fromLatin1(prefix) + QString::number(seat),
                                        Qt::FindDirectChildrenOnly);
}

QLabel *PlayerSlots::nameLabel(int seat) const { return find("label_playername", seat); }
QLabel *PlayerSlots::scoreLabel(int seat) const { return find("label_score", seat); }
QLabel *PlayerSlots::bonusLabel(int seat) const { return find("label_bonus", seat); }
QWidget *PlayerSlots::eyes(int seat) const { return find("image_eyes", seat); }

QString PlayerSlots::caption(int seat) const
{
    QLabel *label = nameLabel(seat);
    return label ? label->text() : QString();
}

QString PlayerSlots::hintName(int seat) const
{
    QLabel *label = nameLabel(seat);
    return label ? label->property("hint").toString() : QString();
}

void PlayerSlots::take(int seat, const QString &name)
{
    if (!isSlot(seat))
        return;
    nameLabel(seat)->setText(name);
    nameLabel(seat)->show();
    scoreLabel(seat)->show();
}

void PlayerSlots::free(int seat)
{
    if (!isSlot(seat))
        return;
    nameLabel(seat)->setText(Waiting);
    setWatching(seat, false);
}

void PlayerSlots::setWatching(int seat, bool watching)
{
    if (!isSlot(seat))
        return;
    eyes(seat)->setVisible(watching);
    nameLabel(seat)->setContentsMargins(watching ? WatchingIndent : 0, 0, 0, 0);
}

int PlayerSlots::popupTarget() const { return m_popup->property("tag").toInt(); }

void PlayerSlots::clearWatching()
{
    for (int seat = 1; seat <= SlotCount; ++seat)
        setWatching(seat, false);
}

QList<QByteArray> PlayerSlots::takenNames(int exceptSeat) const
{
    QList<QByteArray> names;
    for (int seat = 1; seat <= SlotCount; ++seat) {
        const QString name = caption(seat);
        if (seat != exceptSeat && name != Waiting)
            names.append(name.toLatin1());
    }
    return names;
}
