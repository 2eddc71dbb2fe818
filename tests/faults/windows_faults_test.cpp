// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool on Windows, where the faults come from the system: a drive with
// no room left, and the folder lock held by another process.

#include "documents/folder_lock.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <cctype>
#include <string>

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

} // namespace
