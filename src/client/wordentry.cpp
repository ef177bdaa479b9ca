#include "client/wordentry.h"

#include "host/gamerules.h"
#include "words/lettercodes.h"

#include <QList>

namespace {

// The eight neighbours in the order typing and the route search try them: the column to the
// left top to bottom, the cell above, the cell below, the column to the right top to bottom.
constexpr QPoint directions[8] = {
    {-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1},
};

constexpr QPoint noTile{-1, -1};
constexpr int lastPicture = 30;

} // namespace

WordEntry::WordEntry()
{
    m_dealt.fill(LetterCodes::Empty);
    m_shown.fill(LetterCodes::Empty);
    m_marks.fill(NoMark);
    m_path.fill(noTile);
}

bool WordEntry::loadBoard(const Msg::BoardTiles &tiles)
{
    // A new board makes the old word meaningless, and its frames go with the old tiles.
    pressclear();
    m_dealt.fill(LetterCodes::Empty);
    m_shown.fill(LetterCodes::Empty);
    m_step = 0;
    for (const Msg::BoardTile &tile : tiles.tiles) {
        if (!onGrid(tile.x, tile.y))
            continue;
        m_dealt[index(tile.x, tile.y)] = tile.code;
        m_shown[index(tile.x, tile.y)] = tile.code;
    }
    return tiles.whole;
}

void WordEntry::setOddSize(bool odd)
{
    if (odd == m_oddSize)
        return;
    m_oddSize = odd;
    // The shown board must always be the dealt board turned about the current mirror index,
    // or getreal() would send positions the player never saw.
    if (m_step != 0) {
        pressclear();
        showRotated();
    }
}

WordEntry::Choice WordEntry::chooseCell(int c, int r)
{
    const QPoint cell(c, r);
    const auto last = lastTile();
    if (last && !GameRules::areNeighbours(*last, cell))
        return Choice::Refused;
    if (!onGrid(cell) || m_marks[index(c, r)] != NoMark || !LetterCodes::isLetter(shownCode(c, r))
        || m_length >= MaxLetters)
        return Choice::Refused;
    appendTile(cell);
    return Choice::Added;
}

WordEntry::Typed WordEntry::typeLetter(int code)
{
    if (!LetterCodes::isLetter(code) || m_length >= MaxLetters)
        return Typed::Ignored;

    if (m_length == 0) {
        clearthem();
        for (int c = 0; c < Side; ++c) {
            for (int r = 0; r < Side; ++r) {
                if (m_shown[index(c, r)] == code) {
                    appendTile({c, r});
                    return Typed::Placed;
                }
            }
        }
        return Typed::Ignored;
    }

    const QPoint last = m_path[m_length - 1];
    for (const QPoint d : directions) {
        const QPoint n = last + d;
        if (onGrid(n) && !inWord(n) && m_shown[index(n.x(), n.y())] == code) {
            appendTile(n);
            return Typed::Placed;
        }
    }
    return findroute(code) ? Typed::Rerouted : Typed::Refused;
}

// Searches for the word plus `code` anywhere on the shown board: start cells column by column,
// then depth first with the directions in their fixed order, backtracking when a level runs
// out. The first complete route is taken; the old path and its frames do not restrict it.
bool WordEntry::findroute(int code)
{
    const int k = m_length;
    if (k < 1 || k >= MaxLetters || !LetterCodes::isLetter(code))
        return false;

    int letters[MaxLetters];
    for (int i = 0; i < k; ++i)
        letters[i] = m_shown[index(m_path[i].x(), m_path[i].y())];
    letters[k] = code;

    QPoint route[MaxLetters];
    for (int c = 0; c < Side; ++c) {
        for (int r = 0; r < Side; ++r) {
            if (m_shown[index(c, r)] != letters[0])
                continue;
            route[0] = QPoint(c, r);
            if (searchFrom(route, 1, k + 1, letters)) {
                repostword(route, k);
                appendTile(route[k]);
                return true;
            }
        }
    }
    return false;
}

bool WordEntry::searchFrom(QPoint *route, int level, int count, const int *letters) const
{
    if (level == count)
        return true;
    for (const QPoint d : directions) {
        const QPoint n = route[level - 1] + d;
        if (!onGrid(n) || m_shown[index(n.x(), n.y())] != letters[level])
            continue;
        bool used = false;
        for (int i = 0; i < level && !used; ++i)
            used = route[i] == n;
        if (used)
            continue;
        route[level] = n;
        if (searchFrom(route, level + 1, count, letters))
            return true;
    }
    return false;
}

