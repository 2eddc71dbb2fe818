// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/setting_line.h"

#include <string>
#include <vector>

// The sections of the four tabs, held as constant tables.

// Exactly "(easy)", "(medium)" or "(hard)".
const char* SkillTag(Skill skill);

enum class RowKind {
    Single, // one value; the text is the description, shown and stored in RowKeys
    Skill,  // one field of a three-value line; shown as lead + tag + tail, RowKeys holds the tag
    Note,   // an explanatory text with an empty value and no row-table entry
};

// One grid row of a section. A section lists its rows in grid order, so the row's
// position (counted from 1) is its grid row and, for a setting row, its entry number.
struct SectionRow {
    RowKind kind;
    int line;              // zero-based line index in the tab's buffer; unused for a note
    std::string text;      // description, lead text or note text
    std::string tail = {}; // tail text of a skill row ("" when it has none)
    std::optional<Skill> level = std::nullopt; // a skill row's own level; none: the item's
    std::string comment = {}; // skill row: the fixed comment its line is written with
};

using Section = std::vector<SectionRow>;

// An unlisted item is in the list but shows no section (the tab's unlisted-item answer).
enum class ItemKind { Section, Heading, Unlisted };

struct ChooserItem {
    std::string text;
    ItemKind kind;
    const Section* section = nullptr; // for a section item
    Skill skill = Skill::Easy;        // level of the item's skill rows that have none of their own
};

struct TabCatalogue {
    Tab tab;
    std::string caption; // tab caption, e.g. "Car Settings"
    std::vector<ChooserItem> items;
    int dropDownCount;           // items shown when the chooser drops down
    std::string unlistedMessage; // plain message for an index with no section
    bool unlistedAppendsIndex;   // the message is followed by the item index in decimal
    bool unlistedShowsBlankRow;  // a blank row follows the message
};

const TabCatalogue& CarSettingsCatalogue();
const TabCatalogue& PedestriansCatalogue();
const TabCatalogue& MiscellaneousCatalogue();
const TabCatalogue& APOCatalogue();
const TabCatalogue& CatalogueOf(Tab tab);

// The skill a row shows, given the item that shows it.
Skill RowSkill(const SectionRow& row, const ChooserItem& item);
