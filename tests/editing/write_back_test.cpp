// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/catalogue.h"
#include "documents/app_state.h"
#include "documents/game_files.h"
#include "editing/setting_value.h"
#include "editing/value_rule.h"
#include "editing/write_back.h"
#include "support/test_support.h"

#include <array>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const char* Prefix(Tab tab)
{
    return FileOf(tab) == TuningFile::General ? "gen" : "ped";
}

// Line i of a tab's document: "<file><i>a,<file><i>b,<file><i>c", TABs and a comment, so a
// line read from the wrong document, line or field shows in the result.
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

// The documents as loaded, and what each tab should show after an edit.
struct Edit {
    AppState state;
    std::array<Lines, 4> expected;

    Edit()
    {
        for (Tab tab : AllTabs) {
            expected[static_cast<size_t>(tab)] = TaggedLines(tab);
            state.document(tab).assign(TaggedLines(tab));
        }
    }

    void setLine(Tab tab, int index, const std::string& text)
    {
        state.document(tab).setLine(index, text);
        expectInFile(tab, index, text);
    }
    void expectLine(Tab tab, int index, const std::string& text)
    {
        expected[static_cast<size_t>(tab)][static_cast<size_t>(index)] = text;
    }
    // The line as every tab that shows the tab's file shows it.
    void expectInFile(Tab tab, int index, const std::string& text)
    {
        for (Tab shown : TabsShowing(FileOf(tab)))
            expectLine(shown, index, text);
    }
    void check() const
    {
        for (Tab tab : AllTabs) {
            SCOPED_TRACE(Prefix(tab));
            const Lines& actual = state.document(tab).lines();
            const Lines& wanted = expected[static_cast<size_t>(tab)];
            ASSERT_EQ(actual.size(), wanted.size());
            for (size_t i = 0; i < actual.size(); ++i)
                EXPECT_EQ(actual[i], wanted[i]) << "line " << i;
        }
    }
};

// The first place in the catalogue that shows field `field` of line `line` of the tab.
SettingPlace PlaceOf(Tab tab, int line, LineField field)
{
    std::optional<SettingPlace> found;
    ForEachSectionRow(
        [&](const SettingPlace& place, const ChooserItem& item, const SectionRow& row) {
            if (!found && place.tab == tab && row.kind != RowKind::Note && row.line == line &&
                FieldShown(row, item) == field)
                found = place;
        });
    EXPECT_TRUE(found) << "no place shows line " << line;
    return found.value_or(SettingPlace{tab, -1, 0});
}

// ---------------------------------------------------------------------------
// Skill values.

TEST(WriteBack, SuccessiveEditsBuildOnOneAnother)
{
    Edit e;
    CommitValue(e.state, PlaceOf(Tab::Miscellaneous, 67, Skill::Easy), "1000");
    CommitValue(e.state, PlaceOf(Tab::Miscellaneous, 67, Skill::Hard), "3000");
    CommitValue(e.state, PlaceOf(Tab::Miscellaneous, 67, Skill::Medium), "2000");

    e.expectInFile(Tab::Miscellaneous, 67,
                   "1000,2000,3000\t\t\t\t\t // Cunning stunt bonus for each skill level");
    e.check();
}

// ---------------------------------------------------------------------------
// Every skill row of the catalogue writes its own line, field and fixed comment into every
// buffer of its file, whichever tab shows it.

