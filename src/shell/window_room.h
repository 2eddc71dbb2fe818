// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "editing/setting_value.h"

#include <functional>

class EditHistory;
class Messages;
class Progress;
class QString;
class QWidget;

// What the window lends the features beside it (find, tuning sets, save history, change
// marks): its state, its boxes and progress bar, and its own ways of running a handler and
// of showing a setting. A feature takes this, never the window itself.
struct WindowRoom {
    QWidget* window; // parent of a feature's dialogs, whose font they take
    AppState& state;
    Messages& messages;
    Progress& progress;
    // Runs a handler as every handler of the window runs: an error ends it with the general
    // error report.
    std::function<void(const std::function<void()>&)> guarded;
    // Shows the section of a setting as the player would choose it, its row current.
    std::function<void(const SettingPlace&)> showSetting;
    // The undo history: a feature adds the edit it made as a step, or clears the history
    // when it reads the documents anew.
    EditHistory& history;
};
