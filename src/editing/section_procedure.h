#pragma once

#include "documents/app_state.h"

class Chooser;
class Grid;
class Messages;
struct TabCatalogue;

// The choice of a section on a tab's chooser: empties the row table and the grid,
// refuses a buffer of the wrong size, then shows the chosen section, a heading's blank
// row or the tab's answer to an unlisted item.
void ChooseSection(AppState& state, const TabCatalogue& tab, Chooser& chooser, Grid& grid,
                   Messages& messages);

// Empties the grid down to one blank row and resets the chooser (a change of tab).
void ResetForTab(AppState& state, Chooser& chooser, Grid& grid);

constexpr const char* ChooseSettingText = "Choose Setting";
