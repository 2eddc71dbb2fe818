// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffer_writing.h"

#include "commit_journal.h"
#include "disk_stamps.h"
#include "folder_lock.h"
#include "game_file_reading.h"
#include "interfaces.h"
#include "replacement_file.h"

#include <QFileInfo>
#include <QStringList>
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

// Finishes or undoes a two-file save that was cut off in the folders of the targets or of
// the game files, before anything there is written (which would remove its files).
std::vector<QString> RecoverCutOffSaves(const AppState& state,
                                        const std::vector<BufferTarget>& targets)
{
    QStringList folders;
    for (const BufferTarget& target : targets)
        folders << QFileInfo(target.path).absolutePath();
    for (const QString& path : {state.GeneralPath, state.SettingsPath})
        if (!path.isEmpty())
            folders << QFileInfo(path).absolutePath();
    folders.removeDuplicates();
    std::vector<QString> said;
    for (const QString& folder : folders) {
        const QString text = RecoverInterruptedCommit(folder);
        if (!text.isEmpty())
            said.push_back(text);
    }
    return said;
}

} // namespace

WriteResult WriteTogether(AppState& state, Progress& progress,
                          const std::vector<BufferTarget>& targets,
                          const std::vector<std::optional<FileStamp>>& seen)
{
    WriteResult result;
    result.recovered = RecoverCutOffSaves(state, targets);
    if (state.BeforeLockingGameFolder)
        state.BeforeLockingGameFolder(state);
    if (targets.size() == 1)
        progress.setMaximum(targets.front().buffer->count());
    std::vector<std::unique_ptr<ReplacementFile>> files;
    std::vector<std::string> contents;
    {
        // Held for the comparison and the write alone: never while a message waits for
        // the player.
        std::vector<FolderLock> locks;
        std::vector<LinkAtTarget> links;
        for (const BufferTarget& target : targets) {
            links.push_back(target.gameFile ? LinkAtTarget::Follow : LinkAtTarget::Replace);
            locks.emplace_back(target.path, links.back());
        }
        for (size_t i = 0; i < seen.size() && i < targets.size(); ++i)
            if (seen[i])
                if (std::optional<FileStamp> now = ChangedSince(*seen[i], targets[i].path))
                    result.changed.push_back({i, std::move(*now)});
        if (!result.changed.empty()) {
            result.outcome = WriteResult::Outcome::Changed;
            return result;
        }
        try {
            for (size_t i = 0; i < targets.size(); ++i)
                files.push_back(std::make_unique<ReplacementFile>(targets[i].path, links[i]));
        } catch (const ReadOnlyFile& readOnly) {
            result.outcome = WriteResult::Outcome::Refused;
            result.refusal = readOnly.text();
            progress.setPosition(0);
            return result;
        }
        std::vector<ReplacementFile*> replaced;
        for (size_t i = 0; i < targets.size(); ++i) {
            if (state.BeforeReplacingGameFile && targets[i].gameFile)
                state.BeforeReplacingGameFile(state, *targets[i].gameFile, targets[i].path);
            const TextBuffer& buffer = *targets[i].buffer;
            if (i > 0)
                progress.setPosition(0);
            progress.setMaximum(buffer.count());
            contents.push_back(FileBytes(buffer, FirstLineOf(targets[i]), progress));
            replaced.push_back(files[i].get());
        }
        result.error = ReplaceTogetherJournaled(replaced, contents);
    }

    for (size_t i = 0; i < targets.size(); ++i) {
        if (!files[i]->installed() || (result.error != 0 && targets.size() > 1))
            continue; // files written together were put back as they were
        if (targets[i].gameFile) {
            FileStamp& stamp =
                StampOf(state, *targets[i].gameFile)
                    .emplace(StampOfBytes(contents[i], QFileInfo(targets[i].path).lastModified()));
            stamp.lines = targets[i].buffer->lines();
            if (!stamp.lines.empty())
                stamp.lines[0] = FirstLineOf(targets[i]);
        }
        result.installed.push_back({targets[i].path, files[i]->folderSyncError()});
    }
    if (result.error != 0)
        result.outcome = WriteResult::Outcome::Failed;
    progress.setPosition(0);
    return result;
}
