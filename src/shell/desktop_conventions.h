// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"

#include <array>

class KeyValueGrid;
class QAction;
class QMainWindow;
class QPushButton;
class QTabWidget;

// The parts of the window the keys reach.
struct KeyboardControls {
    QAction* fileMenu; // opened by Alt alone and F10
    QAction* exit;
    QTabWidget* pages;
    KeyValueGrid* grid;
    std::array<QPushButton*, TabCount> saves; // Ctrl+S presses the shown tab's
};

// What a player expects of a desktop editor beside the window's own keys: an access key
// on every menu (Alt+letter, and Alt alone or F10 opening the menu bar), Ctrl+S for the
// shown tab's Save and Ctrl+Q for File > Exit. Run once every menu item is in place.
void InstallKeyboard(QMainWindow& form, const KeyboardControls& parts);

// A window larger than the screen's free area (a small screen, a large scale) gets its
// tabs in a scroll area and a size that fits, so the title bar, the menus and the status
// bar stay on screen. On a screen large enough nothing changes. Either way the window is
// placed on its screen: in the middle, or where the free area starts.
void FitToScreen(QMainWindow& form, QTabWidget* pages);
