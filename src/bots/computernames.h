#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QRandomGenerator>

// Names for computer players: a short first name followed by " (cpu)", so that a computer is
// known for one in the slots, the chat and the tally. Names are Latin-1 bytes, as every name
// on the wire, with no 0xFF and no line break.
class ComputerNames {
public:
    static constexpr char Suffix[] = " (cpu)";

    // A name that no seated player has (taken: the names at the table, compared exactly).
    static QByteArray pick(const QByteArrayList &taken, QRandomGenerator &rng);
};
