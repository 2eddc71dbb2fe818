// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/game_files.h"
#include "editing/changes.h"
#include "editing/document_edit.h"

#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

// Every setting that differs from the reference copies, as the Changed Settings view lists
// it: the rows of ChangedSettings, in their order, with the names the window gives their
// tab and section, and whether the value is the one on disk.
struct ChangeRow {
    ChangedSetting change;
    QString tab;     // the tab's caption
    QString section; // the chooser's text, with the skill level where it comes per level
    bool saved = false;
};

struct ChangesList {
    bool referenceRead = false; // both reference copies were read
    std::vector<ChangeRow> rows;
    std::array<int, 2> otherLines{}; // per file: lines no section shows that differ
};

// What differs in `state` from `reference` (filled by ReadReferenceCopies); without both
// reference copies nothing is listed.
ChangesList ListChanges(const AppState& state, const AppState& reference);

// What the list holds, in words: the count of settings and, per file, of the other lines
// that differ; or why nothing is listed.
QString ChangesSummary(const AppState& state, const ChangesList& list);

// The places of the listed settings that `keep` takes, in the list's order.
std::vector<SettingPlace> PlacesWhere(const ChangesList& list,
                                      const std::function<bool(const SettingPlace&)>& keep);
// Where the list holds the setting at `place`; -1 when it does not.
int IndexOf(const ChangesList& list, const SettingPlace& place);

// "1 <one>" or "<count> <many>".
QString Count(size_t count, const char* one, const char* many);

// The section at a place as the list names it: "Credit Awards (easy)" where a tab shows the
// section once per skill level, else the chooser's text.
QString SectionLabel(const SettingPlace& place);

// Puts the reference copy's value back at each place, in order, worked out on a copy of the
// documents: the edit a single undo step makes. `refusal` takes the first refusal.
DocumentEdit PlanResets(const AppState& state, const std::vector<SettingPlace>& places,
                        const AppState& reference, std::string& refusal);
