// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

// A setting line: a values part (one value, or easy,medium,hard), then from the first
// TAB on a comment. Reading a field depends on the line's text alone.

// Five TABs, a space, "//" and a space: what every written line puts before its comment.
constexpr const char* CommentSeparator = "\t\t\t\t\t // ";

// The field of a line a row edits: the one value of a single row, or a skill level.
enum class LineField { Single, Easy, Medium, Hard };

// The text before the first TAB or comma.
std::string ReadSingleLine(const std::string& line);

// The easy, medium and hard fields: the values part taken apart at its first two commas;
// a field the line lacks is empty.
std::array<std::string, 3> ReadTripleLine(const std::string& line);

// The text of field `field` of the line as the grid reads it.
std::string FieldOf(const std::string& line, LineField field);

// The whole line a write puts in place: the values, the separator and the comment.
std::string BuildSettingLine(const std::string& values, const std::string& comment);
