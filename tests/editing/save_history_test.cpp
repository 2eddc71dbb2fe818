// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/errors.h"
#include "editing/save_history.h"
#include "editing/tab_actions.h"
#include "faults/fault_injection.h"
#include "support/fakes.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>

namespace {

class SaveHistoryTest : public ::testing::Test {
protected:
    WorkFolder work;
    AppState state;
    FakeMessages messages;
    FakeProgress progress;

    void SetUp() override
    {
        state.WorkDir = work.path();
        state.GameDir = work.gameDir();
        state.GeneralPath = work.generalPath();
        state.GeneralText.assign(SplitLines(ReadBytes(state.GeneralPath)));
    }

    void save()
    {
        WriteBuffers(state, messages, progress,
                     {{&state.GeneralText.text(), state.GeneralPath, TuningFile::General}});
    }

    std::vector<KeptVersion> versions() const { return KeptVersions(state, TuningFile::General); }
};

// Names of no version of ours, though they look like one: never listed nor removed, and
// never a reason to hide a version or stop removing the oldest.
const char* const HostileNames[] = {"999999999999999999_2026-01-01_00-00-00_0badf11e.txt",
                                    "1000000000_2026-01-01_00-00-00_0badf11e.txt",
                                    "0000500_2026-01-01_00-00-00_0badf11e.txt",
                                    "000000_2026-01-01_00-00-00_0badf11e.txt",
                                    "000500_2026-13-45_25-61-61_0badf11e.txt",
                                    "000500_2026-01-01_00-00-00_0BADF11E.txt",
                                    "000500_2026-01-01_00-00-00_0badf11e.txt\n.txt"};

// Each save keeps what it replaces, once; the hundred newest stay, whatever else the folder
// holds; a version that cannot be kept stops the save; a killed write's temporary file goes.
TEST_F(SaveHistoryTest, KeepsEachReplacedFileOnceAndAtMostAHundred)
{
    const std::string original = ReadBytes(state.GeneralPath);
    save();
    save(); // the same bytes again
    ASSERT_EQ(versions().size(), 1u);
    EXPECT_TRUE(ReadBytes(versions()[0].path) == original);
    const QDir folder(HistoryFolder(state, TuningFile::General));
    for (const char* name : HostileNames)
        WriteBytes(folder.filePath(QString::fromLatin1(name)), original);
    const QString left = folder.filePath(
        QStringLiteral(".000002_2026-01-01_00-00-00_0badf11e.txt.tunedeck-k1lled00"));
    WriteBytes(left, "cut off");

    for (int i = 0; i < MaxKeptVersions; ++i) {
        WriteBytes(state.GeneralPath, "content " + std::to_string(i) + "\r\n");
        KeepVersion(state, TuningFile::General, state.GeneralPath);
    }
    const std::vector<KeptVersion> kept = versions();
    ASSERT_EQ(kept.size(), static_cast<size_t>(MaxKeptVersions));
    EXPECT_EQ(ReadBytes(kept.front().path), "content 99\r\n");
    EXPECT_EQ(ReadBytes(kept.back().path), "content 0\r\n") << "not the oldest was removed";
    EXPECT_FALSE(QFile::exists(left)) << "a killed write's temporary file was left";
    KeepVersion(state, TuningFile::General, state.GeneralPath); // "content 99" again
    EXPECT_EQ(versions().front().serial, kept.front().serial) << "the newest was kept twice";
    for (const char* name : HostileNames)
        EXPECT_TRUE(QFile::exists(folder.filePath(QString::fromLatin1(name)))) << name;

    WriteBytes(state.GeneralPath, original);
    state.GeneralText.setLine(5, "a new value");
#ifdef TUNEDECK_POSIX_FAULTS
    {
        const InjectedFault full("write", ENOSPC, 0, HistoryFolder(state, TuningFile::General));
        save();
        const std::vector<QString> errors = messages.texts(FakeMessages::Error);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_TRUE(errors[0].startsWith(
            QStringLiteral("Save aborted. The present General.txt could not be kept in")))
            << errors[0].toStdString();
        EXPECT_TRUE(errors[0].endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC))))
            << errors[0].toStdString();
    }
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == original) << "the game file was replaced";
    EXPECT_EQ(versions().size(), static_cast<size_t>(MaxKeptVersions));
    EXPECT_EQ(QDir(HistoryFolder(state, TuningFile::General))
                  .entryList(QDir::Files | QDir::Hidden)
                  .size(),
              MaxKeptVersions + static_cast<int>(std::size(HostileNames)))
        << "a half-written version was left";
#endif
}

