// SPDX-License-Identifier: GPL-3.0-or-later
// The write path on Windows: CreateFileW beside the target, WriteFile, FlushFileBuffers,
// then ReplaceFileW (or MoveFileExW where no file is replaced). The errors are given as
// the system's own codes (GetLastError()), which SystemErrorText puts in its words.

#include "replacement_file.h"

#include "errors.h"
#include "folder_lock.h"
#include "replacement_file_parts.h"

#include <QDir>
#include <QFileInfo>
#include <cstring>

#include <windows.h>

namespace {

std::wstring Native(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

int LastError()
{
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
}

// Removes the temporary files that earlier writes left in the folder when they were killed:
// plain files only; a link (reparse point) of such a name is left alone.
void RemoveLeftTemporaries(const QString& folder)
{
    WIN32_FIND_DATAW entry;
    const HANDLE listing = ::FindFirstFileW(Native(folder + QStringLiteral("/*")).c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        const QString name = QString::fromWCharArray(entry.cFileName);
        const QString path = QDir(folder).filePath(name);
        if (IsTemporaryName(name) && OwnTemporaries().count(path) == 0 &&
            !(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
            ::DeleteFileW(Native(path).c_str());
    } while (::FindNextFileW(listing, &entry));
    ::FindClose(listing);
}

} // namespace

QString ReplacedPath(const QString& path, LinkAtTarget links)
{
    const QFileInfo file(path);
    if (links == LinkAtTarget::Follow && file.exists())
        return file.canonicalFilePath();
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? file.absoluteFilePath() : QDir(folder).filePath(file.fileName());
}

int SyncFolder(const QString&)
{
    // A folder cannot be synced on Windows: MOVEFILE_WRITE_THROUGH and the file system's
    // journal stand for it.
    return 0;
}

int MoveIntoPlace(const QString& prepared, const QString& target)
{
    if (::MoveFileExW(Native(prepared).c_str(), Native(target).c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    return LastError();
}

SmallFileRead ReadSmallFile(const QString& path, qint64 maxBytes, std::string& bytes)
{
    const DWORD attributes = ::GetFileAttributesW(Native(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND
                   ? SmallFileRead::Missing
                   : SmallFileRead::Failed;
    if (attributes &
        (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
        return SmallFileRead::NotRegular;
    const HANDLE file = ::CreateFileW(
        Native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SmallFileRead::Failed;
    SmallFileRead outcome = SmallFileRead::Read;
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK)
        outcome = SmallFileRead::NotRegular;
    else if (!::GetFileSizeEx(file, &size))
        outcome = SmallFileRead::Failed;
    else if (size.QuadPart > maxBytes)
        outcome = SmallFileRead::TooLarge;
    std::string read;
    char chunk[16 * 1024];
    while (outcome == SmallFileRead::Read) {
        DWORD n = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &n, nullptr))
            outcome = SmallFileRead::Failed;
        else if (n == 0)
            break;
        else if (static_cast<qint64>(read.size()) + n > maxBytes)
            outcome = SmallFileRead::TooLarge;
        else
            read.append(chunk, n);
    }
    ::CloseHandle(file);
    if (outcome == SmallFileRead::Read)
        bytes = std::move(read);
    return outcome;
}

ReplacementFile::ReplacementFile(const QString& path, LinkAtTarget links, LeftTemporaries left)
{
    auto cannotCreate = [this](int error) {
        creationError_ = error != 0 ? error : ERROR_GEN_FAILURE;
    };
    if (path.isEmpty()) {
        cannotCreate(ERROR_PATH_NOT_FOUND);
        return;
    }
    target_ = ReplacedPath(path, links);
    const DWORD old = ::GetFileAttributesW(Native(target_).c_str());
    replacing_ = old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_REPARSE_POINT);
    if (replacing_ && (old & FILE_ATTRIBUTE_DIRECTORY)) {
        cannotCreate(ERROR_DIRECTORY);
        return;
    }
    if (replacing_ && (old & (FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_OFFLINE))) {
        cannotCreate(ERROR_INVALID_PARAMETER);
        return;
    }
    // ReplaceFileW would take the read-only attribute along; the file is left as it is.
    if (replacing_ && (old & FILE_ATTRIBUTE_READONLY)) {
        readOnly_ = true;
        {
            cannotCreate(ERROR_ACCESS_DENIED);
            return;
        }
    }
    if (replacing_)
        attributes_ = old & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);

    const QString folder = QFileInfo(target_).absolutePath();
    const DWORD folderAttributes = ::GetFileAttributesW(Native(folder).c_str());
    if (folderAttributes == INVALID_FILE_ATTRIBUTES) {
        cannotCreate(LastError());
        return;
    }
    if (!(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        cannotCreate(ERROR_DIRECTORY);
        return;
    }
    // No other Tunedeck writes there while the lock is held: what matches was left.
    if (left == LeftTemporaries::Remove && FolderLock::isHeld(folder))
        RemoveLeftTemporaries(folder);

    for (int attempt = 0; file_ == nullptr; ++attempt) {
        temporaryPath_ = QDir(folder).filePath(TemporaryName(QFileInfo(target_).fileName()));
        // CREATE_NEW fails on any name that is there, a link too: nothing is written
        // through a reparse point.
        const HANDLE file =
            ::CreateFileW(Native(temporaryPath_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            file_ = file;
            break;
        }
        const DWORD error = ::GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 100) {
            // Told by prepare(), as any other failure of the writing.
            creationError_ = static_cast<int>(error);
            temporaryPath_.clear();
            return;
        }
    }
    OwnTemporaries().insert(temporaryPath_);
}

ReplacementFile::~ReplacementFile()
{
    discard();
}

QString ReplacementFile::preparedPath() const
{
    return temporaryPath_;
}

void ReplacementFile::discard()
{
    if (file_)
        ::CloseHandle(static_cast<HANDLE>(file_));
    file_ = nullptr;
    if (!temporaryPath_.isEmpty()) {
        ::DeleteFileW(Native(temporaryPath_).c_str());
        OwnTemporaries().erase(temporaryPath_);
    }
    temporaryPath_.clear();
}

void ReplacementFile::forget()
{
    if (!temporaryPath_.isEmpty())
        OwnTemporaries().erase(temporaryPath_);
    temporaryPath_.clear();
}

int ReplacementFile::prepare(const std::string& bytes)
{
    auto fail = [this](int error) {
        discard();
        return error != 0 ? error : ERROR_GEN_FAILURE;
    };
    if (!file_)
        return fail(creationError_);
    const HANDLE file = static_cast<HANDLE>(file_);

    size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1 << 20));
        DWORD n = 0;
        if (!::WriteFile(file, bytes.data() + written, chunk, &n, nullptr))
            return fail(LastError());
        if (n == 0)
            return fail(ERROR_DISK_FULL);
        written += n;
    }
    if (!::FlushFileBuffers(file))
        return fail(LastError());
    if (attributes_ != 0) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = attributes_;
        if (!::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic))
            return fail(LastError());
    }
    const BOOL closed = ::CloseHandle(file);
    file_ = nullptr;
    if (!closed)
        return fail(LastError());
    return 0;
}

int ReplacementFile::install()
{
    if (temporaryPath_.isEmpty() || file_) {
        discard();
        return creationError_ != 0 ? creationError_ : ERROR_GEN_FAILURE;
    }
    const std::wstring target = Native(target_);
    const std::wstring temporary = Native(temporaryPath_);
    // ReplaceFileW keeps what else the old file carries (its security and streams); it
    // needs a file to replace, and a link's name is replaced by a move.
    bool moved = replacing_ && ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    DWORD error = moved ? ERROR_SUCCESS : ::GetLastError();
    if (!moved && (!replacing_ || error == ERROR_FILE_NOT_FOUND)) {
        moved = ::MoveFileExW(temporary.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        error = moved ? ERROR_SUCCESS : ::GetLastError();
    }
    if (!moved) {
        discard();
        return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
    }
    OwnTemporaries().erase(temporaryPath_);
    temporaryPath_.clear();
    installed_ = true;
    // A folder cannot be synced on Windows: MOVEFILE_WRITE_THROUGH and the file system's
    // journal stand for it.
    return 0;
}
