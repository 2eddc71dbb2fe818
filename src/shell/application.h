// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Names the program for the desktop. Called once, right after the application object is
// made; the window tests call it too, so they see the titles the program shows.
void SetUpApplication();

// The application title: the title of plain message boxes and of the general error report.
extern const char* const ApplicationTitle;

// On Windows, where no launcher script starts the program, it makes its working folder
// itself: its own folder when that is writable and no installation (the portable zip),
// else %LOCALAPPDATA%\Tunedeck, made when missing. Nothing is copied there. Elsewhere the
// launcher (packaging/tunedeck-launch) has done this, and nothing changes.
void EnterWorkingFolder();
