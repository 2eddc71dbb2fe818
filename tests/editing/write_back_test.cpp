#include "catalogue/catalogue.h"
#include "documents/app_state.h"
#include "documents/game_files.h"
#include "editing/changes.h"
#include "editing/section_procedure.h"
#include "editing/skill_lines.h"
#include "editing/value_rule.h"
#include "editing/write_back.h"
#include "support/fakes.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const char* Prefix(Tab tab)
{
    switch (tab) {
    case Tab::CarSettings:
        return "car";
    case Tab::Pedestrians:
        return "ped";
    case Tab::Miscellaneous:
        return "misc";
    case Tab::APO:
        break;
    }
    return "apo";
}

// Line i of a tab's buffer: "<tab><i>a,<tab><i>b,<tab><i>c", TABs and a comment, so a
// line read from the wrong buffer, line or field shows in the result.
std::string TaggedLine(Tab tab, int i)
{
    const std::string p = Prefix(tab) + std::to_string(i);
    return p + "a," + p + "b," + p + "c\t\t\t\t\t\t// file comment " + std::to_string(i);
}

Lines TaggedLines(Tab tab)
{
    Lines lines;
    const int count = tab == Tab::Pedestrians ? 965 : 410;
    for (int i = 0; i < count; ++i)
        lines.push_back(TaggedLine(tab, i));
    return lines;
}

// The four buffers as loaded, and what each should hold after an edit.
struct Edit {
    AppState state;
    std::array<Lines, 4> expected;

    Edit()
    {
        for (Tab tab : AllTabs) {
            expected[static_cast<size_t>(tab)] = TaggedLines(tab);
            state.buffer(tab).assign(TaggedLines(tab));
        }
    }

    void setLine(Tab tab, int index, const std::string& text)
    {
        state.buffer(tab).setLine(index, text);
        expected[static_cast<size_t>(tab)][static_cast<size_t>(index)] = text;
    }
    void expectLine(Tab tab, int index, const std::string& text)
    {
        expected[static_cast<size_t>(tab)][static_cast<size_t>(index)] = text;
    }
    // The line in every buffer of the tab's file: the copies of a file never disagree.
    void expectInFile(Tab tab, int index, const std::string& text)
    {
        for (Tab copy : BuffersOf(FileOf(tab)))
            expectLine(copy, index, text);
    }
    // A row as a shown section sets it up.
    void row(int n, int line, const std::string& key, Tab shown)
    {
        state.RowLines[n] = line;
        state.RowKeys[n] = key;
        state.ShownTab = static_cast<int>(shown);
    }
    void check() const
    {
        for (Tab tab : AllTabs) {
            SCOPED_TRACE(Prefix(tab));
            const Lines& actual = state.buffer(tab).lines();
            const Lines& wanted = expected[static_cast<size_t>(tab)];
            ASSERT_EQ(actual.size(), wanted.size());
            for (size_t i = 0; i < actual.size(); ++i)
                EXPECT_EQ(actual[i], wanted[i]) << "line " << i;
        }
    }
};

std::string Written(const std::string& values, const std::string& comment)
{
    return values + "\t\t\t\t\t // " + comment;
}

// ---------------------------------------------------------------------------
// The examples.

TEST(WriteBack, CreditAwardMediumEditReachesAllThreeGeneralCopies)
{
    Edit e;
    e.setLine(Tab::Miscellaneous, 58, "100,200,300\t\t\t\t\t\t// Credits per unit car damage");
    e.row(3, 58, "(medium)", Tab::Miscellaneous);

    CommitGridValue(e.state, 3, "Credits per unit car damage for (medium) skill level (with peds)",
                    "250");

    const std::string line =
        "100,250,300\t\t\t\t\t // Credits per unit car damage for each skill level (with peds)";
    e.expectLine(Tab::CarSettings, 58, line);
    e.expectLine(Tab::Miscellaneous, 58, line);
    e.expectLine(Tab::APO, 58, line);
    e.check();
    EXPECT_EQ(e.state.RowValues[3], "100,250,300");
}

