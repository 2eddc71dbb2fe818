// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system's half of FolderLock: folder_lock_posix.cpp or folder_lock_win32.cpp.

#include "folder_lock.h"

#include <QString>
#include <cstdint>
#include <optional>

// How long a lock held by another process is waited for.
constexpr int LockWaitMilliseconds = 5000;

// A file descriptor or a HANDLE; -1 for none.
using SystemLock = std::intptr_t;

// A lock this process holds: its own, or a share of one it held already (a duplicate of the
// descriptor or handle that holds it, so that the system lets go with the last of them).
struct HeldLock {
    SystemLock lock = -1;
    bool shared = false;
};

// Takes the lock of the folder, waiting LockWaitMilliseconds for another process that
// holds it, and sets `held`: no lock when there is no folder to guard. Returns why the lock
// cannot be had.
std::optional<LockFailure> LockFolder(const QString& folder, HeldLock& held);
void UnlockFolder(const HeldLock& held);
