#pragma once

#include <QColor>

// Colour values as the program keeps them, in the settings file and on the wire: 32 bits,
// 0x00BBGGRR (red in the lowest byte). Widgets take QColor; these convert at that edge.
namespace ColourValue {

// Every line the client writes itself into the chat history has this colour: maroon.
constexpr quint32 SystemLine = 128;

QColor toQColor(quint32 value);
quint32 fromQColor(const QColor &colour);

} // namespace ColourValue
