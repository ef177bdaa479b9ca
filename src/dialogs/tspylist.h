#pragma once

#include <QDialog>

class QAction;
class QListWidget;
class QMenu;

// The spy list: spectators (seats above the ten slots), one entry "<seat>: <name>" each, in order
// of arrival. The hosting player can remove one through the entry's right-click menu.
class Tspylist : public QDialog {
    Q_OBJECT
public:
    // Far more spectators than any table has; a host that announces more only fills memory.
    static constexpr int MaxSpies = 100;

    explicit Tspylist(QWidget *parent = nullptr);

    // Past MaxSpies entries a spy is not listed.
    void addSpy(int seat, const QString &name);
    // Removes the entry of this seat and name; false when there is none.
    bool removeSpy(int seat, const QString &name);
    // Enabled by start-up on the copy that hosts the table.
    void setKickEnabled(bool enabled);

    // Index of the entry under the pointer when it last moved over the list, or -1.
    int hoverIndex() const { return m_hoverIndex; }

    QListWidget *list() const { return m_list; }
    QMenu *kickMenu() const { return m_popup; }

    void popup_kickhimClick();
    void button_doneClick();

Q_SIGNALS:
    // The host should remove this seat.
    void kickRequested(int seat);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void trackPointer(const QPoint &viewportPos);

    QListWidget *m_list = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_kickhim = nullptr;
    int m_hoverIndex = -1;
    bool m_fullReported = false;
};
