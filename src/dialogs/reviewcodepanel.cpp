#include "dialogs/reviewcodepanel.h"

#include "widgets/dialoglook.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Laid out beside the board, so it wraps.
QLabel *wrappingLabel(QWidget *parent, const char *name)
{
    QLabel *label = DialogLook::creamLabel(parent, QString(), false, QLatin1String(name));
    label->setWordWrap(true);
    return label;
}

QString counted(int n, const char *thing)
{
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(thing)).arg(n == 1 ? QLatin1String() : QLatin1String("s"));
}

QString resultText(const HistoryStore::BoardResult &r)
{
    const QString words = r.boardWords >= 0 ? QStringLiteral("%1 of %2").arg(r.found).arg(counted(r.boardWords, "word"))
                                            : counted(r.found, "word");
    return QStringLiteral("%1: %2, %3, %4 letters min")
        .arg(r.ended.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")), words, counted(r.points, "point"))
        .arg(r.minLetters);
}

} // namespace

ReviewCodePanel::ReviewCodePanel(QWidget *parent)
    : QWidget(parent)
{
    m_text = wrappingLabel(this, "label_boardcode");
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_copy = new QPushButton(QStringLiteral("Copy Board Code"), this);
    m_copy->setObjectName(QStringLiteral("button_copycode"));
    m_play = new QPushButton(QStringLiteral("Play This Board"), this);
    m_play->setObjectName(QStringLiteral("button_playboard"));
    m_earlier = wrappingLabel(this, "label_earlier");
    m_earlier->hide(); // takes no room until there is something to say

    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(m_text, 1);
    codeRow->addWidget(m_copy);
    codeRow->addWidget(m_play);
    auto *all = new QVBoxLayout(this);
    all->setContentsMargins(0, 0, 0, 0);
    all->addLayout(codeRow);
    all->addWidget(m_earlier);

    connect(m_copy, &QPushButton::clicked, this, [this] {
        if (m_code)
            QApplication::clipboard()->setText(m_code->text());
    });
    connect(m_play, &QPushButton::clicked, this, [this] {
        if (m_code && m_playable)
            Q_EMIT playRequested(*m_code);
    });
    refresh();
}

void ReviewCodePanel::showRound(const RoundHistory::Round *round)
{
    m_shown = round != nullptr;
    m_square = round ? RecordedBoard::squareOf(round->cells) : RecordedBoard::Square();
    // A minimum the game start dialog does not offer (a crafted host's) gives way to the
    // nearest one it does: the board is what the code is for.
    const int minimum = round ? std::clamp(round->minLetters, BoardCode::MinLetters, BoardCode::MaxLetters) : 0;
    m_code = round ? BoardCode::fromSquare(m_square.side, minimum, m_square.letters) : std::nullopt;
    m_dealt = round ? round->dealt : QDateTime();
    m_earlier->clear();
    m_earlier->hide();
    refresh();
}

void ReviewCodePanel::setPlayable(bool playable)
{
    m_playable = playable;
    refresh();
}

void ReviewCodePanel::showResults(const RecordedBoard::Square &square, const QList<HistoryStore::BoardResult> &results)
{
    if (!m_shown || square != m_square)
        return;
    m_earlier->setText(earlierText(results, m_dealt));
    m_earlier->setVisible(!m_earlier->text().isEmpty());
}

void ReviewCodePanel::refresh()
{
    if (m_code)
        m_text->setText(QStringLiteral("Board code: ") + m_code->text());
    else
        m_text->setText(m_shown ? QStringLiteral("No deal makes this board: it has no code.") : QString());
    m_copy->setEnabled(m_code.has_value());
    m_play->setEnabled(m_code && m_playable);
    m_play->setToolTip(m_playable ? QStringLiteral("Start a game whose first round deals this board")
                                  : QStringLiteral("Only the hosting player starts games, between games"));
}

QString ReviewCodePanel::earlierText(const QList<HistoryStore::BoardResult> &results, const QDateTime &dealt)
{
    QStringList named;
    int more = 0;
    for (qsizetype i = results.size() - 1; i >= 0; --i) {
        if (dealt.isValid() && !(results[i].ended < dealt))
            continue; // this round itself, or one after it
        if (named.size() < EarlierShown)
            named << resultText(results[i]);
        else
            ++more;
    }
    if (named.isEmpty())
        return QString();
    QString text = QStringLiteral("You played this board before. ") + named.join(QStringLiteral("; "));
    if (more > 0)
        text += QStringLiteral("; and ") + counted(more, "more time");
    return text + QLatin1Char('.');
}
