// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app_state.h"

#include <array>
#include <optional>
#include <vector>

// What identifies the two game files and what a save writes as their first lines.
constexpr int GeneralLineCount = 410;
constexpr int SettingsLineCount = 965;
constexpr const char* GeneralHeaderLine = "0\t\t\t\t\t\t// Disable TIFF conversion";
constexpr const char* SettingsHeaderLine = "//***************************";

// Reference copies of the unaltered game files, in the working folder.
constexpr const char* OriginalGeneral = "original.general";
constexpr const char* OriginalSettings = "original.pedsettings";

// The sibling editor, in the working folder, and the game, in the game directory.
constexpr const char* SiblingEditor = "Perkwright.exe";
constexpr const char* GameProgram = "gwheel2.exe";

// No game file or reference copy is anywhere near this size; larger files are never read.
constexpr long long MaxGameFileBytes = 64LL * 1024 * 1024;

// Where the two files lie below the game directory.
constexpr const char* GeneralFile = "\\data\\General.txt";
constexpr const char* SettingsFile = "\\data\\peds\\Settings.txt";

// The two game files, in the order start-up loads them.
enum class TuningFile { General, Settings };
constexpr std::array<TuningFile, 2> TuningFiles = {TuningFile::General, TuningFile::Settings};

// The file a tab's buffer holds.
constexpr TuningFile FileOf(Tab tab)
{
    return tab == Tab::Pedestrians ? TuningFile::Settings : TuningFile::General;
}

// The tab whose buttons stand for the file (its Save, Backup and Restore).
constexpr Tab TabOf(TuningFile file)
{
    return file == TuningFile::General ? Tab::CarSettings : Tab::Pedestrians;
}

// The tabs that show the file, in the order of the tab control.
const std::vector<Tab>& TabsShowing(TuningFile file);

constexpr const char* ReferenceCopy(TuningFile file)
{
    return file == TuningFile::General ? OriginalGeneral : OriginalSettings;
}

constexpr int LineCountOf(TuningFile file)
{
    return file == TuningFile::General ? GeneralLineCount : SettingsLineCount;
}

constexpr const char* RelativePath(TuningFile file)
{
    return file == TuningFile::General ? GeneralFile : SettingsFile;
}

// Whether the file's document holds the file's line count, as a section needs.
bool DocumentLoaded(const AppState& state, TuningFile file);

// GeneralPath or SettingsPath.
QString& PathOf(AppState& state, TuningFile file);
const QString& PathOf(const AppState& state, TuningFile file);

// What a save writes as the first line of the file.
constexpr const char* HeaderLineOf(TuningFile file)
{
    return file == TuningFile::General ? GeneralHeaderLine : SettingsHeaderLine;
}
