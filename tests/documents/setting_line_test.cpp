#include "documents/app_state.h"
#include "documents/setting_line.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

constexpr int Row = 7;
constexpr int LineIndex = 42; // deliberately not the row number

// A state whose row `Row` points at line `LineIndex` of a 100-line buffer.
struct CodecState {
    AppState state;
    TextBuffer buffer = NumberedBuffer(100);

    explicit CodecState(const std::string& line = {})
    {
        state.RowLines[Row] = LineIndex;
        buffer.setLine(LineIndex, line);
    }
};

// ---------------------------------------------------------------------------
// Reading the values part.

struct ReadCase {
    const char* name;
    std::string line;
    std::string easy;
    std::string medium;
    std::string hard;
    std::string single;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class SettingLineReaders : public ::testing::TestWithParam<ReadCase> {};

TEST_P(SettingLineReaders, TripleReaderFillsTheThreeFields)
{
    const ReadCase& c = GetParam();
    CodecState s(c.line);
    s.state.EasyField = s.state.MediumField = s.state.HardField = "stale";
    ReadTripleLine(s.state, Row, s.buffer);
    EXPECT_EQ(s.state.EasyField, c.easy);
    EXPECT_EQ(s.state.MediumField, c.medium);
    EXPECT_EQ(s.state.HardField, c.hard);
    EXPECT_EQ(s.state.RowValues[Row], c.easy);
    EXPECT_EQ(s.state.LineText, c.line);
}

TEST_P(SettingLineReaders, SingleReaderTakesFieldOne)
{
    const ReadCase& c = GetParam();
    CodecState s(c.line);
    s.state.SingleField = "stale";
    ReadSingleLine(s.state, Row, s.buffer);
    EXPECT_EQ(s.state.SingleField, c.single);
    EXPECT_EQ(s.state.RowValues[Row], c.single);
    EXPECT_EQ(s.state.LineText, c.line);
}

INSTANTIATE_TEST_SUITE_P(
    SettingLine, SettingLineReaders,
    ::testing::Values(
        ReadCase{"ThreeValuesTabComment", "1,2,3\t\t\t// comment", "1", "2", "3", "1"},
        ReadCase{"FourFieldsKeepThree", "1,2,3,4\t// c", "1", "2", "3", "1"},
        ReadCase{"ManyFieldsNoTab", "1,2,3,4,5,6", "1", "2", "3", "1"},
        ReadCase{"TwoFields", "1,2\t// c", "1", "2", "", "1"},
        ReadCase{"OneField", "1\t// c", "1", "", "", "1"},
        ReadCase{"SpacesAfterCommasKept", "1, 2, 3\t// c", "1", " 2", " 3", "1"},
        ReadCase{"SpacesAroundKept", " 1 ,2 , 3 \t", " 1 ", "2 ", " 3 ", " 1 "},
        ReadCase{"TwoCommasInARow", "1,,3\t// c", "1", "", "3", "1"},
        ReadCase{"OnlyTwoCommas", ",,\t// c", "", "", "", ""},
        ReadCase{"OnlyTwoCommasNoTab", ",,", "", "", "", ""},
        ReadCase{"LeadingComma", ",5,6\t", "", "5", "6", ""},
        ReadCase{"TrailingComma", "1,2,3,\t", "1", "2", "3", "1"},
        ReadCase{"StartsWithTab", "\t1,2,3 // c", "", "", "", ""},
        ReadCase{"EmptyLine", "", "", "", "", ""},
        ReadCase{"ThreeValuesNoTab", "10,20,30", "10", "20", "30", "10"},
        ReadCase{"SingleValueNoTab", "7", "7", "", "", "7"},
        ReadCase{"CommentSetOffBySpaces", "1,2,3 // a comment", "1", "2", "3 // a comment", "1"},
        ReadCase{"SpaceCommentWithComma", "1,2,3 // easy, medium", "1", "2", "3 // easy", "1"},
        ReadCase{"SingleWithSpaceComment", "5 // five", "5 // five", "", "", "5 // five"},
        ReadCase{"FirstTabEndsReading", "1,2\t3,4", "1", "2", "", "1"},
        ReadCase{"TabInsideSecondField", "1,2\t,3", "1", "2", "", "1"},
        ReadCase{"WrittenLayout", "1,2,3\t\t\t\t\t // x, y", "1", "2", "3", "1"},
        ReadCase{"NonNumericText", "abc,-1.5e3,+\t", "abc", "-1.5e3", "+", "abc"},
        ReadCase{"HighAndControlBytes", "\xe9\x01,\x7f,\xff\x80\t\xa0", "\xe9\x01", "\x7f",
                 "\xff\x80", "\xe9\x01"},
        ReadCase{"CarriageReturnIsContent", "1\r,2,3\r", "1\r", "2", "3\r", "1\r"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingLineReaders, ReadSingleLineLeavesTheSkillFieldsAlone)
{
    CodecState s("1,2,3\t// c");
    s.state.EasyField = "e";
    s.state.MediumField = "m";
    s.state.HardField = "h";
    ReadSingleLine(s.state, Row, s.buffer);
    EXPECT_EQ(s.state.SingleField, "1");
    EXPECT_EQ(s.state.EasyField, "e");
    EXPECT_EQ(s.state.MediumField, "m");
    EXPECT_EQ(s.state.HardField, "h");
}

TEST(SettingLineReaders, ReadTripleLineEmptiesTheSingleField)
{
    CodecState s("1,2,3\t// c");
    ReadSingleLine(s.state, Row, s.buffer);
    ASSERT_EQ(s.state.SingleField, "1");
    ReadTripleLine(s.state, Row, s.buffer);
    EXPECT_EQ(s.state.SingleField, "");
    EXPECT_EQ(s.state.EasyField, "1");
}

TEST(SettingLineReaders, ClearFieldBuffersLeavesLineText)
{
    AppState state;
    state.LineText = "the line";
    state.SingleField = "s";
    state.EasyField = "e";
    state.MediumField = "m";
    state.HardField = "h";
    ClearFieldBuffers(state);
    EXPECT_EQ(state.SingleField, "");
    EXPECT_EQ(state.EasyField, "");
    EXPECT_EQ(state.MediumField, "");
    EXPECT_EQ(state.HardField, "");
    EXPECT_EQ(state.LineText, "the line");
}

TEST(SettingLineReaders, ReadTheLineNamedByTheRowEntry)
{
    AppState state;
    const TextBuffer buffer = NumberedBuffer(30);
    const std::vector<std::pair<int, int>> rowsAndLines = {{1, 0}, {1, 29}, {13, 5}, {4, 17}};
    for (const auto& [row, line] : rowsAndLines) {
        SCOPED_TRACE("row " + std::to_string(row) + " line " + std::to_string(line));
        state.RowLines[row] = line;
        const std::string n = std::to_string(line);
        ReadTripleLine(state, row, buffer);
        EXPECT_EQ(state.EasyField, "L" + n + "a");
        EXPECT_EQ(state.MediumField, "L" + n + "b");
        EXPECT_EQ(state.HardField, "L" + n + "c");
        EXPECT_EQ(state.RowValues[row], "L" + n + "a");
        ReadSingleLine(state, row, buffer);
        EXPECT_EQ(state.SingleField, "L" + n + "a");
    }
}

TEST(SettingLineReaders, LineBeyondTheBufferReadsEmpty)
{
    for (int line : {100, 101, 5000}) {
        SCOPED_TRACE(line);
        CodecState s;
        s.state.RowLines[Row] = line;
        s.state.LineText = s.state.EasyField = s.state.MediumField = s.state.HardField = "old";
        s.state.RowValues[Row] = "old";
        ReadTripleLine(s.state, Row, s.buffer);
        EXPECT_EQ(s.state.LineText, "");
        EXPECT_EQ(s.state.EasyField, "");
        EXPECT_EQ(s.state.MediumField, "");
        EXPECT_EQ(s.state.HardField, "");
        EXPECT_EQ(s.state.RowValues[Row], "");
        s.state.SingleField = "old";
        ReadSingleLine(s.state, Row, s.buffer);
        EXPECT_EQ(s.state.SingleField, "");
    }
    AppState state;
    state.RowLines[1] = 0;
    state.EasyField = "old";
    ReadTripleLine(state, 1, TextBuffer());
    EXPECT_EQ(state.EasyField, "") << "an empty buffer has no line 0";
}

// ---------------------------------------------------------------------------
// Writing a line.

struct WriteCase {
    const char* name;
    std::string oldLine;
    std::string values;
    std::string comment;
    std::string expected;
};

TEST(SettingLineWriter, WritesValuesSeparatorAndComment)
{
    const std::vector<WriteCase> cases = {
        {"bouyancy", "1.0\t\t// old comment", "7", "Bouyancy factor",
         "7\t\t\t\t\t // Bouyancy factor"},
        {"three values", "1,2,3\t\t\t// old", "100,250,300", "Credits",
         "100,250,300\t\t\t\t\t // Credits"},
        {"empty comment keeps final space", "1\t// old", "9", "", "9\t\t\t\t\t // "},
        {"empty value", "1\t// old", "", "Gravity", "\t\t\t\t\t // Gravity"},
        {"old line was empty", "", "5", "c", "5\t\t\t\t\t // c"},
        {"value kept as typed", "0", " 1.5 abc,", "x", " 1.5 abc,\t\t\t\t\t // x"},
        {"comment bytes kept", "0", "1", "(cred per % damage) \xe9",
         "1\t\t\t\t\t // (cred per % damage) \xe9"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        CodecState s(c.oldLine);
        WriteSettingLine(s.state, c.values, c.comment, Row, s.buffer);
        EXPECT_EQ(s.buffer.line(LineIndex), c.expected);
    }
}

TEST(SettingLineWriter, WrittenLineReadsBack)
{
    CodecState s("old\t// old");
    WriteSettingLine(s.state, "7", "Bouyancy factor", Row, s.buffer);
    ReadSingleLine(s.state, Row, s.buffer);
    EXPECT_EQ(s.state.SingleField, "7");

    WriteSettingLine(s.state, "4, 5,6", "Starting money, each level", Row, s.buffer);
    ReadTripleLine(s.state, Row, s.buffer);
    EXPECT_EQ(s.state.EasyField, "4");
    EXPECT_EQ(s.state.MediumField, " 5");
    EXPECT_EQ(s.state.HardField, "6");
}

TEST(SettingLineWriter, ValueWithACommaReadsBackToTheComma)
{
    CodecState s("3\t// c");
    WriteSettingLine(s.state, "1,5", "Gravity", Row, s.buffer);
    EXPECT_EQ(s.buffer.line(LineIndex), "1,5\t\t\t\t\t // Gravity");
    ReadSingleLine(s.state, Row, s.buffer);
    EXPECT_EQ(s.state.SingleField, "1");
}

TEST(SettingLineWriter, TouchesNoOtherLine)
{
    CodecState s;
    Lines expected = NumberedLines(100);
    WriteSettingLine(s.state, "v", "c", Row, s.buffer);
    expected[LineIndex] = "v\t\t\t\t\t // c";
    EXPECT_EQ(s.buffer.lines(), expected);
}

TEST(SettingLineWriter, LineBeyondTheBufferChangesNothing)
{
    for (int line : {100, 250}) {
        SCOPED_TRACE(line);
        CodecState s;
        const Lines before = s.buffer.lines();
        s.state.RowLines[Row] = line;
        WriteSettingLine(s.state, "v", "c", Row, s.buffer);
        EXPECT_EQ(s.buffer.lines(), before);
    }
    AppState state;
    TextBuffer empty;
    state.RowLines[1] = 0;
    WriteSettingLine(state, "v", "c", 1, empty);
    EXPECT_TRUE(empty.empty());
}

TEST(SettingLineWriter, SeparatorIsFiveTabsSpaceSlashesSpace)
{
    EXPECT_EQ(std::string(CommentSeparator), "\t\t\t\t\t // ");
}

} // namespace
