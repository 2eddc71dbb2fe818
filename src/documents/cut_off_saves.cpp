// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut_off_saves.h"

#include "cut_off_saves_entries.h"

#include "commit_journal.h"
#include "errors.h"
#include "folder_lock.h"
#include "game_paths.h"
#include "replacement_file.h"
#include "version_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace {

using Outcome = CutOffSave::Outcome;
// Why a version could not be kept, as the outcome tells it.
void Tell(CutOffSave& said, const VersionFailure& failure)
{
    said.systemText = failure.systemText;
    if (failure.heldElsewhere)
        said.busyFolder = failure.folder;
}

// Puts `from` (a prepared file or old copy) in the place of the entry's game file, keeping
// what the game file holds as a version first. Returns the outcome of a step that failed.
std::optional<CutOffSave> PutInPlace(const AppState& state, const Entry& entry, const QString& from,
                                     CutOffSave said)
{
    if (IsReadOnlyFile(entry.recorded.target)) {
        said.outcome = Outcome::ReadOnly;
        said.files = {entry.file};
        return said;
    }
    if (const std::optional<VersionFailure> failure =
            KeepVersion(state, entry.file, entry.recorded.target)) {
        said.outcome = Outcome::Failed;
        Tell(said, *failure);
        return said;
    }
    if (const int error = MoveIntoPlace(from, entry.recorded.target)) {
        said.outcome = Outcome::Failed;
        said.systemText = SystemErrorText(error);
        return said;
    }
    return std::nullopt;
}

// Sets the record aside when another program saved a game file since: it is left, and
// kept as a version.
CutOffSave SetAside(const AppState& state, const std::vector<Entry>& entries, CutOffSave said)
{
    said.outcome = Outcome::ChangedSince;
    said.files.clear();
    for (const Entry& entry : entries) {
        if (entry.holds != Holds::Other)
            continue;
        said.files.push_back(entry.file);
        if (const std::optional<VersionFailure> failure =
                KeepVersion(state, entry.file, entry.recorded.target))
            Tell(said, *failure);
    }
    if (!said.systemText.isEmpty() || !said.busyFolder.isEmpty())
        return said; // tried again at the next run, the record as it was
    const QString aside = QDir(QFileInfo(said.record).absolutePath()).filePath(SetAsideJournalName);
    QFile::remove(aside);
    if (QFile::rename(said.record, aside))
        said.record = aside;
    return said;
}
// A step that could not lock a folder.
CutOffSave LockFailed(const QString& recordPath, const LockFailure& failure)
{
    CutOffSave said;
    said.outcome = Outcome::Failed;
    said.record = recordPath;
    said.systemText = failure.systemText;
    if (failure.heldElsewhere)
        said.busyFolder = failure.folder;
    return said;
}

CutOffSave Recover(const AppState& state, const QString& recordPath, WriteScope& scope)
{
    CutOffSave said;
    said.record = recordPath;
    std::string bytes;
    const SmallFileRead read = ReadSmallFile(recordPath, MaxCommitJournalBytes, bytes);
    if (read != SmallFileRead::Read) {
        said.outcome = Outcome::Unreadable;
        return said;
    }
    std::optional<std::vector<Entry>> parsed = EntriesOf(state, bytes);
    if (!parsed) {
        said.outcome = Outcome::NotOurs;
        return said;
    }
    std::vector<Entry>& entries = *parsed;
    for (const Entry& entry : entries) {
        said.files.push_back(entry.file);
        if (const std::optional<LockFailure> failure =
                scope.lock(entry.recorded.target, LinkAtTarget::Replace))
            return LockFailed(recordPath, *failure);
    }

    Compare(entries);
    for (const Entry& entry : entries)
        if (entry.holds == Holds::Other)
            return SetAside(state, entries, said);
    said.outcome = WayOf(entries);
    if (said.outcome == Outcome::NeitherWay)
        return said;
    const bool finishing = said.outcome == Outcome::Finished;
    for (const Entry& entry : entries) {
        if (entry.holds == (finishing ? Holds::New : Holds::Old))
            continue;
        const QString& from = finishing ? entry.recorded.prepared : entry.recorded.previous;
        if (std::optional<CutOffSave> failed = PutInPlace(state, entry, from, said))
            return *failed;
        said.replaced.emplace_back(entry.file, HistoryFolder(state, entry.file));
    }
    RemoveRecord(entries, recordPath);
    return said;
}

} // namespace

std::vector<CutOffSave> RecoverCutOffSaves(const AppState& state)
{
    WriteScope scope;
    return RecoverCutOffSaves(state, scope);
}

std::vector<CutOffSave> RecoverCutOffSaves(const AppState& state, WriteScope& scope)
{
    std::vector<CutOffSave> recovered;
    if (state.GameDir.isEmpty())
        return recovered;
    QStringList folders;
    for (TuningFile file : TuningFiles)
        folders << QFileInfo(GameFilePath(state.GameDir, QLatin1String(RelativePath(file))))
                       .absolutePath();
    folders.removeDuplicates();
    for (const QString& folder : folders) {
        const QString record = QDir(folder).filePath(QLatin1String(CommitJournalName));
        const QFileInfo info(record);
        if (!info.exists() && !info.isSymLink())
            continue;
        // Looked at under the lock: another Tunedeck may be in the middle of its save.
        if (const std::optional<LockFailure> failure = scope.lock(record, LinkAtTarget::Replace))
            recovered.push_back(LockFailed(record, *failure));
        else if (QFileInfo(record).exists() || QFileInfo(record).isSymLink())
            recovered.push_back(Recover(state, record, scope));
    }
    for (const CutOffSave& save : recovered)
        if (save.outcome != Outcome::Finished && save.outcome != Outcome::Undone &&
            save.outcome != Outcome::ChangedSince)
            scope.keepLeftTemporaries();
    return recovered;
}