TEST(WriteBack, EverySkillRowWritesItsLineWithItsFixedComment)
{
    const std::map<int, const char*> comments = {
        {14, "Points (credits earned per ped (easy, medium, hard)"},
        {15, "Time (seconds) scored per ped (easy, medium, hard)"},
        {57, "Seconds per unit car damage for each skill level (with peds)"},
        {58, "Credits per unit car damage for each skill level (with peds)"},
        {59, "Time awarded for wasting car for each skill level (with peds)"},
        {60, "Credits awarded for wasting car for each skill level (with peds)"},
        {61, "Time awarded for rolling car for each skill level (with peds)"},
        {62, "Credits awarded for rolling car for each skill level (with peds)"},
        {63, "Credits awarded for checkpoints for each skill level (with peds)"},
        {66, "Credits per second of time bonus for each skill level"},
        {67, "Cunning stunt bonus for each skill level"},
        {90, "Initial armour, single player, each skill level"},
        {92, "Initial power, single player, each skill level"},
        {94, "Initial offensive, single player, each skill level"},
        {97, "Initial potential armour, single player, each skill level"},
        {99, "Initial potential power, single player, each skill level"},
        {101, "Initial potential offensive, single player, each skill level"},
        {104, "Max armour, single player, each skill level"},
        {106, "Max power, single player, each skill level"},
        {108, "Max offensive, single player, each skill level"},
        {111, "APO cost, single player, each skill level"},
        {114, "Trade-in APO value, single player, each skill level"},
        {117, "APO substitution value, single player, each skill level"},
        {120, "APO potential substitution value, single player, each skill level"},
        {133, "Starting money for each skill level"},
        {136, "Repair cost for each skill level (cred per % damage)"},
        {139, "Recovery cost for each skill level"},
    };
    std::map<int, int> rowsOfLine;
    ForEachSectionRow(
        [&](const SettingPlace& place, const ChooserItem& item, const SectionRow& row) {
            if (row.kind != RowKind::Skill)
                return;
            SCOPED_TRACE(DetailsText(row, item) + " at line " + std::to_string(row.line));
            ++rowsOfLine[row.line];
            ASSERT_EQ(comments.count(row.line), 1u);
            Edit e;
            std::array<std::string, 3> fields;
            const std::string p = Prefix(place.tab) + std::to_string(row.line);
            for (size_t f = 0; f < 3; ++f)
                fields[f] = p + "abc"[f];
            fields[static_cast<size_t>(*FieldShown(row, item))] = "NEW";

            const CommitResult result = CommitValue(e.state, place, "NEW");

            e.expectInFile(
                place.tab, row.line,
                Written(fields[0] + ',' + fields[1] + ',' + fields[2], comments.at(row.line)));
            e.check();
            EXPECT_EQ(result.changes.size(), 1u);
        });
    EXPECT_EQ(rowsOfLine.size(), comments.size()) << "a skill line no row shows";
}

// ---------------------------------------------------------------------------
// Single values: the row's description becomes the comment, in every buffer of the file.

TEST(WriteBack, SingleValueEditGoesIntoEveryBufferOfItsFile)
{
    struct Case {
        Tab tab;
        int line;
        const char* description;
    };
    for (const Case& c : {Case{Tab::CarSettings, 187, "Mass of each Link"},
                          Case{Tab::Pedestrians, 20, "HP damage per unit force"},
                          Case{Tab::Miscellaneous, 166, "Default gravity multiplier"},
                          Case{Tab::APO, 123,
                               "Armour starting value (car hardness; not number "
                               "of APO slots)"}}) {
        SCOPED_TRACE(c.description);
        Edit e;
        const CommitResult result =
            CommitValue(e.state, PlaceOf(c.tab, c.line, SingleValue), "0.75");
        e.expectInFile(c.tab, c.line, Written("0.75", c.description));
        e.check();
        EXPECT_EQ(result.changes.size(), 1u);
    }
}

