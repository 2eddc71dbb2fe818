// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system's half of FolderLock: folder_lock_posix.cpp or folder_lock_win32.cpp.

#include <QString>
#include <cstdint>

// How long a lock held by another process is waited for.
constexpr int LockWaitMilliseconds = 5000;

// A file descriptor or a HANDLE; -1 for none.
using SystemLock = std::intptr_t;

// Takes the lock of the folder, waiting LockWaitMilliseconds for another process that
// holds it; -1 when there is no folder to guard. Throws FileError when the lock cannot be
// had.
SystemLock LockFolder(const QString& folder);
void UnlockFolder(SystemLock lock);
