#include "widgets/turl.h"

#include <QDesktopServices>

#include <utility>

TURL::TURL(QString address, Kind kind, Opener opener)
    : m_address(std::move(address))
    , m_kind(kind)
    , m_opener(std::move(opener))
{
}

QString TURL::prefix(Kind kind)
{
    switch (kind) {
    case Kind::File: return QStringLiteral("file://");
    case Kind::Ftp: return QStringLiteral("ftp://");
    case Kind::Gopher: return QStringLiteral("gopher://");
    case Kind::Http: return QStringLiteral("http://");
    case Kind::Https: return QStringLiteral("https://");
    case Kind::Mailto: return QStringLiteral("mailto:");
    case Kind::News: return QStringLiteral("news:");
    case Kind::Telnet: return QStringLiteral("telnet:");
    case Kind::Wais: return QStringLiteral("wais:");
    case Kind::None: break;
    }
    return {};
}

QString TURL::fullAddress() const
{
    const QString address = m_address.trimmed();
    const QString front = prefix(m_kind);
    if (address.startsWith(front, Qt::CaseInsensitive))
        return address;
    return front + address;
}

bool TURL::open() const
{
    if (m_address.trimmed().isEmpty())
        return false;
    const QUrl url(fullAddress(), QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return false;
    return m_opener ? m_opener(url) : QDesktopServices::openUrl(url);
}
