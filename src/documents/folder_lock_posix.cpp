// SPDX-License-Identifier: GPL-3.0-or-later
// The folder lock on POSIX systems: flock() on the folder itself, so no lock file is left.

#include "folder_lock_system.h"

#include "errors.h"

#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SystemLock LockFolder(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // No folder, nothing to guard: the write that follows says what is missing.
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
        return -1;
    if (fd < 0)
        throw FileError(QStringLiteral("Cannot lock folder \"%1\". %2")
                            .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    for (int waited = 0; ::flock(fd, LOCK_EX | LOCK_NB) != 0; waited += 20) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= LockWaitMilliseconds) {
            const int error = errno;
            ::close(fd);
            throw FileError(
                error == EWOULDBLOCK
                    ? QStringLiteral("Cannot lock folder \"%1\": another Tunedeck is writing "
                                     "there. Nothing was written.")
                          .arg(folder)
                    : QStringLiteral("Cannot lock folder \"%1\". %2")
                          .arg(folder, QString::fromLocal8Bit(std::strerror(error))));
        }
        QThread::msleep(20);
    }
    return fd;
}

void UnlockFolder(SystemLock fd)
{
    if (fd >= 0)
        ::close(static_cast<int>(fd)); // releases the lock
}