TEST(WriteBack, GravityMultiplierGoesIntoEveryCopyOfGeneral)
{
    Edit e;
    e.row(5, 166, "Default gravity multiplier", Tab::Miscellaneous);
    e.state.RowValues[5] = "1.0";

    const CommitResult result = CommitGridValue(e.state, 5, "Default gravity multiplier", "1.5");

    e.expectInFile(Tab::Miscellaneous, 166, "1.5\t\t\t\t\t // Default gravity multiplier");
    EXPECT_EQ(result.changes.size(), 3u);
    e.check();
    EXPECT_EQ(e.state.RowValues[5], "1.0") << "a single-value edit leaves RowValues alone";
}

TEST(WriteBack, StartingMoneyEasyEdit)
{
    Edit e;
    e.setLine(Tab::Miscellaneous, 133, "200,400,600\t\t\t// Starting money");
    e.row(1, 133, "(easy)", Tab::Miscellaneous);

    CommitGridValue(e.state, 1, "Starting money for (easy) skill level", "500");

    const std::string line = "500,400,600\t\t\t\t\t // Starting money for each skill level";
    for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
        e.expectLine(tab, 133, line);
    e.check();
    EXPECT_EQ(e.state.RowValues[1], "500,400,600");
}

TEST(WriteBack, PedestrianTimeHardEditChangesPedMemoOnly)
{
    Edit e;
    e.setLine(Tab::Pedestrians, 15, "10,20,30\t\t\t// Time per ped");
    e.row(6, 15, "(hard)", Tab::Pedestrians);

    CommitGridValue(e.state, 6, "Time (seconds) scored per ped (hard)", "45");

    e.expectLine(Tab::Pedestrians, 15,
                 "10,20,45\t\t\t\t\t // Time (seconds) scored per ped (easy, medium, hard)");
    e.check();
}

TEST(WriteBack, SuccessiveEditsBuildOnOneAnother)
{
    Edit e;
    e.row(1, 67, "(easy)", Tab::Miscellaneous);
    e.row(2, 67, "(medium)", Tab::Miscellaneous);
    e.row(3, 67, "(hard)", Tab::Miscellaneous);

    CommitGridValue(e.state, 1, "Cunning stunt bonus for (easy) skill level", "1000");
    CommitGridValue(e.state, 3, "Cunning stunt bonus for (hard) skill level", "3000");
    CommitGridValue(e.state, 2, "Cunning stunt bonus for (medium) skill level", "2000");

    const std::string line = "1000,2000,3000\t\t\t\t\t // Cunning stunt bonus for each skill level";
    for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
        e.expectLine(tab, 67, line);
    e.check();
}

// ---------------------------------------------------------------------------
// Every line of the skill-line table, each skill tag: golden line texts.

struct SkillLineCase {
    int line;
    Tab readFrom;
    const char* comment;
};

void PrintTo(const SkillLineCase& c, std::ostream* os)
{
    *os << "line " << c.line;
}

class SkillLineGolden : public ::testing::TestWithParam<SkillLineCase> {};

