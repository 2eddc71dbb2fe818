#include "replacement_file.h"

#include "errors.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN

#include <QSaveFile>

ReplacementFile::ReplacementFile(const QString& path) : target_(path), file_(new QSaveFile(path))
{
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

int ReplacementFile::commit(const std::string& bytes)
{
    // QSaveFile buffers what it is given, and commit() does not report a failed flush of
    // that buffer: the flush is checked before the file is put in place.
    const qint64 size = static_cast<qint64>(bytes.size());
    errno = 0;
    if (file_->write(bytes.data(), size) != size || !file_->flush()) {
        const int error = errno != 0 ? errno : EIO;
        discard();
        return error;
    }
    errno = 0;
    const bool committed = file_->commit();
    const int error = committed ? 0 : (errno != 0 ? errno : EIO);
    delete file_;
    file_ = nullptr;
    return error;
}

#else

#include <QRandomGenerator>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

// The real file a path names, links followed; the path itself when nothing exists there.
QString RealPath(const QString& path)
{
    char* real = ::realpath(Native(path).constData(), nullptr);
    if (!real)
        return path;
    const QString resolved = QFile::decodeName(real);
    std::free(real);
    return resolved;
}

// The folder of the file; for a bare name, the working folder.
QString FolderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

[[noreturn]] void CannotCreate(const QString& path, int error)
{
    throw FileError(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(path, QString::fromLocal8Bit(std::strerror(error))));
}

// A hidden name beside the target that no other file has yet.
QString TemporaryName(const QString& targetName)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QLatin1Char('.') + targetName + QStringLiteral(".tunedeck-");
    for (int i = 0; i < 8; ++i)
        name += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
    return name;
}

} // namespace

ReplacementFile::ReplacementFile(const QString& path) : target_(RealPath(path))
{
    if (path.isEmpty())
        CannotCreate(path, ENOENT);
    struct stat old {};
    const bool replacing = ::stat(Native(target_).constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        CannotCreate(path, EISDIR);
    if (replacing && !S_ISREG(old.st_mode))
        CannotCreate(path, EINVAL);

    // The folder stays open, so that a temporary file is removed from where it was made
    // even when the folder is moved meanwhile.
    folder_ = ::open(Native(FolderOf(target_)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        CannotCreate(path, errno);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temporaryName_ = Native(TemporaryName(QFileInfo(target_).fileName()));
        // A new file gets the permissions any new file gets here; a replacement gets the
        // old file's below, once its owner is set.
        fd_ = ::openat(folder_, temporaryName_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                       replacing ? 0600 : 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
            const int error = errno;
            temporaryName_.clear();
            discard();
            CannotCreate(path, error);
        }
    }
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

void ReplacementFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporaryName_.isEmpty())
        ::unlinkat(folder_, temporaryName_.constData(), 0);
    temporaryName_.clear();
    if (folder_ >= 0)
        ::close(folder_);
    folder_ = -1;
}

int ReplacementFile::commit(const std::string& bytes)
{
    auto fail = [this](int error) {
        discard();
        return error != 0 ? error : EIO;
    };

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

    // Renamed by path, not in the open folder: a folder moved away meanwhile is left as it
    // is, and no file is put where the target no longer is.
    const QByteArray temporary = Native(FolderOf(target_)) + '/' + temporaryName_;
    if (::rename(temporary.constData(), Native(target_).constData()) != 0)
        return fail(errno);
    temporaryName_.clear();

    // The rename itself reaches the disk only with its folder.
    int error = 0;
    if (::fsync(folder_) != 0 && errno != EINVAL) // some file systems cannot sync a folder
        error = errno;
    discard();
    return error;
}

#endif
