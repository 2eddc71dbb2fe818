// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the parts of the write path share: the names of temporary files, and the system's
// calls that the ReplacementFile of one system and the file calls beside it both make. Only
// replacement_file*.cpp include this.

#include <QString>
#include <QtGlobal>
#include <string>

class WriteScope;

// Temporary files are hidden names beside the target: ".General.txt.tunedeck-" and eight
// letters or digits, at random, so that creating one exclusively takes over no file or link.
QString TemporaryName(const QString& targetName);

// Whether the name is one of a temporary file, for whatever target.
bool IsTemporaryName(const QString& name);

// The helpers below are each file's own (static): other programs linked with the core may
// have names of theirs alike.
#ifdef Q_OS_WIN
#include <QDir>

#include <windows.h>

static inline std::wstring Native(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// GetLastError(), or a general failure where it names none.
static inline int LastError()
{
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
}

// Puts the file `temporary` in the place of `target`, beside it. Returns 0 once the new file
// is at `target`, else an error number; in every case a file is at `target` when there was
// one before. `replacing`: a file is there (not a link, whose name is simply replaced).
int PutInPlace(const std::wstring& temporary, const std::wstring& target, bool replacing);

// Removes the temporary files that earlier writes left in the folder when they were killed,
// never one of the scope's own.
void RemoveLeftTemporaries(const QString& folder, const WriteScope& scope);
#else
#include <QByteArray>
#include <QFile>
#include <QFileInfo>

static inline QByteArray Native(const QString& path)
{
    return QFile::encodeName(path);
}

// The folder of the file; for a bare name, the working folder.
static inline QString FolderOf(const QString& path)
{
    return QFileInfo(path).absolutePath();
}

// Removes the temporary files that earlier writes left in the open folder when they were
// killed, never one of the scope's own.
void RemoveLeftTemporaries(int folder, const QString& folderPath, const WriteScope& scope);
#endif
