// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>

// A setting line: a values part (one value, or easy,medium,hard), then from the first
// TAB on a comment. Reading a field depends on the line's text alone.

// Five TABs, a space, "//" and a space: what every written line puts before its comment.
constexpr const char* CommentSeparator = "\t\t\t\t\t // ";

// A skill level, in the order of the fields of a three-value line.
enum class Skill { Easy, Medium, Hard };
constexpr std::array<Skill, 3> AllSkills = {Skill::Easy, Skill::Medium, Skill::Hard};

// The field of a line a row edits: the field of a skill level in a three-value line, or,
// with no skill level, the one value of a single-value line.
using LineField = std::optional<Skill>;
constexpr LineField SingleValue = std::nullopt;

// The text before the first TAB or comma.
std::string ReadSingleLine(const std::string& line);

// The easy, medium and hard fields: the values part taken apart at its first two commas;
// a field the line lacks is empty.
std::array<std::string, 3> ReadTripleLine(const std::string& line);

// The text of field `field` of the line as the grid reads it.
std::string FieldOf(const std::string& line, LineField field);

// The whole line a write puts in place: the values, the separator and the comment.
std::string BuildSettingLine(const std::string& values, const std::string& comment);
