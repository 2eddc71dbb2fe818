// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/game_files.h"

#include <QString>

struct GameFileRead;

// What the status bar says of a game file that another program changed and that was not
// read: gone, unreadable, or no longer of its line count.
QString NotReadText(TuningFile file, const GameFileRead& read);
