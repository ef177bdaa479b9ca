#include "client/gameflow.h"

#include "client/boardview.h"
#include "client/playerslots.h"
#include "words/tallyrecorder.h"
#include "dialogs/twordslist.h"
#include "net/fieldreader.h"
#include "words/lettercodes.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

namespace {

constexpr int MaxSeat = 10;
// A round longer than a day is garbage from the network; the countdown stops there so that
// counting down can never overflow.
constexpr int MaxCountdown = 24 * 60 * 60;

const QColor firstFinder(255, 255, 198);
const QColor notFirst(255, 255, 255);
const QColor notAWord(0, 0, 0);
const QColor alreadyFound(128, 0, 0);
const QColor tooShort(255, 128, 0);
const QColor timerRed(255, 0, 0);
const QColor timerNormal(224, 227, 157);

const QString justWatching = QStringLiteral("You are just watching right now.");
const QString invalidSelection = QStringLiteral("Invalid Selection");
const QString notEnoughLetters = QStringLiteral("Not enough letters.");
const QString alreadyFoundText = QStringLiteral("You have already found that word.");
const QString invalidWord = QStringLiteral("Invalid Word.");

bool isSeat(int seat) { return seat >= 1 && seat <= MaxSeat; }

int toNumber(const QByteArray &field)
{
    const std::optional<int> value = parseNumber(field);
    if (!value)
        throw FieldError("not a number: " + field.left(32).toStdString());
    return *value;
}

QString text(const QByteArray &bytes) { return QString::fromLatin1(bytes); }

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    w->setPalette(pal);
}

} // namespace

GameFlow::GameFlow(QWidget *boardPanel, GameFlowHost &host, Twordslist *wordsList, QObject *parent)
    : QObject(parent),
      m_host(host),
      m_wordsList(wordsList),
      m_tiles(TileSet::builtIn(boardPanel->devicePixelRatioF())),
      m_ui(std::make_unique<BoardControls>(boardPanel, m_entry, m_tiles)),
      m_boardView(m_ui->paintbox_board)
{
    m_turntime = new QTimer(this);
    m_turntime->setObjectName(QStringLiteral("turntime"));
    m_turntime->setInterval(1000);
    connect(m_turntime, &QTimer::timeout, this, &GameFlow::turntimeTimer);

    BoardView *board = m_ui->paintbox_board;
    connect(board, &BoardView::mouseDown, this, &GameFlow::paintbox_boardMouseDown);
    connect(board, &BoardView::mouseMove, this, &GameFlow::paintbox_boardMouseMove);
    connect(board, &BoardView::mouseUp, this, &GameFlow::paintbox_boardMouseUp);
    connect(m_ui->button_send, &QPushButton::clicked, this, &GameFlow::button_sendClick);
    connect(m_ui->button_clear, &QPushButton::clicked, this, &GameFlow::button_clearClick);
    connect(m_ui->button_rotate, &QPushButton::clicked, this, &GameFlow::button_rotateClick);
    for (QLabel *slot : m_ui->image_letters)
        slot->installEventFilter(this);
    m_ui->label_typingoff->installEventFilter(this);

    clearall();
}

GameFlow::~GameFlow()
{
    delete m_boardView;
}

void GameFlow::setTileSet(const TileSet &tiles)
{
    m_tiles = tiles;
    m_ui->paintbox_board->setTileSet(tiles);
    refreshWord();
}

void GameFlow::setTypingLabelShown(bool shown)
{
    m_ui->label_typingoff->setVisible(shown);
}

bool GameFlow::playersRound() const
{
    // Active seat 0 means no round, even for a client that has no seat yet.
    return m_activeSeat != 0 && m_activeSeat == m_host.ownSeat();
}

QLabel *GameFlow::slotLabel(const char *prefix, int seat) const
{
    if (!isSeat(seat))
        return nullptr;
    return m_ui->panel->findChild<QLabel *>(QLatin1String(prefix) + QString::number(seat));
}

void GameFlow::showScore(int seat, int total)
{
    if (QLabel *score = slotLabel("label_score", seat)) {
        score->setText(QString::number(total));
        PlayerSlots::fitScore(score, slotLabel("label_bonus", seat));
    }
}

QString GameFlow::playerName(int seat) const
{
    const QLabel *name = slotLabel("label_playername", seat);
    return name ? name->text() : QString();
}

