// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffer_writing.h"

#include "commit_journal.h"
#include "cut_off_saves.h"
#include "disk_stamps.h"
#include "folder_lock.h"
#include "game_file_reading.h"
#include "interfaces.h"
#include "replacement_file.h"
#include "version_store.h"

#include <QFileInfo>
#include <memory>

std::string FileBytes(const TextBuffer& buffer, const char* firstLine, Progress& progress)
{
    const int n = buffer.count();
    std::string bytes;
    if (n == 0)
        return bytes;
    bytes.reserve(static_cast<size_t>(n) * 64);
    bytes += firstLine ? std::string(firstLine) : buffer.line(0);
    bytes += "\r\n";
    for (int i = 1; i < n; ++i) {
        bytes += buffer.line(i);
        bytes += "\r\n";
        if (progress.position() < n)
            progress.stepIt();
    }
    return bytes;
}

namespace {

const char* FirstLineOf(const BufferTarget& target)
{
    return target.gameFile ? HeaderLineOf(*target.gameFile) : nullptr;
}

LinkAtTarget LinksOf(const BufferTarget& target)
{
    return target.gameFile ? LinkAtTarget::Follow : LinkAtTarget::Replace;
}

WriteResult& Failed(WriteResult& result, WriteResult::Step step, const QString& path,
                    const QString& systemText)
{
    result.outcome = WriteResult::Outcome::Failed;
    result.failedStep = step;
    result.path = path;
    result.systemText = systemText;
    return result;
}

// Whether a cut-off save's record stays in place: the temporary files it names are kept.
bool RecordLeft(const std::vector<CutOffSave>& recovered)
{
    for (const CutOffSave& save : recovered)
        if (save.outcome != CutOffSave::Outcome::Finished &&
            save.outcome != CutOffSave::Outcome::Undone &&
            save.outcome != CutOffSave::Outcome::ChangedSince)
            return true;
    return false;
}

// Steps 1 to 7; the files put in place are those whose installed() is true.
void Write(AppState& state, Progress& progress, const std::vector<BufferTarget>& targets,
           WriteResult& result, std::vector<std::unique_ptr<ReplacementFile>>& files,
           std::vector<std::string>& contents)
{
    // Held for the comparison and the write alone: never while a message waits for the
    // player.
    std::vector<FolderLock> locks;
    for (const BufferTarget& target : targets) {
        try {
            locks.emplace_back(target.path, LinksOf(target));
        } catch (const FileError& error) {
            Failed(result, WriteResult::Step::Locking, target.path, error.text());
            return;
        }
    }

    result.recovered = RecoverCutOffSaves(state);

    for (size_t i = 0; i < targets.size(); ++i)
        if (targets[i].seen)
            if (std::optional<FileStamp> now = ChangedSince(*targets[i].seen, targets[i].path))
                result.changed.push_back({i, std::move(*now)});
    if (!result.changed.empty()) {
        result.outcome = WriteResult::Outcome::Changed;
        return;
    }

    // The temporary files of a record left in place stay for the run that can act on it.
    const LeftTemporaries left =
        RecordLeft(result.recovered) ? LeftTemporaries::Keep : LeftTemporaries::Remove;
    for (const BufferTarget& target : targets) {
        files.push_back(std::make_unique<ReplacementFile>(target.path, LinksOf(target), left));
        if (files.back()->readOnly()) {
            result.outcome = WriteResult::Outcome::Refused;
            result.path = target.path;
            return;
        }
        if (const int error = files.back()->creationError()) {
            Failed(result, WriteResult::Step::Creating, target.path, SystemErrorText(error));
            return;
        }
    }

    for (const BufferTarget& target : targets)
        if (target.keepVersion && target.gameFile && !state.GameDir.isEmpty())
            if (const std::optional<VersionFailure> failure =
                    KeepVersion(state, *target.gameFile, target.path)) {
                Failed(result, WriteResult::Step::KeepingVersion, failure->folder,
                       failure->systemText);
                return;
            }

    std::vector<ReplacementFile*> replaced;
    for (size_t i = 0; i < targets.size(); ++i) {
        const TextBuffer& buffer = *targets[i].buffer;
        if (i > 0)
            progress.setPosition(0);
        progress.setMaximum(buffer.count());
        contents.push_back(FileBytes(buffer, FirstLineOf(targets[i]), progress));
        replaced.push_back(files[i].get());
    }
    // A save of both game files is recorded beside the first, where the next run looks.
    QString failedPath;
    if (const int error = ReplaceTogetherJournaled(
            replaced, contents, QFileInfo(targets.front().path).absolutePath(), failedPath))
        Failed(result, WriteResult::Step::Writing, failedPath, SystemErrorText(error));
}

} // namespace

WriteResult WriteTogether(AppState& state, Progress& progress,
                          const std::vector<BufferTarget>& targets)
{
    WriteResult result;
    if (targets.size() == 1)
        progress.setMaximum(targets.front().buffer->count());
    std::vector<std::unique_ptr<ReplacementFile>> files;
    std::vector<std::string> contents;
    Write(state, progress, targets, result, files, contents);
    progress.setPosition(0);
    if (result.outcome != WriteResult::Outcome::Written &&
        result.outcome != WriteResult::Outcome::Failed)
        return result;

    // 8. What each installed game file holds is Tunedeck's.
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i]->installed())
            continue;
        if (targets[i].gameFile) {
            FileStamp stamp =
                StampOfBytes(contents[i], QFileInfo(targets[i].path).lastModified());
            stamp.lines = targets[i].buffer->lines();
            if (!stamp.lines.empty())
                stamp.lines[0] = FirstLineOf(targets[i]);
            state.document(*targets[i].gameFile).setStamp(std::move(stamp));
        }
        result.installed.push_back({targets[i].path, files[i]->folderSyncError()});
    }
    return result;
}
