#pragma once

#include <QString>

// The name a player goes by at a table. The game sends it as Latin-1 in the last field of its
// login and puts it between "+" and "|" separators in chat lines and game starts; it is also the
// game's first command-line argument. Names that cannot travel that way are refused here, with
// one line that says why.
namespace PlayerName {

constexpr int MaxLength = 20;

// Empty when the name can be used; otherwise the line to show. The name is taken as given:
// the window trims the blanks around what was typed before asking.
QString problem(const QString &name);

} // namespace PlayerName
