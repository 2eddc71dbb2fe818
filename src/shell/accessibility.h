// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QAbstractItemView;
class QAccessibleInterface;
class QAction;
class QTabBar;
class QTabWidget;
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

// Tells a screen reader which cell of the view is current, as moving to it would. Sent
// after the events that focus the view itself, so the cell is what is said last.
void AnnounceCurrentCell(QAbstractItemView* view);
// Hears each cell or tab announced, besides the platform's bridge (which an offscreen window has
// not): a test's ear. Empty: nobody.
void ListenToAnnouncements(std::function<void(QAccessibleInterface* cell)> listener);

// A tab switch made from inside the pages (Ctrl+PgDn from the grid, say) takes the focus
// to `firstControl(tab)` of the new tab, which a screen reader then says; a switch made on
// the tab bar leaves the focus there. The tab bar taking the focus says its current tab.
void FollowTabSwitch(QTabWidget* pages, std::function<QWidget*(int tab)> firstControl);
