// The setting-line readers and writer on any line.
//
// For every line: ReadTripleLine takes the text before the first TAB apart at its first
// two commas; writing those three fields back as one line with any comment reads back the
// same three fields; ReadSingleLine agrees with the first field; fields chosen freely read
// back unchanged when none holds a TAB or a comma; a row pointing past the buffer reads as
// an empty line and writing to it changes nothing.

#include "documents/app_state.h"
#include "documents/setting_line.h"
#include "require.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <string>

namespace {

bool HasSeparator(const std::string& text)
{
    return text.find_first_of("\t,") != std::string::npos;
}

// The fields of a line, taken apart here without the readers.
std::array<std::string, 3> ExpectedFields(const std::string& line)
{
    const std::string values = line.substr(0, line.find('\t'));
    std::array<std::string, 3> fields;
    size_t start = 0;
    for (size_t n = 0; n < 3; ++n) {
        const size_t comma = values.find(',', start);
        fields[n] = values.substr(start, comma == std::string::npos ? comma : comma - start);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return fields;
}

std::array<std::string, 3> ReadFields(AppState& state, int row, const TextBuffer& buffer)
{
    ReadTripleLine(state, row, buffer);
    return {state.EasyField, state.MediumField, state.HardField};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int row = input.ConsumeIntegralInRange(1, RowTableSize);
    const int lineCount = input.ConsumeIntegralInRange(1, 8);
    const int index = input.ConsumeIntegralInRange(0, lineCount - 1);
    // Each text ends at a backslash followed by any other character (two backslashes
    // stand for one), or where the input ends.
    const std::string line = input.ConsumeRandomLengthString(4096);
    const std::string comment = input.ConsumeRandomLengthString(256);
    const std::string easy = input.ConsumeRandomLengthString(64);
    const std::string medium = input.ConsumeRandomLengthString(64);
    const std::string hard = input.ConsumeRandomLengthString(64);

    std::vector<std::string> lines;
    for (int n = 0; n < lineCount; ++n)
        lines.push_back(n == index ? line : "other line " + std::to_string(n) + ",1,2\t// x");
    TextBuffer buffer(lines);
    AppState state;
    state.RowLines[row] = index;
    state.SingleField = "left over";

    // Reading.
    const std::array<std::string, 3> fields = ReadFields(state, row, buffer);
    REQUIRE(state.LineText == line);
    REQUIRE(fields == ExpectedFields(line));
    REQUIRE(state.RowValues[row] == fields[0]);
    REQUIRE(state.SingleField.empty());
    for (const std::string& field : fields)
        REQUIRE(!HasSeparator(field));
    ReadSingleLine(state, row, buffer);
    REQUIRE(state.SingleField == fields[0]);
    REQUIRE(state.RowValues[row] == fields[0]);

    // Rebuilding the line from the fields read.
    const std::string values = fields[0] + ',' + fields[1] + ',' + fields[2];
    WriteSettingLine(state, values, comment, row, buffer);
    REQUIRE(buffer.count() == lineCount);
    REQUIRE(buffer.line(index) == values + CommentSeparator + comment);
    for (int n = 0; n < lineCount; ++n)
        if (n != index)
            REQUIRE(buffer.line(n) == lines[static_cast<size_t>(n)]);
    REQUIRE(ReadFields(state, row, buffer) == fields);

    // Fields chosen freely.
    WriteSettingLine(state, easy + ',' + medium + ',' + hard, comment, row, buffer);
    const std::array<std::string, 3> readBack = ReadFields(state, row, buffer);
    if (!HasSeparator(easy) && !HasSeparator(medium) && !HasSeparator(hard))
        REQUIRE(readBack == (std::array<std::string, 3>{easy, medium, hard}));
    else
        REQUIRE(readBack == ExpectedFields(state.LineText));

    // A row pointing outside the buffer.
    const std::vector<std::string> before = buffer.lines();
    const auto revision = buffer.revision();
    for (int outside : {-1, lineCount, lineCount + 1000}) {
        state.RowLines[row] = outside;
        REQUIRE(ReadFields(state, row, buffer) == (std::array<std::string, 3>{}));
        REQUIRE(state.LineText.empty());
        REQUIRE(state.RowValues[row].empty());
        WriteSettingLine(state, values, comment, row, buffer);
        REQUIRE(buffer.lines() == before);
        REQUIRE(buffer.revision() == revision);
    }
    return 0;
}
