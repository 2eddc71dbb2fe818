// SPDX-License-Identifier: GPL-3.0-or-later
// The folder lock on Windows. A folder's handle cannot be locked, so the lock is
// LockFileEx on a hidden file in the folder, ".tunedeck-lock", which its holder deletes
// when it lets go (a process that is killed leaves it, and the next holder deletes it).
// Only the holder ever deletes it, and a lock counts only once the name still leads to
// the locked file: a process that locked a file deleted meanwhile starts again, so two
// processes never hold locks on two files of that name. A second lock of the process that
// holds the lock shares it (a duplicate of the holder's handle), and leaves the lock file to
// the holder.

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

// A duplicate of the handle through which this process holds the lock that `file` (the lock
// file, described by `information`) could not take; nullptr where another process holds it.
// Only a holder keeps the lock file open, so a handle of this process on that file is one;
// the handles are looked up one by one, which costs no write to a drive that may be full.
HANDLE ShareOfHeldLock(HANDLE file, const BY_HANDLE_FILE_INFORMATION& information)
{
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        const HANDLE holder = reinterpret_cast<HANDLE>(value);
        BY_HANDLE_FILE_INFORMATION held{};
        HANDLE share = nullptr;
        if (holder != file && ::GetFileType(holder) == FILE_TYPE_DISK &&
            ::GetFileInformationByHandle(holder, &held) &&
            held.dwVolumeSerialNumber == information.dwVolumeSerialNumber &&
            held.nFileIndexHigh == information.nFileIndexHigh &&
            held.nFileIndexLow == information.nFileIndexLow &&
            ::DuplicateHandle(::GetCurrentProcess(), holder, ::GetCurrentProcess(), &share, 0,
                              FALSE, DUPLICATE_SAME_ACCESS))
            return share;
    }
    return nullptr;
}

// One attempt at the lock file `path` of the folder: sets `held` or `failure`, or returns
// true to be tried again (while `mayWait`). A lock this process holds is looked for at the
// first attempt alone: none is taken meanwhile.
bool TryLock(const QString& folder, const std::wstring& path, bool first, bool mayWait,
             HeldLock& held, std::optional<LockFailure>& failure)
{
    // Opened as a link if it is one, and then refused: nothing is created through a link.
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A lock file that its holder has just deleted cannot be opened until the last
        // process that has it open closes it.
        const bool deleting = error == ERROR_ACCESS_DENIED &&
                              ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (deleting && mayWait)
            return true;
        // No folder, or one nothing may be written into: nothing to guard, and the write
        // that follows says what is wrong.
        if (error != ERROR_PATH_NOT_FOUND && error != ERROR_FILE_NOT_FOUND &&
            error != ERROR_ACCESS_DENIED && error != ERROR_WRITE_PROTECT &&
            error != ERROR_DIRECTORY)
            failure = LockFailure{folder, false, SystemErrorText(static_cast<int>(error))};
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        ::CloseHandle(file);
        failure = LockFailure{folder, false, SystemErrorText(ERROR_INVALID_PARAMETER)};
        return false;
    }
    OVERLAPPED start{};
    if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start)) {
        if (!NameLeadsTo(path, file)) {
            ::CloseHandle(file); // deleted by the holder before: start again
            return true;
        }
        held = {reinterpret_cast<SystemLock>(file), false};
        return false;
    }
    const DWORD error = ::GetLastError();
    const HANDLE share =
        error == ERROR_LOCK_VIOLATION && first ? ShareOfHeldLock(file, information) : nullptr;
    ::CloseHandle(file);
    if (share)
        held = {reinterpret_cast<SystemLock>(share), true};
    else if (error == ERROR_LOCK_VIOLATION && mayWait)
        return true;
    else if (error == ERROR_LOCK_VIOLATION)
        failure = LockFailure{folder, true, {}};
    else
        failure = LockFailure{folder, false, SystemErrorText(static_cast<int>(error))};
    return false;
}

} // namespace

std::optional<LockFailure> LockFolder(const QString& folder, HeldLock& held)
{
    held = {};
    const std::wstring path =
        QDir::toNativeSeparators(QDir(folder).filePath(QStringLiteral(".tunedeck-lock")))
            .toStdWString();
    std::optional<LockFailure> failure;
    for (int waited = 0;; waited += 20) {
        if (waited > 0)
            QThread::msleep(20);
        if (!TryLock(folder, path, waited == 0, waited < LockWaitMilliseconds, held, failure))
            return failure;
    }
}

void UnlockFolder(const HeldLock& held)
{
    if (held.lock == -1)
        return;
    const HANDLE file = reinterpret_cast<HANDLE>(held.lock);
    // A share leaves the lock file to the lock's first holder, which deletes it.
    if (!held.shared) {
        FILE_DISPOSITION_INFO remove{};
        remove.DeleteFile = TRUE;
        (void)::SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove);
    }
    ::CloseHandle(file); // the lock goes with the last handle of the open lock file
}
