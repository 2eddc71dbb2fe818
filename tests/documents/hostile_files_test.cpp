// SPDX-License-Identifier: GPL-3.0-or-later
// Saves and backups that fail half way, where the system makes them fail: the disk full
// after any number of bytes, a file-size limit, a failing sync, close or rename, the target
// turned into a folder, the folder gone. Whatever fails, the file on disk stays as it was
// (or absent), nothing is left beside it, the user is told of the failure with the system's
// error number and never of a success, and the buffer is kept for a later save.

#include "documents/app_state.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "editing/tab_actions.h"
#include "faults/fault_injection.h"
#include "support/fakes.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#ifdef TUNEDECK_POSIX_FAULTS
#include <sys/resource.h>
#endif
#include <vector>

namespace {

using Lines = std::vector<std::string>;

const std::string GeneralHeader = "0\t\t\t\t\t\t// Disable TIFF conversion";
const std::string SettingsHeader = "//***************************";

// One of the four writes a tab can make.
struct Write {
    const char* name;
    Tab tab;
    bool backup;
};

const Write Writes[] = {
    {"SaveGeneral", Tab::Miscellaneous, false},
    {"SaveSettings", Tab::Pedestrians, false},
    {"BackupGeneral", Tab::CarSettings, true},
    {"BackupSettings", Tab::Pedestrians, true},
};

void PrintTo(const Write& write, std::ostream* out)
{
    *out << write.name;
}

std::string WriteName(const ::testing::TestParamInfo<Write>& info)
{
    return info.param.name;
}

std::optional<std::string> BytesIfAny(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return ReadBytes(path);
}

// Everything below a folder, as "relative path: bytes" (folders as "relative path/").
std::vector<std::string> Tree(const QString& root)
{
    std::vector<std::string> tree;
    std::function<void(const QString&)> walk = [&](const QString& folder) {
        for (const QString& name : Entries(folder)) {
            const QString path = QDir(folder).filePath(name);
            const QString relative = QDir(root).relativeFilePath(path);
            if (QFileInfo(path).isDir()) {
                tree.push_back(relative.toStdString() + "/");
                walk(path);
            } else {
                tree.push_back(relative.toStdString() + ": " + ReadBytes(path));
            }
        }
    };
    walk(root);
    return tree;
}

// Runs `action` once the new file is about to be written.
std::function<void()> BeforeWriting;

void RunBeforeWriting()
{
    BeforeWriting();
}

class HostileFiles : public ::testing::TestWithParam<Write>, protected FolderState {
protected:
    std::map<std::string, int> faults; // injected, by kind

    // No history of the game folder: the faults are those of the file's own write.
    HostileFiles() { state.GameDir.clear(); }

    ~HostileFiles() override
    {
        // The figures of the fault-injection runs.
        for (const auto& [kind, count] : faults)
            std::cout << "[ faults   ] " << kind << ": " << count << " injected\n";
    }

    const Write& write() const { return GetParam(); }
    bool general() const { return write().tab != Tab::Pedestrians; }
    QString gamePath() const { return general() ? state.GeneralPath : state.SettingsPath; }
    QString folder() const { return work.path(general() ? "game/data" : "game/data/peds"); }
    QString target() const
    {
        return write().backup ? QDir::toNativeSeparators(QDir(folder()).filePath(
                                    general() ? "General.bak" : "Settings.bak"))
                              : gamePath();
    }
    GameDocument& buffer() { return state.document(write().tab); }

    // Loads the demo game file into the tab's buffer and edits a line, so that a write
    // that went through would differ from the file on disk.
    void loadAndEdit()
    {
        LoadBuffer(state, messages, progress, choosers[static_cast<size_t>(write().tab)],
                   gamePath());
        ASSERT_EQ(buffer().count(), general() ? GeneralLineCount : SettingsLineCount);
        buffer().setLine(buffer().count() / 2, "edited\t\t\t\t\t // by the test");
        if (write().backup)
            WriteBytes(target(), "the previous backup\r\n");
        messages.shown.clear();
    }

    // The bytes a complete write of the buffer puts in the target.
    std::string complete() const
    {
        Lines lines = state.document(write().tab).lines();
        if (!write().backup)
            lines[0] = general() ? GeneralHeader : SettingsHeader;
        return JoinLines(lines);
    }

