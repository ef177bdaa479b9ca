#include "client/gameflow.h"

#include "client/boardview.h"
#include "client/playerslots.h"
#include "net/protocol.h"
#include "widgets/announcer.h"
#include "widgets/boardaccessible.h"

#include <QLabel>

// What the game flow tells a screen reader: the verdicts beside the status line, the round's
// start and end, and the board and the word read on request. The wording is the announcer's.

void GameFlow::setVerdict(const QString &status, const QString &spoken)
{
    setStatus(status);
    if (m_announcer)
        m_announcer->verdict(spoken);
}

void GameFlow::refusal(const QString &status, const QByteArray &word)
{
    setVerdict(status, QString::fromLatin1(word.toUpper()) + QStringLiteral(": ") + status);
}

void GameFlow::announceRoundStart()
{
    if (!m_announcer)
        return;
    const int size = m_boardView ? m_boardView->playingSquare().width() : 0;
    // The seconds left: a player who joins a running round hears what he has.
    m_announcer->roundStarted(QStringLiteral("%1 by %1").arg(size), m_minLetters, m_countdown);
}

void GameFlow::announceRoundOver(const Msg::RoundScores &scores)
{
    const int own = m_host.ownSeat();
    int ownTotal = 0;
    bool listed = false;
    for (const Msg::RoundScore &score : scores.scores)
        if (score.seat == own) {
            ownTotal = score.total;
            listed = true;
        }
    if (!m_announcer || !listed)
        return;
    // The host lists every seat, taken or not; the players are the seats with a name. Equal
    // totals share a place: one more than the players ahead.
    int place = 1;
    int players = 1;
    for (const Msg::RoundScore &score : scores.scores) {
        if (score.seat == own || !Protocol::isSeat(score.seat))
            continue;
        const QString name = playerName(score.seat);
        if (name.isEmpty() || name == PlayerSlots::Waiting)
            continue;
        ++players;
        if (score.total > ownTotal)
            ++place;
    }
    m_announcer->roundOver(ownTotal, place, players);
}

void GameFlow::readBoard()
{
    if (m_announcer && m_boardView)
        m_announcer->board(BoardAccessible::rows(*m_boardView));
}

void GameFlow::readWord()
{
    if (!m_announcer)
        return;
    QStringList letters;
    for (int n = 1; n <= m_entry.wordLength(); ++n)
        letters.append(QString(QChar('A' + m_entry.slotCode(n) - 1)));
    m_announcer->word(letters);
}