TEST_P(SkillLineGolden, RebuildsTheLineWithItsFixedComment)
{
    const SkillLineCase& c = GetParam();
    const std::string p = Prefix(c.readFrom) + std::to_string(c.line);
    const std::vector<std::pair<std::string, std::string>> edits = {
        {"(easy)", "NEW," + p + "b," + p + "c"},
        {"(medium)", p + "a,NEW," + p + "c"},
        {"(hard)", p + "a," + p + "b,NEW"},
    };
    const std::vector<Tab> writtenTo =
        c.readFrom == Tab::Pedestrians
            ? std::vector<Tab>{Tab::Pedestrians}
            : std::vector<Tab>{Tab::CarSettings, Tab::Miscellaneous, Tab::APO};
    for (const auto& [tag, values] : edits) {
        for (Tab shown : AllTabs) { // the tab on show plays no part
            SCOPED_TRACE(tag + " shown on " + Prefix(shown));
            Edit e;
            e.row(9, c.line, tag, shown);
            CommitGridValue(e.state, 9, "description of the row", "NEW");
            for (Tab tab : writtenTo)
                e.expectLine(tab, c.line, Written(values, c.comment));
            e.check();
            EXPECT_EQ(e.state.RowValues[9], values);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    WriteBack, SkillLineGolden,
    ::testing::Values(
        SkillLineCase{14, Tab::Pedestrians, "Points (credits earned per ped (easy, medium, hard)"},
        SkillLineCase{15, Tab::Pedestrians, "Time (seconds) scored per ped (easy, medium, hard)"},
        SkillLineCase{57, Tab::Miscellaneous,
                      "Seconds per unit car damage for each skill level (with peds)"},
        SkillLineCase{58, Tab::Miscellaneous,
                      "Credits per unit car damage for each skill level (with peds)"},
        SkillLineCase{59, Tab::Miscellaneous,
                      "Time awarded for wasting car for each skill level (with peds)"},
        SkillLineCase{60, Tab::Miscellaneous,
                      "Credits awarded for wasting car for each skill level (with peds)"},
        SkillLineCase{61, Tab::Miscellaneous,
                      "Time awarded for rolling car for each skill level (with peds)"},
        SkillLineCase{62, Tab::Miscellaneous,
                      "Credits awarded for rolling car for each skill level (with peds)"},
        SkillLineCase{63, Tab::Miscellaneous,
                      "Credits awarded for checkpoints for each skill level (with peds)"},
        SkillLineCase{66, Tab::Miscellaneous,
                      "Credits per second of time bonus for each skill level"},
        SkillLineCase{67, Tab::Miscellaneous, "Cunning stunt bonus for each skill level"},
        SkillLineCase{90, Tab::APO, "Initial armour, single player, each skill level"},
        SkillLineCase{92, Tab::APO, "Initial power, single player, each skill level"},
        SkillLineCase{94, Tab::APO, "Initial offensive, single player, each skill level"},
        SkillLineCase{97, Tab::APO, "Initial potential armour, single player, each skill level"},
        SkillLineCase{99, Tab::APO, "Initial potential power, single player, each skill level"},
        SkillLineCase{101, Tab::APO,
                      "Initial potential offensive, single player, each skill level"},
        SkillLineCase{104, Tab::APO, "Max armour, single player, each skill level"},
        SkillLineCase{106, Tab::APO, "Max power, single player, each skill level"},
        SkillLineCase{108, Tab::APO, "Max offensive, single player, each skill level"},
        SkillLineCase{111, Tab::APO, "APO cost, single player, each skill level"},
        SkillLineCase{114, Tab::APO, "Trade-in APO value, single player, each skill level"},
        SkillLineCase{117, Tab::APO, "APO substitution value, single player, each skill level"},
        SkillLineCase{120, Tab::APO,
                      "APO potential substitution value, single player, each skill level"},
        SkillLineCase{133, Tab::Miscellaneous, "Starting money for each skill level"},
        SkillLineCase{136, Tab::Miscellaneous,
                      "Repair cost for each skill level (cred per % damage)"},
        SkillLineCase{139, Tab::Miscellaneous, "Recovery cost for each skill level"}),
    [](const auto& info) { return "Line" + std::to_string(info.param.line); });

// ---------------------------------------------------------------------------
// The skill-line table itself.

TEST(SkillLineTable, HoldsTheTwentySevenLines)
{
    std::vector<int> lines;
    for (const SkillLine& entry : SkillLines())
        lines.push_back(entry.line);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines,
              (std::vector<int>{14, 15, 57,  58,  59,  60,  61,  62,  63,  66,  67,  90,  92, 94,
                                97, 99, 101, 104, 106, 108, 111, 114, 117, 120, 133, 136, 139}));
}

TEST(SkillLineTable, ReadFromAndWrittenTo)
{
    const std::vector<std::pair<int, Tab>> readFrom = {
        {14, Tab::Pedestrians},
        {15, Tab::Pedestrians},
        {57, Tab::Miscellaneous},
        {67, Tab::Miscellaneous},
        {90, Tab::APO},
        {101, Tab::APO},
        {120, Tab::APO},
        {133, Tab::Miscellaneous},
        {139, Tab::Miscellaneous},
    };
    for (const auto& [line, tab] : readFrom) {
        SCOPED_TRACE(line);
        const SkillLine* entry = FindSkillLine(line);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->line, line);
        EXPECT_EQ(entry->readFrom, tab);
    }
    for (const SkillLine& entry : SkillLines()) {
        SCOPED_TRACE(entry.line);
        if (entry.readFrom == Tab::Pedestrians) {
            EXPECT_EQ(entry.writtenTo, std::vector<Tab>{Tab::Pedestrians});
        } else {
            EXPECT_EQ(entry.writtenTo,
                      (std::vector<Tab>{Tab::CarSettings, Tab::Miscellaneous, Tab::APO}));
        }
    }
    for (int line : {-1, 0, 13, 16, 56, 64, 65, 68, 91, 121, 134, 140, 166, 409}) {
        SCOPED_TRACE(line);
        EXPECT_EQ(FindSkillLine(line), nullptr);
    }
}

