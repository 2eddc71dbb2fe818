// SPDX-License-Identifier: GPL-3.0-or-later
// The file calls of the write path on POSIX systems: the paths it replaces, a rename into
// place and the folder's sync, the sweep of left temporary files, and the read of a small
// file that never follows a link nor waits on a FIFO.

#include "replacement_file_io.h"

#include "folder_lock.h"
#include "replacement_file_parts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

// The real path of an existing file or folder, links followed; empty when there is none.
QString RealPath(const QString& path)
{
    char* real = ::realpath(Native(path).constData(), nullptr);
    if (!real)
        return {};
    const QString resolved = QFile::decodeName(real);
    std::free(real);
    return resolved;
}

} // namespace

// Removes the temporary files that earlier writes left in the folder when they were killed:
// regular files only, and a link only ever as a name.
void RemoveLeftTemporaries(int folder, const QString& folderPath, const WriteScope& scope)
{
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing >= 0 ? ::fdopendir(listing) : nullptr;
    if (!entries) {
        if (listing >= 0)
            ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        struct stat file {};
        const QString name = QFile::decodeName(entry->d_name);
        if (IsTemporaryName(name) && !scope.owns(folderPath + QLatin1Char('/') + name) &&
            ::fstatat(folder, entry->d_name, &file, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(file.st_mode))
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

QString ReplacedPath(const QString& path, LinkAtTarget links)
{
    if (links == LinkAtTarget::Follow) {
        const QString real = RealPath(path);
        if (!real.isEmpty())
            return real;
    }
    const QFileInfo file(path);
    const QString folder = RealPath(file.absolutePath());
    return folder.isEmpty() ? path : QDir(folder).filePath(file.fileName());
}

bool IsReadOnlyFile(const QString& path)
{
    struct stat file {};
    return ::lstat(Native(path).constData(), &file) == 0 && S_ISREG(file.st_mode) &&
           (file.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

int SyncFolder(const QString& folder)
{
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    return error;
}

int MoveIntoPlace(const QString& prepared, const QString& target)
{
    if (::rename(Native(prepared).constData(), Native(target).constData()) != 0)
        return errno != 0 ? errno : EIO;
    return SyncFolder(FolderOf(target));
}

SmallFileRead ReadSmallFile(const QString& path, qint64 maxBytes, std::string& bytes)
{
    // Looked at before it is opened, so that no device is ever opened; and opened without
    // waiting, should a FIFO take its place meanwhile.
    struct stat seen {};
    if (::lstat(Native(path).constData(), &seen) != 0)
        return errno == ENOENT ? SmallFileRead::Missing : SmallFileRead::Failed;
    if (!S_ISREG(seen.st_mode))
        return SmallFileRead::NotRegular;
    const int fd =
        ::open(Native(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT                                       ? SmallFileRead::Missing
               : errno == ELOOP || errno == ENXIO || errno == EISDIR ? SmallFileRead::NotRegular
                                                                     : SmallFileRead::Failed;
    struct stat file {};
    SmallFileRead outcome = SmallFileRead::Read;
    if (::fstat(fd, &file) != 0)
        outcome = SmallFileRead::Failed;
    else if (!S_ISREG(file.st_mode))
        outcome = SmallFileRead::NotRegular;
    else if (file.st_size > maxBytes)
        outcome = SmallFileRead::TooLarge;
    std::string read;
    char chunk[16 * 1024];
    while (outcome == SmallFileRead::Read) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            outcome = SmallFileRead::Failed;
        else if (n == 0)
            break;
        else if (static_cast<qint64>(read.size()) + n > maxBytes)
            outcome = SmallFileRead::TooLarge; // it grew while it was read
        else
            read.append(chunk, static_cast<size_t>(n));
    }
    ::close(fd);
    if (outcome == SmallFileRead::Read)
        bytes = std::move(read);
    return outcome;
}
