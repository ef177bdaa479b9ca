#include "records/gamerecord.h"

namespace {

struct RoleName {
    Record::Role role;
    const char *name;
};
constexpr RoleName Roles[] = {{Record::Role::Solo, "solo"}, {Record::Role::Host, "host"}, {Record::Role::Join, "join"}};

} // namespace

QString Record::roleName(Role role)
{
    for (const RoleName &r : Roles) {
        if (r.role == role)
            return QString::fromLatin1(r.name);
    }
    return QString();
}

std::optional<Record::Role> Record::roleFromName(const QString &name)
{
    for (const RoleName &r : Roles) {
        if (name == QLatin1String(r.name))
            return r.role;
    }
    return std::nullopt;
}
