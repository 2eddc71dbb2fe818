// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffer_writing.h"

#include "commit_journal.h"
#include "cut_off_saves.h"
#include "disk_stamps.h"
#include "errors.h"
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

using Failure = WriteResult::Failure;
using Step = WriteResult::Step;

const char* FirstLineOf(const BufferTarget& target)
{
    return target.gameFile ? HeaderLineOf(*target.gameFile) : nullptr;
}

LinkAtTarget LinksOf(const BufferTarget& target)
{
    return target.gameFile ? LinkAtTarget::Follow : LinkAtTarget::Replace;
}

// One save of buffers: what it holds while it runs (the locks of its folders and its
// temporary files, in its scope; the new files and their bytes), and its steps, each of
// which returns what it found. The files go before the scope lets go of the folders.
class BufferSave {
public:
    BufferSave(AppState& state, Progress& progress, const std::vector<BufferTarget>& targets)
        : state_(state), progress_(progress), targets_(targets)
    {
    }

    WriteResult run()
    {
        WriteResult result;
        // The steps in the order of buffer_writing.h. The folders are held for the comparison
        // and the write alone: never while a message waits for the player.
        std::optional<Failure> failure = lockFolders();
        if (!failure) {
            // A record left in place keeps the temporary files it names through this save.
            result.recovered = RecoverCutOffSaves(state_, scope_);
            result.changed = compare();
            if (!result.changed.empty()) {
                result.outcome = WriteResult::Outcome::Changed;
                return result;
            }
            failure = createFiles();
        }
        if (!failure)
            failure = keepVersions();
        if (!failure)
            failure = replaceFiles();
        if (failure) {
            result.outcome =
                failure->readOnly ? WriteResult::Outcome::Refused : WriteResult::Outcome::Failed;
            result.failure = *failure;
        }
        result.installed = stamp();
        return result;
    }

private:
    // 1. Each folder once, however many targets are in it.
    std::optional<Failure> lockFolders()
    {
        for (const BufferTarget& target : targets_)
            if (const std::optional<LockFailure> failure =
                    scope_.lock(target.path, LinksOf(target)))
                return Failure{Step::Locking, target.path, failure->folder, failure->heldElsewhere,
                               failure->systemText};
        return std::nullopt;
    }

    // 3.
    std::vector<ChangedTarget> compare() const
    {
        std::vector<ChangedTarget> changed;
        for (size_t i = 0; i < targets_.size(); ++i)
            if (targets_[i].seen)
                if (std::optional<FileStamp> now =
                        ChangedSince(*targets_[i].seen, targets_[i].path))
                    changed.push_back({i, std::move(*now)});
        return changed;
    }

    // 4.
    std::optional<Failure> createFiles()
    {
        for (const BufferTarget& target : targets_) {
            files_.push_back(
                std::make_unique<ReplacementFile>(target.path, LinksOf(target), &scope_));
            if (files_.back()->readOnly())
                return Failure{Step::Creating, target.path, {}, false, {}, true};
            if (const int error = files_.back()->creationError())
                return Failure{Step::Creating, target.path, {}, false, SystemErrorText(error)};
        }
        return std::nullopt;
    }

    // 5.
    std::optional<Failure> keepVersions()
    {
        for (const BufferTarget& target : targets_)
            if (target.gameFile && !state_.GameDir.isEmpty())
                if (const std::optional<VersionFailure> failure =
                        KeepVersion(state_, *target.gameFile, target.path))
                    return Failure{Step::KeepingVersion, target.path, failure->folder,
                                   failure->heldElsewhere, failure->systemText};
        return std::nullopt;
    }

    // 6 to 8. A save of both game files is recorded beside the first, where the next run
    // looks.
    std::optional<Failure> replaceFiles()
    {
        std::vector<ReplacementFile*> replaced;
        for (size_t i = 0; i < targets_.size(); ++i) {
            const TextBuffer& buffer = *targets_[i].buffer;
            if (i > 0)
                progress_.setPosition(0);
            progress_.setMaximum(buffer.count());
            contents_.push_back(FileBytes(buffer, FirstLineOf(targets_[i]), progress_));
            replaced.push_back(files_[i].get());
        }
        if (const std::optional<FileFailure> failure = ReplaceTogetherJournaled(
                replaced, contents_, QFileInfo(targets_.front().path).absolutePath(), scope_))
            return Failure{Step::Writing, failure->path, {}, false, SystemErrorText(failure->code)};
        return std::nullopt;
    }

    // 9. What each installed game file holds is Tunedeck's.
    std::vector<InstalledFile> stamp()
    {
        std::vector<InstalledFile> installed;
        for (size_t i = 0; i < files_.size(); ++i) {
            if (!files_[i]->installed())
                continue;
            if (const std::optional<TuningFile> file = targets_[i].gameFile) {
                FileStamp stamp =
                    StampOfBytes(contents_[i], QFileInfo(targets_[i].path).lastModified());
                stamp.lines = targets_[i].buffer->lines();
                if (!stamp.lines.empty())
                    stamp.lines[0] = FirstLineOf(targets_[i]);
                state_.document(*file).setStamp(std::move(stamp));
            }
            installed.push_back({targets_[i].path, files_[i]->folderSyncError()});
        }
        return installed;
    }

    AppState& state_;
    Progress& progress_;
    const std::vector<BufferTarget>& targets_;
    WriteScope scope_;
    std::vector<std::unique_ptr<ReplacementFile>> files_;
    std::vector<std::string> contents_;
};

} // namespace

WriteResult WriteTogether(AppState& state, Progress& progress,
                          const std::vector<BufferTarget>& targets)
{
    if (targets.size() == 1)
        progress.setMaximum(targets.front().buffer->count());
    WriteResult result = BufferSave(state, progress, targets).run();
    progress.setPosition(0);
    return result;
}
