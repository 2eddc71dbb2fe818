#include "write_back.h"

#include "catalogue/catalogue.h"
#include "documents/game_files.h"
#include "documents/setting_line.h"
#include "skill_lines.h"
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

std::optional<LineField> SkillFieldOf(const std::string& key)
{
    // A key equal to a skill tag, case and all, marks a skill row; any other key is the
    // description of a single-value row.
    if (key == SkillTag(Skill::Easy))
        return LineField::Easy;
    if (key == SkillTag(Skill::Medium))
        return LineField::Medium;
    if (key == SkillTag(Skill::Hard))
        return LineField::Hard;
    return std::nullopt;
}

// The rebuilt line for the value, or nothing when the row stands for no line to rewrite.
std::optional<Rebuilt> Rebuild(AppState& state, int row, const std::string& keyName,
                               const std::string& keyValue)
{
    if (row < 1 || row > RowTableSize)
        return std::nullopt;
    const std::string& key = state.RowKeys[row];
    if (state.ShownTab < 0 || state.ShownTab >= TabCount || key.empty())
        return std::nullopt;
    const int line = state.RowLines[row];
    const std::optional<LineField> field = SkillFieldOf(key);
    if (!field) {
        const Tab shown = static_cast<Tab>(state.ShownTab);
        return Rebuilt{line, shown, LineField::Single, keyValue + CommentSeparator + keyName};
    }
    const SkillLine* skillLine = FindSkillLine(line);
    if (!skillLine)
        return std::nullopt;
    const std::string shown = state.RowValues[row]; // the reader leaves the easy field there
    ReadTripleLine(state, row, state.buffer(skillLine->readFrom));
    state.RowValues[row] = shown;
    std::array<std::string, 3> fields{state.EasyField, state.MediumField, state.HardField};
    fields[static_cast<size_t>(*field) - 1] = keyValue;
    const std::string values = fields[0] + ',' + fields[1] + ',' + fields[2];
    return Rebuilt{line, skillLine->readFrom, *field,
                   values + CommentSeparator + skillLine->comment};
}

// Writes the line into every buffer of its file that holds it.
std::vector<LineChange> WriteEverywhere(AppState& state, const Rebuilt& rebuilt)
{
    std::vector<LineChange> changes;
    for (Tab tab : BuffersOf(FileOf(rebuilt.readFrom))) {
        TextBuffer& buffer = state.buffer(tab);
        if (rebuilt.line < 0 || rebuilt.line >= buffer.count())
            continue;
        changes.push_back({tab, rebuilt.line, buffer.line(rebuilt.line), rebuilt.text});
        buffer.setLine(rebuilt.line, rebuilt.text);
    }
    return changes;
}

CommitResult Commit(AppState& state, int row, const Rebuilt& rebuilt, const std::string& value)
{
    const std::string line = state.buffer(rebuilt.readFrom).lineOrEmpty(rebuilt.line);
    std::string refusal = ReadBackRefusal(line, rebuilt.text, rebuilt.field, value);
    if (!refusal.empty())
        return {std::move(refusal), {}};
    if (rebuilt.field != LineField::Single)
        state.RowValues[row] = rebuilt.text.substr(0, rebuilt.text.find('\t'));
    return {{}, WriteEverywhere(state, rebuilt)};
}

} // namespace

CommitResult CommitGridValue(AppState& state, int row, const std::string& keyName,
                             const std::string& keyValue)
{
    const std::optional<Rebuilt> rebuilt = Rebuild(state, row, keyName, keyValue);
    return rebuilt ? Commit(state, row, *rebuilt, keyValue) : CommitResult{};
}

std::string ShownRowValue(const AppState& state, int row)
{
    if (row < 1 || row > RowTableSize || state.ShownTab < 0 || state.ShownTab >= TabCount)
        return {};
    const std::string line =
        state.buffer(static_cast<Tab>(state.ShownTab)).lineOrEmpty(state.RowLines[row]);
    return FieldOf(line, SkillFieldOf(state.RowKeys[row]).value_or(LineField::Single));
}

CommitResult ResetGridValue(AppState& state, int row, const std::string& keyName,
                            const TextBuffer& reference)
{
    if (row < 1 || row > RowTableSize)
        return {};
    const std::string original = reference.lineOrEmpty(state.RowLines[row]);
    const std::optional<LineField> field = SkillFieldOf(state.RowKeys[row]);
    const std::string value = FieldOf(original, field.value_or(LineField::Single));
    std::optional<Rebuilt> rebuilt = Rebuild(state, row, keyName, value);
    if (!rebuilt)
        return {};
    const std::vector<LineField> fields =
        rebuilt->field == LineField::Single
            ? std::vector<LineField>{LineField::Single}
            : std::vector<LineField>{LineField::Easy, LineField::Medium, LineField::Hard};
    if (std::all_of(fields.begin(), fields.end(),
                    [&](LineField f) { return FieldOf(rebuilt->text, f) == FieldOf(original, f); }))
        rebuilt->text = original;
    return Commit(state, row, *rebuilt, value);
}
