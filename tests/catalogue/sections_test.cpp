// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing items on the four section choosers: the rows each section shows, the
// row-table entries it leaves, and the answers to headings, unlisted items and buffers
// of the wrong size. Every buffer holds numbered lines "L<i>a,L<i>b,L<i>c", so a row
// that reads the wrong line or field shows the wrong text.

#include "catalogue/catalogue.h"
#include "documents/app_state.h"
#include "editing/section_procedure.h"
#include "editing/setting_value.h"
#include "support/fakes.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string NotLoaded = "Save your \"Gorewheel II\" directory first.";

// What the user left in the chooser's text; only a refused choice replaces it.
const std::string PickedText = "picked by the user";

struct TabUnderTest {
    const char* name;
    Tab tab;
    const TabCatalogue& (*catalogue)();
    int lineCount; // the size of the game file the tab's buffer holds
};

const TabUnderTest CarSettings{"CarSettings", Tab::CarSettings, CarSettingsCatalogue, 410};
const TabUnderTest Pedestrians{"Pedestrians", Tab::Pedestrians, PedestriansCatalogue, 965};
const TabUnderTest Miscellaneous{"Miscellaneous", Tab::Miscellaneous, MiscellaneousCatalogue, 410};
const TabUnderTest APO{"APO", Tab::APO, APOCatalogue, 410};

using GridRows = std::vector<std::pair<std::string, std::string>>;

using ShownMessages = std::vector<std::pair<FakeMessages::Kind, std::string>>;

ShownMessages Shown(const FakeMessages& messages)
{
    ShownMessages shown;
    for (const auto& [kind, text] : messages.shown)
        shown.emplace_back(kind, text.toStdString());
    return shown;
}
const GridRows BlankRow = {{"", ""}};

// The state of the program with a full set of loaded buffers, and the window parts a
// section choice reaches.
struct Window {
    AppState state;
    FakeChooser chooser;
    FakeGrid grid;
    FakeMessages messages;

    Window()
    {
        state.GeneralText.assign(NumberedBuffer(410).lines());
        state.SettingsText.assign(NumberedBuffer(965).lines());
    }

    void choose(const TabUnderTest& tab, int index)
    {
        chooser.index = index;
        chooser.text = PickedText;
        ChooseSection(state, tab.catalogue(), chooser, grid, messages);
    }

    // Leftovers of an earlier choice that a new one must not keep: as many rows as the
    // largest section shows, on another tab.
    void fillWithLeftovers()
    {
        grid.rows.clear();
        for (int n = 1; n <= RowTableSize; ++n)
            grid.rows.emplace_back("old row " + std::to_string(n), std::to_string(n));
        state.ShownTab = static_cast<int>(Tab::APO);
    }

    // The row table of the shown section, entry n for grid row n.
    std::string rowKeys(int n) const
    {
        return state.ShownTab < 0 ? std::string()
                                  : RowKeys({static_cast<Tab>(state.ShownTab), chooser.index, n});
    }
    int rowLines(int n) const
    {
        return state.ShownTab < 0 ? 0
                                  : RowLines({static_cast<Tab>(state.ShownTab), chooser.index, n});
    }
};

// The field `which` ('a' easy or single, 'b' medium, 'c' hard) of numbered line `line`.
std::string Field(int line, char which)
{
    return "L" + std::to_string(line) + which;
}

// One expected grid row.
struct Row {
    std::string details; // key text shown in the grid
    int line;            // line index; -1 for a note row, which has no entry
    std::string key;     // the RowKeys entry
    char field;          // the field of the line shown as value
};

Row Single(int line, const std::string& text)
{
    return {text, line, text, 'a'};
}
Row Note(const std::string& text)
{
    return {text, -1, "", 0};
}
Row Easy(int line, const std::string& details)
{
    return {details, line, "(easy)", 'a'};
}
Row Medium(int line, const std::string& details)
{
    return {details, line, "(medium)", 'b'};
}
Row Hard(int line, const std::string& details)
{
    return {details, line, "(hard)", 'c'};
}

// A skill row's line and texts, the same at every level.
struct SkillText {
    int line;
    std::string lead;
    std::string tail;
};

