// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_folder.h"

#include "outcome_texts.h"
#include "start_up.h"
#include "tab_actions.h"

#include "documents/configuration_file.h"
#include "documents/cut_off_saves.h"
#include "documents/game_paths.h"
#include "documents/interfaces.h"

namespace {

// How the directory save spells the game files (the same files on a folder that ignores
// letter case).
QString SavedSpelling(TuningFile file)
{
    return file == TuningFile::General ? QStringLiteral("\\data\\General.TXT")
                                       : QStringLiteral("\\data\\peds\\settings.txt");
}

} // namespace

bool HasGameFile(const QString& dir, TuningFile file)
{
    return FileExists(GameFilePath(dir, QLatin1String(RelativePath(file))));
}

bool IsGameFolder(const QString& dir)
{
    return HasGameFile(dir, TuningFile::General);
}

FolderSave SaveGameFolder(AppState& state, const Feedback& feedback, const QString& dir,
                          const QString& configuration)
{
    FolderSave save;
    {
        AppState folder; // the folder to be, with the history of the working folder
        folder.GameDir = dir;
        folder.WorkDir = state.WorkDir;
        TellCutOffSaves(feedback.messages, RecoverCutOffSaves(folder));
    }
    bool remembered = false;
    for (TuningFile file : TuningFiles) {
        const QString path = GameFilePath(dir, SavedSpelling(file));
        const bool present = file == TuningFile::General ? IsGameFolder(dir) : FileExists(path);
        if (!present) {
            feedback.messages.error(InvalidDirectoryText(dir));
            continue;
        }
        if (!remembered) // once, before any game file is checked
            WriteConfigurationFile(configuration, dir);
        remembered = true;
        state.GameDir = dir;
        PathOf(state, file) = path;
        save.generalHalf = save.generalHalf || file == TuningFile::General;
        const ReadOutcome outcome = ReloadBuffers(state, feedback, file);
        if (outcome == ReadOutcome::Missing || outcome == ReadOutcome::ReadError)
            return save;
        save.loaded.push_back(file); // read, though perhaps refused
    }
    return save;
}
