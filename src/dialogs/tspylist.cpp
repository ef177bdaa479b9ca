#include "dialogs/tspylist.h"

#include "widgets/accessiblenames.h"
#include "widgets/dialoglook.h"


#include <QContextMenuEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

Tspylist::Tspylist(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Tspylist"));
    setWindowTitle(QStringLiteral("Lexitangle - Spys"));
    setFixedSize(162, 168);
    move(579, 88);
    DialogLook::applyBackground(this);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("listbox_spys"));
    m_list->setGeometry(5, 5, 154, 130);
    AccessibleNames::scrollArea(m_list, QStringLiteral("Spy List"));
    QPalette listPalette = m_list->palette();
    listPalette.setColor(QPalette::Base, QColor(226, 228, 182));
    listPalette.setColor(QPalette::Text, Qt::black);
    m_list->setPalette(listPalette);
    m_list->setMouseTracking(true);
    m_list->viewport()->setMouseTracking(true);
    m_list->viewport()->installEventFilter(this);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("popup_kick"));
    m_kickhim = m_popup->addAction(QStringLiteral("Remove From Game"), this,
                                   &Tspylist::popup_kickhimClick);
    m_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    m_kickhim->setEnabled(false);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        m_popup->popup(m_list->viewport()->mapToGlobal(pos));
    });

    auto *title = new QLabel(QStringLiteral("Spy List"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont large = title->font();
    large.setBold(true);
    large.setPixelSize(15);
    title->setFont(large);
    title->move(7, 138);
    title->adjustSize();

    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(88, 140, 71, 20);
    done->setAutoDefault(false);
    connect(done, &QPushButton::clicked, this, &Tspylist::button_doneClick);
}

void Tspylist::addSpy(int seat, const QString &name)
{
    m_list->addItem(QStringLiteral("%1: %2").arg(seat).arg(name));
}

bool Tspylist::removeSpy(int seat, const QString &name)
{
    const QString entry = QStringLiteral("%1: %2").arg(seat).arg(name);
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->text() == entry) {
            delete m_list->takeItem(i);
            // The remembered index would now name another spy; the pointer has to move again.
            m_hoverIndex = -1;
            return true;
        }
    }
    return false;
}

void Tspylist::setKickEnabled(bool enabled)
{
    m_kickhim->setEnabled(enabled);
}

void Tspylist::trackPointer(const QPoint &viewportPos)
{
    const QModelIndex index = m_list->indexAt(viewportPos);
    m_hoverIndex = index.isValid() ? index.row() : -1;
}

bool Tspylist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_list->viewport())
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseMove)
        trackPointer(static_cast<QMouseEvent *>(event)->position().toPoint());
    // A right click happens where the pointer is; one from the keyboard leaves the index alone.
    if (event->type() == QEvent::ContextMenu) {
        auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        if (menuEvent->reason() == QContextMenuEvent::Mouse)
            trackPointer(menuEvent->pos());
    }
    return QDialog::eventFilter(watched, event);
}

void Tspylist::popup_kickhimClick()
{
    if (!m_kickhim->isEnabled() || m_hoverIndex < 0 || m_hoverIndex >= m_list->count())
        return;
    const QString entry = m_list->item(m_hoverIndex)->text();
    const qsizetype colon = entry.indexOf(u':');
    if (colon < 0)
        return;
    bool ok = false;
    const int seat = entry.left(colon).toInt(&ok, 10);
    if (ok)
        Q_EMIT kickRequested(seat);
}

void Tspylist::button_doneClick()
{
    close();
}