    void run()
    {
        if (write().backup)
            Backup(state, controls, write().tab);
        else
            Save(state, controls, write().tab);
    }

    // What must hold after a write that failed.
    struct Before {
        std::optional<std::string> target;
        QStringList entries;
        Lines buffer;
        std::uint64_t revision;
    };

    Before before()
    {
        messages.shown.clear();
        return {BytesIfAny(target()), Entries(folder()), buffer().lines(), buffer().revision()};
    }

    void expectNothingChanged(const Before& was, const QString& where)
    {
        EXPECT_TRUE(BytesIfAny(target()) == was.target)
            << (was.target ? "the old file was changed" : "a file was created");
        EXPECT_EQ(Entries(where), was.entries) << "something was left in the folder";
        EXPECT_EQ(buffer().lines(), was.buffer);
        EXPECT_EQ(buffer().revision(), was.revision);
        EXPECT_EQ(progress.pos, 0);
    }

    // The user saw the write fail, once, and no confirmation; with `error` the box names it.
    void expectOnlyTheFailureShown(bool raised, int error = 0)
    {
        EXPECT_FALSE(messages.anyStartsWith(QStringLiteral("File updated: ")));
        EXPECT_FALSE(messages.anyStartsWith(QStringLiteral("File copied: ")));
        ASSERT_EQ(messages.shown.size(), 1u);
        const auto& [kind, text] = messages.shown[0];
        if (raised) {
            EXPECT_EQ(kind, FakeMessages::Report);
            EXPECT_FALSE(text.isEmpty());
        } else {
            EXPECT_EQ(kind, FakeMessages::Error);
            // The system's words, never its number, and the file.
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^Save aborted with error: \\D+ \\(%1\\)$")
                                               .arg(QFileInfo(target()).fileName()))
                            .match(text)
                            .hasMatch())
                << text.toStdString();
            if (error != 0) {
                EXPECT_EQ(text, QStringLiteral("Save aborted with error: %1 (%2)")
                                    .arg(SystemErrorText(error), QFileInfo(target()).fileName()));
            }
        }
    }

    // Runs a write that must fail while the fault is in force. Returns whether it failed by
    // raising an error (shown by the general error report) rather than with the "Save
    // aborted" box, which then names `error`.
    bool runFailing(const char* kind, int error = 0)
    {
        ++faults[kind];
        // Nothing is thrown: a file that cannot be made is the general error report, a
        // failed write an error.
        EXPECT_TRUE(RunGuarded(messages, [&] { run(); })) << "an exception crossed the save";
        const bool reported =
            !messages.shown.empty() && messages.shown[0].first == FakeMessages::Report;
        expectOnlyTheFailureShown(reported, error);
        return reported;
    }

#ifdef TUNEDECK_POSIX_FAULTS
    bool runFailing(const char* call, int error, qint64 bytes)
    {
        const InjectedFault fault(call, error, bytes, work.path());
        return runFailing(call, error);
    }
#endif

    void expectLaterWriteSucceeds()
    {
        messages.shown.clear();
        const QStringList entries = Entries(folder());
        const std::string expected = complete();
        ASSERT_TRUE(RunGuarded(messages, [&] { run(); }));
        EXPECT_TRUE(BytesIfAny(target()) == expected) << "the later write did not write the buffer";
        const QString confirmation =
            write().backup ? QStringLiteral("File copied: ") : QStringLiteral("File updated: ");
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].first, FakeMessages::Information);
        EXPECT_EQ(messages.shown[0].second, confirmation + target());
        QStringList withTarget = entries;
        if (!withTarget.contains(QFileInfo(target()).fileName()))
            withTarget.append(QFileInfo(target()).fileName());
        withTarget.sort();
        EXPECT_EQ(Entries(folder()), withTarget);
    }
};

// ---------------------------------------------------------------------------
// The disk fills up after N bytes, for N all through the file.

