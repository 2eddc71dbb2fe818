// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app_state.h"
#include "game_files.h"

#include <QString>
#include <optional>

// What Tunedeck last read or wrote of each game file, to tell another program's change.

// The stamp kept of the game file; empty while Tunedeck has read or written none.
const std::optional<FileStamp>& StampOf(const AppState& state, TuningFile file);

// What the file at `path` holds now when that differs from `seen`: bytes that a save
// would lose, by their bytes; no file, or one that cannot be read, holds nothing to lose
// (the write then says what is wrong).
std::optional<FileStamp> ChangedSince(const FileStamp& seen, const QString& path);

// What the game file holds now; none when it is missing, too large or cannot be read.
std::optional<FileStamp> DiskStampOf(const AppState& state, TuningFile file);

// Takes what the game file holds now as what Tunedeck last read of it.
void RememberDiskFile(AppState& state, TuningFile file);
