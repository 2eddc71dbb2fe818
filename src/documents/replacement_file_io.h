// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The system calls of the write path that act on files beside it, for the callers that read
// or move files the way a ReplacementFile writes them (recovery, history, reading):
// replacement_file_io_posix.cpp or replacement_file_io_win32.cpp.

#include <QString>
#include <QtGlobal>
#include <string>

// What a symbolic link in the place of the file to replace stands for.
enum class LinkAtTarget {
    Follow,  // the real file it leads to is replaced, and the link stays
    Replace, // the link itself is replaced by the new file; what it leads to is never touched
};

// Whether `file` is a temporary file that a ReplacementFile of `target` writes beside it
// (or that a killed one left there).
bool IsTemporaryFileOf(const QString& file, const QString& target);

// The file that a ReplacementFile of `path` replaces: with links followed, the real file a
// link leads to (when it exists); else the name in the real folder.
QString ReplacedPath(const QString& path, LinkAtTarget links);

// Whether the file is one its owner made read-only (no write permission bit at all; on
// Windows the read-only attribute): such a file is never replaced, whoever runs Tunedeck.
bool IsReadOnlyFile(const QString& path);

// Puts the existing file `prepared` (a temporary file of `target`, beside it) in the place
// of `target` by a rename, as install() does, and syncs the folder. Whatever fails, a file
// is at `target`: the old one or the new one. Returns 0 or the system's error code.
int MoveIntoPlace(const QString& prepared, const QString& target);

// Syncs the folder, so that the renames and removals in it outlive a power cut; 0 or the
// system's error code (a file system that cannot sync a folder is no failure).
int SyncFolder(const QString& folder);

// How a read of a small file of Tunedeck's own went.
enum class SmallFileRead {
    Read,
    Missing,    // no file of that name
    NotRegular, // a link, a folder, a FIFO, a device: not opened, never followed
    TooLarge,   // larger than the limit: not read
    Failed,     // the system failed the read
};

// Reads a regular file of at most `maxBytes` without following a link in its place and
// without waiting on a FIFO or device; the bytes are set only when it was Read.
SmallFileRead ReadSmallFile(const QString& path, qint64 maxBytes, std::string& bytes);
