// The folder lock on Windows. A folder's handle cannot be locked, so the lock is
// LockFileEx on a hidden file in the folder, ".tunedeck-lock". The file stays: one deleted
// on close could be deleted under a process that waits for it, and a third process would
// then lock a new file of the same name while the second holds the old.

#include "folder_lock_system.h"

#include "errors.h"
#include "replacement_file_parts.h"

#include <QDir>
#include <QThread>
#include <cstring>

#include <windows.h>

namespace {

[[noreturn]] void CannotLock(const QString& folder, int error)
{
    throw FileError(
        QStringLiteral("Cannot lock folder \"%1\". %2")
            .arg(QDir::toNativeSeparators(folder), QString::fromLocal8Bit(std::strerror(error))));
}

} // namespace

SystemLock LockFolder(const QString& folder)
{
    const std::wstring path =
        QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral(".tunedeck-lock")))
            .toStdWString();
    // Opened as a link if it is one, and then refused: nothing is created through a link.
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // No folder, or one nothing may be written into: nothing to guard, and the write
        // that follows says what is wrong.
        if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ||
            error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ||
            error == ERROR_DIRECTORY)
            return -1;
        CannotLock(folder, ErrorNumberOf(error));
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        ::CloseHandle(file);
        CannotLock(folder, EINVAL);
    }
    for (int waited = 0;; waited += 20) {
        OVERLAPPED start{};
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &start))
            break;
        const DWORD error = ::GetLastError();
        if (error != ERROR_LOCK_VIOLATION || waited >= LockWaitMilliseconds) {
            ::CloseHandle(file);
            if (error == ERROR_LOCK_VIOLATION)
                throw FileError(QStringLiteral("Cannot lock folder \"%1\": another Tunedeck is "
                                               "writing there. Nothing was written.")
                                    .arg(QDir::toNativeSeparators(folder)));
            CannotLock(folder, ErrorNumberOf(error));
        }
        QThread::msleep(20);
    }
    return reinterpret_cast<SystemLock>(file);
}

void UnlockFolder(SystemLock lock)
{
    if (lock != -1)
        ::CloseHandle(reinterpret_cast<HANDLE>(lock)); // releases the lock
}
