// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "launcher.h"

#include <QProcessEnvironment>
#include <QString>

// Steam starts the game of a Steam prefix, and nothing else in it.
enum class LaunchTarget { Game, Helper };

// The command that starts a program, or why there is none.
struct LaunchChoice {
    LaunchCommand command;
    QString failure; // set when nothing can be started; it follows "Could not start NAME: "
};

// How `program` (a full path) is started, the way the player's setup runs Windows programs,
// first match wins:
// - TUNEDECK_LAUNCH in `environment`: that command, split into words as a shell would, each
//   %f standing for the program's path;
// - `gameFolder` below a Steam prefix (".../steamapps/compatdata/<id>/pfx/drive_c/..."): the
//   game through Steam, `steam -applaunch <id>`, or `xdg-open steam://rungameid/<id>` when
//   steam is not on PATH; a helper program through wine in that prefix;
// - `gameFolder` below another Wine prefix (the nearest folder above it that holds drive_c and
//   system.reg): wine from PATH with WINEPREFIX set to that prefix;
// - otherwise xdg-open, as the desktop opens the file (on Windows the program itself).
// The program starts in its own folder; wine and the player's own command get WINEPREFIX
// set to the game's prefix when it has one. Programs are looked up in the PATH of `environment`;
// the file system is only read.
LaunchChoice ChooseLaunchCommand(const QString& program, const QString& gameFolder,
                                 LaunchTarget target, const QProcessEnvironment& environment);

// The command as a player would type it, for messages: variables first, then the program's
// name and its arguments, quoted where they hold spaces.
QString ShownCommand(const LaunchCommand& command);
