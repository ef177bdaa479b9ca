#include "dialogs/thelp.h"

#include "widgets/accessiblenames.h"
#include "widgets/dialoglook.h"
#include "dialogs/helptext.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextBrowser>

#include <utility>

namespace {

constexpr int SideWidth = 137;
constexpr int Width = 521;
constexpr int Height = 422;

const char *const PageTitles[HelpText::PageCount] = {"Overview", "Connecting", "Game Play",
                                                     "Scoring", "Documentation", "License"};

} // namespace

Thelp::Thelp(std::function<void()> showAbout, QWidget *parent)
    : QDialog(parent)
    , m_showAbout(std::move(showAbout))
{
    setObjectName(QStringLiteral("help"));
    setWindowTitle(QStringLiteral("Lexitangle - Help File"));
    setFixedSize(Width, Height);
    DialogLook::applyBackground(this);

    for (int tag = 1; tag <= HelpText::PageCount; ++tag) {
        auto *page = DialogLook::button(this, QString::fromLatin1(PageTitles[tag - 1]),
                                        QRect(8, 10 + 34 * (tag - 1), SideWidth - 16, 28),
                                        QStringLiteral("SelButton%1").arg(tag));
        page->setProperty("tag", tag);
        connect(page, &QPushButton::clicked, this, [this, page] { SelButton1Click(page); });
    }
    auto *about = DialogLook::button(this, QStringLiteral("About"),
                                     QRect(8, 10 + 34 * HelpText::PageCount + 12, SideWidth - 16, 28),
                                     QStringLiteral("button_about"));
    connect(about, &QPushButton::clicked, this, [this] {
        if (m_showAbout)
            m_showAbout();
    });
    auto *done = DialogLook::button(this, QStringLiteral("Done"),
                                    QRect(8, Height - 38, SideWidth - 16, 28),
                                    QStringLiteral("button_done"));
    connect(done, &QPushButton::clicked, this, &QDialog::hide);

    const QRect main(SideWidth + 4, 4, Width - SideWidth - 8, Height - 8);
    m_caption = DialogLook::label(this, QString::fromLatin1(PageTitles[0]),
                                  QRect(main.x() + 4, main.y(), main.width() - 8, 24),
                                  QStringLiteral("label_caption"));
    QFont big = m_caption->font();
    big.setPixelSize(16);
    m_caption->setFont(big);

    m_pages = new QStackedWidget(this);
    m_pages->setGeometry(main.adjusted(0, 28, 0, 0));
    for (int number = 1; number <= HelpText::PageCount; ++number) {
        auto *memo = new QTextBrowser(m_pages);
        memo->setObjectName(QStringLiteral("memo%1").arg(number));
        memo->setReadOnly(true);
        memo->setOpenLinks(false);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setHtml(HelpText::page(number));
        AccessibleNames::scrollArea(memo, QString::fromLatin1(PageTitles[number - 1]));
        m_pages->addWidget(memo);
    }
    m_pages->setCurrentIndex(0);
}

int Thelp::currentPage() const
{
    return m_pages->currentIndex() + 1;
}

void Thelp::SelButton1Click(const QPushButton *button)
{
    const int tag = button->property("tag").toInt();
    if (tag < 1 || tag > HelpText::PageCount)
        return;
    m_pages->setCurrentIndex(tag - 1);
    m_caption->setText(button->text());
}
