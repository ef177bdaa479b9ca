#include "client/tilegroups.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <utility>

TileGroups::TileGroups(QString tileFolder)
    : m_folder(std::move(tileFolder))
{
}

QString TileGroups::folderIn(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(QStringLiteral("Lexitangletiles"));
}

bool TileGroups::isGroupName(const QString &name)
{
    if (name.isEmpty() || name.trimmed() != name)
        return false;
    return std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == QLatin1Char('/')
            || c == QLatin1Char('\\') || c == QLatin1Char('.');
    });
}

QStringList TileGroups::groupNames() const
{
    QDir dir(m_folder);
    dir.setNameFilters({QStringLiteral("*.bmp")});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System | QDir::CaseSensitive);
    QStringList names;
    for (const QString &file : dir.entryList()) {
        const QString name = file.section(QLatin1Char('.'), 0, 0);
        if (isGroupName(name) && !names.contains(name))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names;
}

std::optional<TileSet> TileGroups::loadgrouptiles(const QString &name) const
{
    if (!isGroupName(name))
        return std::nullopt;
    const QString path = QDir(m_folder).filePath(name + QStringLiteral(".bmp"));
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.width() > MaxStripSide || size.height() > MaxStripSide)
        return std::nullopt;
    const QImage strip = reader.read();
    return TileSet::fromStrip(strip);
}
