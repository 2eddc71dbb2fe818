// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting_line.h"

namespace {

// Appends characters from `at` to `field` until a TAB, a comma or the end of the line.
// Returns the position of the character that stopped the walk.
size_t ReadField(const std::string& line, size_t at, std::string& field)
{
    while (at < line.size() && line[at] != '\t' && line[at] != ',')
        field += line[at++];
    return at;
}

bool StoppedAtComma(const std::string& line, size_t at)
{
    return at < line.size() && line[at] == ',';
}

} // namespace

std::string ReadSingleLine(const std::string& line)
{
    std::string single;
    ReadField(line, 0, single);
    return single;
}

std::array<std::string, 3> ReadTripleLine(const std::string& line)
{
    std::array<std::string, 3> fields;
    size_t at = ReadField(line, 0, fields[0]);
    if (!StoppedAtComma(line, at))
        return fields;
    at = ReadField(line, at + 1, fields[1]);
    if (!StoppedAtComma(line, at))
        return fields;
    ReadField(line, at + 1, fields[2]);
    return fields;
}

std::string FieldOf(const std::string& line, LineField field)
{
    if (field == SingleValue)
        return ReadSingleLine(line);
    return ReadTripleLine(line)[static_cast<size_t>(*field)];
}

std::string BuildSettingLine(const std::string& values, const std::string& comment)
{
    return values + CommentSeparator + comment;
}
