// SPDX-License-Identifier: GPL-3.0-or-later
// The folder lock on Windows. A folder's handle cannot be locked, so the lock is
// LockFileEx on a hidden file in the folder, ".tunedeck-lock", which its holder deletes
// when it lets go (a process that is killed leaves it, and the next holder deletes it).
// Only the holder ever deletes it, and a lock counts only once the name still leads to
// the locked file: a process that locked a file deleted meanwhile starts again, so two
// processes never hold locks on two files of that name.

#include "folder_lock_system.h"

#include "errors.h"

#include <QDir>
#include <QThread>

#include <windows.h>

namespace {

// Whether `path` names the file open as `file` (a link is not followed).
bool NameLeadsTo(const std::wstring& path, HANDLE file)
{
    const HANDLE named =
        ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    const bool same = ::GetFileInformationByHandle(named, &a) &&
                      ::GetFileInformationByHandle(file, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
                      a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    ::CloseHandle(named);
    return same;
}

} // namespace

std::optional<LockFailure> LockFolder(const QString& folder, SystemLock& lock)
{
    lock = -1;
    const std::wstring path =
        QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral(".tunedeck-lock")))
            .toStdWString();
    for (int waited = 0;; waited += 20) {
        if (waited > 0)
            QThread::msleep(20);
        // Opened as a link if it is one, and then refused: nothing is created through a
        // link.
        const HANDLE file = ::CreateFileW(
            path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
            FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            // A lock file that its holder has just deleted cannot be opened until the last
            // process that has it open closes it.
            const bool deleting = error == ERROR_ACCESS_DENIED &&
                                  ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            if (deleting && waited < LockWaitMilliseconds)
                continue;
            // No folder, or one nothing may be written into: nothing to guard, and the
            // write that follows says what is wrong.
            if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND ||
                error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ||
                error == ERROR_DIRECTORY)
                return std::nullopt;
            return LockFailure{folder, false, SystemErrorText(static_cast<int>(error))};
        }
        BY_HANDLE_FILE_INFORMATION information{};
        if (!::GetFileInformationByHandle(file, &information) ||
            (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            ::CloseHandle(file);
            return LockFailure{folder, false, SystemErrorText(ERROR_INVALID_PARAMETER)};
        }
        OVERLAPPED start{};
        if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                         &start)) {
            if (NameLeadsTo(path, file)) {
                lock = reinterpret_cast<SystemLock>(file);
                return std::nullopt;
            }
            ::CloseHandle(file); // deleted by the holder before: start again
            continue;
        }
        const DWORD error = ::GetLastError();
        ::CloseHandle(file);
        if (error == ERROR_LOCK_VIOLATION && waited < LockWaitMilliseconds)
            continue;
        if (error == ERROR_LOCK_VIOLATION)
            return LockFailure{folder, true, {}};
        return LockFailure{folder, false, SystemErrorText(static_cast<int>(error))};
    }
}

void UnlockFolder(SystemLock lock)
{
    if (lock == -1)
        return;
    const HANDLE file = reinterpret_cast<HANDLE>(lock);
    FILE_DISPOSITION_INFO remove{};
    remove.DeleteFile = TRUE;
    (void)::SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove);
    ::CloseHandle(file); // releases the lock
}
