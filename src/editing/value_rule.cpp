// SPDX-License-Identifier: GPL-3.0-or-later
#include "value_rule.h"

#include "documents/text_buffer.h"

#include <algorithm>

namespace {

enum class Shape { Whole, Decimal, Text };

Shape ShapeOf(const std::string& value)
{
    size_t at = value.empty() || (value[0] != '-' && value[0] != '+') ? 0 : 1;
    int digits = 0;
    int points = 0;
    for (; at < value.size(); ++at) {
        if (value[at] >= '0' && value[at] <= '9')
            ++digits;
        else if (value[at] == '.')
            ++points;
        else
            return Shape::Text;
    }
    if (digits == 0 || points > 1)
        return Shape::Text;
    return points == 0 ? Shape::Whole : Shape::Decimal;
}

int FieldCount(const std::string& line)
{
    const std::string values = line.substr(0, line.find('\t'));
    return static_cast<int>(std::count(values.begin(), values.end(), ',')) + 1;
}

bool Contains(const std::string& text, char c)
{
    return text.find(c) != std::string::npos;
}

} // namespace

std::string ReadBackRefusal(const std::string& line, const std::string& rebuilt, LineField field,
                            const std::string& value)
{
    bool right = SplitLines(rebuilt) == std::vector<std::string>{rebuilt} &&
                 !Contains(rebuilt, '\r') && !Contains(rebuilt, '\0') &&
                 FieldOf(rebuilt, field) == value;
    if (field != SingleValue)
        for (Skill other : AllSkills)
            right = right && (other == field || FieldOf(rebuilt, other) == FieldOf(line, other));
    if (right)
        return {};
    if (Contains(value, '\n') || Contains(value, '\r'))
        return "A line break cannot stand in a value: each setting keeps to its one line.";
    if (Contains(value, '\0'))
        return "A NUL character cannot stand in a value.";
    if (Contains(value, '\t'))
        return "A TAB ends the value and starts the comment; it cannot stand in a value.";
    if (Contains(value, ',') && field != SingleValue)
        return "A comma separates the easy, medium and hard values; use a point for decimals.";
    if (Contains(value, ','))
        return "A comma ends the value in this line; use a point for decimals.";
    return "The line would not read back this value as typed.";
}

std::string ShapeNote(const SectionRow& row, const ChooserItem& item, const TextBuffer& current,
                      const TextBuffer& reference)
{
    if (row.kind == RowKind::Note || row.line >= reference.count() || row.line >= current.count())
        return {};
    const int expectedFields = FieldCount(reference.line(row.line));
    if (FieldCount(current.line(row.line)) != expectedFields)
        return expectedFields == 1
                   ? "Expected one value, with no comma"
                   : "Expected " + std::to_string(expectedFields) + " values separated by commas";
    const std::string value = ShownValue(row, item, current);
    const std::string original = ShownValue(row, item, reference);
    switch (ShapeOf(original)) {
    case Shape::Whole:
        if (ShapeOf(value) != Shape::Whole)
            return "Expected a whole number like " + original;
        break;
    case Shape::Decimal:
        if (ShapeOf(value) == Shape::Text)
            return "Expected a number like " + original;
        break;
    case Shape::Text:
        break;
    }
    return {};
}
