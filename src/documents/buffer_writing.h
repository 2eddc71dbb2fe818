// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app_state.h"
#include "cut_off_saves.h"
#include "game_files.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

class Progress;

// A buffer and the file it is written to: the game file it is, or none (a backup). The
// bytes a game file holds are kept in the game folder's history before it is replaced.
struct BufferTarget {
    // The file is named whenever the target is made, so none is taken for a backup by
    // mistake.
    BufferTarget(const TextBuffer* buffer, QString path, std::optional<TuningFile> gameFile,
                 std::optional<FileStamp> seen = std::nullopt)
        : buffer(buffer), path(std::move(path)), gameFile(gameFile), seen(std::move(seen))
    {
    }
    const TextBuffer* buffer;
    QString path;
    std::optional<TuningFile> gameFile;
    // What the file held when Tunedeck last read or wrote it: a file that holds other bytes
    // now is not replaced. None: not compared.
    std::optional<FileStamp> seen;
};

// A game file to write that changed on disk since it was last read or written.
struct ChangedTarget {
    size_t index;  // in the targets
    FileStamp now; // what it holds now
};

// A file put in place by a write.
struct InstalledFile {
    QString path;
    int folderSyncError = 0; // the new file is there, but may not outlive a power cut
};

// What a write of buffers did: which files it installed, refused or failed.
struct WriteResult {
    enum class Outcome {
        Written, // every target is in place
        Changed, // a game file changed on disk since it was seen: nothing written
        Refused, // a target has no write bit: nothing written
        Failed,  // the system failed a step: nothing written, or see `installed`
    };
    // The step that failed.
    enum class Step { Locking, Creating, KeepingVersion, Writing };
    // What stopped a write that was Refused or Failed.
    struct Failure {
        Step step = Step::Writing;
        // The file the refusal or failure is about: the target as the caller named it, or
        // (Writing) the file the system failed to replace: the real file behind a link, or
        // the record of a save of two files.
        QString path;
        // The folder the failure is about: (Locking) the folder that could not be locked,
        // (KeepingVersion) the history folder.
        QString folder;
        bool heldElsewhere = false; // another Tunedeck held the folder's lock
        QString systemText;         // else why, in the system's words alone
        bool readOnly = false;      // (Creating) the file has no write bit: Refused
    };
    Outcome outcome = Outcome::Written;
    std::vector<CutOffSave> recovered;    // what finishing cut-off saves did, before writing
    std::vector<InstalledFile> installed; // in the order of the targets
    std::vector<ChangedTarget> changed;
    Failure failure; // Refused, Failed
};

// The bytes of a file holding the lines, each ended by CR LF, with `firstLine` in place of
// line 0 when given; the progress steps once a line.
std::string FileBytes(const TextBuffer& buffer, const char* firstLine, Progress& progress);

// The save of buffers to their files, in the order of its steps:
//   1. lock the folders of the targets, so that no other Tunedeck writes there meanwhile;
//   2. finish or undo a save of the game files that was cut off before;
//   3. compare each target with what it held when `seen`: any other bytes, and nothing is
//      written (Changed);
//   4. make each new file beside its target; a target without a write bit is refused;
//   5. keep the bytes each game file holds as a version;
//   6. write and sync every new file;
//   7. record a save of two files, so that a cut-off one can be finished or undone;
//   8. put each in place and sync its folder, then remove the record;
//   9. remember the bytes of each game file as Tunedeck's.
// A game file gets its fixed first line and is written through a link to the real file; any
// other file (a backup) replaces a link in its place. Any failure before step 8 leaves
// every file as it was. The save holds its locks and temporary files until it ends. Nothing
// is thrown: the result says how it ended.
WriteResult WriteTogether(AppState& state, Progress& progress,
                          const std::vector<BufferTarget>& targets);
