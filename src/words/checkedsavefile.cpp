#include "words/checkedsavefile.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

CheckedSaveFile::CheckedSaveFile(const QString &path)
    : m_path(path)
    , m_file(std::make_unique<QSaveFile>(path))
{
}

// Dropping an uncommitted QSaveFile removes its temporary file.
CheckedSaveFile::~CheckedSaveFile() = default;

bool CheckedSaveFile::open()
{
    m_failed = false;
    m_error.clear();
    if (!m_file)
        m_file = std::make_unique<QSaveFile>(m_path);
    return m_file->open(QIODevice::WriteOnly) || fail();
}

bool CheckedSaveFile::write(QByteArrayView bytes)
{
    if (m_failed || !m_file || !m_file->isOpen())
        return false;
    return m_file->write(bytes.data(), bytes.size()) == bytes.size() || fail();
}

QIODevice &CheckedSaveFile::device()
{
    return *m_file;
}

bool CheckedSaveFile::commit()
{
    if (m_failed || !m_file || !m_file->isOpen())
        return false;
    // The flush is what meets a full disk for the last buffered bytes; QSaveFile's own commit
    // would lose that error.
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError)
        return fail();
    if (!syncToDisk())
        return false;
    if (!m_file->commit())
        return fail();
    m_file.reset();
    return true;
}

void CheckedSaveFile::cancel()
{
    m_file.reset();
}

bool CheckedSaveFile::saveWhole(const QString &path, QByteArrayView bytes, QString *error)
{
    CheckedSaveFile file(path);
    const bool saved = file.open() && file.write(bytes) && file.commit();
    if (!saved && error)
        *error = file.errorString();
    return saved;
}

// Records the first reason and throws the temporary file away.
bool CheckedSaveFile::fail(const QString &reason)
{
    if (!m_failed) {
        m_error = !reason.isEmpty() ? reason : m_file ? m_file->errorString() : QString();
        m_failed = true;
    }
    m_file.reset();
    return false;
}

// Some file systems report a lost write only here. A device that cannot be synced at all
// (EINVAL) holds nothing that could be lost.
bool CheckedSaveFile::syncToDisk()
{
#ifdef Q_OS_UNIX
    if (::fsync(m_file->handle()) != 0 && errno != EINVAL)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
#endif
    return true;
}
