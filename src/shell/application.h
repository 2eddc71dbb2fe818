#pragma once

// Names the program for the desktop. Called once, right after the application object is
// made; the window tests call it too, so they see the titles the program shows.
void SetUpApplication();

// The application title: the title of plain message boxes and of the general error report.
extern const char* const ApplicationTitle;
