#include "net/colortext.h"

#include "net/fieldreader.h"

namespace {

struct NamedColor {
    const char *name;
    quint32 value;
};

constexpr quint32 rgb(quint32 r, quint32 g, quint32 b) { return r | (g << 8) | (b << 16); }

// Written by colorToText when a value equals one of them.
constexpr NamedColor BasicColors[] = {
    {"clBlack", rgb(0, 0, 0)},         {"clMaroon", rgb(128, 0, 0)},
    {"clGreen", rgb(0, 128, 0)},       {"clOlive", rgb(128, 128, 0)},
    {"clNavy", rgb(0, 0, 128)},        {"clPurple", rgb(128, 0, 128)},
    {"clTeal", rgb(0, 128, 128)},      {"clGray", rgb(128, 128, 128)},
    {"clSilver", rgb(192, 192, 192)},  {"clRed", rgb(255, 0, 0)},
    {"clLime", rgb(0, 255, 0)},        {"clYellow", rgb(255, 255, 0)},
    {"clBlue", rgb(0, 0, 255)},        {"clFuchsia", rgb(255, 0, 255)},
    {"clAqua", rgb(0, 255, 255)},      {"clWhite", rgb(255, 255, 255)},
};

// Read only.
constexpr NamedColor ExtraColors[] = {
    {"clMoneyGreen", rgb(192, 220, 192)}, {"clSkyBlue", rgb(166, 202, 240)},
    {"clCream", rgb(255, 251, 240)},      {"clMedGray", rgb(160, 160, 164)},
};

struct SystemColor {
    const char *name;
    int index;
    quint32 value;
};

// Windows system colour indexes and their values on a standard Windows 10 desktop.
constexpr SystemColor SystemColors[] = {
    {"clScrollBar", 0, rgb(200, 200, 200)},
    {"clBackground", 1, rgb(0, 0, 0)},
    {"clActiveCaption", 2, rgb(153, 180, 209)},
    {"clInactiveCaption", 3, rgb(191, 205, 219)},
    {"clMenu", 4, rgb(240, 240, 240)},
    {"clWindow", 5, rgb(255, 255, 255)},
    {"clWindowFrame", 6, rgb(100, 100, 100)},
    {"clMenuText", 7, rgb(0, 0, 0)},
    {"clWindowText", 8, rgb(0, 0, 0)},
    {"clCaptionText", 9, rgb(0, 0, 0)},
    {"clActiveBorder", 10, rgb(180, 180, 180)},
    {"clInactiveBorder", 11, rgb(244, 247, 252)},
    {"clAppWorkSpace", 12, rgb(171, 171, 171)},
    {"clHighlight", 13, rgb(0, 120, 215)},
    {"clHighlightText", 14, rgb(255, 255, 255)},
    {"clBtnFace", 15, rgb(240, 240, 240)},
    {"clBtnShadow", 16, rgb(160, 160, 160)},
    {"clGrayText", 17, rgb(109, 109, 109)},
    {"clBtnText", 18, rgb(0, 0, 0)},
    {"clInactiveCaptionText", 19, rgb(0, 0, 0)},
    {"clBtnHighlight", 20, rgb(255, 255, 255)},
    {"cl3DDkShadow", 21, rgb(105, 105, 105)},
    {"cl3DLight", 22, rgb(227, 227, 227)},
    {"clInfoText", 23, rgb(0, 0, 0)},
    {"clInfoBk", 24, rgb(255, 255, 225)},
    {"clHotLight", 26, rgb(0, 102, 204)},
    {"clGradientActiveCaption", 27, rgb(185, 209, 234)},
    {"clGradientInactiveCaption", 28, rgb(215, 228, 242)},
    {"clMenuHighlight", 29, rgb(51, 153, 255)},
    {"clMenuBar", 30, rgb(240, 240, 240)},
};

constexpr quint32 SystemColorFlag = 0xFF000000u;

std::optional<quint32> fromName(QByteArrayView text)
{
    for (const NamedColor &c : BasicColors) {
        if (text.compare(c.name, Qt::CaseInsensitive) == 0)
            return c.value;
    }
    for (const NamedColor &c : ExtraColors) {
        if (text.compare(c.name, Qt::CaseInsensitive) == 0)
            return c.value;
    }
    for (const SystemColor &c : SystemColors) {
        if (text.compare(c.name, Qt::CaseInsensitive) == 0)
            return c.value;
    }
    return std::nullopt;
}

// A 32-bit value as a colour: plain RGB, or a system colour reference.
std::optional<quint32> fromValue(quint32 value)
{
    if ((value & 0xFF000000u) == 0)
        return value;
    if ((value & 0xFFFFFF00u) == SystemColorFlag) {
        for (const SystemColor &c : SystemColors) {
            if (quint32(c.index) == (value & 0xFFu))
                return c.value;
        }
    }
    return std::nullopt;
}

std::optional<quint32> fromHex(QByteArrayView digits)
{
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (char c : digits) {
        int nibble;
        if (c >= '0' && c <= '9')
            nibble = c - '0';
        else if (c >= 'a' && c <= 'f')
            nibble = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            nibble = c - 'A' + 10;
        else
            return std::nullopt;
        value = (value << 4) | quint32(nibble);
    }
    return value;
}

} // namespace

QByteArray colorToText(quint32 color)
{
    for (const NamedColor &c : BasicColors) {
        if (c.value == color)
            return QByteArray(c.name);
    }
    return '$' + QByteArray::number(color, 16).toUpper().rightJustified(8, '0');
}

std::optional<quint32> colorFromText(QByteArrayView text)
{
    if (text.startsWith('$')) {
        const std::optional<quint32> value = fromHex(text.sliced(1));
        return value ? fromValue(*value) : std::nullopt;
    }
    if (const std::optional<int> number = parseNumber(text))
        return fromValue(quint32(*number));
    return fromName(text);
}
