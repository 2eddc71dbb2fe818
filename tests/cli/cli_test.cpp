// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/test_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <ostream>
#include <regex>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

using Result = ProgramResult;

// The lines of a file whose every line ends with CR LF, as the demo files do.
Lines CrLfLines(const std::string& bytes)
{
    Lines lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            throw std::runtime_error("a line without CR LF");
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Joined(const Lines& lines, const char* ending = "\r\n")
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + ending;
    return bytes;
}

Lines SampleLines(const char* relative)
{
    return CrLfLines(ReadBytes(SampleFile(QString::fromLatin1(relative))));
}

Lines GeneralSample()
{
    return SampleLines("game/data/General.txt");
}

Lines SettingsSample()
{
    return SampleLines("game/data/peds/Settings.txt");
}

Lines WithLines(Lines lines, const std::map<int, std::string>& replaced)
{
    for (const auto& [index, text] : replaced)
        lines.at(static_cast<size_t>(index)) = text;
    return lines;
}

int CountOf(const std::string& text, char c)
{
    return static_cast<int>(std::count(text.begin(), text.end(), c));
}

class CliTest : public ::testing::Test {
protected:
    WorkFolder work;

    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        work.writeIni("Tunedeck.ini", work.gameDir().toStdString());
    }

    Result run(const QStringList& arguments) const
    {
        QProcess process;
        process.setWorkingDirectory(work.path());
        process.start(QStringLiteral(TUNEDECK_CLI), arguments);
        return Finish(process);
    }

    // Runs a shell command line in the working folder, with $CLI naming the tool: the
    // way to hand the tool bytes that are no text in any encoding.
    Result runShell(const QString& commandLine) const
    {
        QProcess process;
        process.setWorkingDirectory(work.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CLI"), QStringLiteral(TUNEDECK_CLI));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine});
        return Finish(process);
    }

    std::string general() const { return ReadBytes(work.generalPath()); }
    std::string settings() const { return ReadBytes(work.settingsPath()); }
    std::string generalPath() const { return work.generalPath().toStdString(); }
    std::string settingsPath() const { return work.settingsPath().toStdString(); }

    // Fills both game files with distinct lines ("L<i>a,L<i>b,L<i>c", a TAB and a
    // comment), so a row that reads the wrong line or field shows it.
    void useNumberedFiles() const
    {
        WriteBytes(work.generalPath(), Joined(NumberedLines(410)));
        WriteBytes(work.settingsPath(), Joined(NumberedLines(965)));
    }
};

// ---------------------------------------------------------------------------------------
// show

struct ShowCase {
    const char* name;
    QStringList arguments;
    std::string rows;
};

void PrintTo(const ShowCase& c, std::ostream* os)
{
    *os << c.name;
}

class ShowSection : public CliTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowSection, PrintsTheGridRowsInGridOrder)
{
    useNumberedFiles();
    const Result result = run(QStringList{QStringLiteral("show")} + GetParam().arguments);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, GetParam().rows);
    EXPECT_EQ(result.err, "");
}

const std::string FlappingRows =
    "1\tgFlap_inertia_fudge_biscuit (effect flapping object has on car dynamics)\tL36a\n"
    "2\t   eg. open doors while flying\t\n"
    "3\tgBatty_gravity (horizontal/gravity effect on objects not in area of impact?)\tL37a\n"
    "4\t   eg. left of car when front right hits corner of wall\t\n"
    "5\tgTorque_to_snap_per_tonne (force required to detach flapping object)\tL38a\n"
    "6\t   eg. 0 - doors fall off when opened\t\n";

const std::string RaceRows = "1\tPoints (credits) earned per ped (easy)\tL14a\n"
                             "2\tPoints (credits) earned per ped (medium)\tL14b\n"
                             "3\tPoints (credits) earned per ped (hard)\tL14c\n"
                             "4\tTime (seconds) scored per ped (easy)\tL15a\n"
                             "5\tTime (seconds) scored per ped (medium)\tL15b\n"
                             "6\tTime (seconds) scored per ped (hard)\tL15c\n";

const std::string MediumCreditRows =
    "1\tCredits per unit car damage for (medium) skill level (with peds)\tL58b\n"
    "2\tCredits awarded for wasting car for (medium) skill level (with peds)\tL60b\n"
    "3\tCredits awarded for rolling car for (medium) skill level (with peds)\tL62b\n"
    "4\tCredits awarded for checkpoints for (medium) skill level (with peds)\tL63b\n"
    "5\tCunning stunt bonus for (medium) skill level\tL67b\n"
    "6\tCredits per second of time bonus for (medium) skill level\tL66b\n";

const std::string UnderwaterRows =
    "1\tGravity multiplier (when underwater; no noticable effect)\tL78a\n"
    "2\tViscosity multiplier (water thickness; slows car down; no noticable effect)\tL79a\n"
    "3\tCar damage per millisecond (no noticable effect)\tL80a\n"
    "4\tPedestrian damage per millisecond (no noticable effect)\tL81a\n"
    "5\tCamera effect index (no noticable effect)\tL82a\n"
    "6\tSky colour (no noticable effect)\tL83a\n"
    "7\tSound ID of entry noise (no noticable effect)\tL85a\n"
    "8\tSound ID of exit noise (no noticable effect)\tL86a\n"
    "9\tEngine noise index (no noticable effect)\tL87a\n"
    "10\tMaterial index (no noticable effect)\tL88a\n"
    "11\t* Underwater Settings make no noticable change in the game.\t\n";

