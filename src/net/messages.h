#pragma once
// TEMPORARY stand-in until the net branch lands; removed on merge.

#include <QByteArray>
#include <QByteArrayView>

namespace Msg {
inline QByteArray chat(int seat, QByteArrayView text)
{
    return "CMD_chat+" + QByteArray::number(seat) + '+' + text.toByteArray() + '\xff';
}
inline QByteArray action(int seat, QByteArrayView text)
{
    return "CMD_action+" + QByteArray::number(seat) + '+' + text.toByteArray() + '\xff';
}
inline QByteArray playasound(int seat, int sound)
{
    return "CMD_playasound+" + QByteArray::number(seat) + "+wave" + QByteArray::number(sound) + "+\xff";
}
}
