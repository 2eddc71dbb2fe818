// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_lock.h"

#include "errors.h"
#include "folder_lock_system.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace {

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

QString CannotLockText(const LockFailure& failure)
{
    const QString folder = QDir::toNativeSeparators(failure.folder);
    if (failure.heldElsewhere)
        return QStringLiteral("Cannot lock folder \"%1\": another Tunedeck is writing there. "
                              "Nothing was written.")
            .arg(folder);
    return QStringLiteral("Cannot lock folder \"%1\". %2").arg(folder, failure.systemText);
}

FolderLock::FolderLock(const QString& filePath, LinkAtTarget links)
    : folder_(FolderOfFile(filePath, links))
{
    HeldLock held;
    if (const std::optional<LockFailure> failure = LockFolder(folder_, held))
        throw FileError(CannotLockText(*failure));
    lock_ = held.lock;
    shared_ = held.shared;
}

FolderLock::FolderLock(FolderLock&& other) noexcept
    : folder_(std::exchange(other.folder_, {})), lock_(std::exchange(other.lock_, -1)),
      shared_(other.shared_)
{
}

FolderLock::~FolderLock()
{
    UnlockFolder({lock_, shared_});
}

std::optional<LockFailure> WriteScope::lock(const QString& filePath, LinkAtTarget links)
{
    QString folder = FolderOfFile(filePath, links);
    for (const FolderLock& held : locks_)
        if (held.folder_ == folder)
            return std::nullopt;
    HeldLock held;
    if (std::optional<LockFailure> failure = LockFolder(folder, held))
        return failure;
    locks_.push_back(FolderLock(std::move(folder), held.lock, held.shared));
    return std::nullopt;
}

bool WriteScope::removesLeftTemporaries(const QString& folder) const
{
    if (keepLeft_)
        return false;
    for (const FolderLock& held : locks_)
        if (held.folder_ == folder && held.lock_ != -1)
            return true;
    return false;
}
