// SPDX-License-Identifier: GPL-3.0-or-later
// Records of cut-off saves as a hostile folder or a careless tool leaves them: what the next
// run does with each.
#include "documents/commit_journal.h"
#include "documents/cut_off_saves.h"
#include "documents/disk_stamps.h"
#include "documents/game_file_reading.h"
#include "documents/replacement_file.h"
#include "documents/version_store.h"
#include "editing/tab_actions.h"
#include "faults/fault_injection.h"
#include "support/fakes.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace {

using Outcome = CutOffSave::Outcome;

class CutOffSaves : public ::testing::Test, protected FolderState {
protected:
    std::string general = ReadBytes(state.GeneralPath);
    std::string settings = ReadBytes(state.SettingsPath);
    std::string newGeneral = Edited(general);
    std::string newSettings = Edited(settings);

    static std::string Edited(std::string bytes)
    {
        return bytes.replace(bytes.find('\n') + 1, 1, "7");
    }

    QString record() const { return work.path("game/data/" + QString(CommitJournalName)); }

    // A temporary file of the game file (beside the real file) holding the bytes.
    QString temporary(const QString& gamePath, const char* letters, const std::string& bytes)
    {
        const QFileInfo real(ReplacedPath(gamePath, LinkAtTarget::Follow));
        const QString path =
            QDir(real.absolutePath()).filePath("." + real.fileName() + ".tunedeck-" + letters);
        WriteBytes(path, bytes);
        return path;
    }

    static QByteArray Line(const QString& target, const QString& prepared,
                           const std::string& newBytes, const QString& old,
                           const std::string& oldBytes)
    {
        const auto field = [](const QString& path) {
            return path.isEmpty() ? QByteArray("-") : QFile::encodeName(path).toPercentEncoding();
        };
        // Targets are recorded as the write path names them.
        return field(ReplacedPath(target, LinkAtTarget::Follow)) + '\t' + field(prepared) + '\t' +
               Sha256Hex(newBytes) + '\t' + field(old) + '\t' +
               (old.isEmpty() ? QByteArray("-") : Sha256Hex(oldBytes)) + '\n';
    }

    // The record a save of both files cut off before its first rename leaves, with its files.
    QByteArray cutOffSave()
    {
        return "Tunedeck commit 1\n" +
               Line(state.GeneralPath, temporary(state.GeneralPath, "newnew01", newGeneral),
                    newGeneral, temporary(state.GeneralPath, "oldold01", general), general) +
               Line(state.SettingsPath, temporary(state.SettingsPath, "newnew02", newSettings),
                    newSettings, temporary(state.SettingsPath, "oldold02", settings), settings);
    }

    // The outcome of the one record found.
    Outcome recover(std::vector<TuningFile>* files = nullptr) const
    {
        const std::vector<CutOffSave> said = RecoverCutOffSaves(state);
        EXPECT_EQ(said.size(), 1u);
        if (files && !said.empty())
            *files = said[0].files;
        return said.empty() ? Outcome::Failed : said[0].outcome;
    }

    void expectUntouched()
    {
        EXPECT_TRUE(ReadBytes(state.GeneralPath) == general) << "General.txt was changed";
        EXPECT_TRUE(ReadBytes(state.SettingsPath) == settings) << "Settings.txt was changed";
    }
};

