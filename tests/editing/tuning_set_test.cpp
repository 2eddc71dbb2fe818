// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue/catalogue.h"
#include "documents/text_buffer.h"
#include "editing/changes.h"
#include "editing/tuning_set.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Every setting row of every section, with its Details text.
std::vector<ChangedSetting> EverySetting()
{
    std::vector<ChangedSetting> settings;
    ForEachSectionRow(
        [&](const SettingPlace& place, const ChooserItem& item, const SectionRow& row) {
            if (row.kind != RowKind::Note)
                settings.push_back({place, DetailsText(row, item), {}, {}});
        });
    return settings;
}

std::vector<TuningEntry> Read(const std::string& text)
{
    return ReadTuningSet(SplitLines(text));
}

// Every setting the catalogue shows is written and read back as itself, whatever bytes its
// value holds: the keys are unique and no value byte is lost.
TEST(TuningSet, EverySettingRoundTripsWithItsValueByteForByte)
{
    const Lines values = {"250", "", "-9800", "1,2", " 0.5 ", "\xE9\xFF\x01", "x\r", "#1"};
    std::vector<ChangedSetting> settings = EverySetting();
    ASSERT_GT(settings.size(), 140u);
    for (size_t i = 0; i < settings.size(); ++i)
        settings[i].current = values[i % values.size()];

    const std::vector<TuningEntry> entries = Read(WriteTuningSet(settings));

    ASSERT_EQ(entries.size(), settings.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(settings[i].details);
        EXPECT_EQ(entries[i].place.tab, settings[i].place.tab);
        EXPECT_EQ(entries[i].place.item, settings[i].place.item);
        EXPECT_EQ(entries[i].place.row, settings[i].place.row);
        EXPECT_EQ(entries[i].value, settings[i].current);
        EXPECT_EQ(entries[i].line, static_cast<int>(i + 3)); // after the header and a comment
    }
}

// What a player may do by hand to a written set.
TEST(TuningSet, ReadsWhatAnEditorMakesOfASet)
{
    const std::vector<TuningEntry> entries =
        Read("\xEF\xBB\xBFTunedeck tuning set 1\n"
             "\n"
             "# my tuning\r\n"
             "car settings\tbending\tGMIN_BEND_FORCE (minimum force required to bend car)\t1\n"
             "APO\tHard Difficulty\tInitial ARMOUR (hard)\t7\n"
             "Car Settings\tMine & Mortar\tmine / mortar weight\t2\n"
             "CAR SETTINGS\tFLAPPING & JOINT SNAPPING\tGBATTY_GRAVITY (HORIZONTAL/GRAVITY "
             "EFFECT ON OBJECTS NOT IN AREA OF IMPACT?)\t3");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].place.tab, Tab::CarSettings);
    EXPECT_EQ(entries[0].place.item, 1);
    EXPECT_EQ(entries[0].place.row, 1);
    EXPECT_EQ(entries[0].line, 4);
    EXPECT_EQ(entries[1].place.tab, Tab::APO);
    EXPECT_EQ(entries[1].place.item, 2);
    EXPECT_EQ(entries[2].place.item, 8) << "the item text without its trailing blanks";
    EXPECT_EQ(entries[2].value, "2");
    EXPECT_EQ(entries[3].place.item, 5) << "every capital folded, Z too";
    EXPECT_EQ(entries[3].place.row, 3);
}

struct Refusal {
    const char* name;
    std::string text;
    int line;
    std::string reason;
};

void PrintTo(const Refusal& refusal, std::ostream* os)
{
    *os << refusal.name;
}

class TuningSetRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(TuningSetRefusal, NamesTheLine)
{
    const Refusal& refusal = GetParam();
    try {
        Read(refusal.text);
        FAIL() << "read";
    } catch (const TuningSetError& error) {
        EXPECT_EQ(error.line(), refusal.line);
        EXPECT_EQ(error.what(), refusal.reason);
    }
}

const std::string Header = "Tunedeck tuning set 1\n";
const std::string Bending = "Car Settings\tBending\t";
const std::string MinBendForce = "gMin_bend_force (minimum force required to bend car)";

