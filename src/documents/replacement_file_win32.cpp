// SPDX-License-Identifier: GPL-3.0-or-later
// The write path on Windows: CreateFileW beside the target, WriteFile, FlushFileBuffers,
// then ReplaceFileW (or MoveFileExW where no file is replaced). The errors are given as
// the system's own codes (GetLastError()), which SystemErrorText puts in its words.

#include "replacement_file.h"

#include "folder_lock.h"
#include "replacement_file_parts.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include <windows.h>

namespace {

// Whether a file is in the target's place to be replaced (not a link, whose name is simply
// replaced), with the attributes the new file takes from it; or the code of why no new file
// may be put there.
int ExamineTarget(const QString& target, bool& replacing, unsigned long& attributes, bool& readOnly)
{
    const DWORD old = ::GetFileAttributesW(Native(target).c_str());
    replacing = old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_REPARSE_POINT);
    if (replacing && (old & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_DIRECTORY;
    if (replacing && (old & (FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_OFFLINE)))
        return ERROR_INVALID_PARAMETER;
    // ReplaceFileW would take the read-only attribute along; the file is left as it is.
    if (replacing && IsReadOnlyFile(target)) {
        readOnly = true;
        return ERROR_ACCESS_DENIED;
    }
    if (replacing)
        attributes = old & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return 0;
}

} // namespace

ReplacementFile::ReplacementFile(const QString& path, LinkAtTarget links, WriteScope* scope)
    : scope_(scope)
{
    auto cannotCreate = [this](int error) {
        creationError_ = error != 0 ? error : ERROR_GEN_FAILURE;
    };
    if (path.isEmpty()) {
        cannotCreate(ERROR_PATH_NOT_FOUND);
        return;
    }
    target_ = ReplacedPath(path, links);
    if (const int error = ExamineTarget(target_, replacing_, attributes_, readOnly_)) {
        cannotCreate(error);
        return;
    }

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
    // No other Tunedeck writes there while the scope holds the lock: what matches was left.
    if (scope_ && scope_->removesLeftTemporaries(folder))
        RemoveLeftTemporaries(folder, *scope_);

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
    adopt();
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
        release();
    }
    temporaryPath_.clear();
}

void ReplacementFile::forget()
{
    if (!temporaryPath_.isEmpty())
        release();
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
    if (const int error = PutInPlace(Native(temporaryPath_), Native(target_), replacing_)) {
        discard();
        return error;
    }
    release();
    temporaryPath_.clear();
    installed_ = true;
    // A folder cannot be synced on Windows: MOVEFILE_WRITE_THROUGH and the file system's
    // journal stand for it.
    return 0;
}
