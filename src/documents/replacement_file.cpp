#include "replacement_file.h"

#include "errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN

#include <QSaveFile>

ReplacementFile::ReplacementFile(const QString& path, LinkAtTarget)
    : target_(path), file_(new QSaveFile(path))
{
    const QFileInfo old(path);
    if (old.isFile() &&
        !(old.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteUser |
                               QFileDevice::WriteGroup | QFileDevice::WriteOther))) {
        delete file_;
        file_ = nullptr;
        throw ReadOnlyFile(old.fileName());
    }
    if (path.isEmpty() || !file_->open(QIODevice::WriteOnly)) {
        const QString reason = file_->errorString();
        delete file_;
        file_ = nullptr;
        throw FileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
    }
}

ReplacementFile::~ReplacementFile()
{
    discard();
}

void ReplacementFile::discard()
{
    if (file_)
        file_->cancelWriting();
    delete file_;
    file_ = nullptr;
}

int ReplacementFile::prepare(const std::string& bytes)
{
    // QSaveFile buffers what it is given, and commit() does not report a failed flush of
    // that buffer: the flush is checked before the file is put in place.
    const qint64 size = static_cast<qint64>(bytes.size());
    errno = 0;
    if (!file_ || file_->write(bytes.data(), size) != size || !file_->flush()) {
        const int error = errno != 0 ? errno : EIO;
        discard();
        return error;
    }
    return 0;
}

QString ReplacementFile::preparedPath() const
{
    return {}; // QSaveFile does not name its temporary file
}

int ReplacementFile::install()
{
    errno = 0;
    const bool committed = file_ && file_->commit();
    const int error = committed ? 0 : (errno != 0 ? errno : EIO);
    installed_ = committed;
    delete file_;
    file_ = nullptr;
    return error;
}

#else

#include "folder_lock.h"

#include <QRandomGenerator>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>

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

// The file that is replaced: the real file a link leads to when links are followed and the
// file exists, else the name in the real folder, where a link is replaced and not followed.
QString TargetPath(const QString& path, LinkAtTarget links)
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

[[noreturn]] void CannotCreate(const QString& path, int error)
{
    throw FileError(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

// Temporary files are hidden names beside the target: ".General.txt.tunedeck-" and eight
// letters or digits.
constexpr char TemporaryLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int TemporaryLetterCount = 8;

QByteArray TemporaryPrefix(const QString& targetName)
{
    return Native(QLatin1Char('.') + targetName + QStringLiteral(".tunedeck-"));
}

// A name of that pattern, at random: creating it with O_EXCL takes over no file or link.
QByteArray TemporaryName(const QByteArray& prefix)
{
    QByteArray name = prefix;
    for (int i = 0; i < TemporaryLetterCount; ++i)
        name += TemporaryLetters[QRandomGenerator::global()->bounded(36)];
    return name;
}

// Whether the name is one of a temporary file, for whatever target.
bool IsTemporaryName(const std::string& name)
{
    static const std::string marker = ".tunedeck-";
    const size_t at = name.rfind(marker);
    return name[0] == '.' && at != std::string::npos && at > 1 &&
           name.size() - at - marker.size() == TemporaryLetterCount &&
           name.find_first_not_of(TemporaryLetters, at + marker.size()) == std::string::npos;
}

// The temporary files this process is writing now (folder/name): never taken for left ones.
std::set<QByteArray>& OwnTemporaries()
{
    static std::set<QByteArray> names;
    return names;
}

// Removes the temporary files that earlier writes left in the folder when they were killed:
// regular files only, and a link only ever as a name.
void RemoveLeftTemporaries(int folder, const QByteArray& folderPath)
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
        if (IsTemporaryName(entry->d_name) &&
            OwnTemporaries().count(folderPath + '/' + entry->d_name) == 0 &&
            ::fstatat(folder, entry->d_name, &file, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(file.st_mode))
            ::unlinkat(folder, entry->d_name, 0);
    }
    ::closedir(entries);
}

} // namespace

ReplacementFile::ReplacementFile(const QString& path, LinkAtTarget links)
{
    if (path.isEmpty())
        CannotCreate(path, ENOENT);
    target_ = TargetPath(path, links);
    struct stat old {};
    bool replacing = ::lstat(Native(target_).constData(), &old) == 0;
    if (replacing && S_ISLNK(old.st_mode))
        replacing = false; // a link that is replaced: a new file in its place
    if (replacing && S_ISDIR(old.st_mode))
        CannotCreate(path, EISDIR);
    if (replacing && !S_ISREG(old.st_mode))
        CannotCreate(path, EINVAL);
    // Renaming over a file ignores its mode, and root may write any file: the mode is
    // looked at here, so that a file its owner made read-only stays as it is.
    if (replacing && (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw ReadOnlyFile(QFileInfo(path).fileName());

    // The folder stays open, so that a temporary file is removed from where it was made
    // even when the folder is moved meanwhile.
    const QString folder = FolderOf(target_);
    folder_ = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        CannotCreate(path, errno);
    // No other Tunedeck writes there while the lock is held: what matches was left.
    if (FolderLock::isHeld(folder))
        RemoveLeftTemporaries(folder_, Native(folder));
    const QByteArray prefix = TemporaryPrefix(QFileInfo(target_).fileName());
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporaryName_ = TemporaryName(prefix);
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
    OwnTemporaries().insert(temporaryPath());
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
        OwnTemporaries().erase(temporaryPath());
    }
    temporaryName_.clear();
    if (folder_ >= 0)
        ::close(folder_);
    folder_ = -1;
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
    OwnTemporaries().erase(temporary);
    temporaryName_.clear();
    installed_ = true;

    // The rename itself reaches the disk only with its folder.
    if (::fsync(folder_) != 0 && errno != EINVAL) // some file systems cannot sync a folder
        folderSyncError_ = errno;
    discard();
    return 0;
}

#endif

int ReplacementFile::commit(const std::string& bytes)
{
    const int error = prepare(bytes);
    return error != 0 ? error : install();
}

int ReplaceTogether(const std::vector<ReplacementFile*>& files,
                    const std::vector<std::string>& contents)
{
    int error = 0;
    for (size_t i = 0; i < files.size() && error == 0; ++i)
        error = files[i]->prepare(contents[i]);
    for (size_t i = 0; i < files.size() && error == 0; ++i)
        error = files[i]->install();
    if (error != 0)
        for (ReplacementFile* file : files)
            file->discard();
    return error;
}
