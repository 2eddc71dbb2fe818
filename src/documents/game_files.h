#pragma once

// What identifies the two game files and what a save writes as their first lines.
constexpr int GeneralLineCount = 410;
constexpr int SettingsLineCount = 965;
constexpr const char* GeneralHeaderLine = "0\t\t\t\t\t\t// Disable TIFF conversion";
constexpr const char* SettingsHeaderLine = "//***************************";

// Reference copies of the unaltered game files, in the working folder.
constexpr const char* OriginalGeneral = "original.general";
constexpr const char* OriginalSettings = "original.pedsettings";

// No game file or reference copy is anywhere near this size; larger files are never read.
constexpr long long MaxGameFileBytes = 64LL * 1024 * 1024;
