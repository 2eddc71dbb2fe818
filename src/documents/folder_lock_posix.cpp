// SPDX-License-Identifier: GPL-3.0-or-later
// The folder lock on POSIX systems: flock() on the folder itself, so no lock file is left.
// A lock belongs to the open folder it was taken on; a second lock of the folder that this
// process takes shares the first (a duplicate of its descriptor), found through the
// system's own record of the locks each open file holds (/proc/self/fdinfo).

#include "folder_lock_system.h"

#include "errors.h"

#include <QByteArray>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether the open file `fd` holds an exclusive flock() taken by this process.
bool HoldsOwnLock(int fd)
{
    QFile info(QStringLiteral("/proc/self/fdinfo/%1").arg(fd));
    if (!info.open(QIODevice::ReadOnly))
        return false;
    const QByteArray pid = ' ' + QByteArray::number(static_cast<qint64>(::getpid())) + ' ';
    for (const QByteArray& line : info.readAll().split('\n'))
        if (line.startsWith("lock:") && line.contains(" FLOCK ") && line.contains(" WRITE ") &&
            line.contains(pid))
            return true;
    return false;
}

// A duplicate of the descriptor through which this process holds the lock of the folder
// open as `fd`; -1 when it holds none.
int ShareOfHeldLock(int fd)
{
    struct stat folder {};
    DIR* open = ::fstat(fd, &folder) == 0 ? ::opendir("/proc/self/fd") : nullptr;
    if (!open)
        return -1;
    int share = -1;
    while (const dirent* entry = ::readdir(open)) {
        char* end = nullptr;
        const long other = std::strtol(entry->d_name, &end, 10);
        struct stat file {};
        if (end == entry->d_name || *end != '\0' || other == fd || other == ::dirfd(open) ||
            ::fstat(static_cast<int>(other), &file) != 0 || file.st_dev != folder.st_dev ||
            file.st_ino != folder.st_ino || !HoldsOwnLock(static_cast<int>(other)))
            continue;
        share = ::fcntl(static_cast<int>(other), F_DUPFD_CLOEXEC, 0);
        break;
    }
    ::closedir(open);
    return share;
}

} // namespace

std::optional<LockFailure> LockFolder(const QString& folder, HeldLock& held)
{
    held = {};
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // No folder, nothing to guard: the write that follows says what is missing.
    if (fd < 0 && (errno == ENOENT || errno == ENOTDIR))
        return std::nullopt;
    if (fd < 0)
        return LockFailure{folder, false, SystemErrorText(errno)};
    for (int waited = 0; ::flock(fd, LOCK_EX | LOCK_NB) != 0; waited += 20) {
        const int error = errno;
        const int share = error == EWOULDBLOCK ? ShareOfHeldLock(fd) : -1;
        if (share >= 0 || (error != EWOULDBLOCK && error != EINTR) ||
            waited >= LockWaitMilliseconds) {
            ::close(fd);
            if (share >= 0) {
                held = {share, true};
                return std::nullopt;
            }
            if (error == EWOULDBLOCK)
                return LockFailure{folder, true, {}};
            return LockFailure{folder, false, SystemErrorText(error)};
        }
        QThread::msleep(20);
    }
    held = {fd, false};
    return std::nullopt;
}

void UnlockFolder(const HeldLock& held)
{
    // The lock goes with the last descriptor of the open folder: a share leaves it to the
    // others.
    if (held.lock >= 0)
        ::close(static_cast<int>(held.lock));
}
