#include "dialogs/boardcodeprompt.h"

#include "widgets/dialoglook.h"
#include "widgets/infront.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

BoardCodePrompt::BoardCodePrompt(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("boardcodeprompt"));
    setWindowTitle(QStringLiteral("Lexitangle - Play a Board Code"));
    DialogLook::applyBackground(this);
    setMinimumWidth(420);

    QLabel *caption = DialogLook::label(this, QStringLiteral("The board code a player shared with you:"), QRect());
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("edit_boardcode"));
    m_edit->setMaxLength(MaxTyped);
    m_edit->setPlaceholderText(QStringLiteral("44-XXXXX-XXXXX-XXXXX-XX"));
    m_problem = DialogLook::label(this, QString(), QRect(), QStringLiteral("label_codeproblem"));
    m_problem->setWordWrap(true);
    m_problem->setMinimumHeight(36);
    m_problem->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_play = new QPushButton(QStringLiteral("Play"), this);
    m_play->setObjectName(QStringLiteral("button_playcode"));
    m_play->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("button_cancelcode"));
    cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_play);
    buttons->addWidget(cancel);
    auto *all = new QVBoxLayout(this);
    all->addWidget(caption);
    all->addWidget(m_edit);
    all->addWidget(m_problem);
    all->addLayout(buttons);

    connect(m_edit, &QLineEdit::textChanged, this, &BoardCodePrompt::check);
    connect(m_play, &QPushButton::clicked, this, &BoardCodePrompt::play);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    check();
}

void BoardCodePrompt::ask()
{
    const QString clip = QApplication::clipboard()->text().left(MaxTyped).trimmed();
    m_edit->setText(BoardCode::decode(clip) ? clip : QString());
    check(); // also when the text was already the same
    InFront::show(this);
    m_edit->setFocus();
    m_edit->selectAll();
}

QString BoardCodePrompt::problem() const
{
    return m_problem->text();
}

void BoardCodePrompt::check()
{
    QString error;
    const std::optional<BoardCode> code = BoardCode::decode(m_edit->text(), &error);
    m_play->setEnabled(code.has_value());
    if (code) {
        m_problem->setText(QStringLiteral("A %1X%1 board, words of %2 letters or more.")
                               .arg(code->side())
                               .arg(code->minLetters()));
    } else {
        // An empty field needs no telling off.
        m_problem->setText(m_edit->text().trimmed().isEmpty() ? QString() : error);
    }
}

void BoardCodePrompt::play()
{
    const std::optional<BoardCode> code = BoardCode::decode(m_edit->text());
    if (!code)
        return;
    accept();
    Q_EMIT codeChosen(*code);
}