void GameFlow::setStatus(const QString &status)
{
    m_ui->label_status->setText(status);
}

// ---- messages --------------------------------------------------------------------------

void GameFlow::loadboard(const QByteArray &payload)
{
    const bool loaded = m_entry.loadBoard(payload);
    m_ui->paintbox_board->update();
    refreshWord();
    if (!loaded)
        throw FieldError("CMD_loadboard: a field is not a number");
    Q_EMIT boardLoaded();
}

void GameFlow::startthegame(const QByteArray &payload)
{
    m_activeSeat = 0;
    m_host.setStartButtonVisible(false);
    m_host.setJustWatchChecked(false);
    m_ui->button_rotate->hide();
    m_ui->button_send->hide();
    m_ui->button_clear->hide();
    m_ui->panel_winner->hide();
    if (m_wordsList)
        m_wordsList->hide();
    clearall();

    FieldReader fields(payload);
    const QByteArray starter = fields.field();
    const QByteArray playTo = fields.field();
    const QByteArray seconds = fields.field();
    const QByteArray boardType = fields.field();
    const QByteArray minimum = fields.field();
    m_host.addlinetochat(text(starter) + QStringLiteral(" has started a game."), SystemColour);
    applySettings(playTo, seconds, minimum, boardType);
    Q_EMIT gameStarted();
}

void GameFlow::setSecondsPerRound(const QByteArray &field)
{
    m_secondsPerRound = parseNumber(field).value_or(60);
    // The host never announces 0 seconds, but a stranger's host might: the bar then stays empty.
    m_barStep = m_secondsPerRound > 0 ? BoardControls::TimerBarWidth / m_secondsPerRound : 0;
    m_ui->label_timeperturn->setText(QStringLiteral("Time: %1secs").arg(m_secondsPerRound));
}

void GameFlow::applySettings(const QByteArray &playTo, const QByteArray &seconds,
                             const QByteArray &minimum, const QByteArray &boardType)
{
    setSecondsPerRound(seconds);
    m_ui->label_playtoscore->setText(QStringLiteral("Play to Score: ") + text(playTo));
    m_ui->label_minletters->setText(text(minimum) + QStringLiteral(" Letters Min"));
    m_minLetters = toNumber(minimum);
    m_host.addlinetochat(text(minimum) + QStringLiteral(" LETTER MINIMUM!"), SystemColour);

    static const char *const sizes[] = {"4X4", "6X6", "8X8", "10X10", "?", "5X5", "7X7", "9X9"};
    // A code that does not read is just another unknown code: the label stays as it was.
    const int code = parseNumber(boardType).value_or(0);
    const bool known = code >= 4 && code <= 11;
    if (known)
        m_ui->label_boardsize->setText(QStringLiteral("Board Size: ") + QLatin1String(sizes[code - 4]));
    m_entry.setOddSize(code >= 9 && code <= 11);
    m_ui->paintbox_board->update();
}

void GameFlow::loadstats(const QByteArray &payload)
{
    FieldReader fields(payload);
    if (fields.number() != m_host.ownSeat())
        return;
    const QByteArray playTo = fields.field();
    const QByteArray seconds = fields.field();
    const QByteArray boardType = fields.field();
    const QByteArray minimum = fields.field();
    const int timeLeft = fields.number();
    const int phase = fields.number();
    while (fields.groupsLeft()) {
        const int seat = fields.number();
        const int score = fields.number();
        showScore(seat, score);
    }
    applySettings(playTo, seconds, minimum, boardType);

    // The host's figure runs 5 seconds behind its own round timer; joining in the last
    // four seconds would open a round that is already over.
    const int own = m_host.ownSeat();
    if (phase == 1 && timeLeft > 4 && isSeat(own)) {
        m_activeSeat = own;
        openRound();
        m_countdown = qMin(timeLeft, MaxCountdown);
        m_turntime->start();
    }
}

