// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The one-line configuration files naming the game directory.
constexpr const char* TunedeckIni = "Tunedeck.ini";
constexpr const char* PerkwrightIni = "Perkwright.ini";

struct AppState;

// The warning when neither configuration file exists.
constexpr const char* NoConfigurationText =
    "You must save your \"Gorewheel II\" directory for Tunedeck to function correctly.";

// The configuration file to read: "Perkwright.ini" when that file exists, else
// "Tunedeck.ini"; empty when neither exists (a folder of that name is no file).
QString ConfigurationFileInUse(const AppState& state);

// The first line of the file (a CR before its LF dropped). Only the first few KiB are
// read, so a file of any size or content gives a bounded line: a first line longer than
// 4096 bytes is cut there, and `tooLong` tells so. Throws FileError when the file cannot
// be opened.
QString ReadConfigurationLine(const QString& path, bool* tooLong = nullptr);

// Replaces the file with one line holding the directory, ended by CR LF.
// Throws FileError when it cannot be written.
void WriteConfigurationFile(const QString& path, const QString& gameDir);
