// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app_state.h"
#include "game_files.h"

#include <QString>
#include <string>
#include <utility>
#include <vector>

// The reference copies are the player's own game files as they were when a game folder
// was first saved: Tunedeck cannot ship the game's files, so it keeps the player's before
// it changes them. A working folder holding the demo game's copies (which earlier
// installations put there) counts as holding none, unless Tunedeck kept those bytes as the
// player's own (a stamp beside the copy, original.general.kept, names them).

// What the working folder holds in place of a game file's reference copy.
enum class HeldCopy {
    None, // no copy
    Demo, // the demo game's copy, byte for byte
    Same, // a copy holding the game file's bytes already
    Own,  // a copy of the player's that differs from the game file
};

// One game file, read to become its reference copy.
struct ReferenceCopyPlan {
    TuningFile file = TuningFile::General;
    QString gamePath;
    QString copyPath; // in the working folder
    HeldCopy held = HeldCopy::None;
    bool accepted = false; // the game file passes its identity check (line count)
    std::string bytes;     // the game file, as it is now
};

// Reads the game file at `gamePath` and looks at the copy the working folder holds.
// Throws FileError when the game file or the copy cannot be read.
ReferenceCopyPlan PlanReferenceCopy(const AppState& state, TuningFile file,
                                    const QString& gamePath);

// Whether a save of the folder takes the game file as its copy: it passes its identity
// check, and the working folder holds no copy or the demo's.
bool TakesCopy(const ReferenceCopyPlan& plan);

// Writes the game file's bytes as the reference copy, and its stamp as the player's own,
// through the safe write path with the working folder locked; a link in their place is
// replaced, never written through. Returns 0 or the system's error number; throws
// FileError when the copy cannot be created or the folder not locked.
int WriteReferenceCopy(const ReferenceCopyPlan& plan);

// "General.txt" or "Settings.txt".
const char* GameFileName(TuningFile file);

// What a directory save did about the reference copies.
struct TakenCopies {
    std::vector<TuningFile> taken;
    std::vector<TuningFile> replacedDemo; // of the taken, those in place of the demo's
    std::vector<TuningFile> rejected;     // without their line count: no copy is taken
    std::vector<std::pair<TuningFile, QString>> failed; // with the system's text
};

// Called by a directory save with the game files it has just loaded from the saved folder:
// takes each one that passes its identity check as its reference copy where the working
// folder holds none (or the demo's). An existing copy of the player's is never touched.
TakenCopies TakeMissingReferenceCopies(const AppState& state, const std::vector<TuningFile>& files);
