#pragma once

// A really full file system for the save tests: a small tmpfs mounted in a private mount
// namespace of the test process, so nothing of it is seen outside and it vanishes with the
// process. Mounting needs root (CAP_SYS_ADMIN); where that is not allowed, mounted() is false
// and skipReason() says why, for QSKIP.
//
// Files under test go into folder(); the filler that takes the free space lies outside it, so
// a test can list folder() to see that a failed save left nothing behind.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include "mountnamespace.h"

class FullDisk {
public:
    explicit FullDisk(qint64 capacity = 1024 * 1024)
    {
        if (!m_mountPoint.isValid()) {
            m_skipReason = QStringLiteral("no temporary folder for the mount point");
            return;
        }
        const QString unshared = enterPrivateMountNamespace();
        if (!unshared.isEmpty()) {
            m_skipReason = QStringLiteral("a full file system needs root to mount a small tmpfs in a private "
                                          "mount namespace (%1)").arg(unshared);
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(capacity) + ",mode=0700";
        if (::mount("tmpfs", mountPoint().constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) != 0) {
            m_skipReason = reason("mount -t tmpfs");
            return;
        }
        m_mounted = true;
        QDir(m_mountPoint.path()).mkdir(QStringLiteral("files"));
    }
    ~FullDisk()
    {
        if (m_mounted)
            ::umount2(mountPoint().constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QByteArray skipReason() const { return m_skipReason.toLocal8Bit(); }
    QString folder() const { return QDir(m_mountPoint.path()).filePath(QStringLiteral("files")); }
    QString filePath(const QString &name) const { return QDir(folder()).filePath(name); }
    QStringList entries() const
    {
        return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // Takes every free block with the filler, then gives `leave` bytes back (whole pages, rounded
    // down). False when the file system did not end with "no space left".
    bool fill(qint64 leave = 0)
    {
        const QByteArray path = QFile::encodeName(QDir(m_mountPoint.path()).filePath(QStringLiteral("filler")));
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(64 * 1024, 'f');
        qint64 total = 0;
        for (;;) {
            const ssize_t n = ::write(fd, block.constData(), size_t(block.size()));
            if (n <= 0)
                break;
            total += n;
        }
        const bool full = errno == ENOSPC;
        const qint64 page = ::sysconf(_SC_PAGESIZE);
        const qint64 keep = (total / page - leave / page) * page;
        const bool ok = full && keep >= 0 && ::ftruncate(fd, keep) == 0;
        ::close(fd);
        return ok;
    }

private:
    QByteArray mountPoint() const { return QFile::encodeName(m_mountPoint.path()); }

    static QString reason(const char *what)
    {
        return QStringLiteral("a full file system needs root to mount a small tmpfs in a private "
                              "mount namespace (%1: %2)")
            .arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
    }

    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
    QString m_skipReason;
};
