#include "words/tallystore.h"

#include "words/tlzrw1.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

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

TallyStore::Loaded TallyStore::load() const
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
    try {
        std::optional<TallyTable> table = TallyTable::fromText(Tlzrw1::decompressBytes(container, m_path));
        if (!table) {
            result.error = damagedTextMessage();
            return result;
        }
        result.table = std::move(*table);
    } catch (const ELzrw1Exception &e) {
        result.error = e.message();
        return result;
    }
    result.table.startSession();
    return result;
}

bool TallyStore::save(const TallyTable &table) const
{
    QByteArray container;
    try {
        container = Tlzrw1::compressBytes(table.toText());
    } catch (const ELzrw1Exception &) {
        return false;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(container) != container.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
