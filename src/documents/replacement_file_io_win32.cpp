// SPDX-License-Identifier: GPL-3.0-or-later
// The file calls of the write path on Windows: the paths it replaces, ReplaceFileW (or
// MoveFileExW) to put a file in place, the sweep of left temporary files, and the read of a
// small file that never follows a reparse point. The errors are given as the system's own
// codes (GetLastError()), which SystemErrorText puts in its words.

#include "replacement_file_io.h"

#include "folder_lock.h"
#include "replacement_file_parts.h"

#include <QDir>
#include <QFileInfo>

#include <windows.h>

namespace {

bool Move(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Missing(const std::wstring& path)
{
    if (Exists(path))
        return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

int ErrorOrGeneral(DWORD systemError)
{
    return systemError != ERROR_SUCCESS ? static_cast<int>(systemError) : ERROR_GEN_FAILURE;
}

} // namespace

// Removes the temporary files that earlier writes left in the folder when they were killed:
// plain files only; a link (reparse point) of such a name is left alone.
void RemoveLeftTemporaries(const QString& folder, const WriteScope& scope)
{
    WIN32_FIND_DATAW entry;
    const HANDLE listing = ::FindFirstFileW(Native(folder + QStringLiteral("/*")).c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        const QString name = QString::fromWCharArray(entry.cFileName);
        const QString path = QDir(folder).filePath(name);
        // ReplaceFileW is two renames: one killed between them leaves the old file under a
        // temporary name and none at its target, and that one is kept.
        const QString target = name.mid(1, name.lastIndexOf(QStringLiteral(".tunedeck-")) - 1);
        if (IsTemporaryName(name) && !scope.owns(path) &&
            !(entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
            ::GetFileAttributesW(Native(QDir(folder).filePath(target)).c_str()) !=
                INVALID_FILE_ATTRIBUTES)
            ::DeleteFileW(Native(path).c_str());
    } while (::FindNextFileW(listing, &entry));
    ::FindClose(listing);
}

// Puts the file `temporary` in the place of `target`, beside it. Returns 0 once the new file
// is at `target`, else an error number; in every case a file is at `target` when there was
// one before. `replacing`: a file is there (not a link, whose name is simply replaced).
//
// ReplaceFileW keeps what else the old file carries (its security and streams), but it is
// no single rename: the old file is moved aside, then the new one in. It is given a backup
// name, a free temporary name beside the target, so that the old file is never deleted
// before the new one is in place. What each failure leaves, as documented, with a backup
// name:
// - ERROR_UNABLE_TO_REMOVE_REPLACED (1175): the old file could not be moved; both files keep
//   their names.
// - ERROR_UNABLE_TO_MOVE_REPLACEMENT (1176): both files keep their names. (Without a backup
//   name the old file would be gone and the new one still under its temporary name.)
// - ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 (1177): the old file is at the backup name and the
//   new one still under its temporary name: nothing is at the target.
// - any other error: both files keep their names, and there is no backup.
// Wine gives a sharing violation or "access denied" where Windows gives 1175, and 1177
// (1176 without a backup name) when the new file cannot take the name the old one left.
// So what follows looks at what is there rather than at the number: the old file has left
// when the backup name holds a file or the target's name is free (so too when another
// program deleted it since it was read). The new file is then moved in at once, else the old
// one back.
int PutInPlace(const std::wstring& temporary, const std::wstring& target, bool replacing)
{
    if (!replacing)
        return Move(temporary, target) ? 0 : ErrorOrGeneral(::GetLastError());
    const QString targetPath = QString::fromStdWString(target);
    const QDir folder = QFileInfo(targetPath).absoluteDir();
    std::wstring backup;
    for (int attempt = 0; attempt < 100 && backup.empty(); ++attempt) {
        backup = Native(folder.filePath(TemporaryName(QFileInfo(targetPath).fileName())));
        if (!Missing(backup))
            backup.clear();
    }
    if (backup.empty())
        return ERROR_FILE_EXISTS;

    if (::ReplaceFileW(target.c_str(), temporary.c_str(), backup.c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        ::DeleteFileW(backup.c_str()); // else removed with the left temporaries
        return 0;
    }
    DWORD error = ::GetLastError();
    if (!Exists(backup) && !Missing(target))
        return ErrorOrGeneral(error);
    if (Move(temporary, target)) {
        ::DeleteFileW(backup.c_str());
        return 0;
    }
    error = ::GetLastError();
    // If this fails too, the old file stays at the backup name: it is never deleted.
    if (Exists(backup))
        Move(backup, target);
    return ErrorOrGeneral(error);
}

QString ReplacedPath(const QString& path, LinkAtTarget links)
{
    const QFileInfo file(path);
    if (links == LinkAtTarget::Follow && file.exists())
        return file.canonicalFilePath();
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? file.absoluteFilePath() : QDir(folder).filePath(file.fileName());
}

bool IsReadOnlyFile(const QString& path)
{
    const DWORD attributes = ::GetFileAttributesW(Native(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

int SyncFolder(const QString&)
{
    // A folder cannot be synced on Windows: MOVEFILE_WRITE_THROUGH and the file system's
    // journal stand for it.
    return 0;
}

int MoveIntoPlace(const QString& prepared, const QString& target)
{
    const DWORD old = ::GetFileAttributesW(Native(target).c_str());
    return PutInPlace(Native(prepared), Native(target),
                      old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_REPARSE_POINT));
}

SmallFileRead ReadSmallFile(const QString& path, qint64 maxBytes, std::string& bytes)
{
    const DWORD attributes = ::GetFileAttributesW(Native(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND
                   ? SmallFileRead::Missing
                   : SmallFileRead::Failed;
    if (attributes &
        (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
        return SmallFileRead::NotRegular;
    const HANDLE file = ::CreateFileW(
        Native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return SmallFileRead::Failed;
    SmallFileRead outcome = SmallFileRead::Read;
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK)
        outcome = SmallFileRead::NotRegular;
    else if (!::GetFileSizeEx(file, &size))
        outcome = SmallFileRead::Failed;
    else if (size.QuadPart > maxBytes)
        outcome = SmallFileRead::TooLarge;
    std::string read;
    char chunk[16 * 1024];
    while (outcome == SmallFileRead::Read) {
        DWORD n = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &n, nullptr))
            outcome = SmallFileRead::Failed;
        else if (n == 0)
            break;
        else if (static_cast<qint64>(read.size()) + n > maxBytes)
            outcome = SmallFileRead::TooLarge;
        else
            read.append(chunk, n);
    }
    ::CloseHandle(file);
    if (outcome == SmallFileRead::Read)
        bytes = std::move(read);
    return outcome;
}
