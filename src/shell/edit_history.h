// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "editing/setting_value.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QMenuBar;

// The window's one undo history, across tabs. A handler that changes the buffers names
// its step; after every handler the buffers are compared with what they held before it,
// and what changed becomes that step. A change nobody named (a load, a directory save)
// leaves nothing to go back to: the history is cleared. Undo and redo put the lines back,
// then show the setting the step changed with its row current. Text typed into a file
// details view has the view's own undo and is not a step here.
class EditHistory : public QObject {
    Q_OBJECT
public:
    // Shows a setting with its row current; with none, the shown section again.
    using ShowSetting = std::function<void(const std::optional<SettingPlace>&)>;

    // `buffers` are the ones the steps change; `show` runs after every undo and redo.
    EditHistory(AppState& buffers, ShowSetting show, QObject* parent = nullptr);

    // Puts the Edit menu (Undo, Redo) into the menu bar before `before`.
    void addMenu(QMenuBar* bar, QAction* before);

    // Names the step the running handler makes, and where it shows.
    void nameStep(const QString& text, std::optional<SettingPlace> place = std::nullopt);
    // Run after every handler.
    void record();
    // Takes the buffers as they now are without making a step (typing in a details view).
    void takeCurrentBuffers();
    void clear();

    QUndoStack& stack() { return stack_; }

private:
    friend class BufferStep;
    void show(const std::optional<SettingPlace>& place);

    AppState& buffers_;
    ShowSetting show_;
    QUndoStack stack_;
    std::array<std::vector<std::string>, TabCount> held_; // the buffers after the last step
    QString pendingText_;
    std::optional<SettingPlace> pendingPlace_;
    bool named_ = false;
};

// A short name for a setting in an undo step: its Details text without the explanation in
// brackets that most descriptions carry (a skill level stays).
QString StepName(const std::string& details);
