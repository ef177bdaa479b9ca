#include "lobby/lobbysettings.h"

#include "lobby/invitelink.h"
#include "lobby/playername.h"
#include "words/inieditor.h"

namespace {

// Enough for the window to show what is wrong with a name edited by hand.
constexpr int MaxStoredName = 4 * PlayerName::MaxLength;

const QByteArray NameKey = QByteArrayLiteral("Name");
const QByteArray OpenPortKey = QByteArrayLiteral("OpenPort");
const QByteArray RecentKey = QByteArrayLiteral("RecentTables");

} // namespace

LobbySettings LobbySettings::read(const IniEditor &ini)
{
    LobbySettings settings;
    settings.name = QString::fromLatin1(ini.value(Section, NameKey)).left(MaxStoredName);
    settings.openPort = ini.value(Section, OpenPortKey) == "1";
    const QList<QByteArray> recent = ini.value(Section, RecentKey).split(',');
    for (const QByteArray &entry : recent) {
        const JoinTarget target = InviteLink::parseTyped(QString::fromLatin1(entry));
        if (target.isValid() && !settings.recentTables.contains(target.address))
            settings.recentTables.append(target.address);
        if (settings.recentTables.size() == RecentCount)
            break;
    }
    return settings;
}

void LobbySettings::write(IniEditor &ini) const
{
    ini.setValue(Section, NameKey, name.toLatin1());
    ini.setValue(Section, OpenPortKey, openPort ? "1" : "0");
    ini.setValue(Section, RecentKey, recentTables.join(u',').toLatin1());
}

void LobbySettings::addRecent(const QString &address)
{
    recentTables.removeAll(address);
    recentTables.prepend(address);
    while (recentTables.size() > RecentCount)
        recentTables.removeLast();
}

LobbySettings LobbySettings::load(const QString &path)
{
    IniEditor ini;
    ini.load(path);
    return read(ini);
}

bool LobbySettings::save(const QString &path, QString *error) const
{
    IniEditor ini;
    if (!ini.load(path)) {
        if (error)
            *error = QStringLiteral("the file there could not be read");
        return false;
    }
    write(ini);
    return ini.save(path, error);
}
