#pragma once

#include <string>

struct AppState;
class TextBuffer;

// A setting line: a values part (one value, or easy,medium,hard), then from the first
// TAB on a comment. The readers address a line through a row-table entry and leave
// their results in the field buffers of the state.

// Five TABs, a space, "//" and a space: what every written line puts before its comment.
constexpr const char* CommentSeparator = "\t\t\t\t\t // ";

void ClearFieldBuffers(AppState& state);
void ReadSingleLine(AppState& state, int row, const TextBuffer& buffer);
void ReadTripleLine(AppState& state, int row, const TextBuffer& buffer);
void WriteSettingLine(AppState& state, const std::string& values, const std::string& comment,
                      int row, TextBuffer& buffer);
