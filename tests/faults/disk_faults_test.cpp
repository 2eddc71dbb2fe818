// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool's writes (set, backup, restore) where the disk fails them: after
// any number of bytes with each error a disk gives, at each step after the writing, under
// a file-size limit and on a really full file system. Whatever fails, each file is either
// as it was or wholly the new one, only a file that was written is announced, nothing is
// left beside the files, and the run ends with status 2. Two runs at once lose nothing.

#include "editing/start_up.h"
#include "faults/fault_injection.h"
#include "support/fakes.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <sys/file.h>
#include <sys/mount.h>
#include <unistd.h>
#include <vector>

namespace {

using Result = ProgramResult;

// A command and the files it writes.
struct Command {
    const char* name;
    QStringList arguments;
    std::vector<const char*> targets; // below the game folder, in the order written
    bool together = false;            // all targets new, or all as they were
};

// The commands that write both files: how a failure in either is told is the tool's own.
// A single save under each fault is the core's, checked in the documents tests.
const Command Commands[] = {
    {"Backup", {"backup"}, {"data/General.bak", "data/peds/Settings.bak"}},
    {"Restore", {"restore"}, {"data/General.txt", "data/peds/Settings.txt"}, true},
    {"Apply", {"apply", "both.tuning"}, {"data/General.txt", "data/peds/Settings.txt"}, true},
};

// A tuning set that changes both game files.
const char* const BothFiles =
    "Tunedeck tuning set 1\nCar Settings\tBending\tgMin_bend_force (minimum force required to "
    "bend car)\t4242\nPedestrians\tGeneral Stuff - Race\tPoints (credits) earned per ped "
    "(medium)\t4242\n";

std::string CommandName(const ::testing::TestParamInfo<Command>& info)
{
    return info.param.name;
}

void PrintTo(const Command& command, std::ostream* out)
{
    *out << command.name;
}

constexpr int DiskErrors[] = {ENOSPC, EDQUOT, EIO, EFBIG};

class DiskFaults : public ::testing::TestWithParam<Command> {
protected:
    WorkFolder work;
    std::map<std::string, int> faults; // injected, by kind

    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        work.writeIni("Tunedeck.ini", work.gameDir().toStdString());
        WriteBytes(work.path("both.tuning"), BothFiles);
        // Restore has something to do, and backups something to replace.
        ASSERT_EQ(run({"set", "misc", "1", "2", "77"}).status, 0);
        ASSERT_EQ(run({"set", "ped", "1", "2", "77"}).status, 0);
        for (const char* backup : {"data/General.bak", "data/peds/Settings.bak"})
            WriteBytes(gamePath(backup), "old backup\r\n");
    }

    ~DiskFaults() override
    {
        for (const auto& [kind, count] : faults)
            std::cout << "[ faults   ] " << kind << ": " << count << " injected\n";
    }

    QString gamePath(const char* relative) const { return QDir(work.gameDir()).filePath(relative); }

