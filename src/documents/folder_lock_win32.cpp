// SPDX-License-Identifier: GPL-3.0-or-later
// The folder lock on Windows. A folder's handle cannot be locked, so the lock is
// LockFileEx on a hidden file in the folder, ".tunedeck-lock", which its holder deletes
// when it lets go (a process that is killed leaves it, and the next holder deletes it).
// Only the holder ever deletes it, and a lock counts only once the name still leads to
// the locked file: a process that locked a file deleted meanwhile starts again, so two
// processes never hold locks on two files of that name. The holder marks the file with its
// process and handle; a second lock of that process shares the first (a duplicate of its
// handle), and leaves the lock file to it.

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

// The mark of the lock's holder, written in the lock file past the locked byte: the process
// and the handle that hold the lock, so that a second lock of that process shares it.
struct HolderMark {
    DWORD process = 0;
    DWORD unused = 0;
    unsigned long long handle = 0;
};
constexpr DWORD MarkOffset = 8;

void MarkHolder(HANDLE file)
{
    const HolderMark mark{::GetCurrentProcessId(), 0, reinterpret_cast<unsigned long long>(file)};
    OVERLAPPED at{};
    at.Offset = MarkOffset;
    DWORD written = 0;
    (void)::WriteFile(file, &mark, sizeof mark, &written, &at);
}

// A duplicate of the handle through which this process holds the lock that `file` (the lock
// file, described by `information`) could not take; nullptr where another process holds it.
HANDLE ShareOfHeldLock(HANDLE file, const BY_HANDLE_FILE_INFORMATION& information)
{
    HolderMark mark;
    OVERLAPPED at{};
    at.Offset = MarkOffset;
    DWORD read = 0;
    if (!::ReadFile(file, &mark, sizeof mark, &read, &at) || read != sizeof mark ||
        mark.process != ::GetCurrentProcessId())
        return nullptr;
    const HANDLE holder = reinterpret_cast<HANDLE>(mark.handle);
    BY_HANDLE_FILE_INFORMATION held{};
    HANDLE share = nullptr;
    if (holder != file && ::GetFileInformationByHandle(holder, &held) &&
        held.dwVolumeSerialNumber == information.dwVolumeSerialNumber &&
        held.nFileIndexHigh == information.nFileIndexHigh &&
        held.nFileIndexLow == information.nFileIndexLow &&
        ::DuplicateHandle(::GetCurrentProcess(), holder, ::GetCurrentProcess(), &share, 0, FALSE,
                          DUPLICATE_SAME_ACCESS))
        return share;
    return nullptr;
}

// One attempt at the lock file `path` of the folder: sets `held` or `failure`, or returns
// true to be tried again (while `mayWait`).
bool TryLock(const QString& folder, const std::wstring& path, bool mayWait, HeldLock& held,
             std::optional<LockFailure>& failure)
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
        MarkHolder(file);
        held = {reinterpret_cast<SystemLock>(file), false};
        return false;
    }
    const DWORD error = ::GetLastError();
    const HANDLE share =
        error == ERROR_LOCK_VIOLATION ? ShareOfHeldLock(file, information) : nullptr;
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
        if (!TryLock(folder, path, waited < LockWaitMilliseconds, held, failure))
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