// Each game folder has one history of its own, whatever its name or the way to it; a save
// after one killed while removing the oldest versions keeps a hundred again.
TEST_F(SaveHistoryTest, OneHistoryForEachGameFolder)
{
    save();
    const QString history = HistoryFolder(state, TuningFile::General);
    ASSERT_TRUE(QFile::remove(QDir(history).filePath("../game-folder.txt")));
    WriteBytes(state.GeneralPath, "changed\r\n");
    save();
    EXPECT_EQ(versions().size(), 2u);
    EXPECT_TRUE(QFile::exists(QDir(history).filePath("../game-folder.txt")));

    AppState other = state; // a folder of the same name elsewhere, a link to this one
    other.GameDir = work.path("elsewhere/game");
    ASSERT_TRUE(QDir().mkpath(other.GameDir));
    EXPECT_NE(HistoryFolder(other, TuningFile::General), history);
#ifndef Q_OS_WIN
    ASSERT_TRUE(QFile::link(state.GameDir, work.path("linked")));
    other.GameDir = work.path("linked");
    EXPECT_EQ(HistoryFolder(other, TuningFile::General), history);

    // A name of 255 bytes, the longest a folder may have.
    other.GameDir = work.path(QString(255, QChar(0xe9)).left(127));
    ASSERT_TRUE(QDir().mkpath(other.GameDir));
    const QString named =
        QFileInfo(QFileInfo(HistoryFolder(other, TuningFile::General)).absolutePath()).fileName();
    EXPECT_LE(QFile::encodeName(named).size(), 255);
    EXPECT_TRUE(QDir().mkpath(HistoryFolder(other, TuningFile::General)));
#endif

    // Left by a save killed while it removed the oldest.
    const QString ours = versions().back().path;
    for (int i = 0; i < MaxKeptVersions + 18; ++i)
        WriteBytes(QDir(history).filePath(QStringLiteral("%1_2020-01-01_00-00-00_0badf11e.txt")
                                              .arg(1000 + i, 6, 10, QLatin1Char('0'))),
                   std::to_string(i));
    WriteBytes(state.GeneralPath, ReadBytes(versions().front().path));
    save();
    EXPECT_EQ(versions().size(), static_cast<size_t>(MaxKeptVersions));
    EXPECT_FALSE(QFile::exists(ours)) << "not the oldest went";
}

// Each version is listed with what the save after it changed, the newest against the file.
TEST_F(SaveHistoryTest, ListsTheSettingsEachSaveChangedNewestFirst)
{
    const std::string credits = state.GeneralText.line(58).substr(6); // "12,9,7" then the comment
    state.GeneralText.setLine(58, "12,250,7" + credits);
    save();
    state.GeneralText.setLine(58, "12,250,8" + credits);
    state.GeneralText.setLine(1, "0\tno section shows this line");
    save();

    const std::vector<HistoryEntry> entries = SaveHistory(state, {TuningFile::General});
    ASSERT_EQ(entries.size(), 2u);
    const VersionChanges& last = entries[0].changes;
    ASSERT_TRUE(last.comparable);
    ASSERT_EQ(last.settings.size(), 1u);
    EXPECT_EQ(last.settings[0].place.tab, Tab::Miscellaneous);
    EXPECT_EQ(last.settings[0].details,
              "Credits per unit car damage for (hard) skill level (with peds)");
    EXPECT_EQ(last.settings[0].original, "7");
    EXPECT_EQ(last.settings[0].current, "8");
    EXPECT_EQ(last.otherLines, 1);
    const VersionChanges& first = entries[1].changes;
    ASSERT_EQ(first.settings.size(), 1u);
    EXPECT_EQ(first.settings[0].original + " " + first.settings[0].current, "9 250");
    EXPECT_EQ(first.otherLines, 0);
}

// Put back over another program's save: No writes nothing and is no success; Yes puts it back.
TEST_F(SaveHistoryTest, PutBackOverAnotherProgramsSaveFollowsTheAnswer)
{
    save(); // Tunedeck's own stamp of the file
    state.GeneralText.setLine(58, "12,250,7\t// credits");
    save();
    const std::string stranger = ReadBytes(state.GeneralPath) + "another program's line\r\n";
    for (const bool answer : {false, true}) {
        WriteBytes(state.GeneralPath, stranger);
        messages.answer = answer;
        const KeptVersion version = versions().back();
        EXPECT_EQ(PutBack(state, messages, progress, version),
                  answer ? ActionOutcome::Done : ActionOutcome::Declined);
        EXPECT_EQ(ReadBytes(state.GeneralPath) == stranger, !answer);
    }
}

// A linked game file is kept through its link; one that cannot be read is not replaced.
TEST_F(SaveHistoryTest, ALinkedOrUnreadableFileIsReplacedOnlyOnceKept)
{
#ifndef Q_OS_WIN
    const std::string original = ReadBytes(state.GeneralPath);
    const QString real = work.path("mods/General.txt");
    ASSERT_TRUE(QDir().mkpath(work.path("mods")) && QFile::rename(state.GeneralPath, real) &&
                QFile::link(real, state.GeneralPath));
    save();
    ASSERT_EQ(versions().size(), 1u);
    EXPECT_TRUE(ReadBytes(versions()[0].path) == original);
#endif
#ifdef TUNEDECK_POSIX_FAULTS
    state.GeneralText.setLine(5, "a new value");
    const std::string saved = ReadBytes(state.GeneralPath);
    {
        const InjectedFault unreadable("read", EIO, 0, work.path());
        save();
    }
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == saved) << "replaced without a version";
#endif
}

} // namespace
