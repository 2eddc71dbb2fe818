// SPDX-License-Identifier: GPL-3.0-or-later
// The write path on POSIX systems: open, write, fsync, rename and fsync of the folder.

#include "replacement_file.h"

#include "errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "folder_lock.h"
#include "replacement_file_parts.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

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

// The folder of the file; for a bare name, the working folder.
QString FolderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

// Removes the temporary files that earlier writes left in the folder when they were killed:
// regular files only, and a link only ever as a name.
void RemoveLeftTemporaries(int folder, const QString& folderPath)
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
        if (IsTemporaryName(name) &&
            OwnTemporaries().count(folderPath + QLatin1Char('/') + name) == 0 &&
            ::fstatat(folder, entry->d_name, &file, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(file.st_mode))
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

} // namespace

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

ReplacementFile::ReplacementFile(const QString& path, LinkAtTarget links, LeftTemporaries left)
{
    auto cannotCreate = [this](int error) { creationError_ = error != 0 ? error : EIO; };
    if (path.isEmpty()) {
        cannotCreate(ENOENT);
        return;
    }
    target_ = ReplacedPath(path, links);
    struct stat old {};
    bool replacing = ::lstat(Native(target_).constData(), &old) == 0;
    // A link, or a FIFO or device in the place of a file of Tunedeck's own, is replaced by
    // the new file; what it stands for is never opened.
    if (replacing && (S_ISLNK(old.st_mode) || (links == LinkAtTarget::Replace &&
                                               !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode))))
        replacing = false;
    if (replacing && S_ISDIR(old.st_mode)) {
        cannotCreate(EISDIR);
        return;
    }
    if (replacing && !S_ISREG(old.st_mode)) {
        cannotCreate(EINVAL);
        return;
    }
    // Renaming over a file ignores its mode, and root may write any file: the mode is
    // looked at here, so that a file its owner made read-only stays as it is.
    if (replacing && IsReadOnlyFile(target_)) {
        readOnly_ = true;
        {
            cannotCreate(EACCES);
            return;
        }
    }

    // The folder stays open, so that a temporary file is removed from where it was made
    // even when the folder is moved meanwhile.
    const QString folder = FolderOf(target_);
    folder_ = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) {
        cannotCreate(errno);
        return;
    }
    // No other Tunedeck writes there while the lock is held: what matches was left.
    if (left == LeftTemporaries::Remove && FolderLock::isHeld(folder))
        RemoveLeftTemporaries(folder_, folder);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporaryName_ = Native(TemporaryName(QFileInfo(target_).fileName()));
        // A new file gets the permissions any new file gets here; a replacement gets the
        // old file's below, once its owner is set.
        fd_ =
            ::openat(folder_, temporaryName_.constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
            // Told by prepare(), as any other failure of the writing.
            creationError_ = errno;
            temporaryName_.clear();
            discard();
            return;
        }
    }
    OwnTemporaries().insert(QFile::decodeName(temporaryPath()));
    if (replacing) {
        // Keeping the owner and group is not always allowed; keeping the group alone may be.
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0)
            (void)!::fchown(fd_, static_cast<uid_t>(-1), old.st_gid);
        (void)!::fchmod(fd_, old.st_mode & 07777);
    }
}

ReplacementFile::~ReplacementFile()
{
    discard();
}

QByteArray ReplacementFile::temporaryPath() const
{
    return Native(FolderOf(target_)) + '/' + temporaryName_;
}

QString ReplacementFile::preparedPath() const
{
    return temporaryName_.isEmpty() ? QString() : QFile::decodeName(temporaryPath());
}

void ReplacementFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporaryName_.isEmpty()) {
        ::unlinkat(folder_, temporaryName_.constData(), 0);
        OwnTemporaries().erase(QFile::decodeName(temporaryPath()));
    }
    temporaryName_.clear();
    if (folder_ >= 0)
        ::close(folder_);
    folder_ = -1;
}

void ReplacementFile::forget()
{
    if (!temporaryName_.isEmpty())
        OwnTemporaries().erase(QFile::decodeName(temporaryPath()));
    temporaryName_.clear();
}

int ReplacementFile::prepare(const std::string& bytes)
{
    auto fail = [this](int error) {
        discard();
        return error != 0 ? error : EIO;
    };
    if (fd_ < 0)
        return fail(creationError_);

    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno);
        if (n == 0)
            return fail(ENOSPC);
        written += static_cast<size_t>(n);
    }
    if (::fsync(fd_) != 0)
        return fail(errno);
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 && errno != EINTR)
        return fail(errno);
    return 0;
}

int ReplacementFile::install()
{
    if (temporaryName_.isEmpty() || fd_ >= 0) {
        discard();
        return creationError_ != 0 ? creationError_ : EIO;
    }
    // Renamed by path, not in the open folder: a folder moved away meanwhile is left as it
    // is, and no file is put where the target no longer is.
    const QByteArray temporary = temporaryPath();
    if (::rename(temporary.constData(), Native(target_).constData()) != 0) {
        const int error = errno;
        discard();
        return error != 0 ? error : EIO;
    }
    OwnTemporaries().erase(QFile::decodeName(temporary));
    temporaryName_.clear();
    installed_ = true;

    // The rename itself reaches the disk only with its folder.
    if (::fsync(folder_) != 0 && errno != EINVAL) // some file systems cannot sync a folder
        folderSyncError_ = errno;
    discard();
    return 0;
}
