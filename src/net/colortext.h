#pragma once
// TEMPORARY stand-in until the net branch lands; removed on merge.

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <optional>

namespace colortext_detail {
struct Named { const char *name; quint32 value; };
inline constexpr std::array<Named, 16> names{{
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF}}};
}

inline QByteArray colorToText(quint32 colour)
{
    for (const auto &n : colortext_detail::names)
        if (n.value == colour)
            return QByteArray(n.name);
    return '$' + QByteArray::number(colour, 16).toUpper().rightJustified(8, '0');
}

inline std::optional<quint32> colorFromText(QByteArrayView text)
{
    for (const auto &n : colortext_detail::names)
        if (text.compare(QByteArrayView(n.name), Qt::CaseInsensitive) == 0)
            return n.value;
    bool ok = false;
    quint32 v = 0;
    if (text.startsWith('$'))
        v = text.sliced(1).toByteArray().toUInt(&ok, 16);
    else
        v = text.toByteArray().toUInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}
