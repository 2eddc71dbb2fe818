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

// Counts the lines read on the bar, one step each, and sets it back to 0.
void CountLines(Progress& bar, const GameFileRead& read)
{
    for (size_t line = 0; line < read.lines.size(); ++line)
        bar.stepIt();
    bar.setPosition(0);
}

// Fills the document from one read of the file, resetting the choosers of the tabs that
// show it; tells nothing. A rejected file leaves the document empty.
GameFileRead FillDocument(AppState& state, Progress& bar, const std::vector<Chooser*>& choosers,
                          TuningFile file, const QString& path, LoadAs as)
{
    bar.setMaximum(LineCountOf(file));
    for (Chooser* chooser : choosers)
        chooser->clearSelection();
    GameFileRead read =
        ReadGameFile(file, path, as == LoadAs::ReferenceCopy ? LineCheck::None : LineCheck::Exact);
    GameDocument& document = state.document(file);
    if (as == LoadAs::GameFile && (read.outcome == ReadOutcome::Loaded || Rejected(read.outcome)))
        document.setStamp(read.stamp);
    CountLines(bar, read);
    document.assign(read.loaded() ? read.lines : std::vector<std::string>());
    return read;
}

std::vector<Chooser*> ChoosersOf(const Feedback& feedback, TuningFile file)
{
    std::vector<Chooser*> choosers;
    for (Tab tab : TabsShowing(file))
        choosers.push_back(&feedback.chooser(tab));
    return choosers;
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

ReadOutcome LoadGameFile(AppState& state, Messages& messages, Progress& bar, Chooser& chooser,
                         TuningFile file, const QString& path, LoadAs as)
{
    const GameFileRead read = FillDocument(state, bar, {&chooser}, file, path, as);
    TellLoad(messages, read, file, path, WordingOf(as));
    return read.outcome;
}

GameFileRead LoadDocument(AppState& state, const Feedback& feedback, TuningFile file,
                          const QString& path, LoadAs as)
{
    GameFileRead read =
        FillDocument(state, feedback.progress, ChoosersOf(feedback, file), file, path, as);
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
        const GameDocument& document = state.document(file);
        if (document.count() != LineCountOf(file)) {
            controls.messages.error(InvalidAlterationsText(file));
            return ActionOutcome::Refused;
        }
        targets.push_back({&document.text(), PathOf(state, file), file});
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
    return WriteBuffers(
        state, controls.messages, controls.progress,
        {{&state.document(file).text(), SiblingPath(gamePath, name), std::nullopt}});
}

RestoreResult Restore(AppState& state, const Feedback& feedback, Tab tab)
{
    const TuningFile file = FileOf(tab);
    const QString copy = state.workFile(QLatin1String(ReferenceCopy(file)));
    const GameDocument& document = state.document(file);
    RestoreResult result;
    DocumentChange change{file, document.lines(), {}, document.stamp(), std::nullopt};
    // The copy is loaded once for each tab that shows the file, as a load per tab always
    // did: a missing copy is told on each, and a copy that cannot be read ends the restore.
    for (Tab shown : TabsShowing(file)) {
        feedback.progress.setMaximum(LineCountOf(file));
        feedback.chooser(shown).clearSelection();
        GameFileRead read = ReadGameFile(file, copy, LineCheck::None);
        CountLines(feedback.progress, read);
        change.after = read.loaded() ? std::move(read.lines) : std::vector<std::string>();
        if (read.outcome == ReadOutcome::ReadError) {
            result.readError = read.failureText;
            break;
        }
        TellLoad(feedback.messages, read, file, copy, LoadWording::Copy);
    }
    // The player chose these lines over whatever the file holds now.
    change.stampAfter = DiskStampOf(state, file);
    result.edit.documents.push_back(std::move(change));
    return result;
}

ReadOutcome ReloadBuffers(AppState& state, const Feedback& feedback, TuningFile file)
{
    feedback.chooser(TabOf(file)).clearSelection();
    feedback.progress.setMaximum(LineCountOf(file));
    GameDocument& document = state.document(file);
    const GameFileRead read = ReadGameFile(file, PathOf(state, file));
    const bool opened =
        read.outcome != ReadOutcome::Missing && read.outcome != ReadOutcome::ReadError;
    document.setStamp(opened ? std::optional<FileStamp>(read.stamp) : std::nullopt);
    CountLines(feedback.progress, read);
    // One change of the document, so that what shows it sees the new lines at once.
    document.assign(read.loaded() ? read.lines : std::vector<std::string>());
    if (!read.loaded())
        TellLoad(feedback.messages, read, file, PathOf(state, file), LoadWording::Reload);
    return read.outcome;
}