std::vector<Row> AtLevel(const std::vector<SkillText>& texts, Row (*level)(int, const std::string&))
{
    std::vector<Row> rows;
    for (const SkillText& text : texts) {
        Row row = level(text.line, {});
        row.details = text.lead + row.key + text.tail;
        rows.push_back(row);
    }
    return rows;
}

// clang-format off

const std::vector<SkillText> CreditAwardTexts = {
    {58, "Credits per unit car damage for ",      " skill level (with peds)"},
    {60, "Credits awarded for wasting car for ",  " skill level (with peds)"},
    {62, "Credits awarded for rolling car for ",  " skill level (with peds)"},
    {63, "Credits awarded for checkpoints for ",  " skill level (with peds)"},
    {67, "Cunning stunt bonus for ",              " skill level"},
    {66, "Credits per second of time bonus for ", " skill level"},
};

const std::vector<SkillText> TimeAwardTexts = {
    {59, "Time awarded for wasting car for ",     " skill level (with peds)"},
    {61, "Time awarded for rolling car for ",     " skill level (with peds)"},
    {57, "Time awarded per unit car damage for ", " skill level (with peds)"},
};

const std::vector<SkillText> MoneyTexts = {
    {133, "Starting money for ", " skill level"},
    {136, "Repair cost for ",    " skill level (cred per % damage)"},
    {139, "Recovery cost for ",  " skill level"},
};

const std::vector<SkillText> DifficultyTexts = {
    {90,  "Initial ARMOUR ",                                                                 ""},
    {92,  "Initial POWER ",                                                                  ""},
    {94,  "Initial OFFENSIVE ",                                                              ""},
    {97,  "Initial potential ARMOUR ",                                                       ""},
    {99,  "Initial potential POWER ",                                                        ""},
    {101, "Initial potential OFFENSIVE ",                                                    ""},
    {104, "Max ARMOUR ",                                                                     ""},
    {106, "Max POWER ",                                                                      ""},
    {108, "Max OFFENSIVE ",                                                                  ""},
    {111, "APO cost (on the fly slot purchase; during race) ",                               ""},
    {114, "Trade-in APO value (not sure when this is used) ",                                ""},
    {117, "APO substitution value (when slots are full & APO is picked up) ",                ""},
    {120, "APO potential substitution value (when slots are full & APO sub is picked up) ", ""},
};

// clang-format on

struct SectionCase {
    const char* name;
    const TabUnderTest* tab;
    int index;
    std::vector<Row> rows;
};

void PrintTo(const SectionCase& section, std::ostream* out)
{
    *out << section.tab->name << " item " << section.index;
}

