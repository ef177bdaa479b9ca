#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

// Values bound into the history's statements. Qt binds a null text or byte array as SQL NULL;
// the history's texts are never NULL, so empty ones go in as empty.
namespace SqlValues {

inline QVariant blob(const QByteArray &bytes)
{
    return bytes.isNull() ? QVariant(QByteArray("")) : QVariant(bytes);
}

inline QVariant text(const QByteArray &latin1)
{
    return latin1.isEmpty() ? QVariant(QStringLiteral("")) : QVariant(QString::fromLatin1(latin1));
}

} // namespace SqlValues
