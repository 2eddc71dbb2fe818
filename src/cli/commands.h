// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

// What the command line asks for. The arguments are bytes, exactly as given.
struct Invocation {
    std::optional<QString> gameDir;   // --dir
    bool force = false;               // --force
    std::optional<std::string> limit; // --limit, as given
    std::string command;
    std::vector<std::string> arguments;
};

// Runs the command and returns the exit status.
int RunCommand(const Invocation& invocation, ConsoleMessages& messages);