#ifdef TUNEDECK_POSIX_FAULTS
// Budgets from 0 to the file's size: every 97 bytes, and each byte around the ends of
// the first line, a middle line and the last line.
std::vector<qint64> Budgets(const Lines& written)
{
    std::set<qint64> budgets;
    const qint64 size = static_cast<qint64>(JoinLines(written).size());
    for (qint64 n = 0; n < size; n += 97)
        budgets.insert(n);
    qint64 start = 0;
    for (size_t line = 0; line < written.size(); ++line) {
        const qint64 end = start + static_cast<qint64>(written[line].size()); // its CR
        if (line == 0 || line == written.size() / 2 || line + 1 == written.size())
            for (qint64 n : {start, start + 1, end - 1, end, end + 1})
                if (n >= 0 && n < size)
                    budgets.insert(n);
        start = end + 2;
    }
    for (qint64 n : {16383, 16384, 16385}) // the end of a 16 KiB write buffer
        if (n < size)
            budgets.insert(n);
    budgets.insert(size - 1);
    return {budgets.begin(), budgets.end()};
}

// What a full disk, a full quota, a failing disk and a file-size limit answer.
constexpr int DiskErrors[] = {ENOSPC, EDQUOT, EIO, EFBIG};

TEST_P(HostileFiles, DiskFailingAfterAnyNumberOfBytes)
{
    loadAndEdit();
    Lines written = buffer().lines();
    if (!write().backup)
        written[0] = general() ? GeneralHeader : SettingsHeader;
    const std::vector<qint64> budgets = Budgets(written);
    ASSERT_GT(budgets.size(), 100u);

    bool oldFilePresent = true;
    size_t turn = 0;
    for (qint64 budget : budgets) {
        const int error = DiskErrors[turn++ % std::size(DiskErrors)];
        SCOPED_TRACE("error " + std::to_string(error) + " after " + std::to_string(budget) +
                     " bytes");
        // A backup is tried with an older backup in place and without one, in turn.
        if (write().backup) {
            oldFilePresent = !oldFilePresent;
            if (oldFilePresent)
                WriteBytes(target(), "the previous backup\r\n");
            else
                QFile::remove(target());
        }
        const Before was = before();
        EXPECT_FALSE(runFailing("write", error, budget));
        expectNothingChanged(was, folder());
        if (HasFailure())
            break;
    }
    // With room for every byte, the same fault lets the write through.
    messages.shown.clear();
    {
        const InjectedFault fault("write", ENOSPC, static_cast<qint64>(complete().size()),
                                  work.path());
        run();
    }
    EXPECT_EQ(BytesIfAny(target()), complete());
    expectLaterWriteSucceeds();
}
#endif

#ifdef TUNEDECK_POSIX_FAULTS
TEST_P(HostileFiles, FileSizeLimit)
{
    loadAndEdit();
    const qint64 size = static_cast<qint64>(complete().size());
    rlimit was{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &was), 0);
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    for (qint64 limit : {qint64{0}, qint64{4096}, qint64{16384}, size - 1}) {
        if (limit >= size)
            continue;
        SCOPED_TRACE("limit of " + std::to_string(limit) + " bytes");
        const Before before = this->before();
        rlimit limited = was;
        limited.rlim_cur = static_cast<rlim_t>(limit);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool raised = runFailing("file-size limit", EFBIG);
        ::setrlimit(RLIMIT_FSIZE, &was);
        EXPECT_FALSE(raised);
        expectNothingChanged(before, folder());
    }
    std::signal(SIGXFSZ, signal);
    expectLaterWriteSucceeds();
}
#endif

#ifdef TUNEDECK_POSIX_FAULTS
// Each step after the writing fails in turn: the data or the file cannot be synced, the
// file cannot be closed, or it cannot be put in place.
TEST_P(HostileFiles, EveryStepAfterTheWritingCanFail)
{
    loadAndEdit();
    for (const char* call : {"fsync", "close", "rename"}) {
        SCOPED_TRACE(call);
        const Before was = before();
        EXPECT_FALSE(runFailing(call, EIO, 0));
        expectNothingChanged(was, folder());
    }
    expectLaterWriteSucceeds();
}
#endif

