#include "client/gameflow.h"

#include "client/boardview.h"
#include "widgets/announcer.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

// Word entry by mouse and keyboard over the WordEntry model, and the checks made before a word
// is sent; the host's messages and the countdown are in gameflow.cpp.

namespace {

const QString justWatching = QStringLiteral("You are just watching right now.");
const QString invalidSelection = QStringLiteral("Invalid Selection");

} // namespace

// ---- word entry ------------------------------------------------------------------------

void GameFlow::refreshWord()
{
    for (int n = 1; n <= BoardControls::Slots; ++n) {
        const int code = m_entry.slotCode(n);
        QLabel *slot = m_ui->image_letters[n - 1];
        slot->setPixmap(m_tiles.picture(code));
        const bool letter = n <= m_entry.wordLength();
        const QString name = QStringLiteral("Word letter %1, %2")
                                 .arg(n)
                                 .arg(letter ? QString(QChar('A' + code - 1)) : QStringLiteral("empty"));
        // Every new name is an event to a screen reader: a burst of unchanged ones would crowd
        // out the news it should speak.
        if (slot->accessibleName() != name)
            slot->setAccessibleName(name);
    }
    m_ui->paintbox_board->update();
}

void GameFlow::showMinLetters()
{
    m_ui->image_minletters->setVisible(m_entry.wordLength() < m_minLetters);
}

void GameFlow::tileAdded(const QString &sound)
{
    m_ui->button_send->show();
    m_ui->button_clear->show();
    showMinLetters();
    refreshWord();
    setStatus(QString());
    m_host.playsounds(sound);
}

void GameFlow::chooseCell(QPoint cell, bool press)
{
    if (m_entry.chooseCell(cell.x(), cell.y()) == WordEntry::Choice::Refused) {
        setVerdict(invalidSelection, invalidSelection);
        m_host.playsounds(QStringLiteral("invalid"));
        return;
    }
    if (press && !m_host.clickLettersChecked())
        m_dragging = true;
    m_hovered = cell;
    tileAdded(QStringLiteral("click"));
}

void GameFlow::paintbox_boardMouseDown(Qt::MouseButton button, QPoint pixel)
{
    if (!playersRound())
        return;
    if (m_host.justWatchChecked()) {
        m_host.showMessage(justWatching);
        return;
    }
    if (button == Qt::RightButton) {
        pressdone();
        return;
    }
    const QPoint cell = BoardView::cellAt(pixel);
    if (BoardView::onBoard(cell))
        chooseCell(cell, true);
}

void GameFlow::paintbox_boardMouseMove(QPoint pixel)
{
    if (!m_dragging || !playersRound())
        return;
    const QPoint cell = BoardView::cellAt(pixel);
    if (!BoardView::onBoard(cell) || cell == m_hovered || !BoardView::inInnerSquare(pixel))
        return;
    // A refused cell is hovered too, so resting on it does not repeat the refusal.
    m_hovered = cell;
    chooseCell(cell, false);
}

void GameFlow::paintbox_boardMouseUp(Qt::MouseButton, QPoint)
{
    // The press of a watching player did nothing; its release must not submit either.
    if (m_host.clickLettersChecked() || m_host.justWatchChecked())
        return;
    m_dragging = false;
    pressdone();
}

void GameFlow::button_sendClick()
{
    if (!playersRound())
        return;
    if (m_host.justWatchChecked()) {
        m_host.showMessage(justWatching);
        return;
    }
    pressdone();
}

void GameFlow::button_clearClick()
{
    if (!playersRound())
        return;
    if (m_host.justWatchChecked()) {
        m_host.showMessage(justWatching);
        return;
    }
    pressclear();
    m_host.playsounds(QStringLiteral("clear"));
}

void GameFlow::button_rotateClick()
{
    rotateboard();
}

void GameFlow::image_letters1Click(int slot)
{
    if (playersRound() && m_entry.wordLength() > 0 && slot == m_entry.wordLength())
        deleteoneletter();
}

void GameFlow::setTyping(bool on)
{
    m_typingOn = on;
    m_ui->label_typingoff->setText(on ? QStringLiteral("TYPING ON") : QStringLiteral("TYPING OFF"));
    // The keys go to the board now, whichever control had the focus: the focus shows it.
    if (on && playersRound() && m_boardView)
        m_boardView->setFocus(Qt::OtherFocusReason);
}

