#include "start_up.h"

#include "documents/commit_journal.h"
#include "documents/configuration_file.h"
#include "documents/file_operations.h"
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

bool StartUpFile(AppState& state, const Controls& controls, TuningFile file, StartUpSteps& steps)
{
    const QString path = GameFilePathOf(state, file);
    if (!FileExists(path)) {
        steps.missing(file, path);
        return false;
    }
    PathOf(state, file) = path;
    steps.opening(file, path);
    for (Tab tab : BuffersOf(file))
        LoadBuffer(state, controls.messages, controls.progress, state.buffer(tab),
                   controls.chooser(tab), path);
    steps.loaded(file);
    return true;
}

void RecoverCutOffSaves(const QString& gameDir, Messages& messages)
{
    if (gameDir.isEmpty())
        return;
    QStringList folders;
    for (TuningFile file : TuningFiles)
        folders
            << QFileInfo(GameFilePath(gameDir, QLatin1String(RelativePath(file)))).absolutePath();
    folders.removeDuplicates();
    for (const QString& folder : folders) {
        const QString said = RecoverInterruptedCommit(folder);
        if (!said.isEmpty())
            messages.warning(said);
    }
}

void StartUp(AppState& state, const Controls& controls, StartUpSteps& steps)
{
    if (ReadGameDirectory(state, controls.messages).isEmpty())
        return;
    RecoverCutOffSaves(state.GameDir, controls.messages);
    for (TuningFile file : TuningFiles)
        StartUpFile(state, controls, file, steps);
}