std::vector<SectionCase> SectionCases()
{
    // clang-format off
    return {
        {"Bending", &CarSettings, 1, {
            Single(47, "gMin_bend_force (minimum force required to bend car)"),
            Single(48, "gChance_of_bending (minimum force must be met first; speed/min force relative)"),
            Single(49, "gMin_bend_angle (bend direction is impact location dependant)"),
            Single(50, "gMin_bend_damage (minimum mechanical damage taken during bend)"),
            Single(51, "gMax_bend_damage (maximum mechanical damage taken during bend)"),
        }},
        {"Buckling", &CarSettings, 2, {
            Single(32, "gChance_of_inverse_buckle (no noticable effect)"),
        }},
        {"Crushing", &CarSettings, 3, {
            Single(17, "gDistortion_factor (car body mangle [physical damage]; speed dependant)"),
            Single(18, "gMin_crush_force (min car mechanical [not physical] damage; per speed unit)"),
            Single(19, "gMax_crush_force (max car mechanical [not physical] damage; per speed unit)"),
            Single(20, "gForce_to_movement_factor (amount of damage on impact; speed dependant)"),
            Single(21, "gMax_crush_dist_sq (amount of crush per impact; ever driven a tissue box?)"),
        }},
        {"Detaching", &CarSettings, 4, {
            Single(42, "gMax_detach_time_ms (maximum time loose panels stay attached; in milliseconds)"),
            Single(43, "gNormal_force_to_detach (force require to knock off a loose panel)"),
        }},
        {"FlappingAndJointSnapping", &CarSettings, 5, {
            Single(36, "gFlap_inertia_fudge_biscuit (effect flapping object has on car dynamics)"),
            Note("   eg. open doors while flying"),
            Single(37, "gBatty_gravity (horizontal/gravity effect on objects not in area of impact?)"),
            Note("   eg. left of car when front right hits corner of wall"),
            Single(38, "gTorque_to_snap_per_tonne (force required to detach flapping object)"),
            Note("   eg. 0 - doors fall off when opened"),
        }},
        {"Splitting", &CarSettings, 6, {
            Single(25, "gMin_force_to_split_XZ_per_tonne (min force to split a car's length or width)"),
            Note("   eg. a front piece and a back piece or a left piece and a right piece"),
            Single(26, "gMin_force_to_split_Y_per_tonne (min force to split a car's height)"),
            Note("   eg. a top piece and a bottom piece"),
            Single(27, "gMin_split_damage (minimum mechanical split damage; + impact damage)"),
            Single(28, "gMax_split_damage (maximum mechanical split damage; + impact damage)"),
        }},
        {"MineAndMortar", &CarSettings, 8, {
            Single(192, "Mine / Mortar Weight"),
        }},
        {"MutantTailThing", &CarSettings, 9, {
            Single(186, "Number of Links (including ball)"),
            Single(187, "Mass of each Link"),
            Single(188, "Mass of Ball"),
        }},

        {"GeneralStuffTechnical", &Pedestrians, 0, {
            Single(4,  "Max distance from camera that peds are processed within"),
            Single(5,  "Max distance from camera that peds can suddenly pop up at"),
            Single(12, "Bouyancy factor"),
            Single(17, "HP damage required per severing"),
            Single(18, "% chance of severing occuring"),
            Single(19, "Maximum survivable initial impact force"),
            Single(20, "HP damage per unit force"),
        }},
        {"GeneralStuffRace", &Pedestrians, 1, {
            Easy  (14, "Points (credits) earned per ped (easy)"),
            Medium(14, "Points (credits) earned per ped (medium)"),
            Hard  (14, "Points (credits) earned per ped (hard)"),
            Easy  (15, "Time (seconds) scored per ped (easy)"),
            Medium(15, "Time (seconds) scored per ped (medium)"),
            Hard  (15, "Time (seconds) scored per ped (hard)"),
        }},
        {"StumpGiblets", &Pedestrians, 2, {
            Single(194, "Number of spurty lumps at a time"),
            Single(195, "Spurting period (euurrgghhh!!)"),
            Single(196, "Total number of parts spurted out by dismembered part"),
        }},
        {"PedestrianMovement", &Pedestrians, 3, {
            Single(273, "Min time between random turns (in seconds)"),
            Single(274, "Max time between random turns (in seconds)"),
            Single(275, "Max angle of random turn (in degrees)"),
            Single(276, "Min walk speed multiplier"),
            Single(277, "Max walk speed multiplier"),
            Single(7,   "Max slope that peds will walk on (in degrees)"),
            Single(9,   "Nearest distance to objects that peds should ideally reach"),
            Single(10,  "Distance from which turning to avoid obstacles is a possibility"),
        }},

        {"CreditAwardsEasy",    &Miscellaneous, 1,  AtLevel(CreditAwardTexts, Easy)},
        {"TimeAwardsEasy",      &Miscellaneous, 2,  AtLevel(TimeAwardTexts, Easy)},
        {"OtherSettingsEasy",   &Miscellaneous, 3,  AtLevel(MoneyTexts, Easy)},
        {"CreditAwardsMedium",  &Miscellaneous, 5,  AtLevel(CreditAwardTexts, Medium)},
        {"TimeAwardsMedium",    &Miscellaneous, 6,  AtLevel(TimeAwardTexts, Medium)},
        {"OtherSettingsMedium", &Miscellaneous, 7,  AtLevel(MoneyTexts, Medium)},
        {"CreditAwardsHard",    &Miscellaneous, 9,  AtLevel(CreditAwardTexts, Hard)},
        {"TimeAwardsHard",      &Miscellaneous, 10, AtLevel(TimeAwardTexts, Hard)},
        {"OtherSettingsHard",   &Miscellaneous, 11, AtLevel(MoneyTexts, Hard)},
        {"MoreSettings", &Miscellaneous, 13, {
            Single(73,  "Min time in secs after last contact with play before opponent considers repairing"),
            Single(74,  "Max time in secs after last contact with play before opponent considers repairing"),
            Single(151, "Pickup respawn min time (seconds)"),
            Single(152, "Pickup respawn max extra time (seconds)"),
            Single(166, "Default gravity multiplier"),
        }},
        {"UnderwaterSettings", &Miscellaneous, 14, {
            Single(78, "Gravity multiplier (when underwater; no noticable effect)"),
            Single(79, "Viscosity multiplier (water thickness; slows car down; no noticable effect)"),
            Single(80, "Car damage per millisecond (no noticable effect)"),
            Single(81, "Pedestrian damage per millisecond (no noticable effect)"),
            Single(82, "Camera effect index (no noticable effect)"),
            Single(83, "Sky colour (no noticable effect)"),
            Single(85, "Sound ID of entry noise (no noticable effect)"),
            Single(86, "Sound ID of exit noise (no noticable effect)"),
            Single(87, "Engine noise index (no noticable effect)"),
            Single(88, "Material index (no noticable effect)"),
            Note("* Underwater Settings make no noticable change in the game."),
        }},

        {"EasyDifficulty",   &APO, 0, AtLevel(DifficultyTexts, Easy)},
        {"MediumDifficulty", &APO, 1, AtLevel(DifficultyTexts, Medium)},
        {"HardDifficulty",   &APO, 2, AtLevel(DifficultyTexts, Hard)},
        {"OtherSettings", &APO, 3, {
            Single(123, "Armour starting value (car hardness; not number of APO slots)"),
            Single(124, "Power starting value (car acceleration/top speed; not number of APO slots)"),
            Single(125, "Offensive starting value (damage caused; not number of APO slots)"),
            Single(126, "Armour per-level multiplier (armour is [armour slots * this number])"),
            Single(127, "Power per-level multiplier (power is [power slots * this number])"),
            Single(128, "Offensive per-level multiplier (offense is [offensive slots * this number])"),
        }},
    };
    // clang-format on
}

