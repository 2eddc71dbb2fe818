// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "launcher.h"

#include <QObject>

// Starts a command on its own, without a shell: in a session of its own, with standard
// input from /dev/null and none of Tunedeck's other files open. It then watches the program
// for about two seconds while the window goes on: a program that ends within them with a
// failure (as xdg-open does when nothing on the desktop opens the file) counts as not
// started. A program still running when the launcher goes away runs on.
class DesktopLauncher : public Launcher {
public:
    static constexpr int EarlyExitMilliseconds = 2000;

    void start(const LaunchCommand& command,
               std::function<void(const QString& failure)> done) override;

private:
    QObject watches_; // holds one watch per program started, until the program ends
};
