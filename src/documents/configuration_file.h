#pragma once

#include <QString>

// The one-line configuration files naming the game directory.
constexpr const char* TunedeckIni = "Tunedeck.ini";
constexpr const char* PerkwrightIni = "Perkwright.ini";

// The first line of the file (a CR before its LF dropped). Only the first few KiB are
// read, so a file of any size or content gives a bounded line. Throws FileError when
// the file cannot be opened.
QString ReadConfigurationLine(const QString& path);

// Replaces the file with one line holding the directory, ended by CR LF.
// Throws FileError when it cannot be written.
void WriteConfigurationFile(const QString& path, const QString& gameDir);
