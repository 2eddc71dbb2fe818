#pragma once

#include "documents/app_state.h"

#include <string>
#include <vector>

class TextBuffer;

// One line of one buffer as a change left it.
struct LineChange {
    Tab buffer;
    int line;
    std::string before;
    std::string after;
};

// What a commit did: the lines it changed, or, when the value may not be written, why.
struct CommitResult {
    std::string refusal; // for the player; empty unless the value was refused
    std::vector<LineChange> changes;
};

// Commits a value typed into grid row `row` (1 to 13): rebuilds the line that the row
// stands for and writes it into every buffer of the line's file, so that the copies of a
// file never disagree. A row that stands for no setting (a heading's or tab switch's
// blank row, a note, a row past the section) changes nothing. A single value's line takes
// the row's Details text as its comment, a skill value's line the comment of its entry in
// the skill-line table. A value whose rebuilt line would not read back as given (see
// ReadBackRefusal) changes nothing and is refused.
CommitResult CommitGridValue(AppState& state, int row, const std::string& keyName,
                             const std::string& keyValue);

// The value grid row `row` shows, read from its line as the section reads it.
std::string ShownRowValue(const AppState& state, int row);

// Puts the reference copy's value back in grid row `row`. When the line then shows the
// reference copy's value in every field, it becomes the reference copy's line byte for
// byte, comment and all; otherwise it is rebuilt as for a typed value. `reference` holds
// the file the row's buffer holds.
CommitResult ResetGridValue(AppState& state, int row, const std::string& keyName,
                            const TextBuffer& reference);
