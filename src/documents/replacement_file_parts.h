// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the POSIX and the Win32 write paths share: the names of temporary files, and the
// ones this process is writing. Only replacement_file*.cpp include this.

#include <QString>
#include <QtGlobal>
#include <set>

// Temporary files are hidden names beside the target: ".General.txt.tunedeck-" and eight
// letters or digits, at random, so that creating one exclusively takes over no file or link.
QString TemporaryName(const QString& targetName);

// Whether the name is one of a temporary file, for whatever target.
bool IsTemporaryName(const QString& name);

// The temporary files this process is writing now (their full paths): never taken for
// ones that earlier, killed writes left.
std::set<QString>& OwnTemporaries();