INSTANTIATE_TEST_SUITE_P(
    , TuningSetRefusal,
    ::testing::Values(
        Refusal{"Empty", "", 1,
                "not a tuning set: the first line must read \"Tunedeck tuning set 1\""},
        Refusal{"NoHeader", Bending + MinBendForce + "\t1\n", 1,
                "not a tuning set: the first line must read \"Tunedeck tuning set 1\""},
        Refusal{"LaterVersion", "Tunedeck tuning set 2\n", 1,
                "version 2 of the tuning-set format is not known; this is version 1"},
        Refusal{"ThreeFields", Header + "# ok\n" + Bending + MinBendForce + "\n", 3,
                "neither a comment nor an entry (tab, item, Details and value, separated by "
                "TABs)"},
        Refusal{"FiveFields", Header + Bending + MinBendForce + "\t1\t2\n", 2,
                "neither a comment nor an entry (tab, item, Details and value, separated by "
                "TABs)"},
        Refusal{"CommentNotAtTheStart", Header + " # indented\n", 2,
                "neither a comment nor an entry (tab, item, Details and value, separated by "
                "TABs)"},
        Refusal{"UnknownTab", Header + "Cars\tBending\t" + MinBendForce + "\t1\n", 2,
                "no tab \"Cars\"; the tabs are Car Settings, Pedestrians, Miscellaneous and "
                "APO"},
        Refusal{"ItemOfAnotherTab", Header + "APO\tBending\t" + MinBendForce + "\t1\n", 2,
                "no setting \"" + MinBendForce + "\" under item \"Bending\" of tab APO"},
        Refusal{"HeadingItem", Header + "Car Settings\t  - Impact Data - - -\t\t1\n", 2,
                "no setting \"\" under item \"  - Impact Data - - -\" of tab Car Settings"},
        Refusal{"RowOfAnotherItem", Header + "Car Settings\tBuckling\t" + MinBendForce + "\t1\n", 2,
                "no setting \"" + MinBendForce + "\" under item \"Buckling\" of tab Car Settings"},
        Refusal{"ANoteIsNoSetting",
                Header + "Car Settings\tSplitting\t   eg. a top piece and a bottom piece\t1\n", 2,
                "no setting \"   eg. a top piece and a bottom piece\" under item \"Splitting\" of "
                "tab Car Settings"},
        Refusal{"BadLineAfterGoodOnes",
                Header + Bending + MinBendForce + "\t1\n" + Bending + MinBendForce + "\t2\nx\n", 4,
                "neither a comment nor an entry (tab, item, Details and value, separated by "
                "TABs)"}),
    [](const auto& info) { return std::string(info.param.name); });

// A single value reaches every copy of its file, not only the tab's own, so whichever tab
// saves writes the whole set; what the grid shows stays as it was; twice is once; a refusal
// takes back what the set had written.
TEST(TuningSet, ApplyWritesEveryCopyOfTheFileAndLeavesTheRowTable)
{
    AppState state;
    for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
        state.document(tab).assign(NumberedLines(410));
    state.GeneralText.setLine(5, "unsaved edit on the Miscellaneous tab");
    state.SettingsText.assign(NumberedLines(965));
    state.ShownTab = static_cast<int>(Tab::Pedestrians);
    const std::vector<TuningEntry> entries = Read(Header + Bending + MinBendForce + "\t-9800\n");
    ASSERT_TRUE(BuffersReadyFor(state, entries));
    EXPECT_EQ(FilesOf(entries), std::set<TuningFile>{TuningFile::General});

    ApplyTuningSet(state, entries);
    const AppState once = state;
    ApplyTuningSet(state, entries);

    for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO}) {
        EXPECT_EQ(state.document(tab).line(47), "-9800\t\t\t\t\t // " + MinBendForce);
        EXPECT_EQ(state.document(tab).lines(), once.document(tab).lines());
    }
    EXPECT_EQ(state.GeneralText.line(5), "unsaved edit on the Miscellaneous tab");
    EXPECT_EQ(state.SettingsText.lines(), NumberedLines(965));
    EXPECT_EQ(state.ShownTab, static_cast<int>(Tab::Pedestrians));

    // A refused entry after one that was written leaves every buffer as it was.
    const std::vector<TuningEntry> refused =
        Read(Header + Bending + MinBendForce + "\t1\n" + Bending + MinBendForce + "\t0,5\n");
    try {
        ApplyTuningSet(state, refused);
        ADD_FAILURE() << "a comma in a single value was written";
    } catch (const TuningSetError& error) {
        EXPECT_EQ(error.line(), 3);
    }
    for (Tab tab : AllTabs)
        EXPECT_EQ(state.document(tab).lines(), once.document(tab).lines());

    state.GeneralText.assign({});
    EXPECT_FALSE(BuffersReadyFor(state, entries));
}

// What a set changed is taken back and made again whole, even where two of its entries
// write one line.
TEST(TuningSet, ChangesAreTakenBackAndMadeAgain)
{
    AppState state;
    for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
        state.document(tab).assign(NumberedLines(410));
    const AppState before = state;
    const DocumentEdit changes =
        ApplyTuningSet(state, Read(Header + Bending + MinBendForce + "\t1\n" + Bending +
                                   MinBendForce + "\t2\n"))
            .changes;
    const AppState after = state;
    TakeBack(state, changes);
    for (Tab tab : AllTabs)
        EXPECT_EQ(state.document(tab).lines(), before.document(tab).lines());
    MakeAgain(state, changes);
    for (Tab tab : AllTabs)
        EXPECT_EQ(state.document(tab).lines(), after.document(tab).lines());
}

} // namespace
