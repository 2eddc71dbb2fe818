// SPDX-License-Identifier: GPL-3.0-or-later
// A second lock of a folder this process holds shares the first: it is had at once, and the
// folder stays locked for everyone else until the last of the two lets go, in either order.

#include "documents/folder_lock.h"
#include "support/test_support.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Whether another open file of the folder (as another process has) could lock it now.
bool LockableElsewhere(const QString& folder)
{
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool free = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0)
        ::close(fd);
    return free;
}

TEST(FolderLocks, ASecondLockOfTheProcessSharesTheFirst)
{
    WorkFolder work;
    const QString folder = QFileInfo(work.generalPath()).absolutePath();
    auto first = std::make_unique<FolderLock>(work.generalPath());
    auto second = std::make_unique<FolderLock>(work.generalPath());
    second.reset();
    EXPECT_FALSE(LockableElsewhere(folder)) << "the share let go of the first lock";
    second = std::make_unique<FolderLock>(work.generalPath());
    first.reset();
    EXPECT_FALSE(LockableElsewhere(folder)) << "the first let go of the share";
    second.reset();
    EXPECT_TRUE(LockableElsewhere(folder)) << "the lock outlived its holders";
}

} // namespace
#endif
