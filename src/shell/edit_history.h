// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "editing/document_edit.h"
#include "editing/setting_value.h"

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QMenu;
class QMenuBar;

// The window's one undo history, across tabs. Each step is an edit of the documents that
// the step makes when it is done and done again, and takes back when it is undone, stamps
// included; the views follow the documents. A handler that reads the documents anew (a
// directory save, a version put back) clears the history, as nothing before it can be
// undone. After an undo or redo the setting the step changed is current. Text typed into a
// file details view has the view's own undo and is not a step here.
class EditHistory : public QObject {
    Q_OBJECT
public:
    // Makes the setting at a place current, once its step was undone or done again.
    using ShowSetting = std::function<void(const SettingPlace&)>;

    // `documents` are the ones the steps change; `show` runs after every undo and redo of
    // a step that changed a setting.
    EditHistory(AppState& documents, ShowSetting show, QObject* parent = nullptr);

    // Puts the Edit menu (Undo, Redo) into the menu bar before `before`, and returns it.
    QMenu* addMenu(QMenuBar* bar, QAction* before);

    // Makes the edit as a step named `text` that shows `place`; an edit that changes no
    // text adds nothing.
    void perform(const QString& text, DocumentEdit edit,
                 std::optional<SettingPlace> place = std::nullopt);
    // Forgets every step, once the buffers were read anew.
    void clear();

    QUndoStack& stack() { return stack_; }

    // After a step was undone ("Undo") or done again ("Redo"): shows its place, then says so.
    void showTaken(const std::optional<SettingPlace>& place, const QString& action,
                   const QString& step);

signals:
    // A step named `step` was undone or done again (`action`), its place shown.
    void taken(const QString& action, const QString& step);

private:
    AppState& documents_;
    ShowSetting show_;
    QUndoStack stack_;
};

// A short name for a setting in an undo step: its Details text without the explanation in
// brackets that most descriptions carry (a skill level stays).
QString StepName(const std::string& details);
