#include "folder_lock.h"

#include "errors.h"

#include <QFileInfo>
#include <map>
#include <utility>

#ifndef Q_OS_WIN
#include <QFile>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// How long a lock held by another process is waited for.
constexpr int LockWaitMilliseconds = 5000;

struct HeldLock {
    int fd = -1;
    int count = 0;
};

// The folders this process holds locked; a lock belongs to the process, so it is kept
// once for all of it.
std::map<QString, HeldLock>& HeldLocks()
{
    static std::map<QString, HeldLock> locks;
    return locks;
}

// The real folder of the file, links followed, so that every path to it takes one lock.
QString FolderOfFile(const QString& filePath, LinkAtTarget links)
{
    const QFileInfo file(filePath);
    if (links == LinkAtTarget::Follow && file.exists())
        return QFileInfo(file.canonicalFilePath()).absolutePath();
    const QFileInfo folder(file.absolutePath());
    return folder.exists() ? folder.canonicalFilePath() : folder.absoluteFilePath();
}

#ifndef Q_OS_WIN
int LockFolder(const QString& folder)
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

void UnlockFolder(int fd)
{
    if (fd >= 0)
        ::close(fd); // releases the lock
}
#else
// Windows cannot lock a folder this way; the files there are replaced whole all the same.
int LockFolder(const QString&)
{
    return -1;
}

void UnlockFolder(int) {}
#endif

} // namespace

FolderLock::FolderLock(const QString& filePath, LinkAtTarget links)
    : folder_(FolderOfFile(filePath, links))
{
    HeldLock& held = HeldLocks()[folder_];
    if (held.count == 0) {
        try {
            held.fd = LockFolder(folder_);
        } catch (...) {
            HeldLocks().erase(folder_);
            throw;
        }
    }
    ++held.count;
}

bool FolderLock::isHeld(const QString& folder)
{
    const auto held = HeldLocks().find(folder);
    return held != HeldLocks().end() && held->second.fd >= 0;
}

FolderLock::FolderLock(FolderLock&& other) noexcept : folder_(std::exchange(other.folder_, {})) {}

FolderLock::~FolderLock()
{
    if (folder_.isEmpty())
        return;
    auto held = HeldLocks().find(folder_);
    if (held == HeldLocks().end() || --held->second.count > 0)
        return;
    UnlockFolder(held->second.fd);
    HeldLocks().erase(held);
}
