// SPDX-License-Identifier: GPL-3.0-or-later
#include "start_up.h"

#include "outcome_texts.h"
#include "tab_actions.h"

#include "documents/configuration_file.h"
#include "documents/cut_off_saves.h"
#include "documents/errors.h"
#include "documents/game_paths.h"
#include "documents/interfaces.h"

#include <QFileInfo>
#include <QStringList>

QString ReadGameDirectory(AppState& state, Messages& messages, bool* tooLong)
{
    const QString configuration = ConfigurationFileInUse(state);
    if (configuration.isEmpty()) {
        messages.warning(QLatin1String(NoConfigurationText));
        return {};
    }
    state.GameDir = ReadConfigurationLine(configuration, tooLong);
    return configuration;
}

QString GameFilePathOf(const AppState& state, TuningFile file)
{
    return GameFilePath(state.GameDir, QLatin1String(RelativePath(file)));
}

GameFileRead StartUpFile(AppState& state, const Feedback& feedback, TuningFile file,
                         StartUpSteps& steps)
{
    const QString path = GameFilePathOf(state, file);
    if (!FileExists(path)) {
        steps.missing(file, path);
        return {};
    }
    PathOf(state, file) = path;
    steps.opening(file, path);
    GameFileRead read = LoadDocument(state, feedback, file, path, LoadAs::GameFile);
    if (read.loaded())
        steps.loaded(file);
    return read;
}

void StartUp(AppState& state, const Feedback& feedback, StartUpSteps& steps)
{
    if (ReadGameDirectory(state, feedback.messages).isEmpty())
        return;
    TellCutOffSaves(feedback.messages, RecoverCutOffSaves(state));
    for (TuningFile file : TuningFiles) {
        const ReadOutcome outcome = StartUpFile(state, feedback, file, steps).outcome;
        // A file refused or unreadable, told already, ends the sequence.
        if (outcome != ReadOutcome::Loaded && outcome != ReadOutcome::Missing)
            throw SilentAbort();
    }
}
