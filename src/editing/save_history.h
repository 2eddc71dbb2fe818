// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/game_files.h"
#include "documents/version_store.h"
#include "editing/changes.h"
#include "editing/tab_actions.h"

#include <QDateTime>
#include <QString>
#include <string>
#include <vector>

class Messages;
class Progress;

// What changed from one content of a game file to the next, by the rule of the change
// marks: `original` of a setting is its value in the older content, `current` in the newer.
struct VersionChanges {
    bool comparable = false; // both contents have the line count of the file
    std::vector<ChangedSetting> settings;
    int otherLines = 0; // lines no section shows whose values part changed
};

VersionChanges ChangesBetween(TuningFile file, const TextBuffer& older, const TextBuffer& newer);

struct HistoryEntry {
    KeptVersion version;
    VersionChanges changes; // to the next version, or to the game file for the newest
};

// The versions of the files, newest first, each with what changed after it. The newest of
// a file is compared with the game file at GeneralPath or SettingsPath. With both files the
// lists are merged by time, each file's versions keeping their own order.
std::vector<HistoryEntry> SaveHistory(const AppState& state, const std::vector<TuningFile>& files);

// The lines of a version or a game file, up to one more than the file's line count (enough
// to tell a longer file); none for a file that is missing or too large to be a game file.
// Throws FileError when it cannot be read.
std::vector<std::string> ContentLines(TuningFile file, const QString& path);

// Writes the version over its game file (GeneralPath or SettingsPath) as a Save does, which
// keeps the file's present bytes as a version first. A version without the line count of
// its file is refused. Done when the game file now holds the version; every other outcome
// has been told.
ActionOutcome PutBack(AppState& state, Messages& messages, Progress& progress,
                      const KeptVersion& version);
