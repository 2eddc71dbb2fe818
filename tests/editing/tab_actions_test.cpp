// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/app_state.h"
#include "documents/errors.h"
#include "editing/tab_actions.h"
#include "faults/fault_injection.h"
#include "support/fakes.h"
#include "support/test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#ifdef TUNEDECK_POSIX_FAULTS
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// What a saved game file starts with, whatever line 0 of the buffer held.
const std::string GeneralHeader = "0\t\t\t\t\t\t// Disable TIFF conversion";
const std::string SettingsHeader = "//" + std::string(27, '*');

const char* const MissingFile = "Save your \"Gorewheel 2\" directory first.";
const char* const InvalidGeneral = "Invalid file, please use an original General.txt";
const char* const InvalidSettings = "Invalid file, please use an original Settings.txt";
const char* const RefusedGeneral =
    "Invalid alterations to General.txt. Please restore an original.";
const char* const RefusedSettings =
    "Invalid alterations to settings.txt. Please restore an original.";

constexpr qint64 SixtyFourMiB = 64LL * 1024 * 1024;

std::string CrLfFile(const Lines& lines)
{
    std::string bytes;
    for (const auto& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// The bytes a save of `lines` to a game file must produce.
std::string SavedGameFile(const std::string& header, const Lines& lines)
{
    std::string bytes = header + "\r\n";
    for (size_t i = 1; i < lines.size(); ++i)
        bytes += lines[i] + "\r\n";
    return bytes;
}

const char* KindName(FakeMessages::Kind kind)
{
    switch (kind) {
    case FakeMessages::Error:
        return "error";
    case FakeMessages::Warning:
        return "warning";
    case FakeMessages::Information:
        return "information";
    case FakeMessages::Plain:
        return "plain";
    case FakeMessages::Report:
        break;
    }
    return "report";
}

// The boxes shown, as "kind: text", for readable comparisons.
std::vector<std::string> Shown(const FakeMessages& messages)
{
    std::vector<std::string> shown;
    for (const auto& [kind, text] : messages.shown)
        shown.push_back(std::string(KindName(kind)) + ": " + text.toStdString());
    return shown;
}

std::string Box(const char* kind, const std::string& text)
{
    return std::string(kind) + ": " + text;
}

class FileOperations : public ::testing::Test, protected FolderState {
protected:
    FakeChooser& chooser(Tab tab) { return choosers[static_cast<size_t>(tab)]; }

    void load(Tab tab, const QString& path)
    {
        LoadBuffer(state, messages, progress, chooser(tab), path);
    }

    void restore(Tab tab) { MakeAgain(state, Restore(state, controls, tab).edit); }

    // Puts distinct lines into the game file and loads them into the tab's buffer.
    Lines loadNumbered(Tab tab)
    {
        const bool general = tab != Tab::Pedestrians;
        const Lines lines = NumberedLines(general ? 410 : 965);
        WriteBytes(general ? state.GeneralPath : state.SettingsPath, CrLfFile(lines));
        load(tab, general ? state.GeneralPath : state.SettingsPath);
        messages.shown.clear();
        return lines;
    }
};

// ---------------------------------------------------------------------------
// Loading a game file: the identity check by line count.

struct IdentityCase {
    bool general;
    int lines;
    bool accepted;
};

void PrintTo(const IdentityCase& c, std::ostream* os)
{
    *os << (c.general ? "General.txt" : "Settings.txt") << " of " << c.lines << " lines";
}

std::string TabName(const ::testing::TestParamInfo<Tab>& info)
{
    switch (info.param) {
    case Tab::CarSettings:
        return "CarSettings";
    case Tab::Pedestrians:
        return "Pedestrians";
    case Tab::Miscellaneous:
        return "Miscellaneous";
    case Tab::APO:
        break;
    }
    return "APO";
}

class LoadIdentity : public FileOperations, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(LoadIdentity, AcceptsOnlyTheExpectedLineCount)
{
    const IdentityCase& c = GetParam();
    const Tab tab = c.general ? Tab::CarSettings : Tab::Pedestrians;
    const QString path = c.general ? state.GeneralPath : state.SettingsPath;
    const Lines lines = NumberedLines(c.lines);
    WriteBytes(path, CrLfFile(lines));
    state.document(tab).assign({"left over"});

    if (c.accepted) {
        EXPECT_NO_THROW(load(tab, path));
        EXPECT_EQ(state.document(tab).lines(), lines);
        EXPECT_TRUE(messages.shown.empty()) << ::testing::PrintToString(Shown(messages));
    } else {
        EXPECT_THROW(load(tab, path), SilentAbort);
        EXPECT_TRUE(state.document(tab).empty());
        EXPECT_EQ(Shown(messages), std::vector<std::string>{
                                       Box("plain", c.general ? InvalidGeneral : InvalidSettings)});
    }
    EXPECT_EQ(progress.pos, 0);
}

INSTANTIATE_TEST_SUITE_P(
    FileOperations, LoadIdentity,
    ::testing::Values(IdentityCase{true, 409, false}, IdentityCase{true, 410, true},
                      IdentityCase{true, 411, false}, IdentityCase{true, 0, false},
                      IdentityCase{true, 965, false}, IdentityCase{true, 500, false},
                      IdentityCase{false, 964, false}, IdentityCase{false, 965, true},
                      IdentityCase{false, 966, false}, IdentityCase{false, 410, false}),
    [](const auto& info) {
        return std::string(info.param.general ? "General" : "Settings") +
               std::to_string(info.param.lines) + "Lines";
    });

TEST_F(FileOperations, LineEndsAndTheLastLine)
{
    const Lines lines = NumberedLines(410);
    struct Case {
        const char* name;
        std::string bytes;
        bool accepted;
    };
    std::string lfOnly, unterminated;
    for (const auto& line : lines)
        lfOnly += line + "\n";
    unterminated = CrLfFile(lines);
    unterminated.resize(unterminated.size() - 2);
    const std::vector<Case> cases = {
        {"line feeds only", lfOnly, true},
        {"409 breaks and a final unterminated line", unterminated, true},
        {"one trailing empty line", CrLfFile(lines) + "\r\n", false},
        {"trailing empty line after line feeds", lfOnly + "\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.shown.clear();
        WriteBytes(state.GeneralPath, c.bytes);
        if (c.accepted) {
            ASSERT_NO_THROW(load(Tab::CarSettings, state.GeneralPath));
            EXPECT_EQ(state.GeneralText.lines(), lines);
        } else {
            EXPECT_THROW(load(Tab::CarSettings, state.GeneralPath), SilentAbort);
            EXPECT_TRUE(state.GeneralText.empty());
            EXPECT_EQ(Shown(messages), std::vector<std::string>{Box("plain", InvalidGeneral)});
        }
    }
}

TEST_F(FileOperations, LineFeedFileGetsCrLfEverywhereOnceSaved)
{
    const Lines lines = NumberedLines(410);
    std::string lfOnly;
    for (const auto& line : lines)
        lfOnly += line + "\n";
    lfOnly.pop_back(); // and no break after the last line either
    WriteBytes(state.GeneralPath, lfOnly);
    load(Tab::CarSettings, state.GeneralPath);
    Save(state, controls, Tab::CarSettings);
    EXPECT_EQ(ReadBytes(state.GeneralPath), SavedGameFile(GeneralHeader, lines));
}

TEST_F(FileOperations, LongGameFileIsNotReadToItsEnd)
{
    WriteBytes(state.GeneralPath, CrLfFile(NumberedLines(5000)));
    EXPECT_THROW(load(Tab::APO, state.GeneralPath), SilentAbort);
    EXPECT_TRUE(state.GeneralText.empty());
    EXPECT_EQ(Shown(messages), std::vector<std::string>{Box("plain", InvalidGeneral)});
    EXPECT_LE(progress.steps, 411) << "reading goes on past the point where the file is refused";
    EXPECT_EQ(progress.pos, 0);
}

// ---------------------------------------------------------------------------
// Missing files and files that are not files.

struct MissingCase {
    const char* name;
    bool general;
    bool folderInstead;
};

void PrintTo(const MissingCase& c, std::ostream* os)
{
    *os << c.name;
}

class LoadMissingGameFile : public FileOperations,
                            public ::testing::WithParamInterface<MissingCase> {};

TEST_P(LoadMissingGameFile, IsReportedThenRefused)
{
    const MissingCase& c = GetParam();
    const QString path = c.general ? state.GeneralPath : state.SettingsPath;
    const Tab tab = c.general ? Tab::Miscellaneous : Tab::Pedestrians;
    ASSERT_TRUE(QFile::remove(path));
    if (c.folderInstead) {
        ASSERT_TRUE(QDir().mkpath(path));
    }
    state.document(tab).assign({"left over"});

    EXPECT_THROW(load(tab, path), SilentAbort);
    EXPECT_TRUE(state.document(tab).empty());
    EXPECT_EQ(Shown(messages), (std::vector<std::string>{
                                   Box("error", MissingFile),
                                   Box("plain", c.general ? InvalidGeneral : InvalidSettings)}));
    EXPECT_EQ(progress.pos, 0);
    EXPECT_EQ(QFileInfo(path).isDir(), c.folderInstead);
}

INSTANTIATE_TEST_SUITE_P(FileOperations, LoadMissingGameFile,
                         ::testing::Values(MissingCase{"GeneralMissing", true, false},
                                           MissingCase{"GeneralIsAFolder", true, true},
                                           MissingCase{"SettingsMissing", false, false},
                                           MissingCase{"SettingsIsAFolder", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileOperations, MissingReferenceCopyLeavesTheBufferEmpty)
{
    for (const char* name : {"original.general", "original.pedsettings"}) {
        SCOPED_TRACE(name);
        messages.shown.clear();
        ASSERT_TRUE(QFile::remove(work.path(name)));
        GameDocument& document = state.document(
            name == std::string("original.general") ? TuningFile::General : TuningFile::Settings);
        document.assign({"left over"});
        EXPECT_NO_THROW(load(Tab::CarSettings, QString::fromLatin1(name)));
        EXPECT_TRUE(document.empty());
        EXPECT_EQ(Shown(messages), std::vector<std::string>{Box("error", MissingFile)});
    }
}

TEST_F(FileOperations, RejectedLoadInAHandlerEndsItSilently)
{
    WriteBytes(state.GeneralPath, CrLfFile(NumberedLines(12)));
    bool reachedTheEnd = false;
    EXPECT_FALSE(RunGuarded(messages, [&] {
        load(Tab::CarSettings, state.GeneralPath);
        reachedTheEnd = true;
    }));
    EXPECT_FALSE(reachedTheEnd);
    EXPECT_EQ(Shown(messages), std::vector<std::string>{Box("plain", InvalidGeneral)});
}

// A file that opens but fails on the first read: memory at address 0 is never mapped.
const char* const UnreadableFile = "/proc/self/mem";

TEST_F(FileOperations, UnreadableReferenceCopyEndsTheRestore)
{
    if (!QFileInfo(QString::fromLatin1(UnreadableFile)).isFile())
        GTEST_SKIP() << "this system has no " << UnreadableFile;
    ASSERT_TRUE(QFile::remove(work.path("original.general")));
    ASSERT_TRUE(QFile::link(QString::fromLatin1(UnreadableFile), work.path("original.general")));
    for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO})
        state.document(tab).assign({"before restore"});

    const RestoreResult restored = Restore(state, controls, Tab::APO);

    EXPECT_FALSE(restored.readError.isEmpty()); // for the general error report
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(state.GeneralText.lines(), Lines{"before restore"}) << "made only by its step";
    MakeAgain(state, restored.edit);
    EXPECT_TRUE(state.GeneralText.empty());
    TakeBack(state, restored.edit); // the lines the restore empties are told
    EXPECT_EQ(state.GeneralText.lines(), Lines{"before restore"});
    EXPECT_EQ(progress.pos, 0);
}

#ifdef TUNEDECK_POSIX_FAULTS
// A read error says so: it is not a file of the wrong line count, which would invite a
// Restore over the player's own tuning.
TEST_F(FileOperations, ReadErrorIsReportedAsSuch)
{
    struct Case {
        Tab tab;
        QString path;
    };
    for (const Case& c :
         {Case{Tab::CarSettings, state.GeneralPath}, Case{Tab::Pedestrians, state.SettingsPath},
          Case{Tab::APO, QStringLiteral("original.general")}}) {
        SCOPED_TRACE(c.path.toStdString());
        messages.shown.clear();
        state.document(c.tab).assign({"before"});
        {
            const InjectedFault fault("read", EIO, 0, work.path());
            EXPECT_FALSE(RunGuarded(messages, [&] { load(c.tab, c.path); }));
            // The system's words alone, for a sentence of Tunedeck's to hold once.
            EXPECT_EQ(ReadGameFile(FileOf(c.tab), state.workFile(c.path)).systemText,
                      QString::fromLocal8Bit(std::strerror(EIO)));
        }
        ASSERT_EQ(messages.shown.size(), 1u) << ::testing::PrintToString(Shown(messages));
        EXPECT_EQ(messages.shown[0].first, FakeMessages::Report);
        EXPECT_EQ(messages.shown[0].second,
                  QStringLiteral("Cannot read file \"%1\". %2")
                      .arg(state.workFile(c.path), QString::fromLocal8Bit(std::strerror(EIO))));
        EXPECT_TRUE(state.document(c.tab).empty());
        EXPECT_EQ(progress.pos, 0);
    }
}
#endif

// ---------------------------------------------------------------------------
// Files over 64 MiB are never taken in.

TEST_F(FileOperations, HugeGameFileIsRejected)
{
    struct Case {
        bool general;
        qint64 size;
    };
    // Taking in 5 GiB would exhaust the memory: a file this large must not be read whole.
    for (const Case& c : {Case{true, SixtyFourMiB + 1}, Case{true, 5LL * 1024 * 1024 * 1024},
                          Case{false, SixtyFourMiB + 1}}) {
        const bool general = c.general;
        SCOPED_TRACE((general ? "General.txt of " : "Settings.txt of ") + std::to_string(c.size));
        messages.shown.clear();
        progress = FakeProgress();
        const QString path = general ? state.GeneralPath : state.SettingsPath;
        const Tab tab = general ? Tab::CarSettings : Tab::Pedestrians;
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            ASSERT_TRUE(file.resize(c.size)); // sparse: nothing is stored
        }
        state.document(tab).assign({"left over"});
        EXPECT_THROW(load(tab, path), SilentAbort);
        EXPECT_TRUE(state.document(tab).empty());
        EXPECT_EQ(Shown(messages), std::vector<std::string>{
                                       Box("plain", general ? InvalidGeneral : InvalidSettings)});
        EXPECT_EQ(progress.steps, 0);
        EXPECT_EQ(progress.pos, 0);
        EXPECT_EQ(QFileInfo(path).size(), c.size);
    }
}

TEST_F(FileOperations, HugeReferenceCopyLeavesTheBufferEmpty)
{
    {
        QFile file(work.path("original.general"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_TRUE(file.resize(SixtyFourMiB + 1));
    }
    state.GeneralText.assign({"left over"});
    EXPECT_NO_THROW(load(Tab::Miscellaneous, QStringLiteral("original.general")));
    EXPECT_TRUE(state.GeneralText.empty());
    EXPECT_EQ(Shown(messages),
              std::vector<std::string>{Box("error", "original.general is too large to be a copy "
                                                    "of a game file; it was not read.")});
    EXPECT_EQ(progress.steps, 0);
}

TEST_F(FileOperations, ReferenceCopyOfExactly64MiBIsRead)
{
    constexpr qint64 MiB = 1024 * 1024;
    {
        QFile file(work.path("original.general"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_TRUE(file.resize(SixtyFourMiB));
        for (qint64 end = MiB; end <= SixtyFourMiB; end += MiB) { // a line break ends each MiB
            ASSERT_TRUE(file.seek(end - 1));
            ASSERT_EQ(file.write("\n", 1), 1);
        }
    }
    load(Tab::Miscellaneous, QStringLiteral("original.general"));
    EXPECT_TRUE(messages.shown.empty()) << ::testing::PrintToString(Shown(messages));
    ASSERT_EQ(state.GeneralText.count(), 64);
    EXPECT_TRUE(state.GeneralText.line(63) == std::string(MiB - 1, '\0'));
}

// ---------------------------------------------------------------------------
// Progress bar and chooser during a load.

TEST_F(FileOperations, ProgressMaximumIsSetBeforeStepping)
{
    WriteBytes(work.path("original.general"), CrLfFile(NumberedLines(409)));
    struct Case {
        QString path;
        int maximum;
        int lines;
        TuningFile file;
    };
    const std::vector<Case> cases = {
        {state.GeneralPath, 410, 410, TuningFile::General},
        {state.SettingsPath, 965, 965, TuningFile::Settings},
        {QStringLiteral("original.general"), 410, 409, TuningFile::General},
        {QStringLiteral("original.pedsettings"), 965, 965, TuningFile::Settings},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        progress = FakeProgress();
        progress.maximum = 1234;
        load(Tab::Pedestrians, c.path);
        EXPECT_EQ(progress.maximumWhenFirstStepped, c.maximum);
        EXPECT_EQ(progress.maximum, c.maximum);
        EXPECT_EQ(progress.steps, c.lines);
        EXPECT_EQ(progress.pos, 0);
        EXPECT_EQ(state.document(c.file).count(), c.lines);
    }
}

TEST_F(FileOperations, MissingReferenceCopyStillSetsTheMaximum)
{
    ASSERT_TRUE(QFile::remove(work.path("original.pedsettings")));
    progress.maximum = 7;
    progress.pos = 3;
    load(Tab::Pedestrians, QStringLiteral("original.pedsettings"));
    EXPECT_EQ(progress.maximum, 965);
    EXPECT_EQ(progress.pos, 0);
}

TEST_F(FileOperations, LoadResetsTheChooser)
{
    struct Case {
        const char* name;
        int index;
        std::string text;
        std::string expectedText;
        bool fileExists;
    };
    const std::vector<Case> cases = {
        {"item selected", 3, "Credit Awards", "", true},
        {"nothing selected keeps its text", -1, "Choose Setting", "Choose Setting", true},
        {"typed text kept", -1, "typed", "typed", true},
        {"item selected, file missing", 5, "Time Awards", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.fileExists)
            QFile::remove(work.path("original.general"));
        FakeChooser& combo = chooser(Tab::APO);
        combo.index = c.index;
        combo.text = c.text;
        load(Tab::APO, QStringLiteral("original.general"));
        EXPECT_EQ(combo.index, -1);
        EXPECT_EQ(combo.text, c.expectedText);
    }
}

// ---------------------------------------------------------------------------
// Save.

class SaveTab : public FileOperations, public ::testing::WithParamInterface<Tab> {};

TEST_P(SaveTab, WritesTheHeaderInPlaceOfLineZero)
{
    const Tab tab = GetParam();
    const bool general = tab != Tab::Pedestrians;
    const QString path = general ? state.GeneralPath : state.SettingsPath;
    Lines lines = loadNumbered(tab);
    state.document(tab).setLine(0, "typed over by the user");
    lines[0] = "typed over by the user";
    state.document(tab).setLine(5, "5,6,7\t\t\t\t\t // edited");
    lines[5] = "5,6,7\t\t\t\t\t // edited";
    progress = FakeProgress();

    Save(state, controls, tab);

    const std::string saved = ReadBytes(path);
    EXPECT_EQ(saved, SavedGameFile(general ? GeneralHeader : SettingsHeader, lines));
    EXPECT_EQ(SplitLines(saved).size(), general ? 410u : 965u);
    EXPECT_EQ(Shown(messages),
              std::vector<std::string>{Box("information", "File updated: " + path.toStdString())});
    EXPECT_EQ(progress.maximumWhenFirstStepped, general ? 410 : 965);
    EXPECT_EQ(progress.pos, 0);
    EXPECT_EQ(state.document(tab).lines(), lines) << "a save changes no buffer";
}

INSTANTIATE_TEST_SUITE_P(FileOperations, SaveTab,
                         ::testing::Values(Tab::CarSettings, Tab::Pedestrians, Tab::Miscellaneous,
                                           Tab::APO),
                         TabName);

struct RefusedCase {
    Tab tab;
    int lines;
};

void PrintTo(const RefusedCase& c, std::ostream* os)
{
    *os << "tab " << static_cast<int>(c.tab) << " with " << c.lines << " lines";
}

class RefusedSave : public FileOperations, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedSave, WritesNothing)
{
    const RefusedCase& c = GetParam();
    const bool general = c.tab != Tab::Pedestrians;
    const QString path = general ? state.GeneralPath : state.SettingsPath;
    const std::string before = ReadBytes(path);
    const QStringList entries = Entries(QFileInfo(path).path());
    state.document(c.tab).assign(NumberedLines(c.lines));

    Save(state, controls, c.tab);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(Entries(QFileInfo(path).path()), entries);

    ASSERT_TRUE(QFile::remove(path));
    Save(state, controls, c.tab);
    EXPECT_FALSE(QFileInfo::exists(path)) << "a refused save created the file";

    const std::string refused = general ? RefusedGeneral : RefusedSettings;
    EXPECT_EQ(Shown(messages),
              (std::vector<std::string>{Box("error", refused), Box("error", refused)}));
}

INSTANTIATE_TEST_SUITE_P(
    FileOperations, RefusedSave,
    ::testing::Values(RefusedCase{Tab::CarSettings, 0}, RefusedCase{Tab::CarSettings, 409},
                      RefusedCase{Tab::Miscellaneous, 411}, RefusedCase{Tab::APO, 965},
                      RefusedCase{Tab::Pedestrians, 0}, RefusedCase{Tab::Pedestrians, 964},
                      RefusedCase{Tab::Pedestrians, 410}),
    [](const auto& info) {
        return TabName({info.param.tab, info.index}) + std::to_string(info.param.lines) + "Lines";
    });

// The three General.txt tabs show one document: a Save from any of them writes the edits
// made on all of them.
TEST_F(FileOperations, SaveFromAnyTabWritesTheEditsOfEvery)
{
    const Lines lines = loadNumbered(Tab::CarSettings);
    state.document(Tab::CarSettings).setLine(166, "1.5\t\t\t\t\t // made on Car Settings");
    state.document(Tab::Miscellaneous).setLine(170, "2\t\t\t\t\t // made on Miscellaneous");

    Save(state, controls, Tab::CarSettings);
    Save(state, controls, Tab::APO);

    Lines expected = lines;
    expected[166] = "1.5\t\t\t\t\t // made on Car Settings";
    expected[170] = "2\t\t\t\t\t // made on Miscellaneous";
    EXPECT_EQ(ReadBytes(state.GeneralPath), SavedGameFile(GeneralHeader, expected));
    const std::string updated = "File updated: " + state.GeneralPath.toStdString();
    EXPECT_EQ(Shown(messages),
              (std::vector<std::string>{Box("information", updated), Box("information", updated)}));
}

// Another program's save is asked about (and here refused) before it is replaced: one of the
// same size, one to the second of two files written together; after a Restore the file as
// it then is counts as read.
TEST_F(FileOperations, AnotherProgramsSaveIsNoticed)
{
    loadNumbered(Tab::CarSettings);
    loadNumbered(Tab::Pedestrians);
    const auto theirs = [](const QString& path) { // of the same size, a second later
        std::string bytes = ReadBytes(path);
        bytes[bytes.find("L5a")] = 'T';
        WriteBytes(path, bytes);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadWrite) &&
                    file.setFileTime(QDateTime::currentDateTime().addSecs(1),
                                     QFileDevice::FileModificationTime));
        return bytes;
    };
    const std::string changedGeneral = theirs(state.GeneralPath);
    Save(state, controls, Tab::CarSettings);
    EXPECT_EQ(ReadBytes(state.GeneralPath), changedGeneral);

    const std::string changedSettings = theirs(state.SettingsPath);
    load(Tab::CarSettings, state.GeneralPath); // General.txt read anew
    Save(state, controls, {Tab::CarSettings, Tab::Pedestrians});
    EXPECT_EQ(ReadBytes(state.SettingsPath), changedSettings);
    EXPECT_EQ(ReadBytes(state.GeneralPath), changedGeneral);
    EXPECT_EQ(messages.texts(FakeMessages::Warning).size(), 2u); // asked, answered No

    restore(Tab::Pedestrians);
    messages.shown.clear();
    Save(state, controls, Tab::Pedestrians);
    EXPECT_TRUE(ReadBytes(state.SettingsPath) == ReadBytes(work.path("original.pedsettings")));
    EXPECT_TRUE(messages.texts(FakeMessages::Warning).empty());
}

TEST_F(FileOperations, SaveKeepsTheFilePermissions)
{
    loadNumbered(Tab::CarSettings);
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    for (const QFileDevice::Permissions wanted :
         {ownerOnly | QFileDevice::ReadGroup, ownerOnly,
          ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther}) {
        SCOPED_TRACE(wanted.toInt());
        ASSERT_TRUE(QFile::setPermissions(state.GeneralPath, wanted));
        const int before = QFile::permissions(state.GeneralPath).toInt();
        const int groupAndOther = (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                   QFileDevice::ReadOther | QFileDevice::WriteOther)
                                      .toInt();
        ASSERT_EQ(before & groupAndOther, wanted.toInt() & groupAndOther)
            << "the permissions were not set as wanted";
        Save(state, controls, Tab::CarSettings);
        EXPECT_EQ(QFile::permissions(state.GeneralPath).toInt(), before);
    }
}

// The real file is saved, and the links stay: a link to the file, and a relative link
// inside a linked folder (which reads differently from the folder the link is in).
TEST_F(FileOperations, SaveThroughSymbolicLinksKeepsTheLinks)
{
    const Lines lines = NumberedLines(410);
    const QString real = work.path("elsewhere/data/General.txt");
    WriteBytes(real, CrLfFile(lines));
    WriteBytes(work.path("elsewhere/data/Real.txt"), CrLfFile(lines));
    struct Case {
        const char* name;
        std::function<bool()> link; // makes GeneralPath lead to `real`
        QString realFile;
    };
    const QString data = work.path("game/data");
    const Case cases[] = {
        {"link to the file", [&] { return QFile::link(real, state.GeneralPath); }, real},
        {"relative link in a linked folder",
         [&] {
             return QDir(data).removeRecursively() &&
                    QFile::link(work.path("elsewhere/data"), data) && QFile::remove(real) &&
                    QFile::link("Real.txt", real);
         },
         work.path("elsewhere/data/Real.txt")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(state.GeneralPath);
        if (!c.link())
            GTEST_SKIP() << "no symbolic links here";
        load(Tab::CarSettings, state.GeneralPath);
        state.GeneralText.setLine(9, c.name);
        Lines expected = lines;
        expected[9] = c.name;

        Save(state, controls, Tab::CarSettings);

        EXPECT_TRUE(QFileInfo(state.GeneralPath).isSymLink()) << "the link was replaced";
        EXPECT_EQ(ReadBytes(c.realFile), SavedGameFile(GeneralHeader, expected));
        EXPECT_EQ(Entries(work.path("elsewhere/data")).filter(".tunedeck").size(), 0);
    }
}

#ifdef TUNEDECK_POSIX_FAULTS
// Root saving a player's file leaves it the player's.
TEST_F(FileOperations, SaveKeepsTheOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root may give a file to another user";
    loadNumbered(Tab::CarSettings);
    const QByteArray path = QFile::encodeName(state.GeneralPath);
    ASSERT_EQ(::chown(path.constData(), 4321, 8765), 0);
    Save(state, controls, Tab::CarSettings);
    struct stat saved {};
    ASSERT_EQ(::stat(path.constData(), &saved), 0);
    EXPECT_EQ(saved.st_uid, 4321u);
    EXPECT_EQ(saved.st_gid, 8765u);
}
#endif

// ---------------------------------------------------------------------------
// Backup.

class BackupTab : public FileOperations, public ::testing::WithParamInterface<Tab> {};

TEST_P(BackupTab, CopiesTheBufferLineForLine)
{
    const Tab tab = GetParam();
    const bool general = tab != Tab::Pedestrians;
    const QString gamePath = general ? state.GeneralPath : state.SettingsPath;
    const QString bakPath =
        general ? work.path("game/data/General.bak") : work.path("game/data/peds/Settings.bak");
    Lines lines = loadNumbered(tab);
    state.document(tab).setLine(0, "line zero as typed");
    lines[0] = "line zero as typed";
    const std::string gameFile = ReadBytes(gamePath);
    WriteBytes(bakPath, std::string(100000, 'o')); // an older, longer backup

    Backup(state, controls, tab);

    EXPECT_EQ(ReadBytes(bakPath), CrLfFile(lines));
    EXPECT_EQ(ReadBytes(gamePath), gameFile);
    EXPECT_EQ(Shown(messages), std::vector<std::string>{
                                   Box("information", "File copied: " + bakPath.toStdString())});
    EXPECT_EQ(progress.pos, 0);
}

// Two files written together in one folder: neither takes the other's new file for a left one.
TEST_F(FileOperations, FilesWrittenTogetherInOneFolder)
{
    const Lines lines = loadNumbered(Tab::CarSettings);
    const QString bak = work.path("game/data/General.bak");
    WriteBuffers(state, messages, progress,
                 {{&state.GeneralText.text(), state.GeneralPath, TuningFile::General},
                  {&state.GeneralText.text(), bak, std::nullopt}});
    EXPECT_EQ(ReadBytes(state.GeneralPath), SavedGameFile(GeneralHeader, lines));
    EXPECT_EQ(ReadBytes(bak), CrLfFile(lines));
}

INSTANTIATE_TEST_SUITE_P(FileOperations, BackupTab,
                         ::testing::Values(Tab::CarSettings, Tab::Pedestrians, Tab::Miscellaneous,
                                           Tab::APO),
                         TabName);

TEST_F(FileOperations, BackupOfAnEmptyBufferIsAnEmptyFile)
{
    for (const Tab tab : {Tab::APO, Tab::Pedestrians}) {
        SCOPED_TRACE(static_cast<int>(tab));
        messages.shown.clear();
        const QString bakPath = tab == Tab::APO ? work.path("game/data/General.bak")
                                                : work.path("game/data/peds/Settings.bak");
        ASSERT_TRUE(state.document(tab).empty());
        Backup(state, controls, tab);
        EXPECT_TRUE(QFileInfo(bakPath).isFile());
        EXPECT_EQ(ReadBytes(bakPath), "");
        EXPECT_EQ(Shown(messages), std::vector<std::string>{Box(
                                       "information", "File copied: " + bakPath.toStdString())});
    }
}

TEST_F(FileOperations, BackupNeedsTheGameFile)
{
    struct Case {
        const char* name;
        Tab tab;
        bool noDirectory; // no game directory known yet: the path is empty
        const char* message;
    };
    for (const Case& c : {Case{"no directory, Car Settings", Tab::CarSettings, true,
                               "General.txt must be loaded first."},
                          Case{"no directory, Pedestrians", Tab::Pedestrians, true,
                               "Settings.txt must be loaded first."},
                          Case{"General.txt missing", Tab::Miscellaneous, false,
                               "General.txt must be loaded first."},
                          Case{"Settings.txt missing", Tab::Pedestrians, false,
                               "Settings.txt must be loaded first."}}) {
        SCOPED_TRACE(c.name);
        messages.shown.clear();
        AppState fresh;
        AppState& s = c.noDirectory ? fresh : state;
        if (!c.noDirectory)
            QFile::remove(c.tab == Tab::Pedestrians ? state.SettingsPath : state.GeneralPath);
        s.document(c.tab).assign(NumberedLines(3));
        Backup(s, controls, c.tab);
        EXPECT_EQ(Shown(messages), std::vector<std::string>{Box("error", c.message)});
        EXPECT_FALSE(QFileInfo::exists(work.path("game/data/General.bak")));
        EXPECT_FALSE(QFileInfo::exists(work.path("game/data/peds/Settings.bak")));
    }
}

TEST_F(FileOperations, WrittenFileNameDecidesTheConfirmation)
{
    ASSERT_TRUE(QDir().mkpath(work.path("copies.bak")));
    const TextBuffer buffer(Lines{"first line kept", "second"});
    struct Case {
        QString path;
        const char* prefix;
    };
    const std::vector<Case> cases = {
        {work.path("General.bak"), "File copied: "},
        {work.path(".bak"), "File copied: "},
        {work.path("General.tar.bak"), "File copied: "},
        {work.path("General.BAK"), "File updated: "},
        {work.path("General.bak.txt"), "File updated: "},
        {work.path("General.bak "), "File updated: "},
        {work.path("copies.bak/General"), "File updated: "},
        {work.path("copies.bak/General.txt"), "File updated: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        messages.shown.clear();
        WriteBuffers(state, messages, progress, {{&buffer, c.path, std::nullopt}});
        EXPECT_EQ(ReadBytes(c.path), "first line kept\r\nsecond\r\n");
        EXPECT_EQ(Shown(messages),
                  std::vector<std::string>{Box("information", c.prefix + c.path.toStdString())});
    }
}

// ---------------------------------------------------------------------------
// Restore.

class RestoreGeneral : public FileOperations, public ::testing::WithParamInterface<Tab> {};

TEST_P(RestoreGeneral, FillsAllThreeCopiesAndWritesNothing)
{
    const Lines lines = NumberedLines(410);
    WriteBytes(work.path("original.general"), CrLfFile(lines));
    const std::string gameFile = ReadBytes(state.GeneralPath);
    for (Tab tab : {Tab::CarSettings, Tab::Pedestrians, Tab::Miscellaneous, Tab::APO}) {
        state.document(tab).assign({"before restore"});
        chooser(tab).index = 2;
        chooser(tab).text = "Chosen";
    }

    restore(GetParam());

    EXPECT_EQ(state.GeneralText.lines(), lines);
    EXPECT_EQ(state.GeneralText.lines(), lines);
    EXPECT_EQ(state.GeneralText.lines(), lines);
    EXPECT_EQ(state.SettingsText.lines(), Lines{"before restore"});
    for (Tab tab : {Tab::CarSettings, Tab::Miscellaneous, Tab::APO}) {
        EXPECT_EQ(chooser(tab).index, -1);
        EXPECT_EQ(chooser(tab).text, "");
    }
    EXPECT_EQ(chooser(Tab::Pedestrians).index, 2);
    EXPECT_EQ(chooser(Tab::Pedestrians).text, "Chosen");
    EXPECT_TRUE(messages.shown.empty()) << ::testing::PrintToString(Shown(messages));
    EXPECT_EQ(ReadBytes(state.GeneralPath), gameFile);
}

TEST_P(RestoreGeneral, WithoutTheReferenceCopyEmptiesAllThree)
{
    ASSERT_TRUE(QFile::remove(work.path("original.general")));
    const std::string gameFile = ReadBytes(state.GeneralPath);
    for (Tab tab : {Tab::CarSettings, Tab::Pedestrians, Tab::Miscellaneous, Tab::APO})
        state.document(tab).assign(NumberedLines(410));

    EXPECT_NO_THROW(restore(GetParam()));

    EXPECT_EQ(Shown(messages), (std::vector<std::string>(3, Box("error", MissingFile))));
    EXPECT_TRUE(state.GeneralText.empty());
    EXPECT_TRUE(state.GeneralText.empty());
    EXPECT_TRUE(state.GeneralText.empty());
    EXPECT_EQ(state.SettingsText.count(), 410);
    EXPECT_EQ(ReadBytes(state.GeneralPath), gameFile);
}

TEST_P(RestoreGeneral, ShortReferenceCopyRestoresButCannotBeSaved)
{
    const Lines lines = NumberedLines(409);
    WriteBytes(work.path("original.general"), CrLfFile(lines));
    const std::string gameFile = ReadBytes(state.GeneralPath);

    restore(GetParam());
    EXPECT_TRUE(messages.shown.empty()) << ::testing::PrintToString(Shown(messages));
    EXPECT_EQ(state.document(GetParam()).lines(), lines);

    Save(state, controls, GetParam());
    EXPECT_EQ(Shown(messages), std::vector<std::string>{Box("error", RefusedGeneral)});
    EXPECT_EQ(ReadBytes(state.GeneralPath), gameFile);
}

INSTANTIATE_TEST_SUITE_P(FileOperations, RestoreGeneral,
                         ::testing::Values(Tab::CarSettings, Tab::Miscellaneous, Tab::APO),
                         TabName);

TEST_F(FileOperations, RestorePedestrians)
{
    const Lines lines = NumberedLines(965);
    WriteBytes(work.path("original.pedsettings"), CrLfFile(lines));
    state.GeneralText.assign({"untouched"});
    restore(Tab::Pedestrians);
    EXPECT_EQ(state.SettingsText.lines(), lines);
    EXPECT_EQ(state.GeneralText.lines(), Lines{"untouched"});
    EXPECT_TRUE(messages.shown.empty());

    ASSERT_TRUE(QFile::remove(work.path("original.pedsettings")));
    restore(Tab::Pedestrians);
    EXPECT_TRUE(state.SettingsText.empty());
    EXPECT_EQ(Shown(messages), std::vector<std::string>{Box("error", MissingFile)});
}

// ---------------------------------------------------------------------------
// A write that cannot be made leaves the old file as it was.

TEST_F(FileOperations, SaveIntoAVanishedFolderIsReported)
{
    loadNumbered(Tab::CarSettings);
    const std::string gameFile = ReadBytes(state.GeneralPath);
    const Lines buffer = state.GeneralText.lines();
    ASSERT_TRUE(QDir(work.gameDir()).rename("data", "data.moved"));

    EXPECT_EQ(Save(state, controls, Tab::CarSettings), ActionOutcome::Failed);

    ASSERT_EQ(messages.shown.size(), 1u) << ::testing::PrintToString(Shown(messages));
    EXPECT_EQ(messages.shown[0].first, FakeMessages::Report);
    EXPECT_TRUE(
        messages.shown[0].second.startsWith(QStringLiteral("Cannot create file \"%1\". ")
                                                .arg(QDir::toNativeSeparators(state.GeneralPath))))
        << messages.shown[0].second.toStdString();
    EXPECT_FALSE(QFileInfo::exists(work.path("game/data")));
    EXPECT_EQ(ReadBytes(work.path("game/data.moved/General.txt")), gameFile);
    EXPECT_EQ(state.GeneralText.lines(), buffer);
    EXPECT_EQ(progress.pos, 0);
}

TEST_F(FileOperations, WriteOntoAFolderIsReported)
{
    loadNumbered(Tab::CarSettings);
    const std::string gameFile = ReadBytes(state.GeneralPath);

    // A backup whose target is a folder.
    ASSERT_TRUE(QDir().mkpath(work.path("game/data/General.bak")));
    EXPECT_EQ(Backup(state, controls, Tab::CarSettings), ActionOutcome::Failed);
    EXPECT_TRUE(QFileInfo(work.path("game/data/General.bak")).isDir());
    EXPECT_TRUE(Entries(work.path("game/data/General.bak")).isEmpty());

    EXPECT_EQ(messages.texts(FakeMessages::Report).size(), 1u);
    messages.shown.clear();

    // A save whose game path names a folder, a FIFO or a link to a device: nothing waits,
    // nothing is written, and the words say what stands there.
    state.GeneralPath = work.path("game/data/peds");
    const QStringList pedEntries = Entries(state.GeneralPath);
    EXPECT_EQ(Save(state, controls, Tab::CarSettings), ActionOutcome::Failed);
    EXPECT_TRUE(QFileInfo(state.GeneralPath).isDir());
    EXPECT_EQ(Entries(state.GeneralPath), pedEntries);
    std::vector<QString> said{"peds is no longer a regular file: a folder stands in its place."};
#ifndef Q_OS_WIN
    ASSERT_EQ(::mkfifo(QFile::encodeName(work.path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", work.path("zero")));
    for (const char* name : {"pipe", "zero"}) {
        state.GeneralPath = work.path(name);
        EXPECT_EQ(Save(state, controls, Tab::CarSettings), ActionOutcome::Failed);
    }
    said.push_back("pipe is no longer a regular file: a FIFO (named pipe) stands in its place.");
    said.push_back("zero is no longer a regular file: a link to a device stands in its place.");
#endif
    for (QString& text : said)
        text += " Nothing was written.";
    EXPECT_EQ(messages.texts(FakeMessages::Report), said);
    EXPECT_EQ(ReadBytes(work.generalPath()), gameFile);
    EXPECT_EQ(Entries(work.path("game/data")), (QStringList{"General.bak", "General.txt", "peds"}));
}

// Another program's change of the same size that keeps the file's time is asked about: the
// bytes are compared, not the size and time.
TEST_F(FileOperations, ASameSizeSameTimeChangeIsAskedAbout)
{
    loadNumbered(Tab::CarSettings);
    const QDateTime time = QFileInfo(state.GeneralPath).lastModified();
    std::string theirs = ReadBytes(state.GeneralPath);
    theirs[theirs.size() / 2] = '#';
    WriteBytes(state.GeneralPath, theirs);
    QFile file(state.GeneralPath);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(time, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(Save(state, controls, Tab::CarSettings), ActionOutcome::Declined);
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == theirs);
    // Grown past any game file's size: no read of it counts as unchanged.
    ASSERT_TRUE(QFile::resize(state.GeneralPath, MaxGameFileBytes + 1));
    EXPECT_EQ(Save(state, controls, Tab::CarSettings), ActionOutcome::Declined);
    EXPECT_EQ(QFileInfo(state.GeneralPath).size(), MaxGameFileBytes + 1);
}

TEST_F(FileOperations, WriteToAnEmptyPathIsReported)
{
    const TextBuffer buffer(NumberedLines(3));
    EXPECT_EQ(WriteBuffers(state, messages, progress, {{&buffer, QString(), std::nullopt}}),
              ActionOutcome::Failed);
    EXPECT_EQ(messages.texts(FakeMessages::Report).size(), 1u);
}

} // namespace
