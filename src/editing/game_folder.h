// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/game_files.h"

#include <QString>
#include <vector>

struct Feedback;

// Whether the game file lies below the folder, in any letter case.
bool HasGameFile(const QString& dir, TuningFile file);

// Whether the folder is a game folder: data\General.txt lies below it. The folder tree's
// "valid" label, the directory save and the search for a game folder all ask this (the
// search also wants Settings.txt, which the directory save then takes too).
bool IsGameFolder(const QString& dir);

// What a directory save did.
struct FolderSave {
    bool generalHalf = false;       // General.txt was there: the folder is the one in use
    std::vector<TuningFile> loaded; // the game files read from the folder into the buffers
};

// The directory save: for each game file present below `dir` (General.txt by the game
// folder test, Settings.txt on its own), the configuration file `configuration` names the
// folder, the path is taken and the file's buffers are reloaded; a file that is not there
// is told as "Invalid Directory: <dir>". A file that cannot be read ends the save.
FolderSave SaveGameFolder(AppState& state, const Feedback& feedback, const QString& dir,
                          const QString& configuration);