// Records that are not ours, or ask for what no save of ours does, are left, and change
// nothing: not the game files, not a file elsewhere.
TEST_F(CutOffSaves, RecordsNotOfThisFolderAreLeftAndTouchNothing)
{
    WriteBytes(work.path("game/savegame.dat"), "a save game\n");
    WriteBytes(work.path("elsewhere"), "mine\n");
    const QString bak = work.path("game/data/General.bak");
    WriteBytes(bak, Edited(general));
    const struct {
        const char* name;
        QByteArray record;
    } cases[] = {
        {"no prepared file, no old copy",
         "Tunedeck commit 1\n" + Line(state.GeneralPath, {}, newGeneral, {}, {}) +
             Line(work.path("game/savegame.dat"), {}, "x", {}, {})},
        {"a file outside the folder",
         "Tunedeck commit 1\n" +
             Line(work.path("elsewhere"), work.path(".elsewhere.tunedeck-aaaaaaaa"), "x", {}, {})},
        {"General.bak as the prepared file",
         "Tunedeck commit 1\n" + Line(state.GeneralPath, bak, Edited(general), {}, {})},
        {"General.txt twice",
         "Tunedeck commit 1\n" +
             Line(state.GeneralPath, temporary(state.GeneralPath, "twice001", newGeneral),
                  newGeneral, {}, {}) +
             Line(state.GeneralPath, temporary(state.GeneralPath, "twice002", newGeneral),
                  newGeneral, {}, {})},
        {"General.txt alone, old as the stock file",
         "Tunedeck commit 1\n" +
             Line(state.GeneralPath, temporary(state.GeneralPath, "planted1", newGeneral),
                  newGeneral, temporary(state.GeneralPath, "oldold09", general), general)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(record(), c.record.toStdString());
        EXPECT_EQ(recover(), Outcome::NotOurs);
        expectUntouched();
        EXPECT_EQ(ReadBytes(work.path("game/savegame.dat")), "a save game\n");
        EXPECT_EQ(ReadBytes(work.path("elsewhere")), "mine\n");
        EXPECT_TRUE(QFile::exists(record())) << "the record was not left as it is";
    }
}

#ifndef Q_OS_WIN
// A link, a FIFO or a device in the record's place is not opened: the run goes on at once.
TEST_F(CutOffSaves, ARecordThatIsNoPlainFileIsNotOpened)
{
    const QString real = work.path("real record");
    WriteBytes(real, cutOffSave().toStdString());
    const std::vector<std::pair<const char*, std::function<bool()>>> kinds = {
        {"link", [&] { return QFile::link(real, record()); }},
        {"FIFO", [&] { return ::mkfifo(QFile::encodeName(record()).constData(), 0600) == 0; }},
        {"device",
         [&] {
             // Made where the test may (as root); elsewhere a FIFO stands for it.
             return ::mknod(QFile::encodeName(record()).constData(), S_IFCHR | 0600,
                            makedev(1, 5)) == 0 ||
                    ::mkfifo(QFile::encodeName(record()).constData(), 0600) == 0;
         }},
        {"too large",
         [&] {
             return QFile::resize(real, MaxCommitJournalBytes + 1) && QFile::copy(real, record());
         }},
    };
    for (const auto& [kind, make] : kinds) {
        SCOPED_TRACE(kind);
        QFile::remove(record());
        ASSERT_TRUE(make());
        EXPECT_EQ(recover(), Outcome::Unreadable);
        expectUntouched();
    }
}
#endif

// A cut-off save is finished only when every prepared file holds what the record says and
// has the game file's shape; else undone from the old copies.
TEST_F(CutOffSaves, FinishedOnlyWithEveryPreparedFileWhole)
{
    WriteBytes(record(), cutOffSave().toStdString());
    EXPECT_EQ(recover(), Outcome::Finished);
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == newGeneral);
    EXPECT_TRUE(ReadBytes(state.SettingsPath) == newSettings);
    EXPECT_FALSE(QFile::exists(record()));
    EXPECT_EQ(Entries(work.path("game/data/peds")), QStringList{"Settings.txt"});

    // General.txt in place, Settings.txt's prepared file not what was written: both go back.
    WriteBytes(state.GeneralPath, general);
    WriteBytes(state.SettingsPath, settings);
    WriteBytes(record(), cutOffSave().toStdString());
    ASSERT_TRUE(QFile::remove(work.path("game/data/.General.txt.tunedeck-newnew01")));
    WriteBytes(state.GeneralPath, newGeneral);
    // Shaped like the file, but not the bytes the save wrote.
    std::string other = settings;
    other[other.size() / 2] = '#';
    WriteBytes(work.path("game/data/peds/.Settings.txt.tunedeck-newnew02"), other);
    EXPECT_EQ(recover(), Outcome::Undone);
    expectUntouched();
    // What the undo replaced is in the history.
    EXPECT_TRUE(ReadBytes(KeptVersions(state, TuningFile::General).front().path) == newGeneral);

    // Neither way when the old copy is not what the record says either.
    WriteBytes(state.GeneralPath, newGeneral);
    WriteBytes(record(), cutOffSave().toStdString());
    WriteBytes(work.path("game/data/.General.txt.tunedeck-oldold01"), other);
    WriteBytes(work.path("game/data/peds/.Settings.txt.tunedeck-newnew02"), other);
    EXPECT_EQ(recover(), Outcome::NeitherWay);
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == newGeneral);
    WriteBytes(state.GeneralPath, general);
    QFile::remove(record());

    // A prepared file with its recorded sum, but not a game file's shape, is never put in.
    const std::string oneLine = "one line\r\n";
    WriteBytes(record(),
               ("Tunedeck commit 1\n" +
                Line(state.GeneralPath, temporary(state.GeneralPath, "oneline1", oneLine), oneLine,
                     temporary(state.GeneralPath, "oldold03", general), general) +
                Line(state.SettingsPath, temporary(state.SettingsPath, "newnew04", newSettings),
                     newSettings, temporary(state.SettingsPath, "oldold04", settings), settings))
                   .toStdString());
    EXPECT_EQ(recover(), Outcome::Undone);
    expectUntouched();

    // A save that was creating a missing General.txt is finished, never set aside.
    ASSERT_TRUE(QFile::remove(state.GeneralPath));
    WriteBytes(record(),
               ("Tunedeck commit 1\n" +
                Line(state.GeneralPath, temporary(state.GeneralPath, "newnew05", newGeneral),
                     newGeneral, {}, {}) +
                cutOffSave().split('\n')[2] + '\n')
                   .toStdString());
    EXPECT_EQ(recover(), Outcome::Finished);
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == newGeneral);
}

