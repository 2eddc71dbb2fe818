// SPDX-License-Identifier: GPL-3.0-or-later
#include "save_history.h"

#include "outcome_texts.h"
#include "tab_actions.h"

#include "documents/errors.h"
#include "documents/game_file_reading.h"
#include "documents/interfaces.h"

#include <utility>

namespace {

TextBuffer Content(TuningFile file, const QString& path)
{
    try {
        return TextBuffer(ContentLines(file, path));
    } catch (const FileError&) {
        return {}; // listed as not comparable
    }
}

bool Newer(const KeptVersion& a, const KeptVersion& b)
{
    return a.time != b.time ? a.time > b.time : a.written > b.written;
}

} // namespace

std::vector<std::string> ContentLines(TuningFile file, const QString& path)
{
    GameFileRead read = ReadGameFile(file, path);
    if (read.outcome == ReadOutcome::ReadError)
        throw FileError(read.failureText, read.systemText);
    if (read.outcome != ReadOutcome::Loaded && read.outcome != ReadOutcome::WrongLineCount)
        read.lines.clear();
    return std::move(read.lines);
}

VersionChanges ChangesBetween(TuningFile file, const TextBuffer& older, const TextBuffer& newer)
{
    VersionChanges changes;
    changes.comparable = older.count() == LineCountOf(file) && newer.count() == LineCountOf(file);
    if (!changes.comparable)
        return changes;
    changes.settings = ChangedSettingsOf(file, newer, older);
    changes.otherLines = OtherLinesChanged(file, newer, older);
    return changes;
}

std::vector<HistoryEntry> SaveHistory(const AppState& state, const std::vector<TuningFile>& files)
{
    std::vector<std::vector<HistoryEntry>> lists;
    for (TuningFile file : files) {
        std::vector<HistoryEntry> list;
        TextBuffer newer =
            Content(file, file == TuningFile::General ? state.GeneralPath : state.SettingsPath);
        for (const KeptVersion& version : KeptVersions(state, file)) {
            TextBuffer older = Content(file, version.path);
            list.push_back({version, ChangesBetween(file, older, newer)});
            newer = std::move(older);
        }
        lists.push_back(std::move(list));
    }
    // Merged newest first; within one second, by when the version was written.
    std::vector<HistoryEntry> merged;
    std::vector<size_t> next(lists.size(), 0);
    for (;;) {
        int pick = -1;
        for (size_t l = 0; l < lists.size(); ++l)
            if (next[l] < lists[l].size() &&
                (pick < 0 ||
                 Newer(lists[l][next[l]].version,
                       lists[static_cast<size_t>(pick)][next[static_cast<size_t>(pick)]].version)))
                pick = static_cast<int>(l);
        if (pick < 0)
            return merged;
        merged.push_back(
            std::move(lists[static_cast<size_t>(pick)][next[static_cast<size_t>(pick)]++]));
    }
}

ActionOutcome PutBack(AppState& state, Messages& messages, Progress& progress,
                      const KeptVersion& version)
{
    const QString& path = PathOf(state, version.file);
    if (path.isEmpty()) {
        messages.error(MissingFileText());
        return ActionOutcome::Refused;
    }
    const TextBuffer lines(ContentLines(version.file, version.path));
    if (lines.count() != LineCountOf(version.file)) {
        messages.error(VersionNotAGameFileText(HistoryName(version.file), ShownTime(version),
                                               LineCountOf(version.file)));
        return ActionOutcome::Refused;
    }
    return WriteAfterAsking(state, messages, progress, {{&lines, path, version.file}},
                            QStringLiteral("the version kept at %1").arg(ShownTime(version)));
}
