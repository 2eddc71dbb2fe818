// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/catalogue.h"
#include "documents/app_state.h"
#include "documents/setting_line.h"
#include "documents/text_buffer.h"

#include <functional>
#include <string>

// A setting named by where it is shown, and what the grid shows for it.

// Where a setting is shown: the tab, the chooser item (zero-based) and the grid row of
// the item's section (from 1), which is also its row-table entry.
struct SettingPlace {
    Tab tab;
    int item;
    int row;
};

// The chooser item at a place, or nullptr when the tab has no such item.
const ChooserItem* ItemAt(const SettingPlace& place);

// The section row at a place, or nullptr when the place shows no section row.
const SectionRow* RowAt(const SettingPlace& place);

// The field of its line that a setting row shows.
LineField FieldShown(const SectionRow& row, const ChooserItem& item);

// The Details text the grid shows for the row.
std::string DetailsText(const SectionRow& row, const ChooserItem& item);

// The value the grid shows for a setting row, read from the buffer with the readers the
// section uses; empty for a note.
std::string ShownValue(const SectionRow& row, const ChooserItem& item, const TextBuffer& buffer);

// The value the grid shows for the setting at a place, read from its tab's buffer; empty
// when the place stands for no setting.
std::string ShownValueAt(const AppState& state, const SettingPlace& place);

// Visits every row of every section, notes included: tab by tab, item by item, row by
// row. A section shown by several items is visited once for each.
void ForEachSectionRow(
    const std::function<void(const SettingPlace&, const ChooserItem&, const SectionRow&)>& visit);
