// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool on Windows, where the faults come from the system: a drive with
// no room left, the folder lock held by another process, a file held open or taken.

#include "desktop_launcher.h"
#include "documents/folder_lock.h"
#include "documents/replacement_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>
#include <vector>

#include <windows.h>

namespace {

ProgramResult RunCli(const QString& folder, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(TUNEDECK_CLI, arguments);
    return Finish(process);
}

// A small drive (TUNEDECK_FULL_DRIVE, such as T:) with no room left: the game files stay
// as they were, nothing is left beside them, and the tool says why.
TEST(FullDrive, SetLeavesTheFileAndTellsTheError)
{
    const QString drive = qEnvironmentVariable("TUNEDECK_FULL_DRIVE");
    if (drive.isEmpty())
        GTEST_SKIP() << "TUNEDECK_FULL_DRIVE names no small drive to fill";
    WorkFolder work;
    const QString game = drive + QStringLiteral("/tunedeck-full/game");
    QDir(drive + QStringLiteral("/tunedeck-full")).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(game + "/data/peds"));
    for (const char* file : {"/data/General.txt", "/data/peds/Settings.txt"})
        ASSERT_TRUE(QFile::copy(work.gameDir() + file, game + file));
    const std::string before = ReadBytes(game + "/data/General.txt");
    QFile filler(drive + QStringLiteral("/tunedeck-full/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray block(512, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
    filler.close();
    {
        const ProgramResult result =
            RunCli(work.path(), {"--dir", game, "set", "misc", "1", "1", "4242"});
        EXPECT_EQ(result.status, 2) << result.err;
        // The system's own words, not a number.
        const size_t said = result.err.find("Save aborted with error: ");
        ASSERT_NE(said, std::string::npos) << result.err;
        EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(result.err[said + 25]))) << result.err;
        EXPECT_TRUE(ReadBytes(game + "/data/General.txt") == before) << "the file was changed";
        EXPECT_EQ(QDir(game + "/data").entryList(QDir::Files | QDir::Hidden),
                  QStringList{"General.txt"});
    }
    QDir(drive + QStringLiteral("/tunedeck-full")).removeRecursively();
}

// A run that cannot have the folder waits a few seconds, then writes nothing and says so.
TEST(ConcurrentRuns, ALockHeldElsewhereIsWaitedForThenRefused)
{
    WorkFolder work;
    work.writeIni("Tunedeck.ini", work.gameDir().toStdString());
    const std::string before = ReadBytes(work.generalPath());
    ProgramResult result;
    {
        const FolderLock held(work.generalPath());
        result = RunCli(work.path(), {"set", "misc", "1", "1", "4242"});
    }
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("another Tunedeck is writing there"), std::string::npos)
        << result.err;
    EXPECT_TRUE(ReadBytes(work.generalPath()) == before);
    EXPECT_EQ(RunCli(work.path(), {"set", "misc", "1", "1", "4242"}).status, 0)
        << "the lock was kept after its holder let go";
}

// Two runs at once on one file: each waits for the other, both edits arrive, and the lock
// file goes with its last holder.
TEST(ConcurrentRuns, NoEditIsLost)
{
    WorkFolder work;
    work.writeIni("Tunedeck.ini", work.gameDir().toStdString());
    int lost = 0;
    for (int pair = 0; pair < 20; ++pair) {
        const QString first = QString::number(1000 + pair);
        const QString second = QString::number(5000 + pair);
        QProcess a;
        QProcess b;
        a.setWorkingDirectory(work.path());
        b.setWorkingDirectory(work.path());
        a.start(TUNEDECK_CLI, {"set", "misc", "1", "1", first});
        b.start(TUNEDECK_CLI, {"set", "misc", "1", "2", second});
        const ProgramResult ranA = Finish(a);
        const ProgramResult ranB = Finish(b);
        ASSERT_EQ(ranA.status, 0) << ranA.err;
        ASSERT_EQ(ranB.status, 0) << ranB.err;
        const std::string file = ReadBytes(work.generalPath());
        lost += file.find(first.toStdString() + ",") != std::string::npos &&
                        file.find(second.toStdString() + ",") != std::string::npos
                    ? 0
                    : 1;
    }
    EXPECT_EQ(lost, 0) << "pairs that lost an edit, of 20";
    EXPECT_EQ(QDir(work.path("game/data")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"General.txt"});
}

// Whatever fails in ReplaceFileW, General.txt reads the new bytes or the old ones, which are
// kept. Under Wine a target held open without FILE_SHARE_DELETE gives a sharing violation
// (Windows documents 1175) and one made read-only "access denied", before anything moves;
// "GENERAL.TXT" beside it, which a Linux program makes where case tells names apart, takes
// the name the old file left, so that the new one cannot follow: 1177.
TEST(ReplaceFileFailures, LeaveTheNewFileOrTheOld)
{
    const auto unixName = reinterpret_cast<char* (*)(const WCHAR*)>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    const struct {
        const char* held; // by the test while the new file is put in place
        bool readOnly, secondSpelling;
        std::string holds; // what General.txt reads, then each file of the folder
    } cases[] = {{"General.txt", false, false, "old old"},
                 {"", true, false, "old old"},
                 {"", false, true, "new new"},
                 {"GENERAL.TXT", false, true, "foreign foreign old"}};
    for (const auto& c : cases) {
        WorkFolder work;
        const QString folder = work.path("save");
        const std::wstring target = (folder + "\\General.txt").toStdWString();
        WriteBytes(folder + "\\General.txt", "old");
        if (c.secondSpelling && !unixName)
            GTEST_SKIP() << "Windows itself holds no second spelling";
        if (c.secondSpelling) {
            WriteBytes(folder + "\\foreign", "foreign");
            const QString name = unixName(folder.toStdWString().c_str());
            QProcess::execute("Z:/bin/mv", {name + "/foreign", name + "/GENERAL.TXT"});
        }
        ReplacementFile file(folder + "\\General.txt");
        ASSERT_EQ(file.prepare("new"), 0);
        ::SetFileAttributesW(target.c_str(),
                             c.readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        const HANDLE held = ::CreateFileW((folder + "\\" + c.held).toStdWString().c_str(),
                                          GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr); // "": none
        const int error = file.install();
        ::CloseHandle(held);
        std::vector<std::string> files;
        for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
            files.push_back(ReadBytes(folder + "\\" + name));
        std::sort(files.begin(), files.end());
        std::string holds = ReadBytes(folder + "\\General.txt");
        for (const std::string& bytes : files)
            holds += ' ' + bytes;
        EXPECT_EQ(holds, c.holds) << "row " << &c - cases;
        EXPECT_EQ(error == 0, holds.rfind("new", 0) == 0) << error;
    }
}

// A file that no program opens: the player reads the system's reason, which is the value
// ShellExecuteW returns (its last error says "not a valid Win32 application").
TEST(Launch, AFileNoProgramOpensIsToldSo)
{
    WorkFolder work;
    WriteBytes(work.path("gwheel2.dat"), "x");
    QString answer;
    DesktopLauncher().start({work.path("gwheel2.dat"), {}, work.path(), {}},
                            [&](const QString& failure) { answer = failure; });
    const QString reason =
        qt_error_string(ERROR_NO_ASSOCIATION).remove(QRegularExpression("[.\\s]+$"));
    EXPECT_TRUE(answer.endsWith(": " + reason + ".")) << answer.toStdString();
}

} // namespace
