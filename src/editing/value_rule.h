// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "setting_value.h"

#include <string>

// What may be written into a setting line, and what only deserves a word.
//
// A value is written only when the rebuilt line reads back right: read with the readers
// the grid uses, the edited field gives exactly the value, every other field reads as it
// did, and the line stays one line of the file. Everything else is the player's business:
// the files take any text, so a value of another shape than the reference copy's (a word
// where a number stands) is written, and only pointed out.

// Why `rebuilt` may not replace `line` when field `field` was given `value`, in words for
// the player; empty when it may.
std::string ReadBackRefusal(const std::string& line, const std::string& rebuilt, LineField field,
                            const std::string& value);

// What is odd about the value the row shows in `current`, measured against the same row of
// `reference` ("Expected a number like 0.55"); empty when the value has the reference
// copy's shape, or when there is no reference copy to measure against.
std::string ShapeNote(const SectionRow& row, const ChooserItem& item, const TextBuffer& current,
                      const TextBuffer& reference);
