// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cut_off_save_texts.h"
#include "documents/buffer_writing.h"
#include "documents/game_file_reading.h"
#include "documents/game_files.h"

#include <QString>

class Messages;
struct TakenCopies;

// The words the player reads for the outcomes of loading and writing, for the window and
// the tool alike. An outcome is decided before it is told: nothing here decides one.

QString MissingFileText();
// A section chosen, or a tuning set used, while the tabs hold no game file.
QString GameFilesNotLoadedText();
QString InvalidDirectoryText(const QString& dir);
// A kept version without its file's line count, refused by Put back and revert.
QString VersionNotAGameFileText(const QString& fileName, const QString& time, int lineCount);
// The refusal of a file without its line count, as a load and as a directory save say it.
QString InvalidFileText(TuningFile file);
QString InvalidReloadText(TuningFile file);
QString TooLargeCopyText(const QString& path);
QString InvalidAlterationsText(TuningFile file);
QString LoadedFirstText(TuningFile file);
QString SaveAbortedText(const QString& path, const QString& systemText);
QString ChangedOnDiskQuestion(const QString& path, const QString& replacement);

// How the player is told a load.
enum class LoadWording {
    Load,   // a game file, or a copy standing in for one: its refusal is plain
    Copy,   // a reference copy taken as it is: a too large one is an error
    Reload, // a directory save: any failure to read is "directory first"
};

// Tells the outcome of one buffer's load (nothing for Loaded).
void TellLoad(Messages& messages, const GameFileRead& read, TuningFile file, const QString& path,
              LoadWording wording);

// Tells the rest of a write: each file installed, a refusal, a failure.
void TellWritten(Messages& messages, const WriteResult& result);

// Tells, once, which reference copies a directory save took, and each that failed.
void TellTakenCopies(Messages& messages, const TakenCopies& copies);
