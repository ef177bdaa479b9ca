#include "bots/computernames.h"

#include <iterator>

namespace {

// Latin-1 bytes: \xE9 is e acute, \xF6 o umlaut, \xEB e umlaut, \xC5 A ring.
const char *const firstNames[] = {
    "Ada",  "Alan",  "Ana",  "Ben",   "Bj\xF6rn", "Cleo", "Dan",  "Eva",   "Finn", "Grace",
    "Hugo", "Ines",  "Ivan", "Jos\xE9", "Kai",   "Lena", "Leo",  "Mia",   "Nils", "Noor",
    "Olga", "Omar",  "Pia",  "Raj",   "Rosa",  "Sam",  "Tess", "Theo",  "Uma",  "Vera",
    "Wim",  "Yara",  "Zo\xEB", "\xC5sa", "Max",  "Ruth", "Ivo",  "Lou",   "Ed",   "Kim",
};

} // namespace

QByteArray ComputerNames::pick(const QByteArrayList &taken, QRandomGenerator &rng)
{
    QByteArrayList free;
    for (const char *first : firstNames) {
        const QByteArray name = QByteArray(first) + Suffix;
        if (!taken.contains(name))
            free.append(name);
    }
    if (!free.isEmpty())
        return free[qsizetype(rng.bounded(quint32(free.size())))];
    // More computer players than names: only a table larger than any the host seats gets here.
    for (int n = 2;; ++n) {
        const QByteArray name = "Cpu " + QByteArray::number(n) + Suffix;
        if (!taken.contains(name))
            return name;
    }
}
