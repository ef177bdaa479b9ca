#include "client/gameflow.h"

#include "client/boardview.h"
#include "client/playerslots.h"
#include "client/verdictlook.h"
#include "client/timebar.h"
#include "widgets/announcer.h"
#include "words/tallyrecorder.h"
#include "dialogs/twordslist.h"
#include "net/fieldreader.h"
#include "net/protocol.h"
#include "session/clientsession.h"
#include "widgets/colourvalue.h"
#include "words/lettercodes.h"
#include "words/tallytable.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

// The host's game messages, the countdown and the words panel; word entry by mouse and
// keyboard is in gameflowentry.cpp.

namespace {

using Protocol::isSeat;
using Protocol::SeatCount;
constexpr quint32 SystemLine = ColourValue::SystemLine;
// A round longer than a day is garbage from the network; the countdown stops there so that
// counting down can never overflow.
constexpr int MaxCountdown = 24 * 60 * 60;

const QColor firstFinder(255, 255, 198);
const QColor notFirst(255, 255, 255);
const QColor timerRed(255, 0, 0);
const QColor timerNormal(224, 227, 157);

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
    // Keys of their own, taken before word entry sees them, so they work with typing on.
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_B), boardPanel), &QShortcut::activated, this,
            &GameFlow::readBoard);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), boardPanel), &QShortcut::activated, this,
            &GameFlow::readWord);

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

void GameFlow::listenTo(ClientSession &session)
{
    connect(&session, &ClientSession::gameStarted, this, &GameFlow::startthegame);
    connect(&session, &ClientSession::boardLoaded, this, &GameFlow::loadboard);
    connect(&session, &ClientSession::gameStateLoaded, this, &GameFlow::loadstats);
    connect(&session, &ClientSession::roundStarted, this, &GameFlow::getnextplayer);
    connect(&session, &ClientSession::wordAccepted, this, &GameFlow::goodword);
    connect(&session, &ClientSession::wordRefused, this, &GameFlow::notvalid);
    connect(&session, &ClientSession::scoreAdded, this, &GameFlow::addscore);
    connect(&session, &ClientSession::roundOver, this, &GameFlow::timeup);
    connect(&session, &ClientSession::roundWordsListed, this, &GameFlow::mainlist);
    connect(&session, &ClientSession::winnerNamed, this, &GameFlow::winner);
}

void GameFlow::loadboard(const Msg::BoardTiles &tiles)
{
    const bool whole = m_entry.loadBoard(tiles);
    m_ui->paintbox_board->update();
    refreshWord();
    if (whole)
        Q_EMIT boardLoaded();
}

void GameFlow::startthegame(const Msg::GameStart &start)
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

    m_host.addlinetochat(text(start.starter) + QStringLiteral(" has started a game."), SystemLine);
    applySettings(start.settings);
    Q_EMIT gameStarted();
}

void GameFlow::setSecondsPerRound(const QByteArray &field)
{
    m_secondsPerRound = parseNumber(field).value_or(60);
    // The host never announces 0 seconds, but a stranger's host might: the bar then stays empty.
    m_barStep = m_secondsPerRound > 0 ? BoardControls::TimerBarWidth / m_secondsPerRound : 0;
    m_ui->label_timeperturn->setText(QStringLiteral("Time: %1secs").arg(m_secondsPerRound));
}

void GameFlow::applySettings(const Msg::GameSettings &settings)
{
    setSecondsPerRound(settings.seconds);
    m_ui->label_playtoscore->setText(QStringLiteral("Play to Score: ") + text(settings.playTo));
    m_ui->label_minletters->setText(text(settings.minimum) + QStringLiteral(" Letters Min"));
    // The session refuses a game whose minimum is no number before it gets here.
    m_minLetters = parseNumber(settings.minimum).value_or(0);
    m_host.addlinetochat(text(settings.minimum) + QStringLiteral(" LETTER MINIMUM!"), SystemLine);

    static const char *const sizes[] = {"4X4", "6X6", "8X8", "10X10", "?", "5X5", "7X7", "9X9"};
    // A code that does not read is just another unknown code: the label stays as it was.
    const int code = parseNumber(settings.boardType).value_or(0);
    const bool known = code >= 4 && code <= 11;
    if (known)
        m_ui->label_boardsize->setText(QStringLiteral("Board Size: ") + QLatin1String(sizes[code - 4]));
    m_entry.setOddSize(code >= 9 && code <= 11);
    m_ui->paintbox_board->update();
}

