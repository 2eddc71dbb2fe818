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

// The row table of the shown section, derived from the catalogue: RowKeys is the row's
// description, or its skill tag ("(easy)", "(medium)", "(hard)") for one field of a
// three-value line, and RowLines the index of its line; an empty key and line 0 for a place
// that stands for no setting (a heading, a note, a row past the section).
std::string RowKeys(const SettingPlace& place);
int RowLines(const SettingPlace& place);

// The value the grid shows for the setting at a place, read from its tab's document; empty
// when the place stands for no setting.
std::string ShownValueAt(const AppState& state, const SettingPlace& place);

// Visits every row of every section, notes included: tab by tab, item by item, row by
// row. A section shown by several items is visited once for each.
void ForEachSectionRow(
    const std::function<void(const SettingPlace&, const ChooserItem&, const SectionRow&)>& visit);
