#pragma once

#include "catalogue/catalogue.h"
#include "documents/text_buffer.h"

#include <string>

// What may be written into a setting line, and what only deserves a word.
//
// A value is written only when the rebuilt line reads back right: read with the readers
// the grid uses, the edited field gives exactly the value, every other field reads as it
// did, and the line stays one line of the file. Everything else is the player's business:
// the files take any text, so a value of another shape than the reference copy's (a word
// where a number stands) is written, and only pointed out.

// The field of a line a row edits: the one value of a single row, or a skill level.
enum class LineField { Single, Easy, Medium, Hard };

// The field a skill level edits.
constexpr LineField FieldOfSkill(Skill skill)
{
    return skill == Skill::Easy     ? LineField::Easy
           : skill == Skill::Medium ? LineField::Medium
                                    : LineField::Hard;
}

// The text of field `field` of the line as the grid reads it.
std::string FieldOf(const std::string& line, LineField field);

// Why `rebuilt` may not replace `line` when field `field` was given `value`, in words for
// the player; empty when it may.
std::string ReadBackRefusal(const std::string& line, const std::string& rebuilt, LineField field,
                            const std::string& value);

// What is odd about the value the row shows in `current`, measured against the same row of
// `reference` ("Expected a number like 0.55"); empty when the value has the reference
// copy's shape, or when there is no reference copy to measure against.
std::string ShapeNote(const SectionRow& row, const ChooserItem& item, const TextBuffer& current,
                      const TextBuffer& reference);