void WordEntry::repostword(const QPoint *route, int count)
{
    clearthem();
    m_path.fill(noTile);
    for (int n = 0; n < count; ++n) {
        m_path[n] = route[n];
        m_marks[index(route[n].x(), route[n].y())] = PathMark;
    }
    m_length = count;
}

bool WordEntry::deleteoneletter()
{
    if (m_length == 0)
        return false;
    // The new last tile keeps its path frame; only the removed tile loses its mark.
    const QPoint last = m_path[m_length - 1];
    m_marks[index(last.x(), last.y())] = NoMark;
    m_path[m_length - 1] = noTile;
    --m_length;
    return true;
}

void WordEntry::pressclear()
{
    clearthem();
    m_path.fill(noTile);
    m_length = 0;
}

void WordEntry::rotateboard()
{
    pressclear();
    m_step = (m_step + 1) % 4;
    showRotated();
}

void WordEntry::showRotated()
{
    const int m = mirrorIndex();
    // Cells no dealt cell reaches stay empty rather than keeping a tile of the previous turn.
    m_shown.fill(LetterCodes::Empty);
    for (int c = 0; c < Side; ++c) {
        for (int r = 0; r < Side; ++r) {
            QPoint shown;
            switch (m_step) {
            case 1: shown = {m - r, c}; break;
            case 2: shown = {m - c, m - r}; break;
            case 3: shown = {r, m - c}; break;
            default: shown = {c, r}; break;
            }
            if (onGrid(shown))
                m_shown[index(shown.x(), shown.y())] = m_dealt[index(c, r)];
        }
    }
}

QPoint WordEntry::getreal(int shownX, int shownY) const
{
    const int m = mirrorIndex();
    switch (m_step) {
    case 1: return {shownY, m - shownX};
    case 2: return {m - shownX, m - shownY};
    case 3: return {m - shownY, shownX};
    default: return {shownX, shownY};
    }
}

QList<Msg::Cell> WordEntry::dealtPath() const
{
    QList<Msg::Cell> path;
    for (int n = 1; n <= m_length; ++n) {
        const QPoint real = getreal(m_path[n - 1].x(), m_path[n - 1].y());
        path.append(Msg::Cell{real.x(), real.y()});
    }
    return path;
}

QByteArray WordEntry::playerdoneText(int ownSeat) const
{
    return Msg::playerdone(ownSeat, dealtPath());
}

int WordEntry::shownCode(int c, int r) const
{
    return onGrid(c, r) ? m_shown[index(c, r)] : LetterCodes::Empty;
}

int WordEntry::shownPicture(int c, int r) const
{
    const int code = shownCode(c, r);
    return code >= 0 && code <= lastPicture ? code : LetterCodes::Empty;
}

int WordEntry::dealtCode(int c, int r) const
{
    return onGrid(c, r) ? m_dealt[index(c, r)] : LetterCodes::Empty;
}

int WordEntry::markAt(int c, int r) const
{
    return onGrid(c, r) ? m_marks[index(c, r)] : NoMark;
}

QPoint WordEntry::wordTile(int n) const
{
    return n >= 1 && n <= m_length ? m_path[n - 1] : noTile;
}

std::optional<QPoint> WordEntry::lastTile() const
{
    if (m_length == 0)
        return std::nullopt;
    return m_path[m_length - 1];
}

int WordEntry::slotCode(int n) const
{
    if (n < 1 || n > m_length)
        return EmptySlot;
    const QPoint p = m_path[n - 1];
    return m_shown[index(p.x(), p.y())];
}

QByteArray WordEntry::wordText() const
{
    QByteArray text;
    for (int n = 1; n <= m_length; ++n)
        text += convertoletter(slotCode(n));
    return text;
}

bool WordEntry::inWord(QPoint p) const
{
    for (int i = 0; i < m_length; ++i) {
        if (m_path[i] == p)
            return true;
    }
    return false;
}

void WordEntry::appendTile(QPoint p)
{
    if (m_length > 0) {
        const QPoint last = m_path[m_length - 1];
        m_marks[index(last.x(), last.y())] = PathMark;
    }
    m_marks[index(p.x(), p.y())] = LastTileMark;
    m_path[m_length++] = p;
}

void WordEntry::clearthem()
{
    m_marks.fill(NoMark);
}