// A save finishes another run's cut-off save before it compares and writes, and a rename
// that fails while finishing leaves the record for the next run.
TEST_F(CutOffSaves, ASaveFinishesACutOffSaveFirst)
{
    state.GeneralText.assign(SplitLines(general));
    RememberDiskFile(state, TuningFile::General);
    WriteBytes(record(), cutOffSave().toStdString());
#ifdef TUNEDECK_POSIX_FAULTS
    {
        const InjectedFault fault("rename", EIO, 0, work.path("game/data"));
        EXPECT_EQ(recover(), Outcome::Failed);
    }
    EXPECT_TRUE(QFile::exists(record()));
    EXPECT_TRUE(ReadBytes(state.SettingsPath) == settings);
#endif
    // What it put in place is asked about (answered No), never replaced unasked.
    EXPECT_EQ(Save(state, controls, Tab::CarSettings), ActionOutcome::Declined);
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == newGeneral) << "the cut-off save was not finished";
    const QString said = messages.texts(FakeMessages::Warning).front();
    EXPECT_TRUE(said.startsWith("A save of General.txt and Settings.txt that was cut off") &&
                said.contains(" What Settings.txt held is kept in " +
                              QDir::toNativeSeparators(HistoryFolder(state, TuningFile::Settings))))
        << said.toStdString();
}

#ifdef TUNEDECK_POSIX_FAULTS
// A save of both files whose second rename fails, and the undo of the first as well, leaves
// its record: the next run puts both files back; so does a recovery that cannot sync.
TEST_F(CutOffSaves, AFailedUndoOrSyncLeavesTheRecord)
{
    const TextBuffer first(SplitLines(newGeneral));
    const TextBuffer second(SplitLines(newSettings));
    {
        const InjectedFault fault("rename-after", EIO, 2,
                                  work.gameDir()); // the record, General.txt
        WriteBuffers(state, messages, progress,
                     {{&first, state.GeneralPath, TuningFile::General},
                      {&second, state.SettingsPath, TuningFile::Settings}});
    }
    EXPECT_EQ(recover(), Outcome::Undone);
    expectUntouched();

    // The record goes only once what was put in place is synced: while it cannot be, it stays.
    WriteBytes(record(), cutOffSave().toStdString());
    {
        const InjectedFault fault("folder-fsync", EIO, 0, work.gameDir());
        EXPECT_EQ(recover(), Outcome::Failed);
    }
    EXPECT_EQ(recover(), Outcome::Finished);
}
#endif

