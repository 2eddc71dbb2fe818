// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console.h"

#include "documents/app_state.h"
#include "documents/folder_lock.h"
#include "documents/game_files.h"
#include "editing/section_procedure.h"
#include "editing/start_up.h"
#include "editing/tab_actions.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

enum class LoadResult {
    Loaded,
    Missing,  // no such file
    Rejected, // the identity check refused it
    Failed,   // it could not be read
};

// One run of the tool: the program state as the window holds it, and the stand-ins for
// the boxes, progress bar and choosers around it.
class Session {
public:
    // `gameDir` is the directory given on the command line, if any.
    Session(ConsoleMessages& messages, std::optional<QString> gameDir = std::nullopt);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    AppState state;
    ConsoleMessages& messages;
    SilentProgress progress;
    std::array<PickedItem, TabCount> choosers;
    Feedback feedback;

    // Where the game file lies below the game directory, whether it exists or not.
    // The game directory is looked up the first time it is needed.
    QString gameFilePath(TuningFile file);

    // Loads a game file into its buffers as start-up does, with the identity check;
    // `lineCount`, when given, takes the number of lines the file holds (-1 when unread).
    LoadResult load(TuningFile file, int* lineCount = nullptr);

    // Loads the file's reference copy into the buffers of `reference`, with the game
    // file's identity check: "original.general" must have the lines of General.txt.
    LoadResult loadReferenceCopy(TuningFile file, AppState& reference);

    // Writes the reference copies over the game files as their Save buttons do, both
    // together: either both files are written or neither.
    bool restore();

    // Chooses the item on the tab's chooser, as the user would; returns the grid.
    std::vector<GridRow> choose(Tab tab, int item, SectionOutcome* outcome = nullptr);

    // Runs a core operation as a window handler runs: true when it ran to its end, false
    // when it ended with an error, told as the general error report.
    bool guarded(const std::function<void()>& operation);

    // Says so and returns false when no file exists at the path.
    bool requireFile(const QString& path);

private:
    // The directory given on the command line, else the first line of the configuration
    // file in the working folder. Ends the command when there is none.
    void findGameDirectory();

    std::optional<QString> gameDirOption_;
    // Held from reading a game file until the run ends, so that no other Tunedeck
    // replaces the file between this run's reading and writing it.
    std::vector<FolderLock> locks_;
    bool gameDirFound_ = false;
};
