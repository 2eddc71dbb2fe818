// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "launch_command.h"

#include <QObject>
#include <functional>

struct AppState;
class Launcher;
class Messages;

// Launch Gorewheel 2 and the Perkwright.exe buttons: the program starts the way the
// player's setup runs Windows programs; what could not be started is told in an Error box.
class Launching : public QObject {
    Q_OBJECT
public:
    // The folders come from `state` when a launch is asked for; `close` ends the window
    // once the sibling editor has started.
    Launching(const AppState& state, Messages& messages, Launcher& launcher,
              std::function<void()> close, QObject* parent = nullptr);

    // gwheel2.exe in the game folder, once `ready` says it may start (it is asked only when
    // the game is there); throws FileError for a game folder it cannot enter.
    void launchGame(const std::function<bool()>& ready = {});
    // Perkwright.exe in the working folder; the window closes once it has started.
    void launchSibling();

private:
    void launch(const QString& program, LaunchTarget target, const std::function<void()>& started);

    const AppState& state_;
    Messages& messages_;
    Launcher& launcher_;
    std::function<void()> close_;
};
