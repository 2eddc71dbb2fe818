// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document_edit.h"
#include "documents/app_state.h"
#include "setting_value.h"

#include <string>
#include <vector>

class TextBuffer;

// What a commit did: the lines it wrote, before and after (a value written again as it
// stood leaves a line as it was), or, when the value may not be written, why; and what is
// odd about the shape of a value written (see ShapeNote).
struct CommitResult {
    std::string refusal; // for the player; empty unless the value was refused
    std::vector<LineChange> changes;
    std::string shapeNote; // empty unless measured against a reference copy and found odd
};

// Commits a value given to the setting at `place`: rebuilds the setting's line from the
// catalogue and writes it into the document of the line's file. A single value's line takes the
// row's description as its comment, a skill value's line the fixed comment of its row, keeping the
// two other fields as the document holds them. A place that stands for no setting (a heading, a
// note, a row past the section) changes nothing. A value whose rebuilt line would not read back as
// given (see ReadBackRefusal) changes nothing and is refused. With `reference`, the file
// of the reference copies that the place's tab holds, a value written is measured against
// it.
CommitResult CommitValue(AppState& state, const SettingPlace& place, const std::string& value,
                         const TextBuffer* reference = nullptr);

// What CommitValue would change, changing nothing: an undo step makes it.
CommitResult PlanCommit(const AppState& state, const SettingPlace& place, const std::string& value);

// Puts the reference copy's value back at `place`. When the line then shows the reference
// copy's value in every field, it becomes the reference copy's line byte for byte,
// comment and all; otherwise it is rebuilt as for a given value. `reference` holds the
// file the place's tab holds.
CommitResult ResetValue(AppState& state, const SettingPlace& place, const TextBuffer& reference);

// What ResetValue would change, changing nothing: an undo step makes it.
CommitResult PlanReset(const AppState& state, const SettingPlace& place,
                       const TextBuffer& reference);
