// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The one place where game paths are built and taken apart.

// Joins the game directory with a path below it written with backslashes
// ("\\data\\General.txt"), using the native separator, also within the directory (a
// path is shown as the system writes it). The directory is otherwise taken as it
// stands: no separator already at its end is looked for. Where the file system tells
// letter case apart, a component that does not exist as spelled is replaced by the one
// entry of its folder that matches it without regard to case, if there is exactly one.
QString GameFilePath(const QString& gameDir, const QString& relative);

// True when a regular file exists at the path (a link to one counts).
bool FileExists(const QString& path);

// The path up to its last separator (the folder holding the file), without that separator.
QString DirectoryOf(const QString& path);

// The text from the last "." of the path's file name on; empty when the name has none.
QString ExtensionOf(const QString& path);

// A file beside `path`, in the same folder.
QString SiblingPath(const QString& path, const QString& fileName);
