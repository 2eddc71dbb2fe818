// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_state.h"

#include "game_files.h"

#include <QDir>

GameDocument& AppState::document(TuningFile file)
{
    return file == TuningFile::General ? GeneralText : SettingsText;
}

const GameDocument& AppState::document(TuningFile file) const
{
    return file == TuningFile::General ? GeneralText : SettingsText;
}

GameDocument& AppState::document(Tab tab)
{
    return document(FileOf(tab));
}

const GameDocument& AppState::document(Tab tab) const
{
    return document(FileOf(tab));
}

QString AppState::workFile(const QString& name) const
{
    return WorkDir.isEmpty() ? name : QDir(WorkDir).filePath(name);
}
