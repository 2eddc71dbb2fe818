// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document_edit.h"
#include "documents/app_state.h"
#include "documents/buffer_writing.h"
#include "documents/game_file_reading.h"
#include "documents/game_files.h"

#include <QString>
#include <array>
#include <vector>

class Chooser;
class Messages;
class Progress;

// Where the whole-buffer operations tell what they did: the boxes, the progress bar and the
// section choosers they reset, which the window and the tool each implement.
struct Feedback {
    Messages& messages;
    Progress& progress;
    std::array<Chooser*, TabCount> choosers; // by tab
    Chooser& chooser(Tab tab) const { return *choosers[static_cast<size_t>(tab)]; }
};

// How a save, backup or put back ended.
enum class ActionOutcome {
    Done,     // every file is in place
    Refused,  // a check or a target refused it: nothing written
    Declined, // the player said No to replacing another program's change
    Failed,   // the system failed the write
};

// What a file loaded into a buffer stands for.
enum class LoadAs {
    GameFile,      // held to its line count; what it holds is remembered as Tunedeck's
    StandIn,       // a reference copy held to the game file's line count
    ReferenceCopy, // taken as it is; its line count is checked when it is saved
};

// Resets the chooser, fills the file's document from the file at `path` and tells the
// player an outcome other than Loaded. A rejected file leaves the document empty.
ReadOutcome LoadGameFile(AppState& state, Messages& messages, Progress& bar, Chooser& chooser,
                         TuningFile file, const QString& path, LoadAs as);

// LoadGameFile, resetting the choosers of every tab that shows the file; returns what the
// read found.
GameFileRead LoadDocument(AppState& state, const Feedback& feedback, TuningFile file,
                          const QString& path, LoadAs as);

// Writes the buffers to their files together (see WriteTogether) and tells the result.
ActionOutcome WriteBuffers(AppState& state, Messages& messages, Progress& progress,
                           const std::vector<BufferTarget>& targets);

// Writes the buffers as WriteBuffers does, but a game file among them that changed on disk
// since Tunedeck last read or wrote it is first asked about ("... Replace it with
// <replacement>?"), with no lock held while the question is open; a file changed again
// meanwhile is asked about again.
ActionOutcome WriteAfterAsking(AppState& state, Messages& messages, Progress& progress,
                               const std::vector<BufferTarget>& targets,
                               const QString& replacement);

// The Save, Backup and Restore buttons of a tab. A Save asks before it replaces a game
// file that another program changed since Tunedeck read it.
ActionOutcome Save(AppState& state, const Feedback& controls, Tab tab);
// Saves the buffers of the tabs (one a file) together, once all pass the Save check.
ActionOutcome Save(AppState& state, const Feedback& controls, const std::vector<Tab>& tabs);
ActionOutcome Backup(AppState& state, const Feedback& controls, Tab tab);
// What Restore would do: the document of the tab's file filled from its reference copy,
// the file on disk taken as what Tunedeck last read, and the system's words when the copy
// could not be read (the document is then emptied).
struct RestoreResult {
    DocumentEdit edit;
    QString readError;
};
// Reads the reference copy of the tab's file and tells what it found; makes no change.
RestoreResult Restore(AppState& state, const Feedback& feedback, Tab tab);

// The reload of a directory save: fills the file's document from GeneralPath (or
// SettingsPath). A file that cannot be opened, read or accepted empties it and is told.
ReadOutcome ReloadBuffers(AppState& state, const Feedback& feedback, TuningFile file);