GridRows ExpectedGrid(const std::vector<Row>& rows)
{
    GridRows grid;
    for (const Row& row : rows)
        grid.emplace_back(row.details, row.line < 0 ? "" : Field(row.line, row.field));
    return grid;
}

void ExpectRowTableEmpty(const Window& window)
{
    for (int n = 1; n <= RowTableSize; ++n) {
        EXPECT_EQ(window.rowKeys(n), "") << "entry " << n;
        EXPECT_EQ(window.rowLines(n), 0) << "entry " << n;
    }
}

// The grid, the row table and the chooser after showing `section`.
void ExpectSectionShown(const Window& window, const SectionCase& section)
{
    const AppState& state = window.state;
    EXPECT_EQ(window.grid.rows, ExpectedGrid(section.rows));

    // Entry n belongs to grid row n; note rows and the entries past the section stay empty.
    std::array<std::string, RowTableSize + 1> keys;
    std::array<int, RowTableSize + 1> lines{};
    for (size_t n = 1; n <= section.rows.size(); ++n) {
        const Row& row = section.rows[n - 1];
        if (row.line < 0)
            continue;
        keys[n] = row.key;
        lines[n] = row.line;
    }
    for (int n = 1; n <= RowTableSize; ++n) {
        EXPECT_EQ(window.rowKeys(n), keys[static_cast<size_t>(n)]) << "entry " << n;
        EXPECT_EQ(window.rowLines(n), lines[static_cast<size_t>(n)]) << "entry " << n;
    }

    EXPECT_TRUE(window.messages.shown.empty());
    EXPECT_EQ(window.chooser.index, section.index);
    EXPECT_EQ(window.chooser.text, PickedText);
    EXPECT_EQ(state.ShownTab, static_cast<int>(section.tab->tab));
}

class SectionRows : public testing::TestWithParam<SectionCase> {};

TEST_P(SectionRows, AreShownWithTheirEntries)
{
    Window window;
    window.choose(*GetParam().tab, GetParam().index);
    ExpectSectionShown(window, GetParam());
}

TEST_P(SectionRows, AreShownOnceWhenChosenTwice)
{
    Window window;
    window.choose(*GetParam().tab, GetParam().index);
    window.choose(*GetParam().tab, GetParam().index);
    ExpectSectionShown(window, GetParam());
}

