#include "dialogs/tphrases.h"

#include "client/chatpanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr std::array<int, 9> rowTops{12, 36, 60, 84, 108, 131, 155, 179, 203};

QPalette windowPalette(QPalette pal)
{
    pal.setColor(QPalette::Window, QColor(76, 106, 76));
    pal.setColor(QPalette::WindowText, Qt::white);
    return pal;
}

} // namespace

Tphrases::Tphrases(ChatPanel *panel, QWidget *parent)
    : QDialog(parent)
    , m_panel(panel)
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(QStringLiteral("Lexitangle - Phrase Buttons "));
    setFixedSize(368, 263);
    setAutoFillBackground(true);
    setPalette(windowPalette(palette()));

    // Small enough that "Phrase Button 9:" ends before the edits at 112.
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(11);
    QPalette editPalette = palette();
    editPalette.setColor(QPalette::Base, QColor(226, 228, 182));
    editPalette.setColor(QPalette::Text, Qt::black);
    for (int n = 1; n <= 9; ++n) {
        auto *label = new QLabel(QStringLiteral("Phrase Button %1:").arg(n), this);
        label->setFont(bold);
        label->move(9, rowTops[n - 1] + 1);
        label->adjustSize();
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("phrase%1").arg(n));
        edit->setGeometry(112, rowTops[n - 1], 248, 21);
        edit->setMaxLength(MaxPhraseLength);
        edit->setPalette(editPalette);
        m_edits[n - 1] = edit;
    }

    auto *note = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    note->setGeometry(25, 229, 137, 25);
    note->setAlignment(Qt::AlignCenter);
    note->setWordWrap(true);
    QFont small = note->font();
    small.setPixelSize(10);
    note->setFont(small);

    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(266, 230, 95, 20);
    done->setAutoDefault(false);
    connect(done, &QPushButton::clicked, this, &Tphrases::button_doneClick);
}

void Tphrases::setBackground(const QPixmap &tile)
{
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, QBrush(QColor(76, 106, 76), tile));
    setPalette(pal);
}

QLineEdit *Tphrases::phraseEdit(int n) const
{
    return n >= 1 && n <= 9 ? m_edits[n - 1] : nullptr;
}

void Tphrases::PrhaseList1Click()
{
    for (int n = 1; n <= 9; ++n)
        m_edits[n - 1]->setText(m_panel->phrase(n));
    centreOnParent();
    show();
    raise();
    activateWindow();
}

void Tphrases::button_doneClick()
{
    QStringList phrases;
    for (int n = 1; n <= 9; ++n) {
        const QString text = m_edits[n - 1]->text();
        m_panel->setPhrase(n, text);
        phrases << text;
    }
    Q_EMIT storePhrases(phrases);
    close();
}

void Tphrases::centreOnParent()
{
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (!owner)
        return;
    const QRect frame = owner->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
}
