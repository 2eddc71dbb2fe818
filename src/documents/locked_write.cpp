// SPDX-License-Identifier: GPL-3.0-or-later
#include "locked_write.h"

#include "errors.h"
#include "folder_lock.h"
#include "replacement_file.h"

#include <optional>

void WriteFileLocked(const QString& path, const std::string& bytes)
{
    WriteScope scope;
    if (const std::optional<LockFailure> failure = scope.lock(path))
        throw FileError(CannotLockText(*failure));
    ReplacementFile file(path, LinkAtTarget::Follow, &scope);
    if (const int error = file.commit(bytes))
        throw FileError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(path, SystemErrorText(error)));
}
