// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game_document.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

// The four tabs, in the order of the tab control.
enum class Tab { CarSettings = 0, Pedestrians = 1, Miscellaneous = 2, APO = 3 };
constexpr int TabCount = 4;
constexpr std::array<Tab, TabCount> AllTabs = {Tab::CarSettings, Tab::Pedestrians,
                                               Tab::Miscellaneous, Tab::APO};

// Number of row-table entries; entry n belongs to grid data row n (1 to 13).
constexpr int RowTableSize = 13;

enum class TuningFile; // game_files.h

// Everything the program holds from start-up to exit. The main window owns one;
// each test makes its own.
struct AppState {
    // The two game files as Tunedeck holds them. The Car Settings, Miscellaneous and APO
    // tabs show General.txt, the Pedestrians tab Settings.txt.
    GameDocument GeneralText;
    GameDocument SettingsText;

    // The tab whose section the grid shows, or -1 when the grid shows no section
    // (start-up, a heading, an unlisted item, a refused choice, a tab switch).
    int ShownTab = -1;

    // Game paths; empty until a game directory is known.
    QString GameDir;
    QString GeneralPath;
    QString SettingsPath;

    // Folder against which the bare names (configuration files, reference copies,
    // the sibling editor) are resolved; empty means the current working folder.
    QString WorkDir;

    GameDocument& document(TuningFile file);
    const GameDocument& document(TuningFile file) const;
    // The document the tab shows.
    GameDocument& document(Tab tab);
    const GameDocument& document(Tab tab) const;
    QString workFile(const QString& name) const;
};
