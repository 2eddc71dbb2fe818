// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>

// Replaces a whole file of Tunedeck's own (its configuration, a tuning set) the way game
// files are replaced: under the folder's lock, so that no other Tunedeck process writes
// into the folder meanwhile, and through a new file put in place only once it is on the
// disk. Throws FileError ("Cannot write file "PATH". REASON") when the file was not
// replaced; the old file is then as it was.
void WriteFileLocked(const QString& path, const std::string& bytes);
