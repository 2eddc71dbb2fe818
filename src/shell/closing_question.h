// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/game_files.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class Messages;
class QSessionManager;
class Questions;

// Closing the window (Exit, Ctrl+Q, its close button, the desktop session ending) while
// the tabs hold edits that are not on disk asks once which way to go: Save writes each file
// that holds them through its tab's Save, with that Save's checks and questions, and lets
// the window close only when every save went through; Don't Save lets the edits go; Cancel
// keeps the window. With nothing unsaved nothing asks. Launching the game, which reads the
// files on disk, asks the same way before it starts.
class ClosingQuestion : public QObject {
    Q_OBJECT
public:
    // What the question reads and does: the buffers, the tab shown, the grid's pending
    // edit committed, and each tab's Save.
    struct Window {
        const AppState& state;
        Messages& messages;
        Questions& questions;
        std::function<Tab()> shownTab;
        std::function<void()> commitPendingEdit;
        std::function<void(Tab)> saveTab;
    };
    explicit ClosingQuestion(Window window, QObject* parent = nullptr);

    // Whether the window may close now, asking first when edits would be lost.
    bool mayClose();
    // Whether the game may start now, asking first when the files on disk lack edits.
    bool mayLaunch();

private:
    // The files whose edits are not on disk, each with the tab whose Save writes it.
    struct Unsaved {
        std::vector<std::pair<TuningFile, Tab>> files;
        QString names; // "General.txt and Settings.txt"
    };
    Unsaved unsaved();
    // Saves each file through its tab's Save; true when every save went through.
    bool saveEach(const Unsaved& unsaved);

    void sessionEnding(QSessionManager& manager);

    int unsavedTab(TuningFile file) const;

    Window window_;
    // The documents' revisions when the player let their edits go: a close that follows the
    // session's question asks no more, unless something changed since.
    std::optional<std::array<std::uint64_t, 2>> letGo_;
};
