// SPDX-License-Identifier: GPL-3.0-or-later
#include "locked_write.h"

#include "errors.h"
#include "folder_lock.h"
#include "replacement_file.h"

#include <cstring>

void WriteFileLocked(const QString& path, const std::string& bytes)
{
    const FolderLock lock(path);
    ReplacementFile file(path);
    if (const int error = file.commit(bytes))
        throw FileError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(path, SystemErrorText(error)));
}
