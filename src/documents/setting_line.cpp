#include "setting_line.h"

#include "app_state.h"

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

void ClearFieldBuffers(AppState& state)
{
    state.EasyField.clear();
    state.MediumField.clear();
    state.HardField.clear();
    state.SingleField.clear();
}

void ReadSingleLine(AppState& state, int row, const TextBuffer& buffer)
{
    state.LineText = buffer.lineOrEmpty(state.RowLines[row]);
    state.SingleField.clear();
    ReadField(state.LineText, 0, state.SingleField);
    state.RowValues[row] = state.SingleField;
}

void ReadTripleLine(AppState& state, int row, const TextBuffer& buffer)
{
    state.LineText = buffer.lineOrEmpty(state.RowLines[row]);
    ClearFieldBuffers(state);
    const std::string& line = state.LineText;
    size_t at = ReadField(line, 0, state.EasyField);
    state.RowValues[row] = state.EasyField;
    if (!StoppedAtComma(line, at))
        return;
    at = ReadField(line, at + 1, state.MediumField);
    if (!StoppedAtComma(line, at))
        return;
    ReadField(line, at + 1, state.HardField);
}

void WriteSettingLine(AppState& state, const std::string& values, const std::string& comment,
                      int row, TextBuffer& buffer)
{
    buffer.setLine(state.RowLines[row], values + CommentSeparator + comment);
}
