// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/game_files.h"
#include "setting_value.h"

#include <string>
#include <vector>

// What changed against the reference copies. A setting has changed when the value its
// grid row shows, read from the tab's buffer, differs from the value the same row shows
// when read from the reference copy. The command-line tool's diff, the marks in the
// window and the tuning sets all ask this one rule.

struct ChangedSetting {
    SettingPlace place;
    std::string details;
    std::string original; // as the reference copy shows it
    std::string current;
};

// The changed setting rows of one section item, in grid order.
std::vector<ChangedSetting> ChangedSettingsOf(Tab tab, int item, const TextBuffer& current,
                                              const TextBuffer& reference);

// Every changed setting row of every section: tab by tab, item by item, row by row. A
// setting shown by several sections is listed once for each.
std::vector<ChangedSetting> ChangedSettings(const AppState& current, const AppState& reference);

// The same for the sections of the tabs that hold the file, read from one pair of buffers.
std::vector<ChangedSetting> ChangedSettingsOf(TuningFile file, const TextBuffer& current,
                                              const TextBuffer& reference);

// The lines of the file that no section shows and whose values part (the text before the
// first TAB) differs. Line 0 is not compared: a save replaces it with the fixed first line.
int OtherLinesChanged(TuningFile file, const TextBuffer& current, const TextBuffer& reference);

// Fills the four buffers of `reference` from the reference copies in the working folder of
// `state`, without a word to the user. A copy that is missing, unreadable or not of its
// game file's line count leaves its buffers empty; returns whether both were read.
bool ReadReferenceCopies(const AppState& state, AppState& reference);
