// SPDX-License-Identifier: GPL-3.0-or-later
// The setting-line readers and builder on any line.
//
// For every line: ReadTripleLine takes the text before the first TAB apart at its first
// two commas; building those three fields back into one line with any comment reads back
// the same three fields; ReadSingleLine and FieldOf agree with them; fields chosen freely
// read back unchanged when none holds a TAB or a comma.

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    // Three numbers once placed the line in a buffer; still read, so the seeds keep their
    // layout.
    input.ConsumeIntegralInRange(1, 13);
    input.ConsumeIntegralInRange(0, 7);
    input.ConsumeIntegralInRange(0, 7);
    // Each text ends at a backslash followed by any other character (two backslashes
    // stand for one), or where the input ends.
    const std::string line = input.ConsumeRandomLengthString(4096);
    const std::string comment = input.ConsumeRandomLengthString(256);
    const std::string easy = input.ConsumeRandomLengthString(64);
    const std::string medium = input.ConsumeRandomLengthString(64);
    const std::string hard = input.ConsumeRandomLengthString(64);

    // Reading.
    const std::array<std::string, 3> fields = ReadTripleLine(line);
    REQUIRE(fields == ExpectedFields(line));
    for (const std::string& field : fields)
        REQUIRE(!HasSeparator(field));
    REQUIRE(ReadSingleLine(line) == fields[0]);
    REQUIRE(FieldOf(line, SingleValue) == fields[0]);
    REQUIRE(FieldOf(line, Skill::Easy) == fields[0]);
    REQUIRE(FieldOf(line, Skill::Medium) == fields[1]);
    REQUIRE(FieldOf(line, Skill::Hard) == fields[2]);

    // Rebuilding the line from the fields read.
    const std::string values = fields[0] + ',' + fields[1] + ',' + fields[2];
    const std::string rebuilt = BuildSettingLine(values, comment);
    REQUIRE(rebuilt == values + CommentSeparator + comment);
    REQUIRE(ReadTripleLine(rebuilt) == fields);

    // Fields chosen freely.
    const std::string chosen = BuildSettingLine(easy + ',' + medium + ',' + hard, comment);
    const std::array<std::string, 3> readBack = ReadTripleLine(chosen);
    if (!HasSeparator(easy) && !HasSeparator(medium) && !HasSeparator(hard))
        REQUIRE(readBack == (std::array<std::string, 3>{easy, medium, hard}));
    else
        REQUIRE(readBack == ExpectedFields(chosen));
    return 0;
}