const std::string HardAPORows =
    "1\tInitial ARMOUR (hard)\tL90c\n"
    "2\tInitial POWER (hard)\tL92c\n"
    "3\tInitial OFFENSIVE (hard)\tL94c\n"
    "4\tInitial potential ARMOUR (hard)\tL97c\n"
    "5\tInitial potential POWER (hard)\tL99c\n"
    "6\tInitial potential OFFENSIVE (hard)\tL101c\n"
    "7\tMax ARMOUR (hard)\tL104c\n"
    "8\tMax POWER (hard)\tL106c\n"
    "9\tMax OFFENSIVE (hard)\tL108c\n"
    "10\tAPO cost (on the fly slot purchase; during race) (hard)\tL111c\n"
    "11\tTrade-in APO value (not sure when this is used) (hard)\tL114c\n"
    "12\tAPO substitution value (when slots are full & APO is picked up) (hard)\tL117c\n"
    "13\tAPO potential substitution value (when slots are full & APO sub is picked up) "
    "(hard)\tL120c\n";

INSTANTIATE_TEST_SUITE_P(
    EachTab, ShowSection,
    ::testing::Values(
        ShowCase{"CarNotesBetweenSettings", {"car", "5"}, FlappingRows},
        ShowCase{"CarByItemText", {"car", "Flapping & Joint Snapping"}, FlappingRows},
        ShowCase{"CarSingleRow",
                 {"car", "2"},
                 "1\tgChance_of_inverse_buckle (no noticable effect)\tL32a\n"},
        ShowCase{"PedSkillRowsOfTwoLines", {"ped", "1"}, RaceRows},
        ShowCase{"PedByCaptionAndLooseText", {"PEDESTRIANS", "general stuff - race"}, RaceRows},
        ShowCase{"MiscMediumGroup", {"misc", "5"}, MediumCreditRows},
        ShowCase{"MiscNoteBelowTenRows", {"Miscellaneous", "Underwater Settings*"}, UnderwaterRows},
        ShowCase{"ApoHardDifficulty", {"apo", "Hard Difficulty"}, HardAPORows},
        ShowCase{"HeadingShowsOneBlankRow", {"car", "7"}, "1\t\t\n"},
        ShowCase{"MiscHeading", {"misc", "12"}, "1\t\t\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct UnlistedCase {
    const char* name;
    QStringList arguments;
    std::string message;
    std::string rows;
};

void PrintTo(const UnlistedCase& c, std::ostream* os)
{
    *os << c.name;
}

class ShowUnlisted : public CliTest, public ::testing::WithParamInterface<UnlistedCase> {};

TEST_P(ShowUnlisted, GivesTheTabsAnswerAndExitsOne)
{
    const Result result = run(QStringList{QStringLiteral("show")} + GetParam().arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tunedeck-cli: " + GetParam().message + "\n");
    EXPECT_EQ(result.out, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    EachTab, ShowUnlisted,
    ::testing::Values(
        UnlistedCase{"CarEmptyItem", {"car", "10"}, "Oops, don't do that again.", ""},
        UnlistedCase{"CarEmptyText", {"car", ""}, "Oops, don't do that again.", ""},
        UnlistedCase{"CarNoSelection", {"car", "--", "-1"}, "Oops, don't do that again.", ""},
        UnlistedCase{"PedPastTheList", {"ped", "4"}, "Oops", ""},
        UnlistedCase{"MiscPastTheList", {"misc", "15"}, "Need to add item: 15", "1\t\t\n"},
        UnlistedCase{"ApoNoSelection", {"apo", "--", "-1"}, "Need to add item: -1", "1\t\t\n"},
        UnlistedCase{
            "ApoLargeIndex", {"apo", "+2147483647"}, "Need to add item: 2147483647", "1\t\t\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, ShowPrintsTheBytesOfTheFile)
{
    const std::string value = "\xe9\xa0\x7f x";
    WriteBytes(work.generalPath(),
               Joined(WithLines(GeneralSample(), {{166, value + "\t// anything"}})));
    const Result result = run({"show", "misc", "More Settings"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("\n5\tDefault gravity multiplier\t" + value + "\n"),
              std::string::npos)
        << result.out;
}

TEST_F(CliTest, AmbiguousItemTextIsRefusedWithTheMatchingIndices)
{
    for (const auto& [text, indices] :
         std::vector<std::pair<QString, std::string>>{{"Credit Awards", "1, 5, 9"},
                                                      {"time awards", "2, 6, 10"},
                                                      {"Other Settings", "3, 7, 11"}}) {
        const Result result = run({"show", "misc", text});
        EXPECT_EQ(result.status, 2) << text.toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err.find(indices), std::string::npos) << result.err;
        EXPECT_EQ(CountOf(result.err, '\n'), 1) << result.err;
    }
    // The same text names one item on the APO tab.
    const Result apo = run({"show", "apo", "Other Settings"});
    EXPECT_EQ(apo.status, 0);
    EXPECT_EQ(CountOf(apo.out, '\n'), 6);
}

TEST_F(CliTest, UnknownTabOrItemIsBadUsage)
{
    for (const QStringList& arguments :
         {QStringList{"show", "cars", "1"}, QStringList{"show", "car", "Bend"},
          QStringList{"show", "car", "99999999999"}}) {
        const Result result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(CountOf(result.err, '\n'), 1) << result.err;
    }
}

// ---------------------------------------------------------------------------------------
// sections

TEST_F(CliTest, SectionsListsEveryChooserItem)
{
    const Result all = run({"sections"});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.err, "");
    EXPECT_EQ(CountOf(all.out, '\n'), 11 + 4 + 15 + 4);
    for (const char* line :
         {"car\t0\t  - Impact Data - - -\theading\n", "car\t8\tMine & Mortar  \tsection\n",
          "car\t10\t\tunlisted\n", "misc\t4\t - Medium Difficulty - - -\theading\n",
          "misc\t14\tUnderwater Settings*\tsection\n", "apo\t3\tOther Settings\tsection\n"})
        EXPECT_NE(all.out.find(line), std::string::npos) << line;

    const Result ped = run({"sections", "Pedestrians"});
    EXPECT_EQ(ped.status, 0);
    EXPECT_EQ(ped.out, "ped\t0\tGeneral Stuff - Technical\tsection\n"
                       "ped\t1\tGeneral Stuff - Race\tsection\n"
                       "ped\t2\tStump Giblets\tsection\n"
                       "ped\t3\tPedestrian Movement\tsection\n");
}

// ---------------------------------------------------------------------------------------
// set

TEST_F(CliTest, SetSkillRowRebuildsTheLineWithItsFixedComment)
{
    const Result result = run({"set", "misc", "5", "1", "250"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "File updated: " + generalPath() + "\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(general(),
              Joined(WithLines(GeneralSample(),
                               {{58, Written("12,250,7", "Credits per unit car damage for each "
                                                         "skill level (with peds)")}})));
    EXPECT_EQ(settings(), Joined(SettingsSample()));
}

TEST_F(CliTest, SetSkillRowOfSettingsTakesANegativeValueAfterDashes)
{
    const Result result = run({"set", "Pedestrians", "General Stuff - Race", "6", "--", "-3"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "File updated: " + settingsPath() + "\n");
    EXPECT_EQ(settings(),
              Joined(WithLines(SettingsSample(),
                               {{15, Written("6,4,-3", "Time (seconds) scored per ped (easy, "
                                                       "medium, hard)")}})));
    EXPECT_EQ(general(), Joined(GeneralSample()));
}

TEST_F(CliTest, SetSingleRowTakesTheDescriptionAsComment)
{
    const Result result = run({"set", "misc", "More Settings", "5", "1.5"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "File updated: " + generalPath() + "\n");
    EXPECT_EQ(general(), Joined(WithLines(GeneralSample(),
                                          {{166, Written("1.5", "Default gravity multiplier")}})));
}

TEST_F(CliTest, SetSavesAsTheSaveButtonDoes)
{
    // Line feeds only, and a first line that is not the fixed one: the save writes CR LF
    // after every line and the fixed first line.
    WriteBytes(work.generalPath(), Joined(WithLines(GeneralSample(), {{0, "edited"}}), "\n"));
    const Result result = run({"set", "car", "Bending", "1", "9900"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(general(),
              Joined(WithLines(GeneralSample(),
                               {{0, "0\t\t\t\t\t\t// Disable TIFF conversion"},
                                {47, Written("9900", "gMin_bend_force (minimum force required "
                                                     "to bend car)")}})));
}

// A value is written as given when its line reads it back, and only pointed out when it
// has another shape than the original; one that would not read back writes nothing.
TEST_F(CliTest, SetWritesWhatReadsBackAndRefusesTheRest)
{
    Result result =
        runShell(QStringLiteral("exec \"$CLI\" set misc 1 1 \"$(printf '250\\n999')\""));
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "tunedeck-cli: Value \"250\\n999\" cannot be written: A line break "
                          "cannot stand in a value: each setting keeps to its one line. Nothing "
                          "was written.\n");
    EXPECT_EQ(general(), Joined(GeneralSample()));

    result = runShell(QStringLiteral("exec \"$CLI\" set misc 13 5 \"$(printf 'x\\351\\240 y')\""));
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "tunedeck-cli: misc 13 5 (Default gravity multiplier): Expected a whole "
                          "number like 1; written all the same.\n");
    EXPECT_EQ(general(),
              Joined(WithLines(GeneralSample(),
                               {{166, Written("x\xe9\xa0 y", "Default gravity multiplier")}})));
    result = run({"check"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, generalPath() + "\t410\tok\n" + settingsPath() +
                              "\t965\tok\nmisc\t13\t5\tDefault gravity multiplier\tExpected a "
                              "whole number like 1\n");
}

struct RefusedCase {
    const char* name;
    QStringList arguments;
};

void PrintTo(const RefusedCase& c, std::ostream* os)
{
    *os << c.name;
}

class SetRefused : public CliTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(SetRefused, WritesNothing)
{
    const Result result = run(QStringList{QStringLiteral("set")} + GetParam().arguments);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("tunedeck-cli: "), std::string::npos);
    EXPECT_EQ(general(), Joined(GeneralSample()));
    EXPECT_EQ(settings(), Joined(SettingsSample()));
    EXPECT_FALSE(QFile::exists(work.path("game/data/General.bak")));
}

INSTANTIATE_TEST_SUITE_P(
    RowsWithoutSetting, SetRefused,
    ::testing::Values(RefusedCase{"NoteRow", {"car", "5", "2", "7"}},
                      RefusedCase{"NoteBelowTenRows", {"misc", "14", "11", "7"}},
                      RefusedCase{"HeadingBlankRow", {"car", "0", "1", "7"}},
                      RefusedCase{"PastTheLastRow", {"car", "Bending", "6", "7"}},
                      RefusedCase{"PastTheRowTable", {"apo", "0", "14", "7"}},
                      RefusedCase{"RowZero", {"ped", "0", "0", "7"}},
                      RefusedCase{"UnlistedItemBlankRow", {"misc", "15", "1", "7"}},
                      RefusedCase{"RowNotANumber", {"car", "1", "one", "7"}},
                      RefusedCase{"ValueTakenForAnOption", {"misc", "1", "1", "-7"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// diff

TEST_F(CliTest, DiffOfAFreshCopyIsEmpty)
{
    const Result result = run({"diff"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
}

TEST_F(CliTest, DiffListsExactlyTheRowsChangedBySet)
{
    ASSERT_EQ(run({"set", "misc", "5", "1", "250"}).status, 0);
    ASSERT_EQ(run({"set", "car", "1", "1", "9900"}).status, 0);
    ASSERT_EQ(run({"set", "ped", "1", "2", "125"}).status, 0);
    const Result result = run({"diff"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(
        result.out,
        "car\t1\t1\tgMin_bend_force (minimum force required to bend car)\t9800\t9900\n"
        "ped\t1\t2\tPoints (credits) earned per ped (medium)\t110\t125\n"
        "misc\t5\t1\tCredits per unit car damage for (medium) skill level (with peds)\t9\t250\n");
}

TEST_F(CliTest, DiffListsASharedLineUnderEachItemThatShowsIt)
{
    WriteBytes(work.generalPath(),
               Joined(WithLines(GeneralSample(), {{133, "7001,5000,3501\t// changed"}})));
    const Result result = run({"diff"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "misc\t3\t1\tStarting money for (easy) skill level\t7000\t7001\n"
                          "misc\t11\t1\tStarting money for (hard) skill level\t3500\t3501\n");
}

TEST_F(CliTest, DiffCountsOtherLinesByTheirValuesOnly)
{
    WriteBytes(work.generalPath(),
               Joined(WithLines(GeneralSample(),
                                {{0, "1\t// another first line"},       // line 0: never compared
                                 {2, "5\t// Number of race slots"},     // value changed
                                 {3, "2\t// a new comment"},            // comment only
                                 {47, "9800,1\t// Min bend force"}}))); // shown; field 2 unseen
    WriteBytes(work.settingsPath(),
               Joined(WithLines(SettingsSample(), {{6, "0.2\t// kerb"}, // value changed
                                                   {8, "0.2\t// other comment"}}))); // comment only
    const Result result = run({"diff"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "General.txt\tother lines differ: 1\n"
                          "Settings.txt\tother lines differ: 1\n");
}

TEST_F(CliTest, DiffRefusesAReferenceCopyOfTheWrongSize)
{
    Lines copy = GeneralSample();
    copy.pop_back();
    WriteBytes(work.path("original.general"), Joined(copy));
    const Result result = run({"diff"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "tunedeck-cli: Invalid file, please use an original General.txt\n");
}

// ---------------------------------------------------------------------------------------
// export and apply

TEST_F(CliTest, ExportRestoreApplyGivesBackTheSameDiffAndTwiceIsOnce)
{
    ASSERT_EQ(run({"set", "car", "Bending", "1", "--", "-9800"}).status, 0);
    ASSERT_EQ(run({"set", "misc", "5", "1", "250"}).status, 0);
    ASSERT_EQ(run({"set", "apo", "3", "6", "7"}).status, 0); // the last row of a section
    ASSERT_EQ(run({"set", "ped", "1", "2", "125"}).status, 0);
    ASSERT_EQ(run({"set", "misc", "11", "1", "3501"}).status, 0); // a line shown twice
    const Result diff = run({"diff"});
    ASSERT_EQ(diff.status, 1);
    const Result exported = run({"export", "my.tuning"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, "File written: my.tuning\n");
    EXPECT_EQ(ReadBytes(work.path("my.tuning")), run({"export"}).out);
    ASSERT_EQ(run({"restore"}).status, 0);

    const Result applied = run({"apply", "my.tuning"});
    EXPECT_EQ(applied.status, 0);
    EXPECT_EQ(applied.err, "");
    EXPECT_EQ(applied.out,
              "File updated: " + generalPath() + "\nFile updated: " + settingsPath() + "\n");
    EXPECT_EQ(run({"diff"}).out, diff.out);
    const std::string general1 = general();
    const std::string settings1 = settings();
    ASSERT_EQ(run({"apply", "my.tuning"}).status, 0);
    EXPECT_EQ(general(), general1);
    EXPECT_EQ(settings(), settings1);
}

struct ApplyRefusedCase {
    const char* name;
    std::string set;     // the tuning set
    int shortenSettings; // lines taken off Settings.txt
    std::string message;
};

void PrintTo(const ApplyRefusedCase& c, std::ostream* os)
{
    *os << c.name;
}

class ApplyRefused : public CliTest, public ::testing::WithParamInterface<ApplyRefusedCase> {};

// The whole set is checked before anything is written: good entries before the fault
// change nothing either.
TEST_P(ApplyRefused, WritesNothing)
{
    const ApplyRefusedCase& c = GetParam();
    WriteBytes(work.path("set.tuning"), c.set);
    Lines shortSettings = SettingsSample();
    shortSettings.resize(shortSettings.size() - static_cast<size_t>(c.shortenSettings));
    WriteBytes(work.settingsPath(), Joined(shortSettings));

    const Result result = run({"apply", "set.tuning"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "tunedeck-cli: " + c.message + "\n");
    EXPECT_EQ(general(), Joined(GeneralSample()));
    EXPECT_EQ(settings(), Joined(shortSettings));
}

const std::string Good = "Tunedeck tuning set 1\n# two good entries\n"
                         "Car Settings\tBending\tgMin_bend_force (minimum force required to "
                         "bend car)\t1\n"
                         "Pedestrians\tGeneral Stuff - Race\tPoints (credits) earned per ped "
                         "(medium)\t2\n";

INSTANTIATE_TEST_SUITE_P(
    , ApplyRefused,
    ::testing::Values(
        ApplyRefusedCase{"NotAnEntry", Good + "Car Settings Bending 1\n", 0,
                         "set.tuning, line 5: neither a comment nor an entry (tab, item, Details "
                         "and value, separated by TABs); nothing was written."},
        ApplyRefusedCase{"NoSuchSetting", Good + "APO\tOther Settings\tgravity\t2\n", 0,
                         "set.tuning, line 5: no setting \"gravity\" under item \"Other "
                         "Settings\" of tab APO; nothing was written."},
        ApplyRefusedCase{"NoHeader", Good.substr(Good.find('\n') + 1), 0,
                         "set.tuning, line 1: not a tuning set: the first line must read "
                         "\"Tunedeck tuning set 1\"; nothing was written."},
        ApplyRefusedCase{"CrOnlyLineEnds",
                         QString::fromStdString(Good).replace('\n', '\r').toStdString(), 0,
                         "set.tuning, line 1: its lines end in a lone CR; a tuning set's lines end "
                         "in LF or CR LF; nothing was written."},
        ApplyRefusedCase{"CommaSpillingIntoTheNextLevel",
                         Good + "Miscellaneous\tCredit Awards\tCredits per unit car "
                                "damage for (easy) skill level (with peds)\t1,5\n",
                         0,
                         "set.tuning, line 5: A comma separates the easy, medium and hard "
                         "values; use a point for decimals; nothing was written."},
        ApplyRefusedCase{"CarriageReturnInAValue",
                         Good + "Car Settings\tBending\tgMin_bend_force (minimum force "
                                "required to bend car)\t2\r\r\n",
                         0,
                         "set.tuning, line 5: A line break cannot stand in a value: each "
                         "setting keeps to its one line; nothing was written."},
        ApplyRefusedCase{"RejectedGameFile", Good, 1,
                         "Invalid file, please use an original Settings.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// check

TEST_F(CliTest, CheckAcceptsTheDemoFiles)
{
    const Result result = run({"check"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, generalPath() + "\t410\tok\n" + settingsPath() + "\t965\tok\n");
    EXPECT_EQ(result.err, "");
    ASSERT_TRUE(QFile::remove(work.path("original.pedsettings"))); // no shape to compare with
    EXPECT_EQ(run({"check"}).status, 1);
}

TEST_F(CliTest, CheckRejectsAFileOfTheWrongLineCount)
{
    Lines lines = GeneralSample();
    lines.pop_back();
    WriteBytes(work.generalPath(), Joined(lines));
    const Result result = run({"check"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, generalPath() + "\t409\trejected: expected 410 lines\n" + settingsPath() +
                              "\t965\tok\n");
    EXPECT_EQ(result.err, "tunedeck-cli: Invalid file, please use an original General.txt\n");

    // A trailing empty line is one line too many.
    WriteBytes(work.settingsPath(), Joined(SettingsSample()) + "\r\n");
    EXPECT_NE(run({"check"}).out.find(settingsPath() + "\t966\trejected: expected 965 lines\n"),
              std::string::npos);

    // Past the size limit (64 MiB): rejected as well, never passed over in silence.
    ASSERT_TRUE(QFile::resize(work.settingsPath(), 65 << 20));
    const Result large = run({"check"});
    EXPECT_EQ(large.status, 1);
    EXPECT_NE(large.out.find(settingsPath() + "\t-\trejected: expected 965 lines\n"),
              std::string::npos);
}

TEST_F(CliTest, CheckReportsAMissingFile)
{
    QFile::remove(work.settingsPath());
    const Result result = run({"check"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, generalPath() + "\t410\tok\n" + settingsPath() + "\t-\tmissing\n");
    EXPECT_EQ(CountOf(result.err, '\n'), 1);
    // Unlike the window, the tool never deletes the configuration file.
    EXPECT_TRUE(QFile::exists(work.path("Tunedeck.ini")));
}

// A record of a cut-off save planted in a game folder gets no file outside it written.
TEST_F(CliTest, AForeignSaveRecordWritesNothingOutsideTheGameFolder)
{
    WriteBytes(work.path("elsewhere"), "mine\n");
    WriteBytes(work.path(".elsewhere.tunedeck-aaaaaaaa"), "theirs\n");
    const QByteArray entry =
        QFile::encodeName(work.path("elsewhere")).toPercentEncoding() + '\t' +
        QFile::encodeName(work.path(".elsewhere.tunedeck-aaaaaaaa")).toPercentEncoding() + '\t' +
        QCryptographicHash::hash("theirs\n", QCryptographicHash::Sha256).toHex() + "\t-\t-\n";
    WriteBytes(work.path("game/data/.tunedeck-commit"),
               ("Tunedeck commit 1\n" + entry + entry).toStdString());
    EXPECT_NE(run({"check"}).err.find("no record of a save of this game folder's"),
              std::string::npos);
    EXPECT_EQ(ReadBytes(work.path("elsewhere")), "mine\n");
}

TEST_F(CliTest, CheckMatchesPathComponentsWithoutRegardToCase)
{
    ASSERT_TRUE(QDir(work.gameDir()).rename("data", "DATA"));
    ASSERT_TRUE(
        QFile::rename(work.path("game/DATA/General.txt"), work.path("game/DATA/GENERAL.TXT")));
    const Result result = run({"check"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, work.path("game/DATA/GENERAL.TXT").toStdString() + "\t410\tok\n" +
                              work.path("game/DATA/peds/Settings.txt").toStdString() +
                              "\t965\tok\n");
}

// ---------------------------------------------------------------------------------------
// The game folder

TEST_F(CliTest, DirOptionOverridesTheConfigurationFiles)
{
    work.writeIni("Tunedeck.ini", work.path("elsewhere").toStdString());
    work.writeIni("Perkwright.ini", work.path("nowhere").toStdString());
    const Result result = run({"--dir", work.gameDir(), "check"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, generalPath() + "\t410\tok\n" + settingsPath() + "\t965\tok\n");

    const Result after = run({"show", "car", "9", "--dir=" + work.gameDir()});
    EXPECT_EQ(after.status, 0);
    EXPECT_EQ(CountOf(after.out, '\n'), 3);
}

TEST_F(CliTest, PerkwrightIniIsReadBeforeTunedeckIni)
{
    work.writeIni("Tunedeck.ini", work.path("elsewhere").toStdString());
    work.writeIni("Perkwright.ini", work.gameDir().toStdString());
    EXPECT_EQ(run({"check"}).status, 0);

    work.writeIni("Tunedeck.ini", work.gameDir().toStdString());
    work.writeIni("Perkwright.ini", work.path("elsewhere").toStdString());
    const Result result = run({"check"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, work.path("elsewhere/data/General.txt").toStdString() + "\t-\tmissing\n" +
                              work.path("elsewhere/data/peds/Settings.txt").toStdString() +
                              "\t-\tmissing\n");
}

TEST_F(CliTest, MissingConfigurationFileAndNoDirOption)
{
    QFile::remove(work.path("Tunedeck.ini"));
    for (const QStringList& arguments :
         {QStringList{"check"}, QStringList{"show", "car", "1"},
          QStringList{"set", "car", "1", "1", "5"}, QStringList{"diff"}, QStringList{"backup"},
          QStringList{"restore"}}) {
        const Result result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "tunedeck-cli: You must save your \"Gorewheel II\" directory for "
                              "Tunedeck to function correctly.\n");
    }
    EXPECT_EQ(general(), Joined(GeneralSample()));
    // Listing the chooser items needs no game folder.
    EXPECT_EQ(run({"sections", "apo"}).status, 0);
}

TEST_F(CliTest, NoGameFolderIsSaidSo)
{
    const std::string game = work.gameDir().toStdString();
    const std::tuple<std::string, QStringList, std::string> cases[] = {
        {"", {"check"}, "Tunedeck.ini names no folder"},
        {game, {"--dir", "", "check"}, "The folder given with --dir is empty"},
        {game + '\0',
         {"check"},
         "Tunedeck.ini holds a NUL byte in its first line, which no folder path has"},
        {std::string(5000, '/'),
         {"check"},
         "The first line of Tunedeck.ini is longer than 4096 bytes, which no folder path is"}};
    for (const auto& [ini, arguments, err] : cases) {
        work.writeIni("Tunedeck.ini", ini);
        const Result result = run(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "tunedeck-cli: " + err + ": no game folder is set.\n");
    }
}

TEST_F(CliTest, ReadOnlyGameFileIsLeftAsItIs)
{
    ASSERT_TRUE(QFile::setPermissions(work.generalPath(), QFileDevice::ReadOwner));
    const Result result = run({"set", "misc", "1", "1", "5"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "tunedeck-cli: General.txt is read-only; it was left as it is.\n");
    EXPECT_EQ(general(), Joined(GeneralSample()));
    // Reached through a link too.
    ASSERT_TRUE(QFile::rename(work.settingsPath(), work.path("Settings.real")));
    ASSERT_TRUE(QFile::setPermissions(work.path("Settings.real"), QFileDevice::ReadOwner));
    ASSERT_TRUE(QFile::link(work.path("Settings.real"), work.settingsPath()));
    EXPECT_EQ(run({"set", "ped", "1", "1", "5"}).status, 2);
    EXPECT_EQ(settings(), Joined(SettingsSample()));
}

// ---------------------------------------------------------------------------------------
// backup and restore

TEST_F(CliTest, BackupCopiesEachLoadedFileLineForLine)
{
    // A backup keeps line 0 as loaded and ends every line with CR LF.
    const Lines general = WithLines(GeneralSample(), {{0, "my own first line"}});
    WriteBytes(work.generalPath(), Joined(general, "\n"));
    // A planted link is replaced, never written through.
    WriteBytes(work.path("elsewhere"), "not the game's\n");
    ASSERT_TRUE(QFile::link(work.path("elsewhere"), work.path("game/data/General.bak")));
    const Result result = run({"backup"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "File copied: " + work.path("game/data/General.bak").toStdString() +
                              "\nFile copied: " +
                              work.path("game/data/peds/Settings.bak").toStdString() + "\n");
    EXPECT_EQ(ReadBytes(work.path("game/data/General.bak")), Joined(general));
    EXPECT_FALSE(QFileInfo(work.path("game/data/General.bak")).isSymLink());
    EXPECT_EQ(ReadBytes(work.path("elsewhere")), "not the game's\n");
    EXPECT_EQ(ReadBytes(work.path("game/data/peds/Settings.bak")), Joined(SettingsSample()));
}

TEST_F(CliTest, BackupSkipsARejectedFile)
{
    Lines lines = SettingsSample();
    lines.pop_back();
    WriteBytes(work.settingsPath(), Joined(lines));
    const Result result = run({"backup"});
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(QFile::exists(work.path("game/data/General.bak")));
    EXPECT_FALSE(QFile::exists(work.path("game/data/peds/Settings.bak")));
}

TEST_F(CliTest, RestoreWritesTheReferenceCopiesOverTheGameFiles)
{
    ASSERT_EQ(run({"set", "misc", "5", "1", "250"}).status, 0);
    ASSERT_EQ(run({"set", "ped", "0", "3", "2"}).status, 0);
    ASSERT_NE(general(), Joined(GeneralSample()));
    const Result result = run({"restore"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "File updated: " + generalPath() + "\nFile updated: " + settingsPath() + "\n");
    EXPECT_EQ(general(), Joined(GeneralSample()));
    EXPECT_EQ(settings(), Joined(SettingsSample()));
    EXPECT_EQ(run({"diff"}).status, 0);
}

TEST_F(CliTest, RestoreRefusesACopyOfTheWrongLineCount)
{
    Lines copy = GeneralSample();
    copy.pop_back();
    WriteBytes(work.path("original.general"), Joined(copy));
    const std::string edited = Joined(WithLines(GeneralSample(), {{2, "5\t// edited"}}));
    WriteBytes(work.generalPath(), edited);
    WriteBytes(work.settingsPath(), Joined(WithLines(SettingsSample(), {{4, "9\t// edited"}})));

    const std::string editedSettings = settings();
    const Result result = run({"restore"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err,
              "tunedeck-cli: Invalid alterations to General.txt. Please restore an original.\n");
    EXPECT_EQ(result.out, ""); // both files or neither
    EXPECT_EQ(general(), edited);
    EXPECT_EQ(settings(), editedSettings);
}

TEST_F(CliTest, TakeOriginalsReplacesOnlyTheDemosCopiesUnlessForced)
{
    const std::string copy = work.path("original.general").toStdString();
    const auto copied = [&] { return ReadBytes(work.path("original.general")); };
    ASSERT_EQ(run({"set", "misc", "5", "1", "250"}).status, 0);
    EXPECT_EQ(run({"take-originals"}).out, "File copied: " + copy + "\n");
    EXPECT_EQ(copied(), general());

    const std::string taken = general();
    ASSERT_EQ(run({"set", "misc", "5", "1", "300"}).status, 0);
    EXPECT_EQ(run({"take-originals"}).status, 0);
    EXPECT_EQ(copied(), taken);
    EXPECT_EQ(run({"take-originals", "--force"}).err.find("Replacing the reference copy " + copy),
              14u);
    EXPECT_EQ(copied(), general());
    EXPECT_EQ(run({"--force", "diff"}).status, 2);
}

// A link planted in the place of a copy is replaced; what it leads to stays as it was.
TEST_F(CliTest, TakeOriginalsNeverWritesThroughALink)
{
    const std::string demo = ReadBytes(work.path("original.general"));
    ASSERT_TRUE(QFile::rename(work.path("original.general"), work.path("elsewhere")));
    ASSERT_TRUE(QFile::link(work.path("elsewhere"), work.path("original.general")));
    ASSERT_EQ(run({"set", "misc", "5", "1", "250"}).status, 0);
    EXPECT_EQ(run({"take-originals"}).status, 0);
    EXPECT_TRUE(ReadBytes(work.path("elsewhere")) == demo) << "written through the link";
    EXPECT_TRUE(ReadBytes(work.path("original.general")) == general());
}

// Copies kept as the player's own stay theirs though their bytes are the demo's; a copy of
// the demo's size with other bytes is the player's too.
TEST_F(CliTest, CopiesKeptAsThePlayersOwnStayTheirs)
{
    const std::string demo = ReadBytes(work.path("original.general"));
    ASSERT_TRUE(QFile::remove(work.path("original.general")));
    std::string look = ReadBytes(work.path("original.pedsettings"));
    look[look.find("110")] = '3'; // the same size, other bytes
    WriteBytes(work.path("original.pedsettings"), look);
    ASSERT_EQ(run({"take-originals"}).status, 0); // General.txt kept: the demo's bytes
    ASSERT_EQ(run({"set", "misc", "5", "1", "250"}).status, 0);
    ASSERT_EQ(run({"set", "ped", "1", "2", "125"}).status, 0);
    EXPECT_EQ(run({"take-originals"}).status, 0);
    EXPECT_TRUE(ReadBytes(work.path("original.general")) == demo) << "the kept copy was replaced";
    EXPECT_TRUE(ReadBytes(work.path("original.pedsettings")) == look);

    // A stamp that names other bytes, or is no plain file, counts for nothing.
    WriteBytes(work.path("original.general.kept"), std::string(64, 'a'));
    EXPECT_EQ(run({"take-originals"}).status, 0);
    EXPECT_TRUE(ReadBytes(work.path("original.general")) == general()) << "the stamp counted";
#ifndef Q_OS_WIN
    WriteBytes(work.path("original.general"), demo);
    ASSERT_TRUE(QFile::remove(work.path("original.general.kept")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(work.path("original.general.kept")).constData(), 0600), 0);
    EXPECT_EQ(run({"take-originals"}).status, 0);
    EXPECT_TRUE(ReadBytes(work.path("original.general")) == general()) << "the FIFO counted";
#endif
}

// take-originals tells a copy it could not write, and a game file it takes no copy of, with
// exit status 2 and never "File copied".
TEST_F(CliTest, TakeOriginalsTellsWhatItDidNotCopy)
{
    ASSERT_EQ(run({"set", "misc", "5", "1", "250"}).status, 0);
    const Result failed = runShell("trap '' XFSZ; ulimit -f 8; exec \"$CLI\" take-originals");
    EXPECT_EQ(failed.status, 2);
    EXPECT_EQ(failed.out, "");
    WriteBytes(work.generalPath(), "1\r\n"); // no General.txt
    EXPECT_EQ(run({"take-originals"}).status, 2);
}

// ---------------------------------------------------------------------------------------
// history and revert

// The history output with each version's time replaced by "T".
std::string WithoutTimes(const std::string& out)
{
    static const std::regex time("\t\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\t");
    return std::regex_replace(out, time, "\tT\t");
}

TEST_F(CliTest, TwoSetsAreListedAndRevertingTheOlderGivesTheFileBackAndIsListedToo)
{
    const std::string original = general();
    const std::string credits = "\tmisc\tCredit Awards\tCredits per unit car damage for (easy) "
                                "skill level (with peds)\t";
    const std::string wasting = "\tmisc\tCredit Awards\tCredits awarded for wasting car for "
                                "(easy) skill level (with peds)\t";
    ASSERT_EQ(run({"set", "misc", "1", "2", "3000"}).status, 0);
    ASSERT_EQ(run({"set", "misc", "1", "1", "15"}).status, 0);
    const Result listed = run({"history"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(WithoutTimes(listed.out), "1\tT\tGeneral.txt\n" + credits + "12 -> 15\n" +
                                            "2\tT\tGeneral.txt\n" + wasting + "2400 -> 3000\n");

    const Result reverted = run({"revert", "2"});
    EXPECT_EQ(reverted.status, 0) << reverted.err;
    EXPECT_EQ(reverted.out, "File updated: " + generalPath() + "\n");
    EXPECT_TRUE(general() == original) << "not the original, byte for byte";
    EXPECT_EQ(WithoutTimes(run({"history", "general.txt", "--limit", "1"}).out),
              "1\tT\tGeneral.txt\n" + credits + "15 -> 12\n" + wasting + "3000 -> 2400\n");

    // A version that is no General.txt is not put back.
    const QString game = QDir(work.path("history")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)[0];
    WriteBytes(
        work.path("history/" + game + "/General.txt/000099_2026-01-01_00-00-00_0badf11e.txt"),
        "1\r\n");
    const Result refused = run({"revert", "1", "General.txt"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("is not a General.txt of 410 lines"), std::string::npos)
        << refused.err;
    EXPECT_TRUE(general() == original);
    EXPECT_EQ(WithoutTimes(run({"history", "--limit", "1"}).out),
              "1\tT\tGeneral.txt\n\tnot compared: not both of 410 lines\n");
}

// Versions of both files are listed newest first, however close together; revert N FILE
// takes the Nth version of that file; each game folder has a history of its own.
TEST_F(CliTest, HistoryIsKeptInTimeOrderAndPerGameFolder)
{
    ASSERT_EQ(run({"set", "misc", "1", "1", "15"}).status, 0);
    ASSERT_EQ(run({"set", "ped", "1", "2", "125"}).status, 0);
    ASSERT_EQ(run({"set", "misc", "1", "1", "16"}).status, 0);
    const std::string credits = "\tmisc\tCredit Awards\tCredits per unit car damage for (easy) "
                                "skill level (with peds)\t";
    EXPECT_EQ(WithoutTimes(run({"history"}).out),
              "1\tT\tGeneral.txt\n" + credits + "15 -> 16\n" +
                  "2\tT\tSettings.txt\n\tped\tGeneral Stuff - Race\tPoints (credits) earned per "
                  "ped (medium)\t110 -> 125\n" +
                  "3\tT\tGeneral.txt\n" + credits + "12 -> 15\n");
    const std::string edited = general();
    EXPECT_EQ(run({"revert", "1", "Settings.txt"}).status, 0);
    EXPECT_TRUE(settings() == Joined(SettingsSample()) && general() == edited);

    // Another game folder used from the same working folder: only its own versions.
    ASSERT_EQ(runShell("cp -a game other").status, 0);
    const QString other = work.path("other");
    ASSERT_EQ(run({"--dir", other, "set", "misc", "1", "1", "20"}).status, 0);
    EXPECT_EQ(WithoutTimes(run({"--dir", other, "history"}).out),
              "1\tT\tGeneral.txt\n" + credits + "16 -> 20\n");
    EXPECT_EQ(run({"--dir", other, "revert", "1"}).status, 0);
    EXPECT_TRUE(ReadBytes(work.path("other/data/General.txt")) == edited && general() == edited);
}

// ---------------------------------------------------------------------------------------
// The command line

TEST_F(CliTest, BadUsageExitsTwoWithOneLine)
{
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"bogus"}, QStringList{"show", "car"},
          QStringList{"check", "extra"}, QStringList{"sections", "car", "1"}, QStringList{"--dir"},
          QStringList{"--colour", "check"}, QStringList{"revert", "0"},
          QStringList{"history", "General.txt", "x"}}) {
        const Result result = run(arguments);
        EXPECT_EQ(result.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("tunedeck-cli: ", 0), 0u) << result.err;
        EXPECT_EQ(CountOf(result.err, '\n'), 1) << result.err;
    }
}

TEST_F(CliTest, HelpAndVersion)
{
    const Result version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("tunedeck-cli ") + TUNEDECK_VERSION + "\n");

    const Result help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: tunedeck-cli [options] COMMAND [ARGS]\n", 0), 0u) << help.out;
    for (const char* command :
         {"check", "sections [TAB]", "show TAB ITEM", "set TAB ITEM ROW VALUE", "diff", "backup",
          "restore", "history [FILE]", "revert N [FILE]", "take-originals", "--dir <GAME_DIR>",
          "--limit <N>", "--force"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
}

TEST_F(CliTest, AMessageWithLineBreaksStaysOneLine)
{
    const QString dir = work.path("two\r\nlines");
    const Result result = run({"--dir", dir, "show", "car", "1"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(CountOf(result.err, '\n'), 1) << result.err;
    EXPECT_EQ(CountOf(result.err, '\r'), 0) << result.err;
    EXPECT_NE(result.err.find("two lines"), std::string::npos) << result.err;
}

} // namespace
