// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_list.h"

#include "arguments.h"
#include "output.h"
#include "session.h"

#include "catalogue/catalogue.h"
#include "documents/errors.h"
#include "documents/game_file_reading.h"
#include "documents/reference_copies.h"
#include "editing/changes.h"
#include "editing/outcome_texts.h"
#include "editing/tab_actions.h"
#include "editing/value_rule.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

// check: the line count of each game file and whether the identity check accepts it.
int Check(Session& session, const Invocation&)
{
    int status = ExitSuccess;
    for (TuningFile file : TuningFiles) {
        const QString path = session.gameFilePath(file);
        if (!session.requireFile(path)) {
            PrintOut(Bytes(path) + "\t-\tmissing\n");
            status = std::max(status, ExitFailed);
            continue;
        }
        int lineCount = -1;
        const LoadResult loaded = session.load(file, &lineCount);
        const std::string count = lineCount >= 0 ? Number(lineCount) : "-";
        switch (loaded) {
        case LoadResult::Loaded:
            PrintOut(Bytes(path) + '\t' + count + "\tok\n");
            break;
        case LoadResult::Rejected:
            PrintOut(Bytes(path) + '\t' + count + "\trejected: expected " +
                     Number(LineCountOf(file)) + " lines\n");
            status = std::max(status, ExitFailed);
            break;
        case LoadResult::Missing:
        case LoadResult::Failed:
            status = ExitTrouble;
            break;
        }
    }
    if (status != ExitSuccess)
        return status;
    // Every setting whose value has another shape than the reference copy's.
    AppState reference;
    if (!ReadReferenceCopies(session.state, reference)) {
        QStringList unread;
        for (TuningFile file : TuningFiles)
            if (reference.document(TabOf(file)).empty())
                unread << QLatin1String(ReferenceCopy(file));
        session.messages.say(unread.join(QStringLiteral(" and ")).toLocal8Bit() +
                             (unread.size() == 1 ? " is" : " are") +
                             " missing or not a copy of the game file, so the shapes of the "
                             "values were not checked.");
        return ExitFailed;
    }
    ForEachSectionRow(
        [&](const SettingPlace& place, const ChooserItem& item, const SectionRow& row) {
            const std::string note =
                ShapeNote(row, item, session.state.document(place.tab), reference.document(place.tab));
            if (note.empty())
                return;
            PrintOut(std::string(ShortName(place.tab)) + '\t' + Number(place.item) + '\t' +
                     Number(place.row) + '\t' + DetailsText(row, item) + '\t' + note + '\n');
            status = ExitFailed;
        });
    return status;
}

// backup: each game file, as loaded, to its .bak file beside it.
int BackupFiles(Session& session, const Invocation&)
{
    int status = ExitSuccess;
    for (TuningFile file : TuningFiles) {
        ActionOutcome copied = ActionOutcome::Failed;
        if (session.load(file) != LoadResult::Loaded || !session.guarded([&] {
                copied = Backup(session.state, session.feedback, TabOf(file));
            }) ||
            copied != ActionOutcome::Done)
            status = ExitTrouble;
    }
    return status;
}

// restore: the reference copies over the game files.
int RestoreFiles(Session& session, const Invocation&)
{
    return session.restore() ? ExitSuccess : ExitTrouble;
}

// take-originals: each game file, as it is now, as its reference copy where the working
// folder holds none or the demo game's; with --force in place of any copy, after saying
// which.
int TakeOriginals(Session& session, const Invocation& invocation)
{
    ConsoleMessages& messages = session.messages;
    int status = ExitSuccess;
    for (TuningFile file : TuningFiles) {
        const QString path = session.gameFilePath(file);
        ReferenceCopyPlan plan;
        // What the working folder holds is looked at and replaced in one step.
        std::optional<FolderLock> lock;
        if (!session.requireFile(path) || !session.guarded([&] {
                lock.emplace(session.state.workFile(QLatin1String(ReferenceCopy(file))),
                             LinkAtTarget::Replace);
                plan = PlanReferenceCopy(session.state, file, path);
            })) {
            status = ExitTrouble;
            continue;
        }
        const QByteArray game = path.toLocal8Bit();
        const QString copyPath =
            QDir::toNativeSeparators(QFileInfo(plan.copyPath).absoluteFilePath());
        const QByteArray copy = copyPath.toLocal8Bit();
        if (!plan.accepted) {
            messages.say(game + " does not have " + QByteArray::number(LineCountOf(file)) +
                         " lines; no reference copy is taken of it.");
            status = ExitTrouble;
            continue;
        }
        if (plan.held == HeldCopy::Same) {
            messages.say(copy + " is a copy of " + game + " already.");
            continue;
        }
        if (plan.held == HeldCopy::Own && !invocation.force) {
            messages.say(copy + " is kept; --force replaces it with " + game + '.');
            continue;
        }
        if (plan.held == HeldCopy::Own)
            messages.say("Replacing the reference copy " + copy + " with " + game + '.');
        else if (plan.held == HeldCopy::Demo)
            messages.say("Replacing the demo game's copy " + copy + " with " + game + '.');
        int error = 0;
        if (!session.guarded([&] { error = WriteReferenceCopy(plan); }) || error != 0) {
            if (error != 0)
                messages.error(SaveAbortedText(copyPath, SystemErrorText(error)));
            status = ExitTrouble;
            continue;
        }
        messages.information(QStringLiteral("File copied: ") + copyPath);
    }
    return status;
}
