#include "client/mainpanel.h"

#include "widgets/artwork.h"
#include "widgets/turl.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace {
constexpr char MakerAddress[] = "www.orvo22.com";
}

MainPanel::MainPanel(QWidget *parent)
    : QWidget(parent),
      m_tile(Artwork::picture(QStringLiteral("background")))
{
    setMinimumSize(PanelWidth + 4, PanelHeight + 4);
    m_board = new QWidget(this);
    m_board->setObjectName(QStringLiteral("panel_board"));
    m_board->setGeometry(1, 3, PanelWidth, PanelHeight);

    auto *logo = new QLabel(m_board);
    logo->setObjectName(QStringLiteral("image_logo"));
    logo->setPixmap(Artwork::picture(QStringLiteral("image_logo")));
    logo->setGeometry(2, 100, 40, 422);
    logo->setCursor(Qt::PointingHandCursor);
    logo->installEventFilter(this);
    logo->setAccessibleName(QStringLiteral("Lexitangle logo"));
    logo->setAccessibleDescription(QStringLiteral("Opens the maker's web page"));
    m_logo = logo;

    m_start = new QToolButton(m_board);
    m_start->setObjectName(QStringLiteral("button_start"));
    m_start->setGeometry(348, 68, 120, 30);
    m_start->setIcon(QIcon(Artwork::picture(QStringLiteral("button_startgame"))));
    m_start->setIconSize(QSize(120, 30));
    m_start->setAutoRaise(true);
    m_start->setToolTip(QStringLiteral("Start Game"));
    m_start->setAccessibleName(QStringLiteral("Start Game"));
    m_start->hide();
}

void MainPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(76, 106, 76));
    if (!m_tile.isNull())
        p.drawTiledPixmap(rect(), m_tile);
}

bool MainPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_logo && event->type() == QEvent::MouseButtonPress) {
        TURL(QString::fromLatin1(MakerAddress)).open();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
