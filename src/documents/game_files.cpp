#include "game_files.h"

const std::vector<Tab>& BuffersOf(TuningFile file)
{
    static const std::vector<Tab> general{Tab::CarSettings, Tab::Miscellaneous, Tab::APO};
    static const std::vector<Tab> settings{Tab::Pedestrians};
    return file == TuningFile::General ? general : settings;
}

QString& PathOf(AppState& state, TuningFile file)
{
    return file == TuningFile::General ? state.GeneralPath : state.SettingsPath;
}
