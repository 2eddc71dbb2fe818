// SPDX-License-Identifier: GPL-3.0-or-later
#include "tab_actions.h"

#include "outcome_texts.h"
#include "section_controls.h"

#include "documents/disk_stamps.h"
#include "documents/errors.h"
#include "documents/game_paths.h"
#include "documents/interfaces.h"

#include <QFileInfo>

namespace {

bool Rejected(ReadOutcome outcome)
{
    return outcome == ReadOutcome::TooLarge || outcome == ReadOutcome::WrongLineCount;
}

// A buffer a load fills, and the chooser of its tab, which the load resets.
struct LoadTarget {
    TextBuffer& buffer;
    Chooser& chooser;
};

// Fills the buffers from one read of the file; tells nothing.
GameFileRead FillBuffers(AppState& state, Progress& bar, const std::vector<LoadTarget>& targets,
                         TuningFile file, const QString& path, LoadAs as)
{
    bar.setMaximum(LineCountOf(file));
    for (const LoadTarget& target : targets) {
        target.buffer.clear();
        target.chooser.clearSelection();
    }
    GameFileRead read =
        ReadGameFile(file, path, as == LoadAs::ReferenceCopy ? LineCheck::None : LineCheck::Exact);
    if (as == LoadAs::GameFile && (read.outcome == ReadOutcome::Loaded || Rejected(read.outcome)))
        StampOf(state, file) = read.stamp;
    for (const std::string& line : read.lines) {
        for (const LoadTarget& target : targets)
            target.buffer.append(line);
        bar.stepIt();
    }
    bar.setPosition(0);
    if (!read.loaded())
        for (const LoadTarget& target : targets)
            target.buffer.clear();
    return read;
}

LoadWording WordingOf(LoadAs as)
{
    return as == LoadAs::ReferenceCopy ? LoadWording::Copy : LoadWording::Load;
}

ActionOutcome OutcomeOf(const WriteResult& result)
{
    switch (result.outcome) {
    case WriteResult::Outcome::Written:
        return ActionOutcome::Done;
    case WriteResult::Outcome::Refused:
        return ActionOutcome::Refused;
    case WriteResult::Outcome::Changed:
    case WriteResult::Outcome::Failed:
        break;
    }
    return ActionOutcome::Failed;
}

} // namespace

ReadOutcome LoadGameFile(AppState& state, Messages& messages, Progress& bar, TextBuffer& buffer,
                         Chooser& chooser, TuningFile file, const QString& path, LoadAs as)
{
    const GameFileRead read = FillBuffers(state, bar, {{buffer, chooser}}, file, path, as);
    TellLoad(messages, read, file, path, WordingOf(as));
    return read.outcome;
}

GameFileRead LoadBuffersOf(AppState& state, const Feedback& feedback, TuningFile file,
                           const QString& path, LoadAs as)
{
    std::vector<LoadTarget> targets;
    for (Tab tab : BuffersOf(file))
        targets.push_back({state.buffer(tab), feedback.chooser(tab)});
    GameFileRead read = FillBuffers(state, feedback.progress, targets, file, path, as);
    TellLoad(feedback.messages, read, file, path, WordingOf(as));
    return read;
}

ActionOutcome WriteBuffers(AppState& state, Messages& messages, Progress& progress,
                           const std::vector<BufferTarget>& targets)
{
    const WriteResult result = WriteTogether(state, progress, targets);
    TellCutOffSaves(messages, result.recovered);
    TellWritten(messages, result);
    return OutcomeOf(result);
}

ActionOutcome WriteAfterAsking(AppState& state, Messages& messages, Progress& progress,
                               const std::vector<BufferTarget>& targets, const QString& replacement)
{
    std::vector<BufferTarget> compared = targets;
    for (BufferTarget& target : compared)
        if (target.gameFile)
            target.seen = StampOf(state, *target.gameFile);
    // The lock is let go while the player is asked; after Yes the files are compared again
    // with what they held when asked, so a change made meanwhile is asked about in turn.
    for (;;) {
        const WriteResult result = WriteTogether(state, progress, compared);
        TellCutOffSaves(messages, result.recovered);
        if (result.outcome != WriteResult::Outcome::Changed) {
            TellWritten(messages, result);
            return OutcomeOf(result);
        }
        for (const ChangedTarget& file : result.changed) {
            if (!messages.ask(ChangedOnDiskQuestion(compared[file.index].path, replacement)))
                return ActionOutcome::Declined;
            compared[file.index].seen = file.now;
        }
    }
}

