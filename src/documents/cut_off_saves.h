// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app_state.h"
#include "game_files.h"

#include <QString>
#include <utility>
#include <vector>

// A save of both game files cut off between its renames (killed, or a power cut) leaves its
// record (commit_journal.h) beside the game files. The next run finishes it or undoes it,
// and can do no harm doing so, whoever wrote the record: it reads only a regular file of
// bounded size, acts only on this game folder's two files and their own temporary files,
// never deletes a game file, keeps every game file it replaces as a version, and touches
// none that another program changed since the save.

class WriteScope;

struct CutOffSave {
    enum class Outcome {
        Finished, // every file it names holds what the save wrote
        Undone,   // every file it names holds what it held before the save
        // Left as they are, with the record:
        Unreadable,   // a link, FIFO, device, folder, too large, or unreadable: not opened
        NotOurs,      // not a record of this game folder's files and their temporary files
        ReadOnly,     // a game file to put right has no write bit
        NeitherWay,   // a prepared file or old copy is missing, or not what was recorded
        Failed,       // the system failed a step: see systemText
        ChangedSince, // another program saved `files` since: each kept as a version and left
                      // as it is; the record was set aside as `record`
    };
    Outcome outcome = Outcome::Finished;
    QString record;                // the record's path
    std::vector<TuningFile> files; // the game files it names (ChangedSince: those changed)
    // Finished or Undone: the game files it replaced, each with the history folder that
    // keeps what it held.
    std::vector<std::pair<TuningFile, QString>> replaced;
    QString systemText; // why a step failed, in the system's words
    QString busyFolder; // or the folder another Tunedeck held locked (a game folder, the history)
};

// The record's name once it is set aside.
constexpr const char* SetAsideJournalName = ".tunedeck-commit.set-aside";

// Finishes or undoes the cut-off saves recorded in the folders of the game files below
// GameDir, holding the locks of the folders. Empty when there is none.
std::vector<CutOffSave> RecoverCutOffSaves(const AppState& state);
// The same as a step of a write: the locks it takes are the scope's, and stay with it; where
// a record is left in place, the temporary files it names are kept by the scope's writes.
std::vector<CutOffSave> RecoverCutOffSaves(const AppState& state, WriteScope& scope);