#ifdef TUNEDECK_POSIX_FAULTS
// Once the new file is in place, a folder that cannot be synced is a warning, not a failure.
TEST_P(HostileFiles, FolderSyncFailingAfterTheRenameIsAWarning)
{
    loadAndEdit();
    const InjectedFault fault("folder-fsync", EIO, 0, work.path());
    ++faults["folder-fsync"];
    EXPECT_TRUE(RunGuarded(messages, [&] { run(); }));
    EXPECT_TRUE(BytesIfAny(target()) == complete());
    EXPECT_EQ(messages.texts(FakeMessages::Information).size(), 1u);
    EXPECT_EQ(messages.texts(FakeMessages::Warning),
              std::vector<QString>{"The new " + QFileInfo(target()).fileName() +
                                   " is in place, but its folder could not be synced (" +
                                   SystemErrorText(EIO) +
                                   "): a power cut may yet bring back the old file."});
}
#endif

// A file made read-only is left as it is, whoever runs the program (root too).
TEST_P(HostileFiles, ReadOnlyTargetIsLeftAsItIs)
{
    loadAndEdit();
    ASSERT_TRUE(QFile::setPermissions(target(), QFileDevice::ReadOwner));
    const Before was = before();
    EXPECT_TRUE(RunGuarded(messages, [&] { run(); }));
    expectNothingChanged(was, folder());
    EXPECT_EQ(messages.texts(FakeMessages::Error),
              std::vector<QString>{QFileInfo(target()).fileName() +
                                   " is read-only; it was left as it is."});
}

// A link in the file's place is followed to a game file, and replaced as a backup. Temporary
// files that killed writes left go; a link of that name stays, not written through.
TEST_P(HostileFiles, LinksAndLeftTemporaries)
{
    loadAndEdit();
    const QString outside = QDir(folder()).filePath("outside");
    const QString left = QDir(folder()).filePath(".Other.txt.tunedeck-");
    ASSERT_TRUE(QFile::rename(target(), outside) && QFile::link(outside, target()));
    ASSERT_TRUE(QFile::link(outside, left + "linked00"));
    WriteBytes(left + "0a1b2c3d", "an old version\r\n");
    WriteBytes(left + "mine", "");
    const std::string before = ReadBytes(outside);
    EXPECT_TRUE(RunGuarded(messages, [&] { run(); }));
    EXPECT_TRUE(ReadBytes(target()) == complete());
    EXPECT_EQ(QFileInfo(target()).isSymLink(), !write().backup);
    EXPECT_TRUE(ReadBytes(outside) == (write().backup ? before : complete()));
    EXPECT_EQ(Entries(folder()).filter(".tunedeck-"),
              (QStringList{".Other.txt.tunedeck-linked00", ".Other.txt.tunedeck-mine"}));
}

#ifdef TUNEDECK_POSIX_FAULTS
TEST_P(HostileFiles, ShortWritesStillWriteEveryByte)
{
    loadAndEdit();
    const InjectedFault fault("short", 0, 7, work.path());
    expectLaterWriteSucceeds();
}
#endif

// ---------------------------------------------------------------------------
// The file system turns against the write.

#ifdef TUNEDECK_POSIX_FAULTS
TEST_P(HostileFiles, TargetReplacedByAFolderWhileWriting)
{
    loadAndEdit();
    const QString moved = work.path("moved away");
    const std::string oldFile = ReadBytes(target());
    const QStringList entries = Entries(folder());
    messages.shown.clear();

    // The old file goes, and a folder holding a file takes its name, after the new file
    // was opened and before it is put in place.
    BeforeWriting = [&] {
        ASSERT_TRUE(QFile::rename(target(), moved));
        WriteBytes(QDir(target()).filePath("inside"), "kept\r\n");
    };
    tunedeck_fault_before_first_write(RunBeforeWriting);
    EXPECT_FALSE(runFailing("short", EISDIR, 1 << 20));

    EXPECT_TRUE(QFileInfo(target()).isDir());
    EXPECT_EQ(Tree(target()), std::vector<std::string>{"inside: kept\r\n"});
    EXPECT_EQ(ReadBytes(moved), oldFile);
    EXPECT_EQ(Entries(folder()), entries) << "something was left in the folder";
    EXPECT_EQ(progress.pos, 0);

    ASSERT_TRUE(QDir(target()).removeRecursively());
    ASSERT_TRUE(QFile::rename(moved, target()));
    expectLaterWriteSucceeds();
}
#endif

