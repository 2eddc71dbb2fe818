// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_lock.h"

#include "errors.h"
#include "folder_lock_system.h"

#include <QFileInfo>
#include <map>
#include <utility>

namespace {

struct HeldLock {
    SystemLock fd = -1;
    int count = 0;
};

// The folders this process holds locked; a lock belongs to the process, so it is kept
// once for all of it.
std::map<QString, HeldLock>& HeldLocks()
{
    static std::map<QString, HeldLock> locks;
    return locks;
}

// The real folder of the file, links followed, so that every path to it takes one lock.
QString FolderOfFile(const QString& filePath, LinkAtTarget links)
{
    const QFileInfo file(filePath);
    if (links == LinkAtTarget::Follow && file.exists())
        return QFileInfo(file.canonicalFilePath()).absolutePath();
    const QFileInfo folder(file.absolutePath());
    return folder.exists() ? folder.canonicalFilePath() : folder.absoluteFilePath();
}

} // namespace

FolderLock::FolderLock(const QString& filePath, LinkAtTarget links)
    : folder_(FolderOfFile(filePath, links))
{
    HeldLock& held = HeldLocks()[folder_];
    if (held.count == 0) {
        try {
            held.fd = LockFolder(folder_);
        } catch (...) {
            HeldLocks().erase(folder_);
            throw;
        }
    }
    ++held.count;
}

bool FolderLock::isHeld(const QString& folder)
{
    const auto held = HeldLocks().find(folder);
    return held != HeldLocks().end() && held->second.fd >= 0;
}

FolderLock::FolderLock(FolderLock&& other) noexcept : folder_(std::exchange(other.folder_, {})) {}

FolderLock::~FolderLock()
{
    if (folder_.isEmpty())
        return;
    auto held = HeldLocks().find(folder_);
    if (held == HeldLocks().end() || --held->second.count > 0)
        return;
    UnlockFolder(held->second.fd);
    HeldLocks().erase(held);
}
