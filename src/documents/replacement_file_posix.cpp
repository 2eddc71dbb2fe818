// SPDX-License-Identifier: GPL-3.0-or-later
// The write path on POSIX systems: open, write, fsync, rename and fsync of the folder.

#include "replacement_file.h"

#include "folder_lock.h"
#include "replacement_file_parts.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether the file in the target's place is replaced, with what it is in `old`; or the code
// of why no new file may be put there.
int ExamineTarget(const QString& target, LinkAtTarget links, struct stat& old, bool& replacing,
                  bool& readOnly)
{
    replacing = ::lstat(Native(target).constData(), &old) == 0;
    // A link, or a FIFO or device in the place of a file of Tunedeck's own, is replaced by
    // the new file; what it stands for is never opened.
    if (replacing && (S_ISLNK(old.st_mode) || (links == LinkAtTarget::Replace &&
                                               !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode))))
        replacing = false;
    if (replacing && S_ISDIR(old.st_mode))
        return EISDIR;
    if (replacing && !S_ISREG(old.st_mode))
        return EINVAL;
    // Renaming over a file ignores its mode, and root may write any file: the mode is
    // looked at here, so that a file its owner made read-only stays as it is.
    if (replacing && IsReadOnlyFile(target)) {
        readOnly = true;
        return EACCES;
    }
    return 0;
}

} // namespace

ReplacementFile::ReplacementFile(const QString& path, LinkAtTarget links, WriteScope* scope)
    : scope_(scope)
{
    auto cannotCreate = [this](int error) { creationError_ = error != 0 ? error : EIO; };
    if (path.isEmpty()) {
        cannotCreate(ENOENT);
        return;
    }
    target_ = ReplacedPath(path, links);
    struct stat old {};
    bool replacing = false;
    if (const int error = ExamineTarget(target_, links, old, replacing, readOnly_)) {
        cannotCreate(error);
        return;
    }

    // The folder stays open, so that a temporary file is removed from where it was made
    // even when the folder is moved meanwhile.
    const QString folder = FolderOf(target_);
    folder_ = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) {
        cannotCreate(errno);
        return;
    }
    // No other Tunedeck writes there while the scope holds the lock: what matches was left.
    if (scope_ && scope_->removesLeftTemporaries(folder))
        RemoveLeftTemporaries(folder_, folder, *scope_);
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
    adopt();
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
        release();
    }
    temporaryName_.clear();
    if (folder_ >= 0)
        ::close(folder_);
    folder_ = -1;
}

void ReplacementFile::forget()
{
    if (!temporaryName_.isEmpty())
        release();
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
    release();
    temporaryName_.clear();
    installed_ = true;

    // The rename itself reaches the disk only with its folder.
    if (::fsync(folder_) != 0 && errno != EINVAL) // some file systems cannot sync a folder
        folderSyncError_ = errno;
    discard();
    return 0;
}