void GameFlow::label_typingoffClick()
{
    setTyping(!m_typingOn);
}

void GameFlow::pressdone()
{
    const int length = m_entry.wordLength();
    if (!playersRound() || length == 0)
        return;

    const QByteArray word = m_entry.wordText();
    const QString shown = QString::fromLatin1(word);
    if (length < 3) {
        refusal(NotEnoughLettersText, word);
        m_host.playsounds(QStringLiteral("invalid"));
    } else if (length < m_minLetters) {
        refusal(NotEnoughLettersText, word);
        addword(shown, TooShortColour);
        m_host.playsounds(QStringLiteral("invalid"));
    } else if (m_wordsTried.contains(word)) {
        refusal(AlreadyFoundText, word);
        addword(shown, AlreadyFoundColour);
        m_host.playsounds(QStringLiteral("invalid"));
    } else if (!m_host.isword(word)) {
        refusal(InvalidWordText, word);
        addword(shown, NotAWordColour);
        m_host.playsounds(QStringLiteral("invalid"));
    } else if (m_host.loggedIn()) {
        m_host.sendMessage(m_entry.playerdoneText(m_host.ownSeat()));
        m_host.playsounds(QStringLiteral("sendword"));
    }
    // Refused words count as tried, so trying one again says it was already found.
    m_wordsTried.append(word);
    m_ui->button_clear->hide();
    m_ui->button_send->hide();
    pressclear();
}

void GameFlow::pressclear()
{
    if (!playersRound())
        return;
    m_ui->image_minletters->show();
    m_entry.pressclear();
    refreshWord();
}

void GameFlow::rotateboard()
{
    if (!playersRound())
        return;
    pressclear();
    m_entry.rotateboard();
    refreshWord();
    m_host.playsounds(QStringLiteral("rotate"));
}

void GameFlow::deleteoneletter()
{
    if (!m_entry.deleteoneletter())
        return;
    showMinLetters();
    refreshWord();
}

bool GameFlow::typetheletter(int code)
{
    if (!playersRound() || m_entry.wordLength() >= WordEntry::MaxLetters)
        return false;
    switch (m_entry.typeLetter(code)) {
    case WordEntry::Typed::Placed:
        tileAdded(QStringLiteral("place"));
        return true;
    case WordEntry::Typed::Rerouted:
        tileAdded(QStringLiteral("place"));
        return false;
    case WordEntry::Typed::Refused:
        setVerdict(invalidSelection, QString(QChar('A' + code - 1)) + QStringLiteral(": ") + invalidSelection);
        m_host.playsounds(QStringLiteral("invalid"));
        return false;
    case WordEntry::Typed::Ignored:
        break;
    }
    return false;
}

bool GameFlow::FormShortCut(QKeyEvent *event)
{
    if (!playersRound() || m_host.disableTypingChecked() || !m_typingEnabled)
        return false;
    const int key = event->key();
    if (key == Qt::Key_Tab) {
        setTyping(!m_typingOn);
        return true;
    }
    if (!m_typingOn)
        return false;

    // The numeric keypad's 1 and 0 are other keys: they neither clear nor turn the board.
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        pressdone();
    else if (key == Qt::Key_1 && !keypad)
        pressclear();
    else if ((key == Qt::Key_0 && !keypad) || (key == Qt::Key_R && ctrl))
        rotateboard();
    else if (key == Qt::Key_Backspace)
        deleteoneletter();
    else if (key >= Qt::Key_A && key <= Qt::Key_Z)
        typetheletter(key - Qt::Key_A + 1);
    return true;
}

bool GameFlow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    auto *widget = static_cast<QWidget *>(watched);
    if (mouse->button() != Qt::LeftButton || !widget->rect().contains(mouse->position().toPoint()))
        return QObject::eventFilter(watched, event);

    if (watched == m_ui->label_typingoff) {
        label_typingoffClick();
        return true;
    }
    for (int n = 1; n <= BoardControls::Slots; ++n) {
        if (watched == m_ui->image_letters[n - 1]) {
            image_letters1Click(n);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
