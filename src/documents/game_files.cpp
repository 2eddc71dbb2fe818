// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_files.h"

const std::vector<Tab>& TabsShowing(TuningFile file)
{
    static const std::vector<Tab> general{Tab::CarSettings, Tab::Miscellaneous, Tab::APO};
    static const std::vector<Tab> settings{Tab::Pedestrians};
    return file == TuningFile::General ? general : settings;
}

QString& PathOf(AppState& state, TuningFile file)
{
    return file == TuningFile::General ? state.GeneralPath : state.SettingsPath;
}

const QString& PathOf(const AppState& state, TuningFile file)
{
    return file == TuningFile::General ? state.GeneralPath : state.SettingsPath;
}

bool DocumentLoaded(const AppState& state, TuningFile file)
{
    return state.document(file).count() == LineCountOf(file);
}
