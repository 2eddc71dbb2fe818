// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/game_file_reading.h"
#include "documents/game_files.h"

#include <QString>

struct Feedback;
class Messages;

// The start-up sequence that the window and the command-line tool share: the game
// directory from the configuration file, then each game file from below it into its
// buffers, with the identity check.

// What the caller adds around each game file's load.
class StartUpSteps {
public:
    virtual ~StartUpSteps() = default;
    // The game directory holds no such file; nothing is loaded.
    virtual void missing(TuningFile file, const QString& path) = 0;
    // The file is there and about to be read; may end the load by throwing.
    virtual void opening(TuningFile, const QString&) {}
    // Every buffer of the file holds it.
    virtual void loaded(TuningFile) {}
};

// Takes the game directory from the first line of the configuration file in use and
// returns that file's path; `tooLong` tells a line cut short. When neither configuration
// file exists, warns and returns an empty path, leaving GameDir as it was.
QString ReadGameDirectory(AppState& state, Messages& messages, bool* tooLong = nullptr);

// Where the game file lies below the game directory, whether it exists or not.
QString GameFilePathOf(const AppState& state, TuningFile file);

// Loads the game file below the game directory into every buffer of the file, as start-up
// does, and remembers its path; returns what the read found. Any outcome but Loaded has
// been told; a missing file only to `steps`.
GameFileRead StartUpFile(AppState& state, const Feedback& feedback, TuningFile file,
                         StartUpSteps& steps);

// The whole sequence: the game directory, a cut-off save there finished or undone, then
// both game files in turn; a file refused or unreadable ends it with a silent abort.
void StartUp(AppState& state, const Feedback& feedback, StartUpSteps& steps);