void GameFlow::loadstats(const Msg::GameState &state)
{
    const int own = m_host.ownSeat();
    if (state.seat != own)
        return;
    for (const Msg::SeatScore &score : state.scores)
        showScore(score.seat, score.score);
    if (!state.whole)
        return;
    applySettings(state.settings);

    // The host's figure runs 5 seconds behind its own round timer; joining in the last
    // four seconds would open a round that is already over.
    if (state.phase == Protocol::RoundRunning && state.timeLeft > 4 && isSeat(own)) {
        m_activeSeat = own;
        openRound();
        m_countdown = qMin(state.timeLeft, MaxCountdown);
        m_ui->image_timer->setSeconds(m_countdown, m_secondsPerRound);
        m_turntime->start();
        announceRoundStart();
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

void GameFlow::getnextplayer(int seat)
{
    m_entry.pressclear();
    m_wordsTried.clear();
    m_wordsAnswered.clear();
    m_verdictsRefused = false;
    clearWords();
    m_wordsFound = 0;
    m_ui->label_found->setText(QStringLiteral("Count: 0"));
    if (m_wordsList)
        m_wordsList->hide();
    refreshWord();

    m_activeSeat = seat;
    if (playersRound())
        openRound();
    else
        setStatus(playerName(m_activeSeat) + QStringLiteral("'s turn."));
    m_countdown = qBound(0, m_secondsPerRound, MaxCountdown);
    m_ui->image_timer->setSeconds(m_countdown, m_secondsPerRound);
    m_turntime->start();
    announceRoundStart();
}

void GameFlow::goodword(const Msg::GoodWord &accepted)
{
    if (accepted.seat != m_host.ownSeat() || !firstVerdict(accepted.word))
        return;
    const QByteArray &word = accepted.word;
    const QString made = QStringLiteral("You made %1 for %2 points!").arg(text(word)).arg(accepted.points);
    setVerdict(made, made);
    ++m_wordsFound;
    m_ui->label_found->setText(QStringLiteral("Count: %1").arg(m_wordsFound));
    if (word.size() >= WordEntry::MaxLetters) {
        if (TallyRecorder *tally = m_host.tally())
            tally->addtomineincrease(4);
    }
    addword(QStringLiteral("%1 : %2").arg(accepted.points).arg(text(word)),
            accepted.first == Protocol::First ? firstFinder : notFirst);
    Q_EMIT ownWordAccepted(word);
}

void GameFlow::notvalid(const Msg::NotValid &refused)
{
    if (refused.seat != m_host.ownSeat() || !firstVerdict(refused.word))
        return;
    const QString word = text(refused.word);
    switch (refused.reason) {
    case Protocol::NotAWord:
        refusal(InvalidWordText, refused.word);
        addword(word, NotAWordColour);
        break;
    case Protocol::AlreadyHad:
        refusal(AlreadyFoundText, refused.word);
        addword(word, AlreadyFoundColour);
        break;
    case Protocol::TooShort:
        refusal(NotEnoughLettersText, refused.word);
        addword(word, TooShortColour);
        break;
    default:
        break;
    }
    m_host.playsounds(QStringLiteral("invalid"));
    pressclear();
}

// Whether the host's verdict on `word` is one an honest host could send: the first on that word
// in this round, on a word the board can spell, within the round's bound. Any other is dropped
// whole, so that a host can neither grow the words panel nor count a word twice; the log says
// so once a round.
bool GameFlow::firstVerdict(const QByteArray &word)
{
    if (word.size() <= WordEntry::MaxLetters && m_wordsAnswered.size() < MaxVerdictsPerRound
        && !m_wordsAnswered.contains(word)) {
        m_wordsAnswered.insert(word);
        return true;
    }
    if (!m_verdictsRefused)
        qWarning("Lexitangle: the host sent a verdict on a word it already answered this round, a word "
                 "longer than %d letters or more than %d verdicts in a round; dropped",
                 WordEntry::MaxLetters, MaxVerdictsPerRound);
    m_verdictsRefused = true;
    return false;
}

void GameFlow::addscore(const Msg::AddScore &score)
{
    if (!isSeat(score.seat))
        return;
    if (QLabel *bonus = slotLabel("label_bonus", score.seat))
        bonus->setText(QLatin1Char('+') + QString::number(score.points));
    m_bonusHold[score.seat] = 3;
    showScore(score.seat, score.total);
}

void GameFlow::timeup(const Msg::RoundScores &scores)
{
    setStatus(QStringLiteral("Round Over. Posting Scores.."));
    m_ui->button_rotate->hide();
    m_ui->button_send->hide();
    m_ui->button_clear->hide();
    m_activeSeat = 0;

    for (const Msg::RoundScore &score : scores.scores) {
        if (!isSeat(score.seat))
            continue;
        if (score.bonus > 0) {
            if (QLabel *label = slotLabel("label_bonus", score.seat))
                label->setText(QLatin1Char('+') + QString::number(score.bonus));
        }
        showScore(score.seat, score.total);
    }
    if (!scores.whole)
        return;
    m_host.playsounds(QStringLiteral("roundover"));
    announceRoundOver(scores);

    if (TallyRecorder *tally = m_host.tally()) {
        bool ok = false;
        const int most = tally->mostWordsCaption().toInt(&ok);
        if (ok && most < m_wordsFound)
            tally->addtomineset(3, m_wordsFound);
    }
}

void GameFlow::mainlist(const Msg::RoundWords &words)
{
    if (words.seat != m_host.ownSeat())
        return;
    if (m_wordsList)
        m_wordsList->thewords(words.list);
    Q_EMIT roundWordsListed(words.list);
}

void GameFlow::winner(const QByteArray &name)
{
    m_host.playsounds(QStringLiteral("gameover"));

    const int own = m_host.ownSeat();
    const bool won = isSeat(own) && playerName(own) == text(name);
    const QString caption = won ? QStringLiteral("You have Won the Game!")
                                : text(name) + QStringLiteral(" has Won the Game!");
    m_ui->label_winner1->setText(caption);
    m_ui->label_winner2->setText(caption);
    setStatus(QStringLiteral("Game Over!"));
    m_host.addlinetochat(caption, SystemLine);
    if (m_announcer)
        m_announcer->winner(caption);
    m_ui->panel_winner->show();
    if (m_host.isHost())
        m_host.setStartButtonVisible(true);
    if (isSeat(own)) {
        if (TallyRecorder *tally = m_host.tally())
            tally->addgame(won ? QByteArray(TallyTable::OwnWin) : name);
    }
}

void GameFlow::turntimeTimer()
{
    --m_countdown;
    if (m_countdown <= 0) {
        // The round is over here even if the host's word is late; entry stays closed.
        m_countdown = 0;
        m_ui->image_timer->setSeconds(0, m_secondsPerRound);
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
    m_ui->image_timer->setSeconds(m_countdown, m_secondsPerRound);
    if (m_countdown == 10 && m_activeSeat != 0 && m_announcer)
        m_announcer->secondsLeft(m_countdown);
    m_ui->label_timer->setText(QStringLiteral("Time: %1:%2")
                                   .arg(m_countdown / 60)
                                   .arg(m_countdown % 60, 2, 10, QLatin1Char('0')));
    for (int seat = 1; seat <= SeatCount; ++seat) {
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
    for (int seat = 1; seat <= SeatCount; ++seat) {
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
    m_wordLines.append({line, colour});
    QTextEdit *words = m_ui->richedit_words;
    // Player text never becomes markup: it goes in as plain characters with a format.
    words->setUpdatesEnabled(false);
    const VerdictLook::Line shown = VerdictLook::shown(line, colour, m_highContrast);
    QTextCursor cursor(words->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(shown.colour);
    format.setFontWeight(QFont::Normal);
    cursor.insertText(shown.text, format);
    cursor.insertBlock();
    words->setUpdatesEnabled(true);
    words->update();
}

void GameFlow::clearWords()
{
    m_wordLines.clear();
    m_ui->richedit_words->clear();
}

void GameFlow::setHighContrast(bool on)
{
    m_highContrast = on;
    for (QWidget *w : {static_cast<QWidget *>(m_ui->panel_words), static_cast<QWidget *>(m_ui->panel_winner)}) {
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, VerdictLook::panelBase(on));
        w->setPalette(pal);
    }
    QPalette pal = m_ui->richedit_words->palette();
    pal.setColor(QPalette::Base, VerdictLook::panelBase(on));
    m_ui->richedit_words->setPalette(pal);
    // The winner's grey shadow would blur the cream letters on the dark ground.
    pal = m_ui->label_winner2->palette();
    pal.setColor(QPalette::WindowText, on ? QColor(Qt::black) : QColor(Qt::gray));
    m_ui->label_winner2->setPalette(pal);
    const QList<VerdictLook::Line> lines = std::exchange(m_wordLines, {});
    m_ui->richedit_words->clear();
    for (const VerdictLook::Line &line : lines)
        addword(line.text, line.colour);
}
