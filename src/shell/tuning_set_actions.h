// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QAction;
class QMenu;
struct WindowRoom;

// File > Export Tuning Set... and File > Apply Tuning Set...: the settings that differ
// from the reference copies written as a tuning set, and a set committed into the buffers
// (not saved: the player saves as usual).

// Writes the set of the current differences to the file; says how many settings it holds.
void ExportTuningSetTo(const WindowRoom& room, const QString& path);

// Checks the whole set, then commits every entry into the buffers of its file and shows
// the new values; says how many settings it applied. A bad line applies nothing.
void ApplyTuningSetFrom(const WindowRoom& room, const QString& path);

// Puts the two items into the window's File menu, above its `exit`.
void InstallTuningSetActions(const WindowRoom& room, QMenu* file, QAction* exit);