// ---------------------------------------------------------------------------
// Which rows are single-value rows, and where their edit goes.

TEST(WriteBack, SingleValueEditGoesIntoEveryBufferOfItsFile)
{
    for (Tab shown : AllTabs) {
        SCOPED_TRACE(Prefix(shown));
        Edit e;
        e.row(2, 20, "HP damage per unit force", shown);
        CommitGridValue(e.state, 2, "HP damage per unit force", "0.75");
        e.expectInFile(shown, 20, "0.75\t\t\t\t\t // HP damage per unit force");
        e.check();
    }
}

TEST(WriteBack, DescriptionKeyOnASkillLineIsASingleValueEdit)
{
    Edit e;
    e.row(4, 133, "Starting money", Tab::Miscellaneous);
    CommitGridValue(e.state, 4, "Starting money", "999");
    e.expectInFile(Tab::Miscellaneous, 133, "999\t\t\t\t\t // Starting money");
    e.check();
}

TEST(WriteBack, NearSkillTagsAreDescriptions)
{
    for (const char* key : {"(Easy)", " (easy)", "(easy) ", "(EASY)", "easy", "(easy", "(Medium)",
                            "(medium )", "\t(hard)", "(hard)\t", "(HARD)", "(hard)(hard)"}) {
        SCOPED_TRACE(std::string("key [") + key + "]");
        Edit e;
        e.row(7, 58, key, Tab::APO);
        CommitGridValue(e.state, 7, key, "42");
        e.expectInFile(Tab::APO, 58, Written("42", key));
        e.check();
    }
}

