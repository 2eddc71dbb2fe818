// SPDX-License-Identifier: GPL-3.0-or-later
#include "write_back.h"

#include "documents/game_files.h"
#include "value_rule.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

// The line a commit would write: where, what, and the buffer whose line it replaces.
struct Rebuilt {
    int line;
    Tab readFrom;
    LineField field;
    std::string text;
};

// The rebuilt line for the value, or nothing when the place stands for no line.
std::optional<Rebuilt> Rebuild(const AppState& state, const SettingPlace& place,
                               const std::string& value)
{
    const SectionRow* row = RowAt(place);
    if (!row || row->kind == RowKind::Note)
        return std::nullopt;
    const LineField field = FieldShown(*row, *ItemAt(place));
    if (field == SingleValue)
        return Rebuilt{row->line, place.tab, field, BuildSettingLine(value, row->text)};
    std::array<std::string, 3> fields =
        ReadTripleLine(state.document(place.tab).lineOrEmpty(row->line));
    fields[static_cast<size_t>(*field)] = value;
    const std::string values = fields[0] + ',' + fields[1] + ',' + fields[2];
    return Rebuilt{row->line, place.tab, field, BuildSettingLine(values, row->comment)};
}

// The change of the line in the document of its file, when it holds it.
std::vector<LineChange> LineChangeOf(const AppState& state, const Rebuilt& rebuilt)
{
    const GameDocument& document = state.document(rebuilt.readFrom);
    if (rebuilt.line < 0 || rebuilt.line >= document.count())
        return {};
    return {{FileOf(rebuilt.readFrom), rebuilt.line, document.line(rebuilt.line), rebuilt.text}};
}

CommitResult Plan(const AppState& state, const Rebuilt& rebuilt, const std::string& value)
{
    const std::string line = state.document(rebuilt.readFrom).lineOrEmpty(rebuilt.line);
    std::string refusal = ReadBackRefusal(line, rebuilt.text, rebuilt.field, value);
    if (!refusal.empty())
        return {std::move(refusal), {}, {}};
    return {{}, LineChangeOf(state, rebuilt), {}};
}

void Make(AppState& state, const CommitResult& result)
{
    MakeAgain(state, {result.changes, {}});
}

} // namespace

CommitResult PlanCommit(const AppState& state, const SettingPlace& place, const std::string& value)
{
    const std::optional<Rebuilt> rebuilt = Rebuild(state, place, value);
    return rebuilt ? Plan(state, *rebuilt, value) : CommitResult();
}

CommitResult CommitValue(AppState& state, const SettingPlace& place, const std::string& value,
                         const TextBuffer* reference)
{
    CommitResult result = PlanCommit(state, place, value);
    Make(state, result);
    if (reference && !result.changes.empty())
        result.shapeNote =
            ShapeNote(*RowAt(place), *ItemAt(place), state.document(place.tab), *reference);
    return result;
}

CommitResult ResetValue(AppState& state, const SettingPlace& place, const TextBuffer& reference)
{
    CommitResult result = PlanReset(state, place, reference);
    Make(state, result);
    return result;
}

CommitResult PlanReset(const AppState& state, const SettingPlace& place,
                       const TextBuffer& reference)
{
    const SectionRow* row = RowAt(place);
    if (!row || row->kind == RowKind::Note)
        return {};
    const std::string original = reference.lineOrEmpty(row->line);
    const std::string value = FieldOf(original, FieldShown(*row, *ItemAt(place)));
    std::optional<Rebuilt> rebuilt = Rebuild(state, place, value);
    if (!rebuilt)
        return {};
    const std::vector<LineField> fields =
        rebuilt->field == SingleValue ? std::vector<LineField>{SingleValue}
                                      : std::vector<LineField>(AllSkills.begin(), AllSkills.end());
    if (std::all_of(fields.begin(), fields.end(),
                    [&](LineField f) { return FieldOf(rebuilt->text, f) == FieldOf(original, f); }))
        rebuilt->text = original;
    return Plan(state, *rebuilt, value);
}
