#include "bots/computerchat.h"

#include <iterator>

namespace {

// Plain ASCII: nothing here can hold the protocol's terminator or a line break.
const char *const afterAnyGame[] = {"gg", "Well played!", "good game", "gg all", "Thanks for the game!", "That was fun"};
const char *const afterWinning[] = {"gg, lucky board for me", "Phew, close one", "gg :)"};
const char *const afterLosing[] = {"wp", "Nice one!", "Well played, you were too quick for me", "gg, next time"};

template <size_t N>
QByteArray pick(const char *const (&lines)[N], QRandomGenerator &rng)
{
    return QByteArray(lines[rng.bounded(quint32(N))]);
}

} // namespace

ComputerChat::ComputerChat(quint32 seed)
    : m_rng(seed)
{
}

std::optional<QByteArray> ComputerChat::gameOverLine(bool won)
{
    if (m_spoken)
        return std::nullopt;
    m_spoken = true; // one draw a game: a second call in the same game stays silent
    if (m_rng.generateDouble() >= Chance)
        return std::nullopt;
    // Most lines fit either way; a few belong to the winner or the others.
    if (m_rng.bounded(2u) == 0)
        return pick(afterAnyGame, m_rng);
    return won ? pick(afterWinning, m_rng) : pick(afterLosing, m_rng);
}

int ComputerChat::delayMs()
{
    return 1500 + int(m_rng.bounded(3500u));
}
