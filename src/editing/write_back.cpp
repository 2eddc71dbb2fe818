#include "write_back.h"

#include "catalogue/catalogue.h"
#include "documents/app_state.h"
#include "documents/setting_line.h"
#include "skill_lines.h"

#include <array>

namespace {

// Replaces field `field` (0 easy, 1 medium, 2 hard) of the row's line with the value.
void SkillEdit(AppState& state, int row, int field, const std::string& value)
{
    const SkillLine* line = FindSkillLine(state.RowLines[row]);
    if (!line)
        return;
    ReadTripleLine(state, row, state.buffer(line->readFrom));
    std::array<std::string, 3> fields{state.EasyField, state.MediumField, state.HardField};
    fields[static_cast<size_t>(field)] = value;
    state.RowValues[row] = fields[0] + ',' + fields[1] + ',' + fields[2];
    for (Tab tab : line->writtenTo)
        WriteSettingLine(state, state.RowValues[row], line->comment, row, state.buffer(tab));
}

void SingleValueEdit(AppState& state, int row, const std::string& keyName, const std::string& value)
{
    WriteSettingLine(state, value, keyName, row, state.buffer(static_cast<Tab>(state.ShownTab)));
}

} // namespace

void CommitGridValue(AppState& state, int row, const std::string& keyName,
                     const std::string& keyValue)
{
    if (row < 1 || row > RowTableSize)
        return;
    const std::string& key = state.RowKeys[row];
    if (state.ShownTab < 0 || state.ShownTab >= TabCount || key.empty())
        return;
    // A key equal to a skill tag, case and all, marks a skill row; any other key is the
    // description of a single-value row.
    for (Skill skill : {Skill::Easy, Skill::Medium, Skill::Hard}) {
        if (key == SkillTag(skill)) {
            SkillEdit(state, row, static_cast<int>(skill), keyValue);
            return;
        }
    }
    SingleValueEdit(state, row, keyName, keyValue);
}