// A value is written only when its line reads back right: the edited field gives the
// value exactly, the other fields read as before, and the line stays one line.
TEST(WriteBack, ValuesThatReadBackAreWrittenOthersRefused)
{
    struct Case {
        const char* name;
        std::string tag; // "" for a single-value row
        std::string oldLine;
        std::string typed;
        std::string values; // written; "" when refused
        std::string refusal = {};
    };
    const std::string comma =
        "A comma separates the easy, medium and hard values; use a point for decimals.";
    const std::string lineBreak =
        "A line break cannot stand in a value: each setting keeps to its one line.";
    const std::vector<Case> cases = {
        {"hard on a one-value line", "(hard)", "5\t// x", "new", "5,,new"},
        {"medium on a one-value line", "(medium)", "5\t// x", "new", "5,new,"},
        {"easy on an empty line", "(easy)", "", "new", "new,,"},
        {"hard with a missing middle field", "(hard)", "1,,3\t// x", "9", "1,,9"},
        {"empty value", "(easy)", "1,2,3\t// x", "", ",2,3"},
        {"text and blanks", "(medium)", "1,2,3\t// x", " a b ", "1, a b ,3"},
        {"fields beyond the third dropped", "(easy)", "1,2,3,4\t// x", "0", "0,2,3"},
        {"single value with high bytes", "", "9\t// x", "1.5 x\xe9", "1.5 x\xe9"},
        {"decimal comma in an easy value", "(easy)", "12,9,7\t// x", "1,5", "", comma},
        {"comma typed into a medium value", "(medium)", "7,8,9\t// x", "1,2", "", comma},
        {"decimal comma in a single value", "", "9\t// x", "0,5", "",
         "A comma ends the value in this line; use a point for decimals."},
        {"TAB in a hard value", "(hard)", "12,9,7\t// x", "1\t2", "",
         "A TAB ends the value and starts the comment; it cannot stand in a value."},
        {"line feed", "(easy)", "12,9,7\t// x", "250\n999", "", lineBreak},
        {"carriage return", "", "9\t// x", "250\r", "", lineBreak},
        {"NUL", "(medium)", "12,9,7\t// x",
         std::string("2\0"
                     "5",
                     3),
         "", "A NUL character cannot stand in a value."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e;
        e.setLine(Tab::Miscellaneous, 62, c.oldLine);
        e.setLine(Tab::CarSettings, 62, c.oldLine);
        e.setLine(Tab::APO, 62, c.oldLine);
        const std::string key = c.tag.empty() ? "Some setting" : c.tag;
        e.row(1, 62, key, Tab::Miscellaneous);
        e.state.RowValues[1] = "as shown";
        const CommitResult result = CommitGridValue(e.state, 1, key, c.typed);
        EXPECT_EQ(result.refusal, c.refusal);
        if (c.refusal.empty())
            e.expectInFile(Tab::Miscellaneous, 62,
                           Written(c.values, c.tag.empty() ? key
                                                           : "Credits awarded for rolling car for "
                                                             "each skill level (with peds)"));
        e.check();
        EXPECT_EQ(e.state.RowValues[1],
                  c.tag.empty() || !c.refusal.empty() ? "as shown" : c.values);
        EXPECT_EQ(result.changes.size(), c.refusal.empty() ? 3u : 0u);
    }
}

TEST(WriteBack, SkillRowOfAnUnlistedLineChangesNothing)
{
    for (int line : {0, 13, 16, 56, 64, 166, 409}) {
        for (const char* tag : {"(easy)", "(medium)", "(hard)"}) {
            SCOPED_TRACE(std::to_string(line) + " " + tag);
            Edit e;
            e.row(2, line, tag, Tab::Miscellaneous);
            e.state.RowValues[2] = "as shown";
            CommitGridValue(e.state, 2, "row", "77");
            e.check();
            EXPECT_EQ(e.state.RowValues[2], "as shown");
        }
    }
}

TEST(WriteBack, CommittingTwiceIsCommittingOnce)
{
    struct Case {
        const char* key;
        int line;
        Tab shown;
    };
    for (const Case& c :
         {Case{"(medium)", 60, Tab::Miscellaneous}, Case{"(hard)", 14, Tab::Pedestrians},
          Case{"Bouyancy factor", 12, Tab::Pedestrians},
          Case{"Some car setting", 30, Tab::CarSettings}}) {
        SCOPED_TRACE(c.key);
        Edit once, twice;
        once.row(1, c.line, c.key, c.shown);
        twice.row(1, c.line, c.key, c.shown);
        CommitGridValue(once.state, 1, c.key, "5");
        CommitGridValue(twice.state, 1, c.key, "5");
        CommitGridValue(twice.state, 1, c.key, "5");
        for (Tab tab : AllTabs)
            EXPECT_EQ(twice.state.buffer(tab).lines(), once.state.buffer(tab).lines())
                << Prefix(tab);
        EXPECT_EQ(twice.state.RowValues[1], once.state.RowValues[1]);
        EXPECT_NE(once.state.buffer(c.shown).lines(), TaggedLines(c.shown))
            << "nothing was written";
    }
}

TEST(WriteBack, EmptiedBufferStaysEmpty)
{
    Edit e;
    e.state.Memo1.clear();
    e.expected[static_cast<size_t>(Tab::CarSettings)].clear();
    e.row(2, 60, "(medium)", Tab::Miscellaneous);

    CommitGridValue(e.state, 2, "Credits awarded for wasting car for (medium) skill level", "8");

    const std::string line = Written(
        "misc60a,8,misc60c", "Credits awarded for wasting car for each skill level (with peds)");
    e.expectLine(Tab::Miscellaneous, 60, line);
    e.expectLine(Tab::APO, 60, line);
    e.check();
}

TEST(WriteBack, EmptiedReadFromBufferGivesEmptyKeptFields)
{
    Edit e;
    e.state.MiscMemo.clear();
    e.expected[static_cast<size_t>(Tab::Miscellaneous)].clear();
    e.row(2, 60, "(hard)", Tab::Miscellaneous);

    CommitGridValue(e.state, 2, "row", "9");

    const std::string line =
        Written(",,9", "Credits awarded for wasting car for each skill level (with peds)");
    e.expectLine(Tab::CarSettings, 60, line);
    e.expectLine(Tab::APO, 60, line);
    e.check();
}

// ---------------------------------------------------------------------------
// Rows that stand for no setting.

TEST(WriteBack, RowsThatStandForNoSettingChangeNothing)
{
    struct Case {
        const char* name;
        int row;
        std::string key;
        int line;
        int shownTab;
    };
    const std::vector<Case> cases = {
        {"no section shown, single row", 1, "Default gravity multiplier", 166, -1},
        {"no section shown, skill row", 1, "(easy)", 58, -1},
        {"shown tab out of range", 1, "Default gravity multiplier", 166, 4},
        {"shown tab out of range, skill row", 1, "(easy)", 58, 7},
        {"cleared entry", 1, "", 0, 2},
        {"cleared entry with a line", 13, "", 58, 0},
        {"title row", 0, "(easy)", 58, 2},
        {"past the table", 14, "(easy)", 58, 2},
        {"far past the table", 1000, "x", 1, 2},
        {"negative row", -1, "(easy)", 58, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e;
        // Every entry, the unused one included, looks like a setting row; only the
        // state that the case describes stands against the write.
        for (int n = 0; n <= RowTableSize; ++n) {
            e.state.RowLines[n] = 58;
            e.state.RowKeys[n] = "(easy)";
        }
        if (c.row >= 0 && c.row <= RowTableSize) {
            e.state.RowLines[c.row] = c.line;
            e.state.RowKeys[c.row] = c.key;
        }
        e.state.ShownTab = c.shownTab;
        CommitGridValue(e.state, c.row, c.key, "123");
        e.check();
    }
}

// ---------------------------------------------------------------------------
// Rows as the real sections set them up. These look the rows up in the catalogue and
// are skipped while it does not list them.

struct Found {
    int item = -1;
};

// The first item of the tab whose section shows `line` as a row of `kind` (and skill).
Found FindItem(const TabCatalogue& tab, int line, RowKind kind, Skill skill = Skill::Easy)
{
    for (size_t i = 0; i < tab.items.size(); ++i) {
        const ChooserItem& item = tab.items[i];
        if (item.kind != ItemKind::Section || !item.section)
            continue;
        for (const SectionRow& row : *item.section)
            if (row.kind == kind && row.line == line &&
                (kind != RowKind::Skill || RowSkill(row, item) == skill))
                return {static_cast<int>(i)};
    }
    return {};
}

int GridRowOf(const AppState& state, int line)
{
    for (int n = 1; n <= RowTableSize; ++n)
        if (state.RowLines[n] == line && !state.RowKeys[n].empty())
            return n;
    return -1;
}

struct ShownSection {
    Edit e;
    FakeChooser chooser;
    FakeGrid grid;
    FakeMessages messages;

    bool show(Tab tab, int item)
    {
        chooser.index = item;
        ChooseSection(e.state, CatalogueOf(tab), chooser, grid, messages);
        return messages.shown.empty();
    }
};

TEST(WriteBackThroughSections, MediumCreditAward)
{
    const TabCatalogue& misc = CatalogueOf(Tab::Miscellaneous);
    const Found found = FindItem(misc, 58, RowKind::Skill, Skill::Medium);
    if (found.item < 0)
        GTEST_SKIP() << "no section shows line 58 at the medium level yet";
    ShownSection s;
    s.e.setLine(Tab::Miscellaneous, 58, "100,200,300\t\t\t// credits");
    ASSERT_TRUE(s.show(Tab::Miscellaneous, found.item));
    const int n = GridRowOf(s.e.state, 58);
    ASSERT_GE(n, 1);
    ASSERT_EQ(s.grid.rows.at(static_cast<size_t>(n - 1)).second, "200");

    CommitGridValue(s.e.state, n, s.grid.rows[static_cast<size_t>(n - 1)].first, "250");

    const std::string line =
        "100,250,300\t\t\t\t\t // Credits per unit car damage for each skill level (with peds)";
    for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
        s.e.expectLine(tab, 58, line);
    s.e.check();
    EXPECT_EQ(s.e.state.RowValues[n], "100,250,300");
}

TEST(WriteBackThroughSections, GravityMultiplier)
{
    const TabCatalogue& misc = CatalogueOf(Tab::Miscellaneous);
    const Found found = FindItem(misc, 166, RowKind::Single);
    if (found.item < 0)
        GTEST_SKIP() << "no section shows line 166 yet";
    ShownSection s;
    ASSERT_TRUE(s.show(Tab::Miscellaneous, found.item));
    const int n = GridRowOf(s.e.state, 166);
    ASSERT_GE(n, 1);
    const std::string details = s.grid.rows.at(static_cast<size_t>(n - 1)).first;
    EXPECT_EQ(details, "Default gravity multiplier");

    CommitGridValue(s.e.state, n, details, "1.5");

    s.e.expectInFile(Tab::Miscellaneous, 166, "1.5\t\t\t\t\t // Default gravity multiplier");
    s.e.check();
}

TEST(WriteBackThroughSections, NothingAfterATabSwitchOrAHeading)
{
    const TabCatalogue& misc = CatalogueOf(Tab::Miscellaneous);
    const Found found = FindItem(misc, 58, RowKind::Skill, Skill::Medium);
    int heading = -1;
    for (size_t i = 0; i < misc.items.size(); ++i)
        if (misc.items[i].kind == ItemKind::Heading)
            heading = static_cast<int>(i);
    if (found.item < 0 || heading < 0)
        GTEST_SKIP() << "the Miscellaneous sections are not listed yet";

    ShownSection s;
    ASSERT_TRUE(s.show(Tab::Miscellaneous, found.item));
    const int n = GridRowOf(s.e.state, 58);
    ASSERT_GE(n, 1);
    ResetForTab(s.e.state, s.chooser, s.grid); // the user switches tabs; the table stays
    CommitGridValue(s.e.state, n, "leftover row", "999");
    CommitGridValue(s.e.state, 1, "", "999");
    s.e.check();

    ASSERT_TRUE(s.show(Tab::Miscellaneous, heading));
    for (int row = 1; row <= RowTableSize; ++row)
        CommitGridValue(s.e.state, row, "", "999");
    s.e.check();
}

TEST(WriteBackThroughSections, RowsPastTheSectionChangeNothing)
{
    const TabCatalogue& ped = CatalogueOf(Tab::Pedestrians);
    const Found found = FindItem(ped, 12, RowKind::Single);
    if (found.item < 0)
        GTEST_SKIP() << "no Pedestrians section shows line 12 yet";
    ShownSection s;
    ASSERT_TRUE(s.show(Tab::Pedestrians, found.item));
    const int rows = s.grid.rowCount();
    ASSERT_LT(rows, RowTableSize);
    for (int row = rows + 1; row <= RowTableSize; ++row)
        CommitGridValue(s.e.state, row, "", "999");
    s.e.check();
}

} // namespace

namespace {

// A value of another shape than the reference copy's is pointed out: a decimal or a word
// where a whole number stands, a value without digits where any number stands.
TEST(ValueShape, OtherShapesArePointedOut)
{
    const TextBuffer reference(SplitLines(ReadBytes(SampleFile("original.general"))));
    const std::string whole = "Expected a whole number like 9800",
                      any = "Expected a number like 0.55";
    // Bending: row 1 holds 9800, row 2 0.55.
    const std::tuple<int, std::string, std::string> cases[] = {
        {1, "-12", ""}, {1, "12.5", whole}, {1, "-", whole}, {1, "lots", whole}, {2, "3", ""},
        {2, "-.5", ""}, {2, ".", any},      {2, "-", any},   {2, "1.2.3", any}};
    for (const auto& [row, value, note] : cases) {
        const SectionRow& shown = *RowAt({Tab::CarSettings, 1, row});
        TextBuffer current = reference;
        current.setLine(shown.line, value + "\t\t// typed");
        EXPECT_EQ(ShapeNote(shown, CatalogueOf(Tab::CarSettings).items[1], current, reference),
                  note)
            << value;
    }
}

} // namespace
