#include "lobby/window/invitepanel.h"

#include "lobby/invitelink.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int LinkRole = Qt::UserRole;
}

InvitePanel::InvitePanel(QWidget *parent)
    : QWidget(parent)
    , m_caption(new QLabel(QStringLiteral("Others can join your table at:"), this))
    , m_list(new QListWidget(this))
    , m_copy(new QPushButton(QStringLiteral("&Copy Invite Link"), this))
{
    m_list->setObjectName(QStringLiteral("list_addresses"));
    m_copy->setObjectName(QStringLiteral("button_copylink"));
    m_list->setMaximumHeight(m_list->fontMetrics().height() * 5);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_caption);
    layout->addWidget(m_list);
    layout->addWidget(m_copy, 0, Qt::AlignLeft);
    connect(m_copy, &QPushButton::clicked, this, &InvitePanel::copyLink);
}

void InvitePanel::showLocalAddresses(const QStringList &addresses)
{
    m_list->clear();
    for (const QString &address : addresses)
        addRow(address, QStringLiteral("this network"), m_list->count());
    if (addresses.isEmpty())
        m_caption->setText(QStringLiteral("This computer has no network address others could use."));
    else
        m_caption->setText(QStringLiteral("Others can join your table at:"));
    m_copy->setEnabled(!addresses.isEmpty());
}

void InvitePanel::addExternalAddress(const QString &address)
{
    addRow(address, QStringLiteral("the internet"), 0);
    m_caption->setText(QStringLiteral("Others can join your table at:"));
    m_copy->setEnabled(true);
}

void InvitePanel::addRow(const QString &address, const QString &where, int at)
{
    const QString link = InviteLink::forAddress(address);
    auto *item = new QListWidgetItem(QStringLiteral("%1  (%2)   %3").arg(address, where, link));
    item->setData(LinkRole, link);
    m_list->insertItem(at, item);
    m_list->setCurrentRow(0);
}

QString InvitePanel::chosenLink() const
{
    const QListWidgetItem *item = m_list->currentItem() ? m_list->currentItem() : m_list->item(0);
    return item ? item->data(LinkRole).toString() : QString();
}

void InvitePanel::copyLink()
{
    const QString link = chosenLink();
    if (link.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(link);
    Q_EMIT linkCopied(link);
}
