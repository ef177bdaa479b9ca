#pragma once

#include <QString>

// The six pages of the help window, as rich text.
class HelpText {
public:
    static constexpr int PageCount = 6;
    // Page 1 .. 6: Overview, Connecting, Game Play, Scoring, Documentation, License. Empty for
    // any other number.
    static QString page(int number);
};
