#include "session.h"

#include "catalogue/catalogue.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "editing/save_history.h"

#include <QFile>

Session::Session(ConsoleMessages& output, std::optional<QString> gameDir)
    : messages(output), controls{messages,
                                 progress,
                                 {&choosers[0], &choosers[1], &choosers[2], &choosers[3]}},
      gameDirOption_(std::move(gameDir))
{
    KeepVersionsOnSave(state);
}

void Session::findGameDirectory()
{
    if (gameDirOption_) {
        state.GameDir = *gameDirOption_;
        return;
    }
    if (!ReadGameDirectory(state, messages))
        throw CommandEnd{ExitTrouble};
}

QString Session::gameFilePath(TuningFile file)
{
    if (!gameDirFound_) {
        findGameDirectory();
        gameDirFound_ = true;
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
    const int errorsBefore = messages.errorCount();
    return RunGuarded(messages, operation) && messages.errorCount() == errorsBefore;
}

LoadResult Session::loadAs(const std::function<void()>& loading)
{
    const int errorsBefore = messages.errorCount();
    if (guarded(loading))
        return LoadResult::Loaded;
    // The identity check ends the load with a silent abort after its plain message.
    return messages.errorCount() == errorsBefore ? LoadResult::Rejected : LoadResult::Failed;
}

void Session::missing(TuningFile, const QString& path)
{
    requireFile(path);
}

void Session::opening(TuningFile, const QString& path)
{
    locks_.emplace_back(path);
}

LoadResult Session::load(TuningFile file)
{
    gameFilePath(file); // finds the game directory, or ends the command
    bool present = true;
    const LoadResult result = loadAs([&] { present = StartUpFile(state, controls, file, *this); });
    return present ? result : LoadResult::Missing;
}

LoadResult Session::loadReferenceCopy(TuningFile file)
{
    const QString name = QLatin1String(ReferenceCopy(file));
    if (!requireFile(state.workFile(name)))
        return LoadResult::Missing;
    // Standing in for the game file, the copy gets the game file's identity check.
    PathOf(state, file) = name;
    return loadAs([&] {
        for (Tab tab : BuffersOf(file))
            LoadBuffer(state, messages, progress, state.buffer(tab), controls.chooser(tab), name);
    });
}

bool Session::restore(TuningFile file)
{
    const QString path = gameFilePath(file);
    const QString copy = QLatin1String(ReferenceCopy(file));
    if (!requireFile(path) || !requireFile(state.workFile(copy)))
        return false;
    PathOf(state, file) = path;
    const Tab tab = TabOf(file);
    return guarded([&] {
        LoadBuffer(state, messages, progress, state.buffer(tab), controls.chooser(tab), copy);
        Save(state, controls, tab);
    });
}

std::vector<GridRow> Session::choose(Tab tab, int item)
{
    return ChooseSectionRows(state, tab, choosers[static_cast<size_t>(tab)], item, messages);
}
