#pragma once

#include <string>

struct AppState;

// Commits a value typed into grid row `row` (1 to 13): rebuilds the line that the row
// stands for in the right buffer or buffers. A row that stands for no setting (a
// heading's or tab switch's blank row, a note, a row past the section) changes nothing.
// A single value goes into the buffer of the tab whose section the grid shows; a skill
// value into the buffers of its line's entry in the skill-line table.
void CommitGridValue(AppState& state, int row, const std::string& keyName,
                     const std::string& keyValue);
