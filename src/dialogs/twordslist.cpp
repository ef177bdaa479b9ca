#include "dialogs/twordslist.h"

#include "widgets/accessiblenames.h"
#include "widgets/dialoglook.h"

#include "widgets/artpicture.h"
#include "widgets/artwork.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

const QColor cream(255, 255, 198);
const QColor green(76, 106, 76);
constexpr int Columns = 3;

QFont arial(int pixels, bool bold)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Every cell looks the same, selected, focused or not: background, then the text 2 pixels
// in from the cell's top-left corner.
class PlainCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        painter->save();
        painter->fillRect(option.rect, green);
        painter->setPen(cream);
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          index.data().toString());
        painter->restore();
    }
};

QLabel *creamLabel(QWidget *parent, const char *name, const QString &caption, int pixels)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(arial(pixels, true));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, cream);
    l->setPalette(pal);
    return l;
}

} // namespace

Twordslist::Twordslist(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("wordslist"));
    setWindowTitle(QStringLiteral("Lexitangle - Words List"));
    setFixedSize(426, 457);
    DialogLook::applyBackground(this);
    // It opens at every round's end while the player may still be typing: the keys stay with
    // the main window. Escape closes it like its CLOSE picture.
    setAttribute(Qt::WA_ShowWithoutActivating);
    DialogLook::closeWithKeys(this);

    m_image9 = new QLabel(this);
    m_image9->setObjectName(QStringLiteral("Image9"));
    m_image9->setGeometry(129, 1, 150, 21);
    m_image9->setPixmap(ArtPicture::load(QStringLiteral("title_wordsfound"), QSize(150, 21),
                                         QStringLiteral("Words Found")));
    m_image9->setAccessibleName(QStringLiteral("Words Found"));

    m_found = creamLabel(this, "label_found", QStringLiteral("Count: 0"), 13);
    m_found->setGeometry(295, 3, 113, 16);
    m_found->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_grid = new QTableWidget(1, Columns, this);
    m_grid->setObjectName(QStringLiteral("stringgrid_words"));
    m_grid->setGeometry(8, 24, 401, 367);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(24);
    for (int c = 0; c < Columns; ++c)
        m_grid->setColumnWidth(c, 127);
    m_grid->setShowGrid(false);
    m_grid->setFrameShape(QFrame::NoFrame);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->setFont(arial(16, false));
    m_grid->setItemDelegate(new PlainCellDelegate(m_grid));
    AccessibleNames::scrollArea(m_grid, QStringLiteral("Words of the round"));
    QPalette gridPal = m_grid->palette();
    gridPal.setColor(QPalette::Base, green);
    gridPal.setColor(QPalette::Text, cream);
    m_grid->setPalette(gridPal);

    m_nowords = creamLabel(this, "label_nowords", QStringLiteral("No Words Were Found"), 24);
    m_nowords->move(83, 171);
    m_nowords->adjustSize();
    m_nowords->hide();

    m_allwords = new QPushButton(this);
    m_allwords->setObjectName(QStringLiteral("button_allwords"));
    m_allwords->setGeometry(312, 396, 96, 30);
    m_allwords->setFlat(true);
    m_allwords->setStyleSheet(QStringLiteral("QPushButton { border: none; padding: 0; }"));
    m_allwords->setIcon(ArtPicture::load(QStringLiteral("button_allwords"), QSize(96, 30),
                                         QStringLiteral("Close")));
    m_allwords->setIconSize(QSize(96, 30));
    m_allwords->setAccessibleName(QStringLiteral("Close"));
    connect(m_allwords, &QPushButton::clicked, this, &QWidget::hide);

    m_review = new QPushButton(this);
    m_review->setObjectName(QStringLiteral("button_review"));
    m_review->setGeometry(208, 396, 96, 30);
    m_review->setFlat(true);
    m_review->setStyleSheet(m_allwords->styleSheet());
    m_review->setIcon(ArtPicture::load(QStringLiteral("button_review"), QSize(96, 30), QStringLiteral("Review")));
    m_review->setIconSize(QSize(96, 30));
    m_review->setToolTip(QStringLiteral("Round Review"));
    m_review->setAccessibleName(QStringLiteral("Round Review"));
    connect(m_review, &QPushButton::clicked, this, &Twordslist::reviewRequested);
}

void Twordslist::thewords(const QByteArray &list)
{
    m_grid->clearContents();
    m_nowords->hide();
    m_grid->hide();

    // The items between the "+" in order, until one that is "No Words". A list of tens of
    // thousands of items is read in one pass and the grid sized once.
    QList<QByteArray> items;
    bool noWords = false;
    for (qsizetype start = 0;;) {
        const qsizetype plus = list.indexOf('+', start);
        const QByteArray item = list.mid(start, plus < 0 ? -1 : plus - start);
        if (item == "No Words") {
            noWords = true;
            break;
        }
        items.append(item);
        if (plus < 0)
            break;
        start = plus + 1;
    }
    // Three to a row; the row after the last full one is always there (empty when the count
    // is a multiple of three).
    m_grid->setRowCount(int(items.size() / Columns) + 1);
    for (qsizetype i = 0; i < items.size(); ++i)
        m_grid->setItem(int(i / Columns), int(i % Columns), new QTableWidgetItem(QString::fromLatin1(items[i])));
    m_grid->setVisible(!items.isEmpty());
    m_nowords->setVisible(noWords);
    m_found->setText(QStringLiteral("Count: %1").arg(items.size()));
    show();
}

void Twordslist::setRemembered(int left, int top)
{
    m_remembered = QPoint(left, top);
    if (isVisible())
        move(m_remembered);
}

void Twordslist::setVisible(bool visible)
{
    // Placed before it is shown, so the frame's corner goes to the remembered place (as the
    // settings keep it). Moved while being shown, before the window manager has framed it
    // the first time, the inside would go there and the window would creep up by its title
    // bar.
    if (visible && !isVisible())
        move(m_remembered);
    QWidget::setVisible(visible);
    if (visible)
        raise(); // kept on top also where no window manager does it
}

void Twordslist::hideEvent(QHideEvent *event)
{
    m_remembered = pos();
    QWidget::hideEvent(event);
}