// A record that can go neither way stays, and so do the files it names: the save made
// meanwhile removes none of them as a left temporary file.
TEST_F(CutOffSaves, ALeftRecordKeepsItsFilesThroughASave)
{
    WriteBytes(record(), cutOffSave().toStdString());
    WriteBytes(state.GeneralPath, newGeneral);
    WriteBytes(work.path("game/data/.General.txt.tunedeck-oldold01"), "not the old file\r\n");
    WriteBytes(work.path("game/data/peds/.Settings.txt.tunedeck-newnew02"), "not the new one\r\n");
    const TextBuffer buffer(SplitLines(general));
    WriteBuffers(state, messages, progress, {{&buffer, state.GeneralPath, TuningFile::General}});
    EXPECT_TRUE(messages.anyStartsWith("A save of General.txt and Settings.txt that was cut off "
                                       "can be neither finished nor undone."));
    EXPECT_EQ(Entries(work.path("game/data")).filter(".tunedeck-"),
              (QStringList{".General.txt.tunedeck-newnew01", ".General.txt.tunedeck-oldold01",
                           ".tunedeck-commit"}));
}

// A game file that another program saved after the cut is left as it is, kept in the
// history, and named; the record is set aside.
TEST_F(CutOffSaves, AnotherProgramsLaterSaveSurvives)
{
    WriteBytes(record(), cutOffSave().toStdString());
    const std::string theirs = Edited(Edited(general)) + "x";
    WriteBytes(state.GeneralPath, theirs);
    std::vector<TuningFile> changed;
    EXPECT_EQ(recover(&changed), Outcome::ChangedSince);
    EXPECT_EQ(changed, std::vector<TuningFile>{TuningFile::General});
    EXPECT_TRUE(ReadBytes(state.GeneralPath) == theirs);
    EXPECT_TRUE(ReadBytes(state.SettingsPath) == settings);
    EXPECT_TRUE(ReadBytes(KeptVersions(state, TuningFile::General).front().path) == theirs);
    EXPECT_FALSE(QFile::exists(record()));
    EXPECT_TRUE(QFile::exists(work.path("game/data/" + QString(SetAsideJournalName))));
}

#ifndef Q_OS_WIN
// A read-only game file is left as it is.
TEST_F(CutOffSaves, AReadOnlyGameFileIsLeft)
{
    WriteBytes(record(), cutOffSave().toStdString());
    ASSERT_TRUE(QFile::setPermissions(state.SettingsPath, QFileDevice::ReadOwner));
    EXPECT_EQ(recover(), Outcome::ReadOnly);
    EXPECT_TRUE(ReadBytes(state.SettingsPath) == settings);
    EXPECT_EQ(QFile::permissions(state.SettingsPath) & QFileDevice::WriteOwner, 0);
    EXPECT_TRUE(QFile::exists(record()));
    // A Backup meanwhile sweeps none of the files the record names.
    QStringList named = Entries(work.path("game/data"));
    const TextBuffer buffer(SplitLines(general));
    WriteBuffers(state, messages, progress, {{&buffer, work.path("game/data/General.bak"), {}}});
    named << "General.bak";
    named.sort();
    EXPECT_EQ(Entries(work.path("game/data")), named);
}

// With General.txt a link, as mod managers deploy files, the save is found and finished, and
// the link stays.
TEST_F(CutOffSaves, ALinkedGameFileIsFinished)
{
    const QString real = work.path("mods/General.txt");
    ASSERT_TRUE(QDir().mkpath(work.path("mods")));
    ASSERT_TRUE(QFile::rename(state.GeneralPath, real));
    ASSERT_TRUE(QFile::link(real, state.GeneralPath));
    WriteBytes(record(), cutOffSave().toStdString());
    EXPECT_EQ(recover(), Outcome::Finished);
    EXPECT_TRUE(QFileInfo(state.GeneralPath).isSymLink());
    EXPECT_TRUE(ReadBytes(real) == newGeneral);
    EXPECT_TRUE(ReadBytes(state.SettingsPath) == newSettings);
}
#endif

} // namespace
