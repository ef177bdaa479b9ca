#include "dialogs/tphrases.h"

#include "widgets/dialoglook.h"


#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr std::array<int, Tphrases::PhraseCount> rowTops{12, 36, 60, 84, 108, 131, 155, 179, 203};

} // namespace

Tphrases::Tphrases(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(QStringLiteral("Lexitangle - Phrase Buttons "));
    setFixedSize(368, 263);
    setModal(false);
    DialogLook::applyBackground(this);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    // Small enough that "Phrase Button 9:" ends before the edits at 112.
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(11);
    QPalette editPalette = palette();
    editPalette.setColor(QPalette::Base, QColor(226, 228, 182));
    editPalette.setColor(QPalette::Text, Qt::black);
    for (int n = 1; n <= PhraseCount; ++n) {
        auto *label = new QLabel(QStringLiteral("Phrase Button %1:").arg(n), this);
        label->setFont(bold);
        label->move(9, rowTops[n - 1] + 1);
        label->adjustSize();
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("phrase%1").arg(n));
        edit->setGeometry(112, rowTops[n - 1], 248, 21);
        edit->setMaxLength(MaxPhraseLength);
        edit->setPalette(editPalette);
        label->setBuddy(edit); // names the edit for assistive tools
        m_edits[n - 1] = edit;
    }

    auto *note = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    note->setGeometry(25, 229, 137, 25);
    note->setAlignment(Qt::AlignCenter);
    note->setWordWrap(true);
    QFont small = note->font();
    small.setPixelSize(10);
    note->setFont(small);

    auto *doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("button_done"));
    doneButton->setGeometry(266, 230, 95, 20);
    doneButton->setAutoDefault(false);
    connect(doneButton, &QPushButton::clicked, this, &Tphrases::button_doneClick);
}

void Tphrases::setPhraseText(int n, const QString &text)
{
    if (n >= 1 && n <= PhraseCount)
        m_edits[n - 1]->setText(text);
}

QString Tphrases::phraseText(int n) const
{
    return n >= 1 && n <= PhraseCount ? m_edits[n - 1]->text() : QString();
}

void Tphrases::button_doneClick()
{
    Q_EMIT done();
    close();
}

void Tphrases::showEvent(QShowEvent *event)
{
    if (const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr)
        move(owner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
    QDialog::showEvent(event);
}