// A value is written only when its line reads back right: the edited field gives the
// value exactly, the other fields read as before, and the line stays one line.
TEST(WriteBack, ValuesThatReadBackAreWrittenOthersRefused)
{
    struct Case {
        const char* name;
        LineField field; // Single: the gravity multiplier, line 166; else line 62's skill
        std::string oldLine;
        std::string typed;
        std::string values; // written; "" when refused
        std::string refusal = {};
    };
    const std::string comma =
        "A comma separates the easy, medium and hard values; use a point for decimals.";
    const std::string lineBreak =
        "A line break cannot stand in a value: each setting keeps to its one line.";
    constexpr LineField Single = SingleValue, Easy = Skill::Easy, Medium = Skill::Medium,
                        Hard = Skill::Hard;
    const std::vector<Case> cases = {
        {"hard on a one-value line", Hard, "5\t// x", "new", "5,,new"},
        {"medium on a one-value line", Medium, "5\t// x", "new", "5,new,"},
        {"easy on an empty line", Easy, "", "new", "new,,"},
        {"hard with a missing middle field", Hard, "1,,3\t// x", "9", "1,,9"},
        {"empty value", Easy, "1,2,3\t// x", "", ",2,3"},
        {"text and blanks", Medium, "1,2,3\t// x", " a b ", "1, a b ,3"},
        {"fields beyond the third dropped", Easy, "1,2,3,4\t// x", "0", "0,2,3"},
        {"single value with high bytes", Single, "9\t// x", "1.5 x\xe9", "1.5 x\xe9"},
        {"decimal comma in an easy value", Easy, "12,9,7\t// x", "1,5", "", comma},
        {"comma typed into a medium value", Medium, "7,8,9\t// x", "1,2", "", comma},
        {"decimal comma in a single value", Single, "9\t// x", "0,5", "",
         "A comma ends the value in this line; use a point for decimals."},
        {"TAB in a hard value", Hard, "12,9,7\t// x", "1\t2", "",
         "A TAB ends the value and starts the comment; it cannot stand in a value."},
        {"line feed", Easy, "12,9,7\t// x", "250\n999", "", lineBreak},
        {"carriage return", Single, "9\t// x", "250\r", "", lineBreak},
        {"NUL", Medium, "12,9,7\t// x",
         std::string("2\0"
                     "5",
                     3),
         "", "A NUL character cannot stand in a value."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool single = c.field == SingleValue;
        const int line = single ? 166 : 62;
        Edit e;
        for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
            e.setLine(tab, line, c.oldLine);
        const CommitResult result =
            CommitValue(e.state, PlaceOf(Tab::Miscellaneous, line, c.field), c.typed);
        EXPECT_EQ(result.refusal, c.refusal);
        if (c.refusal.empty())
            e.expectInFile(Tab::Miscellaneous, line,
                           Written(c.values, single ? "Default gravity multiplier"
                                                    : "Credits awarded for rolling car for "
                                                      "each skill level (with peds)"));
        e.check();
        EXPECT_EQ(result.changes.size(), c.refusal.empty() ? 1u : 0u);
    }
}

TEST(WriteBack, CommittingTwiceIsCommittingOnce)
{
    for (const SettingPlace& place :
         {PlaceOf(Tab::Miscellaneous, 60, Skill::Medium),
          PlaceOf(Tab::Pedestrians, 14, Skill::Hard), PlaceOf(Tab::Pedestrians, 12, SingleValue),
          PlaceOf(Tab::CarSettings, 32, SingleValue)}) {
        SCOPED_TRACE(RowAt(place)->line);
        Edit once, twice;
        CommitValue(once.state, place, "5");
        CommitValue(twice.state, place, "5");
        CommitValue(twice.state, place, "5");
        for (Tab tab : AllTabs)
            EXPECT_EQ(twice.state.document(tab).lines(), once.state.document(tab).lines())
                << Prefix(tab);
        EXPECT_NE(once.state.document(place.tab).lines(), TaggedLines(place.tab))
            << "nothing was written";
    }
}

TEST(WriteBack, EmptiedDocumentStaysEmpty)
{
    Edit e;
    e.state.GeneralText.clear();
    for (Tab tab : TabsShowing(TuningFile::General))
        e.expected[static_cast<size_t>(tab)].clear();

    const CommitResult result =
        CommitValue(e.state, PlaceOf(Tab::Miscellaneous, 60, Skill::Medium), "8");

    EXPECT_TRUE(result.changes.empty());
    e.check();
}

// ---------------------------------------------------------------------------
// Places that stand for no setting.

TEST(WriteBack, PlacesThatStandForNoSettingChangeNothing)
{
    struct Case {
        const char* name;
        SettingPlace place;
    };
    const std::vector<Case> cases = {
        {"heading", {Tab::Miscellaneous, 0, 1}},
        {"unlisted item", {Tab::CarSettings, 10, 1}},
        {"note row", {Tab::Miscellaneous, 14, 11}},
        {"title row", {Tab::Miscellaneous, 1, 0}},
        {"row past the section", {Tab::Miscellaneous, 1, 7}},
        {"far past the section", {Tab::APO, 1, 1000}},
        {"negative row", {Tab::APO, 1, -1}},
        {"negative item", {Tab::APO, -1, 1}},
        {"item past the list", {Tab::Pedestrians, 99, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Edit e;
        const CommitResult result = CommitValue(e.state, c.place, "123");
        e.check();
        EXPECT_TRUE(result.changes.empty());
        EXPECT_TRUE(result.refusal.empty());
    }
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
