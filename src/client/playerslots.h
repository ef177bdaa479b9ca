#pragma once

#include "net/protocol.h"

#include <QObject>
#include <QString>

class QLabel;
class QMenu;
class QWidget;

// The ten player slots on the board panel: label_playernameN, label_scoreN, label_bonusN and
// image_eyesN for N = 1..10, found by name from the seat number. Seats outside 1..10 name no slot.
class PlayerSlots : public QObject {
    Q_OBJECT
public:
    static constexpr int SlotCount = Protocol::SeatCount;
    static inline const QString Waiting = QStringLiteral("<Waiting>");

    explicit PlayerSlots(QWidget *panel);

    static bool isSlot(int seat) { return Protocol::isSeat(seat); }

    // After a score label's text changed: the label grows to show the whole score from its
    // place, and the bonus beside it moves right only as far as the score needs, so neither
    // covers the other. Games go to 10,000 points: five digits fit before the words panel.
    static void fitScore(QLabel *score, QLabel *bonus);

    QLabel *nameLabel(int seat) const;
    QLabel *scoreLabel(int seat) const;
    QLabel *bonusLabel(int seat) const;
    QWidget *eyes(int seat) const;

    QString caption(int seat) const; // null for a seat without a slot
    QString hintName(int seat) const; // the fixed slot hint name ("Klot" ...), empty for seat 1
    void take(int seat, const QString &name);
    void free(int seat);
    // Shows or hides the eyes; while they show, the name moves right to clear them.
    void setWatching(int seat, bool watching);
    void clearWatching();
    // The names in the taken slots but `exceptSeat`'s, in seat order.
    QList<QByteArray> takenNames(int exceptSeat) const;

    // The name labels' shared right-click menu; its tag is the slot it was opened on.
    QMenu *popupKick() const { return m_popup; }
    int popupTarget() const;

Q_SIGNALS:
    // Emitted before the menu opens so the owner can enable its items.
    void contextPopup(int seat);
    // The menu's items, for the slot it was opened on. mode: Protocol::WatchMode.
    void removeChosen(int seat);
    void watchChosen(int seat, int mode);

private:
    QLabel *find(const char *prefix, int seat) const;
    void build(int seat);

    QWidget *m_panel;
    QMenu *m_popup;
};
