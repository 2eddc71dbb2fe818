// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QAction;
class QTabBar;
class QWidget;

// What a screen reader is told beyond what Qt tells it by itself. Qt names an editable
// combo box by its text on Linux, names a tab bar after its current tab without saying
// which tab is selected, and offers every action of a menu bar as a menu item; the
// interfaces installed here name the section choosers by their names, say which tab is
// selected and which tabs hold unsaved edits, and hide the bars between menu items.

// Installs those interfaces; run before the window's controls are made (once is enough).
void InstallScreenReaderInterfaces();

// A menu bar item that only draws a separator: a screen reader passes over it.
void HideFromScreenReaders(QAction* separator);

// The description a screen reader gives with a tab's name (empty: none).
void SetTabDescription(QTabBar* tabs, int index, const QString& description);
