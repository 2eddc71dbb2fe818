// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/cut_off_saves.h"
#include "documents/game_files.h"

#include <QString>
#include <vector>

class Messages;

// "General.txt", "General.txt and Settings.txt".
QString FileNames(const std::vector<TuningFile>& files);

// Tells the player what became of each cut-off save that was found, in a warning each.
void TellCutOffSaves(Messages& messages, const std::vector<CutOffSave>& saves);
