// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "editing/buffer_edit.h"
#include "editing/setting_value.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QMenuBar;

// The window's one undo history, across tabs. A handler that changes the buffers adds the
// edit the core returned as one step; a handler that reads the buffers anew (a directory
// save, a version put back) clears the history, as nothing before it can be undone. Undo
// and redo put the step's lines back, then show the setting the step changed with its row
// current. Text typed into a file details view has the view's own undo and is not a step
// here.
class EditHistory : public QObject {
    Q_OBJECT
public:
    // Shows a setting with its row current; with none, the shown section again.
    using ShowSetting = std::function<void(const std::optional<SettingPlace>&)>;

    // `buffers` are the ones the steps change; `show` runs after every undo and redo.
    EditHistory(AppState& buffers, ShowSetting show, QObject* parent = nullptr);

    // Puts the Edit menu (Undo, Redo) into the menu bar before `before`.
    void addMenu(QMenuBar* bar, QAction* before);

    // Adds the edit, already made, as a step named `text` that shows `place`; an edit that
    // changed no text adds nothing.
    void add(const QString& text, BufferEdit edit,
             std::optional<SettingPlace> place = std::nullopt);
    // Forgets every step, once the buffers were read anew.
    void clear();

    QUndoStack& stack() { return stack_; }

private:
    AppState& buffers_;
    ShowSetting show_;
    QUndoStack stack_;
};

// A short name for a setting in an undo step: its Details text without the explanation in
// brackets that most descriptions carry (a skill level stays).
QString StepName(const std::string& details);
