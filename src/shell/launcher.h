// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// A program to start: the executable (a full path), its arguments, the folder it starts
// in, and the variables ("NAME=value") it gets on top of Tunedeck's own environment.
struct LaunchCommand {
    QString program;
    QStringList arguments;
    QString workingFolder;
    QStringList environment;
};

// Starts programs without waiting for them to end.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts `command` on its own and calls `done` once, at once or within about two
    // seconds: with an empty text when the program runs (still running by then, or ended
    // with success), else with what went wrong.
    virtual void start(const LaunchCommand& command,
                       std::function<void(const QString& failure)> done) = 0;
};
