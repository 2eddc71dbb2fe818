// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app_state.h"
#include "game_files.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

class Progress;

// A buffer and the file it is written to: the game file it is, or none (a backup).
struct BufferTarget {
    // The file is named whenever the target is made, so none is taken for a backup by
    // mistake.
    BufferTarget(const TextBuffer* buffer, QString path, std::optional<TuningFile> gameFile)
        : buffer(buffer), path(std::move(path)), gameFile(gameFile)
    {
    }
    const TextBuffer* buffer;
    QString path;
    std::optional<TuningFile> gameFile;
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
        Changed, // a game file changed on disk since `seen`: nothing written
        Refused, // a target may not be written (no write bit): nothing written
        Failed,  // the system failed the write: see `error`
    };
    Outcome outcome = Outcome::Written;
    std::vector<QString> recovered;       // what finishing cut-off saves said, before writing
    std::vector<InstalledFile> installed; // in the order of the targets
    std::vector<ChangedTarget> changed;
    QString refusal; // the refused target, in the system's words
    int error = 0;   // the system's error number of a failed write
};

// The bytes of a file holding the lines, each ended by CR LF, with `firstLine` in place of
// line 0 when given; the progress steps once a line.
std::string FileBytes(const TextBuffer& buffer, const char* firstLine, Progress& progress);

// Writes the buffers to their files together, unless a game file among them changed on disk
// since `seen` (by target; nothing for a file not to be compared): the comparison and the
// write are one step under the folder locks, so no other Tunedeck can change the file in
// between. Every file is written and synced beside its target before any is put in place,
// so a failed write leaves all of them as they were. A game file gets its fixed first line
// and is written through a link to the real file; any other file (a backup) replaces a link
// in its place. A game file put in place is remembered as Tunedeck's.
WriteResult WriteTogether(AppState& state, Progress& progress,
                          const std::vector<BufferTarget>& targets,
                          const std::vector<std::optional<FileStamp>>& seen = {});
