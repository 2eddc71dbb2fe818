// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "replacement_file.h"

#include <QString>

// Keeps other Tunedeck processes from writing into a folder while this one reads and
// replaces files there: an advisory lock on the folder itself, so no lock file is left
// behind. Locks of one process nest: a folder locked twice is unlocked with the last
// lock. A lock that another process holds is waited for a few seconds, then the
// constructor throws FileError.
class FolderLock {
public:
    // Locks the folder that holds the file at `filePath`: with links followed, the folder
    // of the real file; else the folder of the link itself (its own links followed).
    explicit FolderLock(const QString& filePath, LinkAtTarget links = LinkAtTarget::Follow);
    ~FolderLock();
    FolderLock(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    FolderLock& operator=(FolderLock&&) = delete;

    // Whether this process holds the lock of the folder (its real path).
    static bool isHeld(const QString& folder);

private:
    QString folder_; // empty once moved from
};
