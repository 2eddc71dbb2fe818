// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/app_state.h"
#include "documents/text_buffer.h"
#include "editing/tab_actions.h"
#include "support/fakes.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// ---------------------------------------------------------------------------
// Reading: how bytes become lines.

struct SplitCase {
    const char* name;
    std::string bytes;
    Lines expected;
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << c.name;
}

class SplitLinesRules : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesRules, GiveTheLinesOfTheFile)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitLines(c.bytes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextBuffer, SplitLinesRules,
    ::testing::Values(SplitCase{"LfOnly", "one\ntwo\nthree\n", {"one", "two", "three"}},
                      SplitCase{"CrLf", "one\r\ntwo\r\nthree\r\n", {"one", "two", "three"}},
                      SplitCase{"MixedEnds", "one\r\ntwo\nthree\r\n", {"one", "two", "three"}},
                      SplitCase{"LoneCrInsideLineKept", "a\rb\r\nc\n", {"a\rb", "c"}},
                      SplitCase{"CrCrLfKeepsOneCr", "a\r\r\nb\r\n", {"a\r", "b"}},
                      SplitCase{"CrAtEndOfFileWithoutLfKept", "a\nb\r", {"a", "b\r"}},
                      SplitCase{"NoFinalBreakStillCounts", "one\ntwo", {"one", "two"}},
                      SplitCase{"FinalBreakAddsNoLine", "one\n", {"one"}},
                      SplitCase{"OneTrailingEmptyLineCounts", "one\ntwo\n\n", {"one", "two", ""}},
                      SplitCase{"TrailingEmptyLineWithCrLf", "one\r\n\r\n", {"one", ""}},
                      SplitCase{"EmptyLinesInside", "\n\nx\n", {"", "", "x"}},
                      SplitCase{"EmptyFileHasNoLines", "", {}},
                      SplitCase{"OnlyALineBreak", "\n", {""}}, SplitCase{"OnlyACrLf", "\r\n", {""}},
                      SplitCase{"OnlyACr", "\r", {"\r"}},
                      SplitCase{"NulAndHighBytesKept",
                                std::string("a\0b\xff\x80\n\xe9", 7),
                                {std::string("a\0b\xff\x80", 5), "\xe9"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextBufferReading, VeryLongLineIsKeptWhole)
{
    std::string longLine(3 * 1024 * 1024, 'x');
    for (size_t i = 0; i < longLine.size(); i += 4099)
        longLine[i] = static_cast<char>('a' + i % 26);
    const Lines lines = SplitLines("first\r\n" + longLine + "\r\nlast");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "first");
    EXPECT_TRUE(lines[1] == longLine) << "long line of " << lines[1].size() << " bytes differs";
    EXPECT_EQ(lines[2], "last");
}

struct LimitCase {
    int limit;
    Lines expected;
};

TEST(TextBufferReading, SplitLinesStopsAtTheLimit)
{
    const std::string bytes = "a\r\nb\nc\r\nd";
    const std::vector<LimitCase> cases = {
        {-1, {"a", "b", "c", "d"}},
        {0, {}},
        {1, {"a"}},
        {3, {"a", "b", "c"}},
        {4, {"a", "b", "c", "d"}},
        {10, {"a", "b", "c", "d"}},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE("limit " + std::to_string(c.limit));
        EXPECT_EQ(SplitLines(bytes, c.limit), c.expected);
    }
}

// ---------------------------------------------------------------------------
// Writing: every line ends with CR LF.

TEST(TextBufferWriting, SavedBytesEndEveryLineWithCrLf)
{
    const std::vector<std::pair<Lines, std::string>> cases = {
        {{}, ""},
        {{""}, "\r\n"},
        {{"a"}, "a\r\n"},
        {{"a", "b", "c"}, "a\r\nb\r\nc\r\n"},
        {{"", "x", ""}, "\r\nx\r\n\r\n"},
        {{"a\rb"}, "a\rb\r\n"},
        {{"ends with cr\r"}, "ends with cr\r\r\n"},
    };
    for (const auto& [lines, bytes] : cases) {
        SCOPED_TRACE(::testing::PrintToString(lines));
        FakeProgress progress;
        EXPECT_EQ(FileBytes(TextBuffer(lines), nullptr, progress), bytes);
    }
}

TEST(TextBufferWriting, SavedLinesReadBackUnchanged)
{
    const std::vector<Lines> cases = {
        {"plain", "", "two\ttabs\t"},
        {"cr\r", "\r", "\r\r", "mid\rdle"},
        {std::string("\0\x01\xff", 3), "\x7f\x80", ""},
    };
    for (const Lines& lines : cases) {
        SCOPED_TRACE(::testing::PrintToString(lines));
        FakeProgress progress;
        EXPECT_EQ(SplitLines(FileBytes(TextBuffer(lines), nullptr, progress)), lines);
    }
}

// ---------------------------------------------------------------------------
// The buffer itself.

TEST(TextBufferLines, AccessAndOutOfRangeReads)
{
    const TextBuffer buffer(Lines{"zero", "one", "two"});
    EXPECT_EQ(buffer.count(), 3);
    EXPECT_FALSE(buffer.empty());
    EXPECT_EQ(buffer.line(1), "one");
    EXPECT_EQ(buffer.lineOrEmpty(2), "two");
    for (int index : {-1, 3, 100}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(buffer.lineOrEmpty(index), "");
    }
    EXPECT_TRUE(TextBuffer().empty());
    EXPECT_EQ(TextBuffer().count(), 0);
}

TEST(TextBufferLines, SetLineOutsideTheDocumentChangesNothing)
{
    TextBuffer buffer(Lines{"zero", "one"});
    for (int index : {-1, 2, 50}) {
        SCOPED_TRACE(index);
        buffer.setLine(index, "new");
        EXPECT_EQ(buffer.lines(), (Lines{"zero", "one"}));
    }
    buffer.setLine(1, "new");
    EXPECT_EQ(buffer.lines(), (Lines{"zero", "new"}));
}

struct ReplaceCase {
    const char* name;
    int first;
    int removed;
    Lines added;
    Lines expected;
};

TEST(TextBufferLines, ReplaceLines)
{
    const Lines start{"a", "b", "c", "d"};
    const std::vector<ReplaceCase> cases = {
        {"one by one", 1, 1, {"B"}, {"a", "B", "c", "d"}},
        {"one by two", 1, 1, {"B1", "B2"}, {"a", "B1", "B2", "c", "d"}},
        {"two by one", 1, 2, {"X"}, {"a", "X", "d"}},
        {"insert", 2, 0, {"new"}, {"a", "b", "new", "c", "d"}},
        {"delete", 0, 2, {}, {"c", "d"}},
        {"append at end", 4, 0, {"e"}, {"a", "b", "c", "d", "e"}},
        {"first past end clamps", 9, 3, {"e"}, {"a", "b", "c", "d", "e"}},
        {"removed past end clamps", 2, 10, {"Z"}, {"a", "b", "Z"}},
        {"negative first clamps", -3, 1, {"A"}, {"A", "b", "c", "d"}},
        {"negative count removes none", 1, -2, {"x"}, {"a", "x", "b", "c", "d"}},
        {"everything", 0, 4, {}, {}},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        TextBuffer buffer(start);
        buffer.replaceLines(c.first, c.removed, c.added);
        EXPECT_EQ(buffer.lines(), c.expected);
    }
}

TEST(TextBufferLines, AppendClearAssign)
{
    TextBuffer buffer;
    buffer.append("x");
    buffer.append("");
    EXPECT_EQ(buffer.lines(), (Lines{"x", ""}));
    buffer.assign({"p", "q", "r"});
    EXPECT_EQ(buffer.lines(), (Lines{"p", "q", "r"}));
    buffer.clear();
    EXPECT_TRUE(buffer.empty());
}

TEST(TextBufferLines, RevisionChangesOnEveryMutation)
{
    const std::vector<std::pair<const char*, std::function<void(TextBuffer&)>>> mutations = {
        {"setLine", [](TextBuffer& b) { b.setLine(0, "changed"); }},
        {"setLine same text", [](TextBuffer& b) { b.setLine(1, "one"); }},
        {"append", [](TextBuffer& b) { b.append("more"); }},
        {"clear", [](TextBuffer& b) { b.clear(); }},
        {"assign", [](TextBuffer& b) { b.assign({"a"}); }},
        {"replaceLines",
         [](TextBuffer& b) {
             b.replaceLines(0, 1, {"x", "y"});
         }},
        {"replaceLines delete", [](TextBuffer& b) { b.replaceLines(1, 1, {}); }},
    };
    for (const auto& [name, mutate] : mutations) {
        SCOPED_TRACE(name);
        TextBuffer buffer(Lines{"zero", "one"});
        const auto before = buffer.revision();
        mutate(buffer);
        EXPECT_NE(buffer.revision(), before);
        const auto afterFirst = buffer.revision();
        mutate(buffer);
        EXPECT_NE(buffer.revision(), afterFirst) << "a second change must be seen too";
    }
}

// ---------------------------------------------------------------------------
// Every byte but LF survives a load and a save through real files.

// The 255 byte values other than LF, rotated by `shift` so that every value appears at
// both ends of some line; a CR never ends the line (it would stand right before the LF).
std::string AllBytesLine(int shift)
{
    std::string bytes;
    for (int value = 0; value < 256; ++value)
        if (value != '\n')
            bytes += static_cast<char>(value);
    std::rotate(bytes.begin(), bytes.begin() + shift % static_cast<int>(bytes.size()), bytes.end());
    if (bytes.back() == '\r')
        std::rotate(bytes.begin(), bytes.begin() + 1, bytes.end());
    return bytes;
}

char NotLf(int value)
{
    const char byte = static_cast<char>(value & 0xff);
    return byte == '\n' ? '\v' : byte;
}

TEST(TextBufferBytes, EveryByteButLfSurvivesLoadAndSave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    AppState state;
    state.WorkDir = dir.path();
    state.GameDir = dir.filePath("game");
    state.GeneralPath = dir.filePath("game/data/General.txt");
    state.SettingsPath = dir.filePath("game/data/peds/Settings.txt");

    Lines lines{"line zero as the user had it \xff\x01"};
    for (int i = 1; i < 410; ++i) {
        if (i % 50 == 0)
            lines.emplace_back(); // an empty line here and there
        else if (i % 7 == 0)      // short lines of lone CRs around two more byte values
            lines.push_back(std::string("\r\r") + NotLf(i) + "\r" + NotLf(255 - i));
        else
            lines.push_back(AllBytesLine(i));
    }
    std::string file;
    for (size_t i = 0; i < lines.size(); ++i)
        file += lines[i] + (i % 2 ? "\r\n" : "\n"); // both kinds of line end
    WriteBytes(state.GeneralPath, file);

    FakeMessages messages;
    FakeProgress progress;
    FakeChooser car, ped, misc, apo;
    const Feedback controls{messages, progress, {&car, &ped, &misc, &apo}};

    LoadBuffer(state, messages, progress, car, state.GeneralPath);
    ASSERT_EQ(state.GeneralText.count(), 410);
    for (int i = 0; i < 410; ++i)
        ASSERT_TRUE(state.GeneralText.line(i) == lines[static_cast<size_t>(i)]) << "loaded line " << i;

    Save(state, controls, Tab::CarSettings);
    std::string expected = "0\t\t\t\t\t\t// Disable TIFF conversion\r\n";
    for (size_t i = 1; i < lines.size(); ++i)
        expected += lines[i] + "\r\n";
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == expected) << "saved bytes differ";

    LoadBuffer(state, messages, progress, misc, state.GeneralPath);
    ASSERT_EQ(state.GeneralText.count(), 410);
    EXPECT_EQ(state.GeneralText.line(0), "0\t\t\t\t\t\t// Disable TIFF conversion");
    for (int i = 1; i < 410; ++i)
        EXPECT_TRUE(state.GeneralText.line(i) == lines[static_cast<size_t>(i)])
            << "line " << i << " changed between load and save";

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, FakeMessages::Information);
    EXPECT_EQ(messages.shown[0].second.toStdString(),
              "File updated: " + state.GeneralPath.toStdString());
}

} // namespace
