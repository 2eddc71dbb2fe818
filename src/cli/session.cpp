#include "session.h"

#include "catalogue/catalogue.h"
#include "documents/configuration_file.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "documents/section_procedure.h"

#include <QFile>

namespace {

constexpr const char* GeneralFile = "\\data\\General.txt";
constexpr const char* SettingsFile = "\\data\\peds\\Settings.txt";

const char* ReferenceCopy(GameFile file)
{
    return file == GameFile::General ? OriginalGeneral : OriginalSettings;
}

// The buffers a file fills, in the order start-up fills them.
std::vector<Tab> BuffersOf(GameFile file)
{
    if (file == GameFile::General)
        return {Tab::CarSettings, Tab::Miscellaneous, Tab::APO};
    return {Tab::Pedestrians};
}

} // namespace

GameFile FileOf(Tab tab)
{
    return tab == Tab::Pedestrians ? GameFile::Settings : GameFile::General;
}

Tab TabOf(GameFile file)
{
    return file == GameFile::General ? Tab::CarSettings : Tab::Pedestrians;
}

Session::Session(ConsoleMessages& output, std::optional<QString> gameDir)
    : messages(output), controls{messages,
                                 progress,
                                 {&choosers[0], &choosers[1], &choosers[2], &choosers[3]}},
      gameDirOption_(std::move(gameDir))
{
}

void Session::findGameDirectory()
{
    if (gameDirOption_) {
        state.GameDir = *gameDirOption_;
        return;
    }
    const QString perkwright = state.workFile(QLatin1String(PerkwrightIni));
    const QString tunedeck = state.workFile(QLatin1String(TunedeckIni));
    const bool perkwrightIni = QFile::exists(perkwright);
    if (!perkwrightIni && !QFile::exists(tunedeck)) {
        messages.warning(QStringLiteral("You must save your \"Gorewheel II\" directory for "
                                        "Tunedeck to function correctly."));
        throw CommandEnd{ExitTrouble};
    }
    state.GameDir = ReadConfigurationLine(perkwrightIni ? perkwright : tunedeck);
}

QString Session::gameFilePath(GameFile file)
{
    if (!gameDirFound_) {
        findGameDirectory();
        gameDirFound_ = true;
    }
    return GameFilePath(state.GameDir,
                        QLatin1String(file == GameFile::General ? GeneralFile : SettingsFile));
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

void Session::loadBuffers(GameFile file, const QString& path)
{
    for (Tab tab : BuffersOf(file))
        LoadBuffer(state, messages, progress, state.buffer(tab), controls.chooser(tab), path);
}

LoadResult Session::loadAs(GameFile file, const QString& path)
{
    const int errorsBefore = messages.errorCount();
    if (guarded([&] { loadBuffers(file, path); }))
        return LoadResult::Loaded;
    // The identity check ends the load with a silent abort after its plain message.
    return messages.errorCount() == errorsBefore ? LoadResult::Rejected : LoadResult::Failed;
}

LoadResult Session::load(GameFile file)
{
    const QString path = gameFilePath(file);
    if (!requireFile(path))
        return LoadResult::Missing;
    (file == GameFile::General ? state.GeneralPath : state.SettingsPath) = path;
    return loadAs(file, path);
}

LoadResult Session::loadReferenceCopy(GameFile file)
{
    const QString name = QLatin1String(ReferenceCopy(file));
    if (!requireFile(state.workFile(name)))
        return LoadResult::Missing;
    // Standing in for the game file, the copy gets the game file's identity check.
    (file == GameFile::General ? state.GeneralPath : state.SettingsPath) = name;
    return loadAs(file, name);
}

bool Session::restore(GameFile file)
{
    const QString path = gameFilePath(file);
    const QString copy = QLatin1String(ReferenceCopy(file));
    if (!requireFile(path) || !requireFile(state.workFile(copy)))
        return false;
    (file == GameFile::General ? state.GeneralPath : state.SettingsPath) = path;
    const Tab tab = TabOf(file);
    return guarded([&] {
        LoadBuffer(state, messages, progress, state.buffer(tab), controls.chooser(tab), copy);
        Save(state, controls, tab);
    });
}

std::vector<GridRow> Session::choose(Tab tab, int item)
{
    ItemChooser& chooser = choosers[static_cast<size_t>(tab)];
    chooser.index = item;
    RowList grid;
    grid.insertTop({}, {}); // the grid always shows at least one row
    ChooseSection(state, CatalogueOf(tab), chooser, grid, messages);
    return grid.rows;
}