TEST_P(SectionRows, ReplaceLeftoversOfAnyEarlierChoice)
{
    Window window;
    window.fillWithLeftovers();
    window.choose(*GetParam().tab, GetParam().index);
    ExpectSectionShown(window, GetParam());
}

// Every section of the catalogue fits the row table, one entry a grid row.
TEST(CatalogueSections, FitTheRowTable)
{
    for (Tab tab : AllTabs)
        for (const ChooserItem& item : CatalogueOf(tab).items)
            if (item.section) {
                EXPECT_LE(item.section->size(), static_cast<size_t>(RowTableSize)) << item.text;
            }
}

INSTANTIATE_TEST_SUITE_P(AllTabs, SectionRows, testing::ValuesIn(SectionCases()),
                         [](const testing::TestParamInfo<SectionCase>& info) {
                             return std::string(info.param.tab->name) + "_" + info.param.name;
                         });

// Spelled out whole, so that a blank lost between lead, tag and tail shows.
struct ShownText {
    const TabUnderTest* tab;
    int index;
    size_t row;
    std::string details;
};

TEST(SkillRowDetails, JoinLeadTextTagAndTailText)
{
    // clang-format off
    const std::vector<ShownText> cases = {
        {&Pedestrians,   1,  1,  "Points (credits) earned per ped (easy)"},
        {&Pedestrians,   1,  6,  "Time (seconds) scored per ped (hard)"},
        {&Miscellaneous, 1,  1,  "Credits per unit car damage for (easy) skill level (with peds)"},
        {&Miscellaneous, 5,  6,  "Credits per second of time bonus for (medium) skill level"},
        {&Miscellaneous, 9,  5,  "Cunning stunt bonus for (hard) skill level"},
        {&Miscellaneous, 10, 3,  "Time awarded per unit car damage for (hard) skill level (with peds)"},
        {&Miscellaneous, 7,  2,  "Repair cost for (medium) skill level (cred per % damage)"},
        {&APO,           0,  1,  "Initial ARMOUR (easy)"},
        {&APO,           1,  13, "APO potential substitution value (when slots are full & APO sub is picked up) (medium)"},
        {&APO,           2,  10, "APO cost (on the fly slot purchase; during race) (hard)"},
    };
    // clang-format on
    for (const ShownText& text : cases) {
        SCOPED_TRACE(std::string(text.tab->name) + " item " + std::to_string(text.index));
        Window window;
        window.choose(*text.tab, text.index);
        ASSERT_GE(window.grid.rows.size(), text.row);
        EXPECT_EQ(window.grid.rows[text.row - 1].first, text.details);
    }
}

// A line with fewer fields than a row needs shows an empty value for the missing ones.
struct ShortLine {
    const TabUnderTest* tab;
    int index;
    int line;
    std::string text;
    size_t row;
    std::string value; // shown in the grid
};

TEST(ShortLines, ShowEmptyValuesForMissingFields)
{
    // clang-format off
    const std::vector<ShortLine> cases = {
        {&Pedestrians,   1, 15,  "42\t\t// one value", 4,  "42"},
        {&Pedestrians,   1, 15,  "42\t\t// one value", 5,  ""},
        {&Pedestrians,   1, 15,  "42\t\t// one value", 6,  ""},
        {&Miscellaneous, 1, 58,  "7",                  1,  "7"},
        {&Miscellaneous, 5, 58,  "7",                  1,  ""},
        {&Miscellaneous, 9, 58,  "7",                  1,  ""},
        {&APO,           1, 120, "5,6\t// two values", 13, "6"},
        {&APO,           2, 120, "5,6\t// two values", 13, ""},
        {&APO,           3, 124, "",                   2,  ""},
        {&CarSettings,   2, 32,  "\t// nothing",       1,  ""},
    };
    // clang-format on
    for (const ShortLine& c : cases) {
        SCOPED_TRACE(std::string(c.tab->name) + " item " + std::to_string(c.index) + " row " +
                     std::to_string(c.row));
        Window window;
        window.state.document(c.tab->tab).setLine(c.line, c.text);
        window.choose(*c.tab, c.index);
        ASSERT_GE(window.grid.rows.size(), c.row);
        EXPECT_EQ(window.grid.rows[c.row - 1].second, c.value);
        EXPECT_EQ(window.rowLines(c.row), c.line);
        EXPECT_TRUE(window.messages.shown.empty());
    }
}

