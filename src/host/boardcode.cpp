#include "host/boardcode.h"

#include "words/lettercodes.h"

namespace {

// The code's symbols; a symbol's value is its place here.
constexpr char Symbols[] = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";
constexpr int Base = int(sizeof(Symbols)) - 1;
static_assert(Base == 31, "the check needs a prime number of symbols");
constexpr int Letters = 26;
constexpr int HeaderLength = 2;
constexpr int GroupLength = 5;

constexpr int symbolValue(char upper)
{
    for (int v = 0; v < Base; ++v) {
        if (Symbols[v] == upper)
            return v;
    }
    return -1;
}

// Tile i holds letter v as symbol (v + shift(i)) mod 31.
constexpr int shift(int tile) { return (7 * tile + 13) % Base; }
constexpr int weight(int place) { return place % (Base - 1) + 1; }

// The check symbol's value for the symbols before it.
int checkValue(const QByteArray &symbols)
{
    int sum = 0;
    for (int j = 0; j < symbols.size(); ++j)
        sum = (sum + weight(j) * symbolValue(symbols[j])) % Base;
    // c with sum + w * c = 0 (mod 31): c = -sum * w^-1, the inverse by Fermat (w^29).
    const int w = weight(int(symbols.size()));
    int inverse = 1;
    for (int k = 0; k < Base - 2; ++k)
        inverse = inverse * w % Base;
    return (Base - sum) % Base * inverse % Base;
}

char sideSymbol(int side) { return side == 10 ? 'X' : char('0' + side); }

int sideOf(char symbol)
{
    if (symbol == 'X')
        return 10;
    return symbol >= '4' && symbol <= '9' ? symbol - '0' : 0;
}

QString quoted(QChar c)
{
    // An invisible character is named by its number, or the line would point at nothing.
    if (!c.isPrint() || c.isSpace())
        return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("\"%1\"").arg(c);
}

bool fail(QString *error, const QString &line)
{
    if (error)
        *error = line;
    return false;
}

// The code's characters without dashes and spaces, in upper case; false with the line for the
// player when a character is none of the symbols.
bool compact(QStringView text, QByteArray *symbols, QString *error)
{
    for (const QChar c : text) {
        // A chat may have turned a dash into a typographic one.
        if (c.category() == QChar::Punctuation_Dash || c.isSpace())
            continue;
        const QChar upper = c.toUpper();
        if (upper.unicode() > 0x7F || symbolValue(char(upper.unicode())) < 0) {
            return fail(error, QStringLiteral("%1 is not used in board codes: they hold 2 to 9 and the letters "
                                              "other than I, L and O.")
                                   .arg(quoted(c)));
        }
        symbols->append(char(upper.unicode()));
    }
    if (symbols->isEmpty())
        return fail(error, QStringLiteral("Type or paste a board code."));
    return true;
}

} // namespace

BoardCode::BoardCode(int side, int minLetters, QByteArray letters)
    : m_side(side), m_minLetters(minLetters), m_letters(std::move(letters))
{
}

std::optional<BoardCode> BoardCode::fromSquare(int side, int minLetters, QByteArrayView letters)
{
    if (side < MinSide || side > MaxSide || minLetters < MinLetters || minLetters > MaxLetters
        || letters.size() != side * side)
        return std::nullopt;
    for (const char c : letters) {
        if (c < 'a' || c > 'z')
            return std::nullopt;
    }
    return BoardCode(side, minLetters, letters.toByteArray());
}

std::optional<BoardCode> BoardCode::decode(QStringView text, QString *error)
{
    QByteArray symbols;
    if (!compact(text, &symbols, error))
        return std::nullopt;
    const int side = sideOf(symbols[0]);
    if (side == 0) {
        fail(error, QStringLiteral("The first character gives the board size, 4 to 9 or X for 10X10; "
                                   "\"%1\" is none of them.")
                        .arg(QLatin1Char(symbols[0])));
        return std::nullopt;
    }
    const int minimum = symbols.size() > 1 ? symbols[1] - '0' : 0;
    if (minimum < MinLetters || minimum > MaxLetters) {
        fail(error, symbols.size() > 1 ? QStringLiteral("The second character gives the minimum word length, 3 to 7; "
                                                        "\"%1\" is none of them.")
                                             .arg(QLatin1Char(symbols[1]))
                                       : QStringLiteral("The code ends after its first character."));
        return std::nullopt;
    }
    const int tiles = side * side;
    const int length = HeaderLength + tiles + 1;
    if (symbols.size() != length) {
        fail(error, QStringLiteral("A %1X%1 board code has %2 characters, dashes aside; this one has %3.")
                        .arg(side)
                        .arg(length)
                        .arg(symbols.size()));
        return std::nullopt;
    }
    QByteArray letters(tiles, Qt::Uninitialized);
    for (int i = 0; i < tiles; ++i) {
        const char symbol = symbols[HeaderLength + i];
        const int v = (symbolValue(symbol) - shift(i) + Base) % Base;
        if (v >= Letters) {
            fail(error, QStringLiteral("\"%1\", character %2 of the code (dashes aside), stands for no letter "
                                       "from A to Z: it was mistyped.")
                            .arg(QLatin1Char(symbol))
                            .arg(HeaderLength + i + 1));
            return std::nullopt;
        }
        letters[i] = char('a' + v);
    }
    if (checkValue(symbols.left(length - 1)) != symbolValue(symbols.back())) {
        fail(error, QStringLiteral("The check character does not match: a character of the code was mistyped, "
                                   "or two were swapped."));
        return std::nullopt;
    }
    return BoardCode(side, minimum, letters);
}

Board BoardCode::board() const
{
    Board board;
    const int first = Board::fixedSquareFor(sizeCode()).first;
    for (int r = 0; r < m_side; ++r) {
        for (int c = 0; c < m_side; ++c)
            board.set(first + c, first + r, m_letters[r * m_side + c] - 'a' + LetterCodes::FirstLetter);
    }
    return board;
}

QString BoardCode::text() const
{
    QByteArray symbols;
    symbols.append(sideSymbol(m_side));
    symbols.append(char('0' + m_minLetters));
    for (int i = 0; i < m_letters.size(); ++i)
        symbols.append(Symbols[(m_letters[i] - 'a' + shift(i)) % Base]);
    symbols.append(Symbols[checkValue(symbols)]);

    QString shown = QString::fromLatin1(symbols.left(HeaderLength));
    for (int i = HeaderLength; i < symbols.size(); i += GroupLength)
        shown += QLatin1Char('-') + QString::fromLatin1(symbols.mid(i, GroupLength));
    return shown;
}
