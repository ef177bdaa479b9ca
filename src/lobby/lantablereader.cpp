#include "lantablereader.h"

#include <QHostAddress>
#include <QNetworkInterface>

namespace LanTableReader {

QString plainText(const QString &text, int cap)
{
    QString out;
    out.reserve(qMin(text.size(), cap));
    for (QChar c : text) {
        if (out.size() >= cap)
            break;
        const QChar::Category cat = c.category();
        if (cat == QChar::Other_Control || cat == QChar::Other_Format || cat == QChar::Other_NotAssigned
            || cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph)
            continue;
        out.append(c);
    }
    if (!out.isEmpty() && out.back().isHighSurrogate())
        out.chop(1);
    // A lone low surrogate left by a cut elsewhere in the text is not a character either.
    if (!out.isEmpty() && out.front().isLowSurrogate())
        out.remove(0, 1);
    return out.trimmed();
}

QByteArray txtValue(const QList<QByteArray> &txt, const QByteArray &key)
{
    const int n = qMin<qsizetype>(txt.size(), TxtRecords);
    for (int i = 0; i < n; ++i) {
        const QByteArray &record = txt.at(i);
        const int eq = record.indexOf('=');
        if (eq == key.size() && record.left(eq).compare(key, Qt::CaseInsensitive) == 0)
            return record.mid(eq + 1);
    }
    return {};
}

namespace {

// A link-local IPv6 address needs its interface to be usable.
QString addressText(const QString &reported, int interfaceIndex)
{
    QHostAddress address;
    if (reported.size() > AddressChars || !address.setAddress(reported))
        return {};
    if (address.protocol() == QAbstractSocket::IPv6Protocol && address.isLinkLocal()
        && interfaceIndex > 0) {
        const QString scope = QNetworkInterface::interfaceNameFromIndex(interfaceIndex);
        if (!scope.isEmpty())
            address.setScopeId(scope);
    }
    const QString text = address.toString();
    return text.size() <= AddressChars ? text : QString();
}

}

std::optional<LanTable> read(const ResolvedService &service)
{
    LanTable table;
    table.address = addressText(service.address, service.interfaceIndex);
    if (table.address.isEmpty())
        return std::nullopt;
    table.port = service.port;
    const QByteArray name = txtValue(service.txt, "name");
    table.playerName = plainText(name.isEmpty() ? service.instance : QString::fromUtf8(name), NameChars);
    table.machine = plainText(service.host, MachineChars);
    table.version = plainText(QString::fromUtf8(txtValue(service.txt, "version")), VersionChars);
    return table;
}

}