// A heading item shows one blank row and no section.
struct HeadingCase {
    const TabUnderTest* tab;
    int index;
    int sectionBefore; // an item of the same tab shown first
};

void PrintTo(const HeadingCase& c, std::ostream* out)
{
    *out << c.tab->name << " item " << c.index;
}

class Headings : public testing::TestWithParam<HeadingCase> {};

TEST_P(Headings, ShowOneBlankRowAndEmptyTheRowTable)
{
    const HeadingCase& heading = GetParam();
    Window window;
    window.choose(*heading.tab, heading.sectionBefore);
    ASSERT_GT(window.grid.rows.size(), 1u);
    ASSERT_EQ(window.state.ShownTab, static_cast<int>(heading.tab->tab));

    window.choose(*heading.tab, heading.index);

    EXPECT_EQ(window.grid.rows, BlankRow);
    ExpectRowTableEmpty(window);
    EXPECT_TRUE(window.messages.shown.empty());
    EXPECT_EQ(window.chooser.index, heading.index);
    EXPECT_EQ(window.chooser.text, PickedText);
    EXPECT_EQ(window.state.ShownTab, -1);
}

INSTANTIATE_TEST_SUITE_P(
    AllTabs, Headings,
    testing::Values(HeadingCase{&CarSettings, 0, 5}, HeadingCase{&CarSettings, 7, 6},
                    HeadingCase{&Miscellaneous, 0, 14}, HeadingCase{&Miscellaneous, 4, 1},
                    HeadingCase{&Miscellaneous, 8, 13}, HeadingCase{&Miscellaneous, 12, 11}),
    [](const testing::TestParamInfo<HeadingCase>& info) {
        return std::string(info.param.tab->name) + "_" + std::to_string(info.param.index);
    });

// An index with no section: the tab's own message, then a blank row or nothing.
struct UnlistedCase {
    const TabUnderTest* tab;
    int index;
    const char* message;
    GridRows rows;
};

void PrintTo(const UnlistedCase& c, std::ostream* out)
{
    *out << c.tab->name << " item " << c.index;
}

class UnlistedItems : public testing::TestWithParam<UnlistedCase> {};

TEST_P(UnlistedItems, ShowTheTabsMessageAndNoSection)
{
    const UnlistedCase& unlisted = GetParam();
    Window window;
    window.choose(APO, 2); // thirteen rows and entries to get rid of

    window.choose(*unlisted.tab, unlisted.index);

    EXPECT_EQ(Shown(window.messages), (ShownMessages{{FakeMessages::Plain, unlisted.message}}));
    EXPECT_EQ(window.grid.rows, unlisted.rows);
    ExpectRowTableEmpty(window);
    EXPECT_EQ(window.chooser.index, unlisted.index);
    EXPECT_EQ(window.chooser.text, PickedText);
    EXPECT_EQ(window.state.ShownTab, -1);
}

INSTANTIATE_TEST_SUITE_P(
    AllTabs, UnlistedItems,
    testing::Values(UnlistedCase{&CarSettings, 10, "Oops, don't do that again.", {}},
                    UnlistedCase{&CarSettings, -1, "Oops, don't do that again.", {}},
                    UnlistedCase{&Pedestrians, -1, "Oops", {}},
                    UnlistedCase{&Pedestrians, 4, "Oops", {}},
                    UnlistedCase{&Miscellaneous, 15, "Need to add item: 15", BlankRow},
                    UnlistedCase{&Miscellaneous, -1, "Need to add item: -1", BlankRow},
                    UnlistedCase{&APO, 4, "Need to add item: 4", BlankRow},
                    UnlistedCase{&APO, -1, "Need to add item: -1", BlankRow}),
    [](const testing::TestParamInfo<UnlistedCase>& info) {
        const int index = info.param.index;
        return std::string(info.param.tab->name) + "_" +
               (index < 0 ? "None" : std::to_string(index));
    });