    Result run(const QStringList& arguments, const QString& fault = {},
               const QString& shellPrefix = {}) const
    {
        QProcess process;
        process.setWorkingDirectory(work.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!fault.isEmpty()) {
            environment.insert("LD_PRELOAD", TUNEDECK_FAULTS);
            environment.insert("TUNEDECK_FAULT", fault);
            // A sanitizer build wants its own library first; the fault library calls on
            // through it.
            environment.insert("ASAN_OPTIONS",
                               environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        }
        process.setProcessEnvironment(environment);
        if (shellPrefix.isEmpty()) {
            process.start(TUNEDECK_CLI, arguments);
        } else {
            process.start("/bin/sh",
                          QStringList{"-c", shellPrefix + " exec \"$0\" \"$@\"", TUNEDECK_CLI} +
                              arguments);
        }
        return Finish(process);
    }

    // Each target's bytes before and after a complete run of the command, from a copy.
    std::vector<std::pair<std::string, std::string>> beforeAndAfter()
    {
        std::vector<std::pair<std::string, std::string>> files;
        for (const char* target : GetParam().targets)
            files.push_back({ReadBytes(gamePath(target)), {}});
        const QString saved = work.path("saved");
        EXPECT_TRUE(QDir().rename(work.gameDir(), saved));
        EXPECT_TRUE(CopyFolder(saved, work.gameDir()));
        EXPECT_EQ(run(GetParam().arguments).status, 0);
        for (size_t i = 0; i < files.size(); ++i)
            files[i].second = ReadBytes(gamePath(GetParam().targets[i]));
        EXPECT_TRUE(QDir(work.gameDir()).removeRecursively());
        EXPECT_TRUE(QDir().rename(saved, work.gameDir()));
        return files;
    }

    static bool CopyFolder(const QString& from, const QString& to)
    {
        return QProcess::execute("cp", {"-a", from, to}) == 0;
    }

    QStringList folderEntries() const
    {
        QStringList entries;
        for (const char* folder : {"data", "data/peds"})
            entries += QDir(gamePath(folder))
                           .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        return entries;
    }

    // After a run that failed: each file old or new, announced only when new, nothing left.
    void
    expectEachFileWholeAndToldTruly(const Result& result,
                                    const std::vector<std::pair<std::string, std::string>>& files,
                                    const QStringList& entries, const std::string& failure)
    {
        EXPECT_EQ(result.status, 2) << result.out << result.err;
        EXPECT_NE(result.err.find(failure), std::string::npos) << result.err;
        std::set<bool> news;
        for (size_t i = 0; i < files.size(); ++i) {
            const char* target = GetParam().targets[i];
            const std::string bytes = ReadBytes(gamePath(target));
            const bool isNew = bytes == files[i].second;
            news.insert(isNew);
            EXPECT_TRUE(isNew || bytes == files[i].first) << target << " is neither old nor new";
            const bool announced =
                result.out.find(QFileInfo(gamePath(target)).fileName().toStdString() + "\n") !=
                std::string::npos;
            EXPECT_EQ(announced, isNew) << target << "\n" << result.out;
        }
        EXPECT_TRUE(news.size() == 1 || !GetParam().together) << "one file new, one old";
        EXPECT_EQ(folderEntries(), entries) << "something was left beside the files";
    }

    // Puts the targets back as they were before the failed run.
    void putBack(const std::vector<std::pair<std::string, std::string>>& files)
    {
        for (size_t i = 0; i < files.size(); ++i)
            WriteBytes(gamePath(GetParam().targets[i]), files[i].first);
    }
};

TEST_P(DiskFaults, DiskFailingAfterAnyNumberOfBytes)
{
    const auto files = beforeAndAfter();
    const QStringList entries = folderEntries();
    long long total = 0;
    for (const auto& file : files)
        total += static_cast<long long>(file.second.size());
    std::vector<long long> budgets;
    for (long long n = 0; n < total; n += 397)
        budgets.push_back(n);
    for (long long n : {16383LL, 16384LL, 16385LL, total - 1})
        if (n < total)
            budgets.push_back(n);

    size_t turn = 0;
    for (long long budget : budgets) {
        const int error = DiskErrors[turn++ % std::size(DiskErrors)];
        SCOPED_TRACE("error " + std::to_string(error) + " after " + std::to_string(budget));
        ++faults["write"];
        const Result result = run(GetParam().arguments,
                                  InjectedFault::setting("write", error, budget, work.gameDir()));
        expectEachFileWholeAndToldTruly(result, files, entries,
                                        std::string("Save aborted with error: ") +
                                            std::strerror(error));
        putBack(files);
        if (HasFailure())
            return;
    }
}

TEST_P(DiskFaults, EveryOtherStepFailing)
{
    const auto files = beforeAndAfter();
    const QStringList entries = folderEntries();
    for (const char* call : {"fsync", "close", "rename"}) {
        SCOPED_TRACE(call);
        ++faults[call];
        const Result result =
            run(GetParam().arguments, InjectedFault::setting(call, EIO, 0, work.gameDir()));
        expectEachFileWholeAndToldTruly(
            result, files, entries, std::string("Save aborted with error: ") + std::strerror(EIO));
        putBack(files);
    }
    // Only the second file's rename fails: the first, already in place, is put back.
    ++faults["rename of the second file"];
    expectEachFileWholeAndToldTruly(
        run(GetParam().arguments, InjectedFault::setting("rename", EIO, 0, gamePath("data/peds"))),
        files, entries, std::string("Save aborted with error: ") + std::strerror(EIO));
    putBack(files);
    // SIGXFSZ as the shell leaves it: the tool itself must ignore it to see the error.
    for (const char* blocks : {"0", "8", "24"}) {
        SCOPED_TRACE(std::string("file-size limit of ") + blocks + " blocks");
        ++faults["file-size limit"];
        const Result result = run(GetParam().arguments, {}, QString("ulimit -f %1;").arg(blocks));
        expectEachFileWholeAndToldTruly(result, files, entries,
                                        std::string("Save aborted with error: ") +
                                            std::strerror(EFBIG));
        putBack(files);
    }
}

// Killed after the record of the commit (1), between the renames (2), before the record goes
// (3): the next run finishes the commit; with the new Settings.txt gone too (-2), it undoes it.
TEST_P(DiskFaults, KilledBetweenTheRenamesIsFinishedOrUndoneByTheNextRun)
{
    if (!GetParam().together)
        GTEST_SKIP() << "writes each file on its own";
    const auto files = beforeAndAfter();
    const QStringList entries = folderEntries();
    for (int renames : {1, 2, 3, -2}) {
        SCOPED_TRACE(renames);
        ++faults["kill"];
        const QString kill =
            InjectedFault::setting("kill-after-rename", 0, std::abs(renames), work.gameDir());
        ASSERT_EQ(run(GetParam().arguments, kill).status, -1);
        const QDir peds(gamePath("data/peds"));
        for (const QString& name : peds.entryList({".Settings.txt.*"}, QDir::Hidden | QDir::Files))
            EXPECT_TRUE(renames > 0 || QFile::remove(peds.filePath(name)));
        std::string said;
        if (renames != 3) {
            said = run({"check"}).err;
        } else { // the window's start-up, which the tool's shares
            AppState state;
            state.WorkDir = work.path();
            FakeMessages messages;
            FakeProgress progress;
            std::array<FakeChooser, TabCount> c;
            struct : StartUpSteps {
                void missing(TuningFile, const QString&) override {}
            } steps;
            StartUp(state, {messages, progress, {&c[0], &c[1], &c[2], &c[3]}}, steps);
            for (const QString& text : messages.texts(FakeMessages::Warning))
                said += text.toStdString();
        }
        EXPECT_NE(said.find(renames > 0 ? "has been finished" : "has been undone"),
                  std::string::npos)
            << said;
        for (size_t i = 0; i < files.size(); ++i)
            EXPECT_TRUE(ReadBytes(gamePath(GetParam().targets[i])) ==
                        (renames > 0 ? files[i].second : files[i].first));
        EXPECT_EQ(folderEntries(), entries) << "something was left beside the files";
        putBack(files);
    }
}

// A save cut off once its record is in place (the first rename), then the run that finishes
// it killed after each of its own renames: no game file is ever missing, and the run after
// finishes the save.
TEST_P(DiskFaults, ARecoveryKilledAtAnyStepLeavesEveryFilePresent)
{
    if (!GetParam().together)
        GTEST_SKIP() << "one file at a time: nothing to finish";
    const auto files = beforeAndAfter();
    const QStringList entries = folderEntries();
    for (int renames : {1, 2}) {
        SCOPED_TRACE(renames);
        ASSERT_EQ(run(GetParam().arguments,
                      InjectedFault::setting("kill-after-rename", 0, 1, work.gameDir()))
                      .status,
                  -1);
        ++faults["recovery killed"];
        run({"check"}, InjectedFault::setting("kill-after-rename", 0, renames, work.gameDir()));
        for (const char* target : GetParam().targets)
            EXPECT_TRUE(QFileInfo(gamePath(target)).isFile()) << target << " is missing";
        EXPECT_NE(run({"check"}).err.find("has been finished"), std::string::npos);
        for (size_t i = 0; i < files.size(); ++i)
            EXPECT_TRUE(ReadBytes(gamePath(GetParam().targets[i])) == files[i].second);
        EXPECT_EQ(folderEntries(), entries) << "something was left beside the files";
        putBack(files);
    }
}

INSTANTIATE_TEST_SUITE_P(Cli, DiskFaults, ::testing::ValuesIn(Commands), CommandName);

// A real file system with no room left, then room for General.txt alone, then read-only.
TEST(FullDisk, SetLeavesTheFileAndTellsTheError)
{
    WorkFolder work;
    const QString mountPoint = work.path("small");
    ASSERT_TRUE(QDir().mkpath(mountPoint));
    if (::geteuid() != 0 ||
        ::mount("tmpfs", QFile::encodeName(mountPoint).constData(), "tmpfs", 0, "size=128k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here (needs root and the right to mount)";
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount(path.constData()); }
    } unmountLater{QFile::encodeName(mountPoint)};

    ASSERT_EQ(QProcess::execute("cp", {"-a", work.gameDir(), mountPoint}), 0);
    WriteBytes(work.path("both.tuning"), BothFiles);
    const QString general = mountPoint + "/game/data/General.txt";
    const QString settings = mountPoint + "/game/data/peds/Settings.txt";
    const std::string before = ReadBytes(general) + ReadBytes(settings);
    for (int freeBytes : {0, 4096, 12288, 20480, -1}) {
        SCOPED_TRACE(std::to_string(freeBytes) + " bytes free");
        QFile filler(mountPoint + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray block(1024, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
        ASSERT_TRUE(filler.resize(std::max<qint64>(0, filler.size() - freeBytes)));
        const bool readOnly = freeBytes < 0;
        if (readOnly) {
            ASSERT_EQ(::mount(nullptr, unmountLater.path.constData(), nullptr,
                              MS_REMOUNT | MS_RDONLY, nullptr),
                      0);
        }

        QProcess process;
        process.setWorkingDirectory(work.path());
        process.start(TUNEDECK_CLI,
                      QStringList{"--dir", mountPoint + "/game"} +
                          (freeBytes == 20480 ? QStringList{"apply", "both.tuning"}
                                              : QStringList{"set", "misc", "1", "1", "4242"}));
        ASSERT_TRUE(process.waitForFinished(-1));
        const std::string err = process.readAllStandardError().toStdString();
        EXPECT_EQ(process.exitCode(), 2) << err;
        EXPECT_NE(err.find(std::strerror(readOnly ? EROFS : ENOSPC)), std::string::npos) << err;
        EXPECT_TRUE(ReadBytes(general) + ReadBytes(settings) == before) << "a file was changed";
    }
}

// Two runs at once on one file: each waits for the other, and both edits arrive.
TEST(ConcurrentRuns, NoEditIsLost)
{
    WorkFolder work;
    work.writeIni("Tunedeck.ini", work.gameDir().toStdString());
    int lost = 0;
    for (int pair = 0; pair < 200; ++pair) {
        const QString first = QString::number(1000 + pair);
        const QString second = QString::number(5000 + pair);
        QProcess a;
        QProcess b;
        a.setWorkingDirectory(work.path());
        b.setWorkingDirectory(work.path());
        a.start(TUNEDECK_CLI, {"set", "misc", "1", "1", first});
        b.start(TUNEDECK_CLI, {"set", "misc", "1", "2", second});
        ASSERT_TRUE(a.waitForFinished(-1) && b.waitForFinished(-1));
        ASSERT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
        ASSERT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
        const std::string file = ReadBytes(work.generalPath());
        const bool both = file.find(first.toStdString() + ",") != std::string::npos &&
                          file.find(second.toStdString() + ",") != std::string::npos;
        lost += both ? 0 : 1;
    }
    EXPECT_EQ(lost, 0) << "pairs that lost an edit, of 200";
}

// A run that cannot have the folder waits a few seconds, then writes nothing and says so:
// a game file, and a file of Tunedeck's own in the working folder alike.
TEST(ConcurrentRuns, ALockHeldElsewhereIsWaitedForThenRefused)
{
    struct Case {
        const char* lockedFolder;
        QStringList arguments;
        const char* untouched;
        const char* said;
    };
    const Case cases[] = {
        {"game/data",
         {"set", "misc", "1", "1", "4242"},
         "game/data/General.txt",
         "another Tunedeck is writing there"},
        {".", {"export", "changes.txt"}, "changes.txt", "another Tunedeck is writing there"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        WorkFolder work;
        work.writeIni("Tunedeck.ini", work.gameDir().toStdString());
        WriteBytes(work.path("changes.txt"), "kept\r\n");
        const int folder =
            ::open(QFile::encodeName(work.path(c.lockedFolder)).constData(), O_RDONLY);
        ASSERT_GE(folder, 0);
        ASSERT_EQ(::flock(folder, LOCK_EX), 0);
        const std::string before = ReadBytes(work.path(c.untouched));

        QProcess process;
        process.setWorkingDirectory(work.path());
        process.start(TUNEDECK_CLI, c.arguments);
        ASSERT_TRUE(process.waitForFinished(-1));
        ::close(folder);

        EXPECT_EQ(process.exitCode(), 2);
        EXPECT_NE(process.readAllStandardError().indexOf(c.said), -1);
        EXPECT_TRUE(ReadBytes(work.path(c.untouched)) == before);
    }
}

} // namespace
