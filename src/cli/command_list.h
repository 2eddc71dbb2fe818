// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "commands.h"

#include <string>
#include <vector>

class Session;

using Arguments = std::vector<std::string>;

// The commands of the tool, each returning its exit status. Their usage is checked before.

// Setting commands: what the sections show, and the values written.
int Sections(Session& session, const Invocation& invocation);
int Show(Session& session, const Invocation& invocation);
int Set(Session& session, const Invocation& invocation);
int Diff(Session& session, const Invocation& invocation);
int Export(Session& session, const Invocation& invocation);
int Apply(Session& session, const Invocation& invocation);

// File commands: the game files and reference copies whole.
int Check(Session& session, const Invocation& invocation);
int BackupFiles(Session& session, const Invocation& invocation);
int RestoreFiles(Session& session, const Invocation& invocation);
int TakeOriginals(Session& session, const Invocation& invocation);

// History commands: the versions kept by saves.
int History(Session& session, const Invocation& invocation);
int Revert(Session& session, const Invocation& invocation);
