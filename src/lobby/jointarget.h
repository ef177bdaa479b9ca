#pragma once

#include <QString>

// Where a player asked to join: the address the game is started with, or the one line that says
// why the text given cannot be used. Exactly one of the two is set.
struct JoinTarget {
    QString address; // an IPv4 address, an IPv6 address (without brackets) or a host name
    QString problem;

    bool isValid() const { return problem.isEmpty() && !address.isEmpty(); }
    static JoinTarget refused(const QString &line) { return {QString(), line}; }
};
