// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/setting_line.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

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

TEST_P(SettingLineReaders, EachFieldReadsFromTheLineAlone)
{
    const ReadCase& c = GetParam();
    EXPECT_EQ(ReadTripleLine(c.line), (std::array<std::string, 3>{c.easy, c.medium, c.hard}));
    EXPECT_EQ(FieldOf(c.line, Skill::Easy), c.easy);
    EXPECT_EQ(FieldOf(c.line, Skill::Medium), c.medium);
    EXPECT_EQ(FieldOf(c.line, Skill::Hard), c.hard);
    EXPECT_EQ(FieldOf(c.line, SingleValue), c.single);
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

// ---------------------------------------------------------------------------
// Building a line.

struct BuildCase {
    const char* name;
    std::string values;
    std::string comment;
    std::string expected;
};

TEST(SettingLineBuilder, ValuesSeparatorAndComment)
{
    const std::vector<BuildCase> cases = {
        {"bouyancy", "7", "Bouyancy factor", "7\t\t\t\t\t // Bouyancy factor"},
        {"three values", "100,250,300", "Credits", "100,250,300\t\t\t\t\t // Credits"},
        {"empty comment keeps final space", "9", "", "9\t\t\t\t\t // "},
        {"empty value", "", "Gravity", "\t\t\t\t\t // Gravity"},
        {"value kept as typed", " 1.5 abc,", "x", " 1.5 abc,\t\t\t\t\t // x"},
        {"comment bytes kept", "1", "(cred per % damage) \xe9",
         "1\t\t\t\t\t // (cred per % damage) \xe9"},
    };
    for (const BuildCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildSettingLine(c.values, c.comment), c.expected);
    }
}

TEST(SettingLineBuilder, BuiltLineReadsBack)
{
    EXPECT_EQ(FieldOf(BuildSettingLine("7", "Bouyancy factor"), SingleValue), "7");
    EXPECT_EQ(ReadTripleLine(BuildSettingLine("4, 5,6", "Starting money, each level")),
              (std::array<std::string, 3>{"4", " 5", "6"}));
    EXPECT_EQ(FieldOf(BuildSettingLine("1,5", "Gravity"), SingleValue), "1")
        << "a comma ends a single value";
}

} // namespace