#ifdef TUNEDECK_POSIX_FAULTS
TEST_P(HostileFiles, FolderVanishingWhileWriting)
{
    loadAndEdit();
    const QString gone = folder() + QStringLiteral(".gone");
    const std::vector<std::string> tree = Tree(folder());

    BeforeWriting = [&] { ASSERT_TRUE(QDir().rename(folder(), gone)); };
    tunedeck_fault_before_first_write(RunBeforeWriting);
    EXPECT_FALSE(runFailing("short", ENOENT, 1 << 20));

    EXPECT_FALSE(QFileInfo::exists(folder())) << "the folder was made again";
    EXPECT_EQ(Tree(gone), tree) << "the moved folder changed: a file changed or was left in it";
    EXPECT_EQ(progress.pos, 0);

    ASSERT_TRUE(QDir().rename(gone, folder()));
    expectLaterWriteSucceeds();
}
#endif

TEST_P(HostileFiles, TargetIsAFolder)
{
    loadAndEdit();
    const QString moved = work.path("moved away");
    ASSERT_TRUE(QFile::rename(target(), moved));
    WriteBytes(QDir(target()).filePath("inside"), "kept\r\n");
    const std::vector<std::string> tree = Tree(folder());
    const Before was = before();

    EXPECT_TRUE(runFailing("target is a folder"));

    expectNothingChanged(was, folder());
    EXPECT_EQ(Tree(folder()), tree);
    ASSERT_TRUE(QDir(target()).removeRecursively());
    ASSERT_TRUE(QFile::rename(moved, target()));
    expectLaterWriteSucceeds();
}

TEST_P(HostileFiles, ParentFolderMissing)
{
    loadAndEdit();
    const QString gone = folder() + QStringLiteral(".gone");
    ASSERT_TRUE(QDir().rename(folder(), gone));
    const std::vector<std::string> tree = Tree(gone);
    const Lines lines = buffer().lines();
    messages.shown.clear();
    ++faults["parent folder missing"];

    EXPECT_TRUE(RunGuarded(messages, [&] { run(); }));

    if (write().backup) {
        // The game file went with its folder, and a backup needs it.
        EXPECT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.texts(FakeMessages::Error),
                  std::vector<QString>{general()
                                           ? QStringLiteral("General.txt must be loaded first.")
                                           : QStringLiteral("Settings.txt must be loaded first.")});
    } else {
        expectOnlyTheFailureShown(true);
    }
    EXPECT_FALSE(messages.anyStartsWith(QStringLiteral("File ")));
    EXPECT_FALSE(QFileInfo::exists(folder())) << "the folder was made again";
    EXPECT_EQ(Tree(gone), tree);
    EXPECT_EQ(buffer().lines(), lines);

    ASSERT_TRUE(QDir().rename(gone, folder()));
    expectLaterWriteSucceeds();
}

TEST_P(HostileFiles, GameFileVanishedBetweenLoadAndSave)
{
    loadAndEdit();
    ASSERT_TRUE(QFile::remove(gamePath()));

    if (write().backup) {
        // Without the game file there is no backup: the old one stays as it was.
        const Before was = before();
        ++faults["game file missing"];
        EXPECT_TRUE(RunGuarded(messages, [&] { run(); }));
        expectNothingChanged(was, folder());
        EXPECT_EQ(messages.texts(FakeMessages::Error),
                  std::vector<QString>{general()
                                           ? QStringLiteral("General.txt must be loaded first.")
                                           : QStringLiteral("Settings.txt must be loaded first.")});
        EXPECT_EQ(messages.shown.size(), 1u);
        WriteBytes(gamePath(), "back again\r\n");
        expectLaterWriteSucceeds();
        return;
    }

#ifdef TUNEDECK_POSIX_FAULTS
    // A save that fails part way leaves no game file behind, however far it got ...
    for (qint64 budget : {qint64{0}, qint64{35}, static_cast<qint64>(complete().size() / 2),
                          static_cast<qint64>(complete().size()) - 1}) {
        SCOPED_TRACE("failing after " + std::to_string(budget) + " bytes");
        const Before was = before();
        EXPECT_FALSE(runFailing("write", ENOSPC, budget));
        expectNothingChanged(was, folder());
    }
#endif
    // ... and one that goes through writes the buffer whole.
    expectLaterWriteSucceeds();
}

INSTANTIATE_TEST_SUITE_P(Writes, HostileFiles, ::testing::ValuesIn(Writes), WriteName);

} // namespace
