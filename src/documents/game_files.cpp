// SPDX-License-Identifier: GPL-3.0-or-later
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

const QString& PathOf(const AppState& state, TuningFile file)
{
    return file == TuningFile::General ? state.GeneralPath : state.SettingsPath;
}

bool BuffersLoaded(const AppState& state, TuningFile file)
{
    for (Tab tab : BuffersOf(file))
        if (state.buffer(tab).count() != LineCountOf(file))
            return false;
    return true;
}

void MatchCopies(AppState& state, Tab from)
{
    for (Tab tab : BuffersOf(FileOf(from)))
        if (tab != from && state.buffer(tab).lines() != state.buffer(from).lines())
            state.buffer(tab).assign(state.buffer(from).lines());
}
