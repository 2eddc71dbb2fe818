// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What recovery reads in a record of a cut-off save, and what it finds on the disk: only
// cut_off_saves*.cpp include this.

#include "app_state.h"
#include "commit_journal.h"
#include "cut_off_saves.h"
#include "game_files.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

// Where a game file stands against the record's checksums.
enum class Holds { New, Old, Other };

struct Entry {
    JournalEntry recorded;
    TuningFile file;
    Holds holds = Holds::Other;
};

// The entries of the record, each tied to the game file it names; nothing when it names any
// other file, one twice, or not both.
std::optional<std::vector<Entry>> EntriesOf(const AppState& state, const std::string& bytes);

// Where each game file stands against the record's checksums.
void Compare(std::vector<Entry>& entries);

// Whether the save can be Finished, else Undone, else neither (NeitherWay).
CutOffSave::Outcome WayOf(const std::vector<Entry>& entries);

// Every game file is in its place and synced: only now do the record and the temporary
// files it names go, the record last.
void RemoveRecord(const std::vector<Entry>& entries, const QString& recordPath);