void GameFlow::openRound()
{
    m_dragging = false;
    m_hovered = QPoint(-1, -1);
    m_entry.pressclear();
    refreshWord();
    setStatus(QStringLiteral("Click or Type a Word!"));
    m_host.playsounds(m_host.turnSoundTag() == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn"));
    m_ui->button_rotate->show();
    m_typingEnabled = true;
    setTyping(true);
}

void GameFlow::getnextplayer(const QByteArray &payload)
{
    m_entry.pressclear();
    m_wordsTried.clear();
    m_ui->richedit_words->clear();
    m_wordsFound = 0;
    m_ui->label_found->setText(QStringLiteral("Count: 0"));
    if (m_wordsList)
        m_wordsList->hide();
    refreshWord();

    FieldReader fields(payload);
    m_activeSeat = fields.number();
    if (playersRound())
        openRound();
    else
        setStatus(playerName(m_activeSeat) + QStringLiteral("'s turn."));
    m_countdown = qBound(0, m_secondsPerRound, MaxCountdown);
    m_turntime->start();
}

void GameFlow::goodword(const QByteArray &payload)
{
    FieldReader fields(payload);
    if (fields.number() != m_host.ownSeat())
        return;
    const int points = fields.number();
    const QByteArray word = fields.field();
    fields.number(); // the letter count; the word itself says it
    const int first = fields.number();

    setStatus(QStringLiteral("You made %1 for %2 points!").arg(text(word)).arg(points));
    ++m_wordsFound;
    m_ui->label_found->setText(QStringLiteral("Count: %1").arg(m_wordsFound));
    if (word.size() >= WordEntry::MaxLetters) {
        if (TallyRecorder *tally = m_host.tally())
            tally->addtomineincrease(4);
    }
    addword(QStringLiteral("%1 : %2").arg(points).arg(text(word)), first == 1 ? firstFinder : notFirst);
    Q_EMIT ownWordAccepted(word);
}

void GameFlow::notvalid(const QByteArray &payload)
{
    FieldReader fields(payload);
    if (fields.number() != m_host.ownSeat())
        return;
    const int reason = fields.number();
    const QString word = text(fields.field());
    switch (reason) {
    case 1:
        setStatus(invalidWord);
        addword(word, notAWord);
        break;
    case 2:
        setStatus(alreadyFoundText);
        addword(word, alreadyFound);
        break;
    case 3:
        setStatus(notEnoughLetters);
        addword(word, tooShort);
        break;
    default:
        break;
    }
    m_host.playsounds(QStringLiteral("invalid"));
    pressclear();
}

void GameFlow::addscore(const QByteArray &payload)
{
    FieldReader fields(payload);
    const int seat = fields.number();
    const int points = fields.number();
    const int total = fields.number();
    if (!isSeat(seat))
        return;
    if (QLabel *bonus = slotLabel("label_bonus", seat))
        bonus->setText(QLatin1Char('+') + QString::number(points));
    m_bonusHold[seat] = 3;
    showScore(seat, total);
}

void GameFlow::timeup(const QByteArray &payload)
{
    setStatus(QStringLiteral("Round Over. Posting Scores.."));
    m_ui->button_rotate->hide();
    m_ui->button_send->hide();
    m_ui->button_clear->hide();
    m_activeSeat = 0;

    FieldReader fields(payload);
    while (fields.groupsLeft()) {
        const int seat = fields.number();
        const int bonus = fields.number();
        const int total = fields.number();
        if (!isSeat(seat))
            continue;
        if (bonus > 0) {
            if (QLabel *label = slotLabel("label_bonus", seat))
                label->setText(QLatin1Char('+') + QString::number(bonus));
        }
        showScore(seat, total);
    }
    m_host.playsounds(QStringLiteral("roundover"));

    if (TallyRecorder *tally = m_host.tally()) {
        bool ok = false;
        const int most = tally->mostWordsCaption().toInt(&ok);
        if (ok && most < m_wordsFound)
            tally->addtomineset(3, m_wordsFound);
    }
}

void GameFlow::mainlist(const QByteArray &payload)
{
    FieldReader fields(payload);
    if (fields.number() != m_host.ownSeat())
        return;
    const QByteArray list = fields.rest();
    if (m_wordsList)
        m_wordsList->thewords(list);
    Q_EMIT roundWordsListed(list);
}

void GameFlow::winner(const QByteArray &payload)
{
    FieldReader fields(payload);
    const QByteArray name = fields.field();
    m_host.playsounds(QStringLiteral("gameover"));

    const int own = m_host.ownSeat();
    const bool won = isSeat(own) && playerName(own) == text(name);
    const QString caption = won ? QStringLiteral("You have Won the Game!")
                                : text(name) + QStringLiteral(" has Won the Game!");
    m_ui->label_winner1->setText(caption);
    m_ui->label_winner2->setText(caption);
    setStatus(QStringLiteral("Game Over!"));
    m_host.addlinetochat(caption, SystemColour);
    m_ui->panel_winner->show();
    if (m_host.isHost())
        m_host.setStartButtonVisible(true);
    if (isSeat(own)) {
        if (TallyRecorder *tally = m_host.tally())
            tally->addgame(won ? QByteArray("addtomine") : name);
    }
}

void GameFlow::turntimeTimer()
{
    --m_countdown;
    if (m_countdown <= 0) {
        // The round is over here even if the host's word is late; entry stays closed.
        m_countdown = 0;
        m_ui->label_timer->setText(QStringLiteral("Time: 0:00"));
        m_ui->image_timer->resize(0, m_ui->image_timer->height());
        m_activeSeat = 0;
        m_ui->button_send->hide();
        m_ui->button_rotate->hide();
        m_ui->button_clear->hide();
        return;
    }

    // A host that reports more time left than a round has would stretch the bar past its place.
    const qint64 bar = qint64(m_barStep) * m_countdown;
    m_ui->image_timer->resize(int(qBound(qint64(0), bar, qint64(BoardControls::TimerBarWidth))),
                              m_ui->image_timer->height());
    setTextColour(m_ui->label_timer, m_countdown < 20 ? timerRed : timerNormal);
    if (m_countdown == 20 || m_countdown == 15 || m_countdown <= 10)
        m_host.playsounds(QStringLiteral("tick"));
    m_ui->label_timer->setText(QStringLiteral("Time: %1:%2")
                                   .arg(m_countdown / 60)
                                   .arg(m_countdown % 60, 2, 10, QLatin1Char('0')));
    for (int seat = 1; seat <= MaxSeat; ++seat) {
        // Held at -1 once expired, so a long game never wraps the counter.
        m_bonusHold[seat] = qMax(-1, m_bonusHold[seat] - 1);
        if (m_bonusHold[seat] < 0) {
            QLabel *bonus = slotLabel("label_bonus", seat);
            if (bonus && !bonus->text().isEmpty())
                bonus->clear();
        }
    }
}

void GameFlow::clearall()
{
    m_ui->button_clear->hide();
    for (int seat = 1; seat <= MaxSeat; ++seat) {
        showScore(seat, 0);
        if (QLabel *bonus = slotLabel("label_bonus", seat))
            bonus->clear();
    }
    // Every round deals a new board before it opens, so the dealt board goes with the shown one.
    const bool odd = m_entry.oddSize();
    m_entry = WordEntry();
    m_entry.setOddSize(odd);
    m_ui->paintbox_board->update();
    refreshWord();
}

void GameFlow::addword(const QString &line, const QColor &colour)
{
    QTextEdit *words = m_ui->richedit_words;
    // Player text never becomes markup: it goes in as plain characters with a format.
    words->setUpdatesEnabled(false);
    QTextCursor cursor(words->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(QFont::Normal);
    cursor.insertText(line, format);
    cursor.insertBlock();
    words->setUpdatesEnabled(true);
    words->update();
}

// ---- word entry ------------------------------------------------------------------------

void GameFlow::refreshWord()
{
    for (int n = 1; n <= BoardControls::Slots; ++n)
        m_ui->image_letters[n - 1]->setPixmap(m_tiles.picture(m_entry.slotCode(n)));
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
        setStatus(invalidSelection);
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
    const QString shown = text(word);
    if (length < 3) {
        setStatus(notEnoughLetters);
        m_host.playsounds(QStringLiteral("invalid"));
    } else if (length < m_minLetters) {
        setStatus(notEnoughLetters);
        addword(shown, tooShort);
        m_host.playsounds(QStringLiteral("invalid"));
    } else if (m_wordsTried.contains(word)) {
        setStatus(alreadyFoundText);
        addword(shown, alreadyFound);
        m_host.playsounds(QStringLiteral("invalid"));
    } else if (!m_host.isword(word)) {
        setStatus(invalidWord);
        addword(shown, notAWord);
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
        setStatus(invalidSelection);
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
