// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "replacement_file.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

// Why the lock of a folder could not be had.
struct LockFailure {
    QString folder;             // the real folder
    bool heldElsewhere = false; // another Tunedeck held it for the whole wait
    QString systemText;         // else why, in the system's words
};

// The words of a FolderLock's FileError: "Cannot lock folder "FOLDER". REASON", or that another
// Tunedeck is writing there.
QString CannotLockText(const LockFailure& failure);

// Keeps other Tunedeck processes from writing into a folder while this one reads and
// replaces files there: an advisory lock on the folder itself, so no lock file is left
// behind (on Windows, a hidden lock file its holder deletes). A folder this process holds
// locked already is not locked anew: the new lock shares the system's, which is let go
// with its last holder. A lock that another process holds is waited for a few seconds,
// then the constructor throws FileError.
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

private:
    friend class WriteScope;
    FolderLock(QString folder, std::intptr_t lock, bool shared)
        : folder_(std::move(folder)), lock_(lock), shared_(shared)
    {
    }

    QString folder_;
    std::intptr_t lock_ = -1; // the system's lock (SystemLock); -1 for none
    bool shared_ = false;     // a share of a lock this process held already
};

// What one write holds while it runs (a save of game files, a version, a file of Tunedeck's
// own): the locks of the folders it writes into, each taken once however many of its files
// are there, and the temporary files it is writing. No other Tunedeck writes into a folder
// it holds locked, so the temporary files there that are not its own were left by killed
// writes: its ReplacementFiles remove them, unless it keeps them. Everything is let go with
// the scope.
class WriteScope {
public:
    WriteScope() = default;
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;

    // Locks the folder of the file (as FolderLock does) unless the scope holds it already;
    // the failure, if the lock cannot be had.
    std::optional<LockFailure> lock(const QString& filePath,
                                    LinkAtTarget links = LinkAtTarget::Follow);

    // The temporary files that killed writes left stay where they are: a record of a cut-off
    // save names them.
    void keepLeftTemporaries() { keepLeft_ = true; }
    // Whether a ReplacementFile in the folder (its real path) removes the temporary files left
    // there: the scope holds the folder's lock and keeps none.
    bool removesLeftTemporaries(const QString& folder) const;

    // The temporary files the scope's ReplacementFiles are writing (their full paths): never
    // taken for left ones.
    void adopt(const QString& temporary) { own_.insert(temporary); }
    void release(const QString& temporary) { own_.erase(temporary); }
    bool owns(const QString& temporary) const { return own_.count(temporary) > 0; }

private:
    std::vector<FolderLock> locks_;
    std::set<QString> own_;
    bool keepLeft_ = false;
};