TEST(UnlistedItems, DoNotStopTheNextSectionFromShowing)
{
    Window window;
    window.choose(CarSettings, 10);
    ASSERT_TRUE(window.grid.rows.empty());
    window.messages.shown.clear();

    window.choose(CarSettings, 8);

    EXPECT_EQ(window.grid.rows, (GridRows{{"Mine / Mortar Weight", "L192a"}}));
    EXPECT_EQ(window.rowKeys(1), "Mine / Mortar Weight");
    EXPECT_EQ(window.rowLines(1), 192);
    EXPECT_TRUE(window.messages.shown.empty());
}

// A buffer of any other size than its game file refuses every item of its tab.
struct GuardCase {
    const TabUnderTest* tab;
    int lineCount;
};

void PrintTo(const GuardCase& c, std::ostream* out)
{
    *out << c.tab->name << " with " << c.lineCount << " lines";
}

class WrongSizedBuffers : public testing::TestWithParam<GuardCase> {};

TEST_P(WrongSizedBuffers, RefuseEveryItemAndResetTheChooser)
{
    const GuardCase& guard = GetParam();
    const int itemCount = static_cast<int>(guard.tab->catalogue().items.size());
    for (int index = -1; index <= itemCount; ++index) {
        SCOPED_TRACE("item " + std::to_string(index));
        Window window;
        window.state.document(guard.tab->tab).assign(NumberedBuffer(guard.lineCount).lines());
        window.fillWithLeftovers();

        window.choose(*guard.tab, index);

        EXPECT_EQ(Shown(window.messages), (ShownMessages{{FakeMessages::Error, NotLoaded}}));
        EXPECT_EQ(window.chooser.index, -1);
        EXPECT_EQ(window.chooser.text, "Choose Setting");
        // What was shown is emptied down to its bottom row, which stays.
        EXPECT_EQ(window.grid.rows, (GridRows{{"old row 13", "13"}}));
        ExpectRowTableEmpty(window);
        EXPECT_EQ(window.state.ShownTab, -1);
    }
}

TEST_P(WrongSizedBuffers, LeaveAnEmptyGridEmpty)
{
    const GuardCase& guard = GetParam();
    Window window;
    window.state.document(guard.tab->tab).assign(NumberedBuffer(guard.lineCount).lines());

    window.choose(*guard.tab, 1);

    EXPECT_TRUE(window.grid.rows.empty());
    EXPECT_EQ(Shown(window.messages), (ShownMessages{{FakeMessages::Error, NotLoaded}}));
}

INSTANTIATE_TEST_SUITE_P(AllTabs, WrongSizedBuffers,
                         testing::Values(GuardCase{&CarSettings, 409}, GuardCase{&CarSettings, 411},
                                         GuardCase{&CarSettings, 0}, GuardCase{&CarSettings, 965},
                                         GuardCase{&Pedestrians, 409}, GuardCase{&Pedestrians, 411},
                                         GuardCase{&Pedestrians, 964}, GuardCase{&Pedestrians, 966},
                                         GuardCase{&Pedestrians, 0}, GuardCase{&Miscellaneous, 409},
                                         GuardCase{&Miscellaneous, 411},
                                         GuardCase{&Miscellaneous, 0},
                                         GuardCase{&Miscellaneous, 965}, GuardCase{&APO, 409},
                                         GuardCase{&APO, 411}, GuardCase{&APO, 0},
                                         GuardCase{&APO, 965}),
                         [](const testing::TestParamInfo<GuardCase>& info) {
                             return std::string(info.param.tab->name) + "_" +
                                    std::to_string(info.param.lineCount) + "Lines";
                         });

// Each tab checks the document of its own file, whatever the other holds.
TEST(WrongSizedBuffers, OnAnotherTabDoNotStopASection)
{
    const TabUnderTest* tabs[] = {&CarSettings, &Pedestrians, &Miscellaneous, &APO};
    const int sectionItem[] = {1, 0, 1, 0};
    for (int shown = 0; shown < TabCount; ++shown) {
        SCOPED_TRACE(tabs[shown]->name);
        Window window;
        const bool general = FileOf(tabs[shown]->tab) == TuningFile::General;
        window.state.document(general ? TuningFile::Settings : TuningFile::General)
            .assign(NumberedBuffer(409).lines());

        window.choose(*tabs[shown], sectionItem[shown]);

        EXPECT_TRUE(window.messages.shown.empty());
        EXPECT_GT(window.grid.rows.size(), 1u);
        EXPECT_EQ(window.state.ShownTab, static_cast<int>(tabs[shown]->tab));
    }
}

