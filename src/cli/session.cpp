// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"

#include "catalogue/catalogue.h"
#include "documents/cut_off_saves.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "editing/outcome_texts.h"
#include "editing/save_history.h"

#include <QFile>
#include <QFileInfo>

Session::Session(ConsoleMessages& output, std::optional<QString> gameDir)
    : messages(output), feedback{messages,
                                 progress,
                                 {&choosers[0], &choosers[1], &choosers[2], &choosers[3]}},
      gameDirOption_(std::move(gameDir))
{
}

void Session::findGameDirectory()
{
    if (gameDirOption_) {
        state.GameDir = *gameDirOption_;
        if (state.GameDir.isEmpty()) {
            messages.say("The folder given with --dir is empty: no game folder is set.");
            throw CommandEnd{ExitTrouble};
        }
        return;
    }
    bool tooLong = false;
    const QString configuration = ReadGameDirectory(state, messages, &tooLong);
    if (configuration.isEmpty())
        throw CommandEnd{ExitTrouble};
    const QByteArray name = QFileInfo(configuration).fileName().toLocal8Bit();
    if (tooLong) {
        messages.say("The first line of " + name +
                     " is longer than 4096 bytes, which no folder path is: no game folder is "
                     "set.");
        throw CommandEnd{ExitTrouble};
    }
    if (state.GameDir.isEmpty()) {
        messages.say(name + " names no folder: no game folder is set.");
        throw CommandEnd{ExitTrouble};
    }
    // No file name holds a NUL byte: the line is no folder path.
    if (state.GameDir.contains(QChar(0))) {
        messages.say(name + " holds a NUL byte in its first line, which no folder path has: "
                            "no game folder is set.");
        throw CommandEnd{ExitTrouble};
    }
}

QString Session::gameFilePath(TuningFile file)
{
    if (!gameDirFound_) {
        findGameDirectory();
        gameDirFound_ = true;
        // Before anything below the game folder is read or written.
        TellCutOffSaves(messages, RecoverCutOffSaves(state));
    }
    return GameFilePathOf(state, file);
}

bool Session::requireFile(const QString& path)
{
    if (FileExists(path))
        return true;
    messages.say("Cannot find file \"" + path.toLocal8Bit() + "\".");
    return false;
}

bool Session::guarded(const std::function<void()>& operation)
{
    return RunGuarded(messages, operation);
}

namespace {

LoadResult ResultOf(ReadOutcome outcome)
{
    switch (outcome) {
    case ReadOutcome::Loaded:
        return LoadResult::Loaded;
    case ReadOutcome::Missing:
        return LoadResult::Missing;
    case ReadOutcome::TooLarge:
    case ReadOutcome::WrongLineCount:
        return LoadResult::Rejected;
    case ReadOutcome::ReadError:
        break;
    }
    return LoadResult::Failed;
}

} // namespace

LoadResult Session::load(TuningFile file, int* lineCount)
{
    gameFilePath(file); // finds the game directory, or ends the command
    // Start-up's steps around a game file: a missing one is named, a present one locked.
    struct ToolSteps : StartUpSteps {
        Session& session;
        explicit ToolSteps(Session& s) : session(s) {}
        void missing(TuningFile, const QString& path) override { session.requireFile(path); }
        void opening(TuningFile, const QString& path) override
        {
            session.locks_.emplace_back(path);
        }
    } steps(*this);
    GameFileRead read;
    read.outcome = ReadOutcome::ReadError;
    guarded([&] { read = StartUpFile(state, feedback, file, steps); });
    if (lineCount)
        *lineCount = read.lineCount;
    return ResultOf(read.outcome);
}

LoadResult Session::loadReferenceCopy(TuningFile file, AppState& reference)
{
    const QString path = state.workFile(QLatin1String(ReferenceCopy(file)));
    if (!requireFile(path))
        return LoadResult::Missing;
    // Standing in for the game file, the copy gets the game file's identity check.
    return ResultOf(LoadDocument(reference, feedback, file, path, LoadAs::StandIn).outcome);
}

bool Session::restore()
{
    std::vector<Tab> tabs;
    for (TuningFile file : TuningFiles) {
        const QString path = gameFilePath(file);
        if (!requireFile(path) || !requireFile(state.workFile(QLatin1String(ReferenceCopy(file)))))
            return false;
        PathOf(state, file) = path;
        tabs.push_back(TabOf(file));
    }
    for (TuningFile file : TuningFiles) {
        const Tab tab = TabOf(file);
        // A copy without the line count is loaded all the same: the save refuses it.
        if (LoadGameFile(state, messages, progress, feedback.chooser(tab), file,
                         state.workFile(QLatin1String(ReferenceCopy(file))),
                         LoadAs::ReferenceCopy) != ReadOutcome::Loaded)
            return false;
    }
    ActionOutcome saved = ActionOutcome::Failed;
    return guarded([&] { saved = Save(state, feedback, tabs); }) && saved == ActionOutcome::Done;
}

std::vector<GridRow> Session::choose(Tab tab, int item, SectionOutcome* outcome)
{
    return ChooseSectionRows(state, tab, choosers[static_cast<size_t>(tab)], item, messages,
                             outcome);
}
