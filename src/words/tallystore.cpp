#include "words/tallystore.h"

#include "words/checkedsavefile.h"
#include "words/keepaside.h"
#include "words/tlzrw1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

TallyStore::TallyStore(QString path)
    : m_path(std::move(path))
{
}

QString TallyStore::fileIn(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("Lexitangletally.tld"));
}

QString TallyStore::damagedTextMessage() const
{
    return m_path + QStringLiteral(" : the tally in this file is damaged and cannot be read !");
}

QString TallyStore::Loaded::message() const
{
    if (error.isEmpty())
        return QString();
    if (keptAs.isEmpty())
        return error + QStringLiteral("\n\nThe file could not be moved aside. It is left as it is, "
                                      "and this run's tally will not be saved over it.");
    return error + QStringLiteral("\n\nThe unreadable file was kept as ")
        + QDir::toNativeSeparators(keptAs) + QStringLiteral(". A new tally has been started.");
}

TallyStore::Loaded TallyStore::load()
{
    m_keepInPlace = false;
    Loaded result = read();
    if (!result.error.isEmpty()) {
        result.keptAs = keepAside();
        m_keepInPlace = result.keptAs.isEmpty();
        return result;
    }
    result.table.startSession();
    return result;
}

TallyStore::Loaded TallyStore::read() const
{
    Loaded result;
    QFile file(m_path);
    if (!file.exists())
        return result;
    // The compressor's own wording, so a file we cannot open reads like any other it refuses.
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + m_path;
        return result;
    }
    if (file.size() > MaxFileSize) {
        result.error = damagedTextMessage();
        return result;
    }
    const QByteArray container = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Lzrw1 : Error reading from input file : ") + m_path;
        return result;
    }
    if (const std::optional<qint64> size = Tlzrw1::originalSize(container); size && *size > MaxTextSize) {
        result.error = damagedTextMessage();
        return result;
    }
    try {
        std::optional<TallyTable> table = TallyTable::fromText(Tlzrw1::decompressBytes(container, m_path));
        if (!table) {
            result.error = damagedTextMessage();
            return result;
        }
        result.table = std::move(*table);
    } catch (const ELzrw1Exception &e) {
        result.error = e.message();
    }
    return result;
}

QString TallyStore::keepAside() const
{
    return KeepAside::move(m_path);
}

bool TallyStore::save(const TallyTable &table, QString *error) const
{
    auto failed = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (m_keepInPlace)
        return failed(QStringLiteral("the unreadable tally there is kept as it is"));
    QByteArray container;
    try {
        container = Tlzrw1::compressBytes(table.toText());
    } catch (const ELzrw1Exception &e) {
        return failed(e.message());
    }
    return CheckedSaveFile::saveWhole(m_path, container, error);
}
