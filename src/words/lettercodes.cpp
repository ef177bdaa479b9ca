#include "words/lettercodes.h"

QByteArray convertoletter(int code)
{
    if (LetterCodes::isLetter(code))
        return QByteArray(1, char('a' + code - 1));
    if (code >= LetterCodes::LastTileFrame && code <= LetterCodes::Empty)
        return QByteArrayLiteral("*");
    return QByteArrayLiteral("t");
}