ActionOutcome Save(AppState& state, const Feedback& controls, Tab tab)
{
    return Save(state, controls, std::vector<Tab>{tab});
}

ActionOutcome Save(AppState& state, const Feedback& controls, const std::vector<Tab>& tabs)
{
    std::vector<BufferTarget> targets;
    for (Tab tab : tabs) {
        const TuningFile file = FileOf(tab);
        const TextBuffer& buffer = state.buffer(tab);
        if (buffer.count() != LineCountOf(file)) {
            controls.messages.error(InvalidAlterationsText(file));
            return ActionOutcome::Refused;
        }
        targets.push_back({&buffer, PathOf(state, file), file});
    }
    // Files written together are written only when each of them may be replaced.
    return WriteAfterAsking(state, controls.messages, controls.progress, targets,
                            QStringLiteral("this tab's copy"));
}

ActionOutcome Backup(AppState& state, const Feedback& controls, Tab tab)
{
    const TuningFile file = FileOf(tab);
    const QString& gamePath = PathOf(state, file);
    if (!FileExists(gamePath)) {
        controls.messages.error(LoadedFirstText(file));
        return ActionOutcome::Refused;
    }
    const QString name = file == TuningFile::General ? QStringLiteral("General.bak")
                                                     : QStringLiteral("Settings.bak");
    return WriteBuffers(state, controls.messages, controls.progress,
                        {{&state.buffer(tab), SiblingPath(gamePath, name), std::nullopt}});
}

void Restore(AppState& state, const Feedback& feedback, Tab tab, BufferEdit& made)
{
    const TuningFile file = FileOf(tab);
    const QString copy = state.workFile(QLatin1String(ReferenceCopy(file)));
    for (Tab target : BuffersOf(file)) {
        TextBuffer& buffer = state.buffer(target);
        std::vector<std::string> before = buffer.lines();
        const GameFileRead read =
            FillBuffers(state, feedback.progress, {{buffer, feedback.chooser(target)}}, file, copy,
                        LoadAs::ReferenceCopy);
        made.buffers.push_back({target, std::move(before), buffer.lines()});
        if (read.outcome == ReadOutcome::ReadError)
            throw FileError(read.systemText);
        TellLoad(feedback.messages, read, file, copy, LoadWording::Copy);
    }
    // The player chose these lines over whatever the file holds now.
    RememberDiskFile(state, file);
}

ReadOutcome ReloadBuffers(AppState& state, const Feedback& feedback, TuningFile file)
{
    feedback.chooser(TabOf(file)).clearSelection();
    feedback.progress.setMaximum(LineCountOf(file));
    for (Tab tab : BuffersOf(file))
        state.buffer(tab).clear();
    const GameFileRead read = ReadGameFile(file, PathOf(state, file));
    StampOf(state, file).reset();
    if (read.outcome == ReadOutcome::Missing || read.outcome == ReadOutcome::ReadError) {
        TellLoad(feedback.messages, read, file, PathOf(state, file), LoadWording::Reload);
        feedback.progress.setPosition(0);
        return read.outcome;
    }
    StampOf(state, file) = read.stamp;
    for (const std::string& line : read.lines) {
        for (Tab tab : BuffersOf(file))
            state.buffer(tab).append(line);
        feedback.progress.stepIt();
    }
    feedback.progress.setPosition(0);
    if (!read.loaded()) {
        for (Tab tab : BuffersOf(file))
            state.buffer(tab).clear();
        TellLoad(feedback.messages, read, file, PathOf(state, file), LoadWording::Reload);
    }
    return read.outcome;
}