// The chooser lists, typed out.
struct ListedItem {
    std::string text;
    ItemKind kind;
};

struct ChooserCase {
    const TabUnderTest* tab;
    std::string caption;
    int dropDownCount;
    std::vector<ListedItem> items;
};

void PrintTo(const ChooserCase& c, std::ostream* out)
{
    *out << c.tab->name;
}

class ChooserLists : public testing::TestWithParam<ChooserCase> {};

TEST_P(ChooserLists, HoldTheItemsOfTheTab)
{
    const ChooserCase& expected = GetParam();
    const TabCatalogue& catalogue = expected.tab->catalogue();
    EXPECT_EQ(catalogue.tab, expected.tab->tab);
    EXPECT_EQ(&CatalogueOf(expected.tab->tab), &catalogue);
    EXPECT_EQ(catalogue.caption, expected.caption);
    EXPECT_EQ(catalogue.dropDownCount, expected.dropDownCount);
    ASSERT_EQ(catalogue.items.size(), expected.items.size());
    for (size_t i = 0; i < expected.items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        const ChooserItem& item = catalogue.items[i];
        EXPECT_EQ(item.text, expected.items[i].text);
        EXPECT_EQ(item.kind, expected.items[i].kind);
        EXPECT_EQ(item.section != nullptr, expected.items[i].kind == ItemKind::Section);
    }
}

constexpr ItemKind HeadingItem = ItemKind::Heading;
constexpr ItemKind SectionItem = ItemKind::Section;

INSTANTIATE_TEST_SUITE_P(AllTabs, ChooserLists,
                         testing::Values(ChooserCase{&CarSettings,
                                                     "Car Settings",
                                                     15,
                                                     {{"  - Impact Data - - -", HeadingItem},
                                                      {"Bending", SectionItem},
                                                      {"Buckling", SectionItem},
                                                      {"Crushing", SectionItem},
                                                      {"Detaching", SectionItem},
                                                      {"Flapping & Joint Snapping", SectionItem},
                                                      {"Splitting", SectionItem},
                                                      {"  - Weapons - - -", HeadingItem},
                                                      {"Mine & Mortar  ", SectionItem},
                                                      {"Mutant Tail Thing", SectionItem},
                                                      {"", ItemKind::Unlisted}}},
                                         ChooserCase{&Pedestrians,
                                                     "Pedestrians",
                                                     15,
                                                     {{"General Stuff - Technical", SectionItem},
                                                      {"General Stuff - Race", SectionItem},
                                                      {"Stump Giblets", SectionItem},
                                                      {"Pedestrian Movement", SectionItem}}},
                                         ChooserCase{&Miscellaneous,
                                                     "Miscellaneous",
                                                     8,
                                                     {{" - Easy Difficulty - - -", HeadingItem},
                                                      {"Credit Awards", SectionItem},
                                                      {"Time Awards", SectionItem},
                                                      {"Other Settings", SectionItem},
                                                      {" - Medium Difficulty - - -", HeadingItem},
                                                      {"Credit Awards", SectionItem},
                                                      {"Time Awards", SectionItem},
                                                      {"Other Settings", SectionItem},
                                                      {" - Hard Difficulty - - -", HeadingItem},
                                                      {"Credit Awards", SectionItem},
                                                      {"Time Awards", SectionItem},
                                                      {"Other Settings", SectionItem},
                                                      {" - Other Settings - - -", HeadingItem},
                                                      {"More Settings", SectionItem},
                                                      {"Underwater Settings*", SectionItem}}},
                                         ChooserCase{&APO,
                                                     "APO",
                                                     8,
                                                     {{"Easy Difficulty", SectionItem},
                                                      {"Medium Difficulty", SectionItem},
                                                      {"Hard Difficulty", SectionItem},
                                                      {"Other Settings", SectionItem}}}),
                         [](const testing::TestParamInfo<ChooserCase>& info) {
                             return info.param.tab->name;
                         });

} // namespace
