#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Colour values are 32 bits with red in the lowest byte: 0x00BBGGRR.
//
// The text form names the sixteen basic colours ("clBlack" ... "clWhite") and writes any
// other value as "$" and eight upper-case hexadecimal digits.
QByteArray colorToText(quint32 color);

// Reads colour text as peers and the settings file write it:
//  - the sixteen names and a few more fixed ones (clMoneyGreen, clSkyBlue, clCream,
//    clMedGray), in any letter case;
//  - the names of the Windows system colours (clBtnFace, clWindow, clWindowText,
//    clHighlight ...), which a peer may send; they read as the fixed RGB values of a
//    standard Windows 10 desktop, since no such system palette exists here;
//  - "$" and 1 to 8 hexadecimal digits, and plain decimal numbers (a leading "-" allowed).
//    A value 0xFF0000nn (negative in decimal) is system colour nn and reads as above.
// Anything else, including clNone, clDefault and values with other bits set above the
// blue byte, is not a colour: nullopt.
std::optional<quint32> colorFromText(QByteArrayView text);
