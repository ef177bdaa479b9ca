#pragma once

// Moves the test process, once, into a mount namespace of its own: whatever it mounts after that
// is seen by nobody else and vanishes with the process. Mounts are made private right after the
// unshare, so nothing can propagate back into the namespace the test was started in. Needs root
// (CAP_SYS_ADMIN) and a process that has started no thread.

#include <QString>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>

// Empty when the process is in its own mount namespace; else which step failed, and why.
inline QString enterPrivateMountNamespace()
{
    static const QString failure = [] {
        auto reason = [](const char *what) {
            return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
        };
        if (::unshare(CLONE_NEWNS) != 0)
            return reason("unshare(CLONE_NEWNS)");
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return reason("mount --make-rprivate /");
        return QString();
    }();
    return failure;
}
