// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"

#include <QString>
#include <QWidget>
#include <utility>
#include <vector>

class QAbstractButton;
class KeyValueGrid;
struct WindowRoom;

// Says what an action did when its result is not a new focus (an undo, a file read again):
// a notice of the window that a screen reader sees appear as a notification, its name the
// outcome. Qt has no announcement of its own; a notification that shows is what Orca says.
// It takes no room on screen and never the focus.
class OutcomeVoice : public QWidget {
    Q_OBJECT
public:
    explicit OutcomeVoice(QWidget* window);
    const QString& text() const { return text_; }
    void say(const QString& text);

private:
    QString text_;
};

// Says `text` through the voice of the window of `widget` (a window without one: nothing).
void SayOutcome(QWidget* widget, const QString& text);

// After an action changed what the grid shows (undo, redo, restore): the grid takes the focus
// on its current value cell, and what is said is the action with that cell's setting and
// new value ("Undo: gMin_bend_force 9800"). A grid that shows no section says `otherwise`.
void SayGridOutcome(KeyValueGrid* grid, const QString& action, const QString& otherwise);

// Gives the window its voice, which says what each undo and redo of the room's history did,
// and what each Restore button (with the file it restores) did once its handler is done.
void InstallOutcomeVoice(const WindowRoom& room, KeyValueGrid* grid,
                         const std::vector<std::pair<QAbstractButton*, TuningFile>>& restores);
