// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/interfaces.h"
#include "editing/section_controls.h"

#include <string>
#include <vector>

struct TabCatalogue;

// The choice of a section on a tab's chooser: empties the row table and the grid,
// refuses a buffer of the wrong size, then shows the chosen section, a heading's blank
// row or the tab's answer to an unlisted item.
// What choosing an item showed.
enum class SectionOutcome {
    Shown,     // the rows of a section
    Heading,   // a heading's one blank row
    Unlisted,  // the tab's answer to an item with no section
    NotLoaded, // refused: the tab's buffer has not its file's line count
};

SectionOutcome ChooseSection(AppState& state, const TabCatalogue& tab, Chooser& chooser, Grid& grid,
                             Messages& messages);

// Empties the grid down to one blank row and resets the chooser (a change of tab).
void ResetForTab(AppState& state, Chooser& chooser, Grid& grid);

constexpr const char* ChooseSettingText = "Choose Setting";

// A section chooser without a window: the item is picked by its index, and the text it
// would show is seen by no one.
class PickedItem : public Chooser {
public:
    int index = -1;
    int itemIndex() const override { return index; }
    void clearSelection() override { index = -1; }
    void setText(const std::string&) override {}
};

// One row of the grid: its Details text and its Value text.
struct GridRow {
    std::string details;
    std::string value;
};

// The section choice without a window: picks the item on the chooser and returns the rows
// the grid shows after it, data row n being rows[n - 1].
std::vector<GridRow> ChooseSectionRows(AppState& state, Tab tab, PickedItem& chooser, int item,
                                       Messages& messages, SectionOutcome* outcome = nullptr);
