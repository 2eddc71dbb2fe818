// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app_state.h"
#include "game_files.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

class QDateTime;

// How a read of a game-shaped file (a game file, or a copy of one) ended.
enum class ReadOutcome {
    Loaded,         // read, with the file's line count where it is held to one
    Missing,        // no regular file there
    TooLarge,       // larger than any game file: not read
    WrongLineCount, // read, but not with the file's line count
    ReadError,      // it could not be opened or read; the system's text says why
};

// Whether the read holds the file to its line count (a game file, or a copy standing in
// for one) or takes any count (a reference copy that Restore loads as it is).
enum class LineCheck { Exact, None };

struct GameFileRead {
    ReadOutcome outcome = ReadOutcome::Missing;
    // As read; held to the line count, at most one line more than it (enough to tell a
    // longer file without splitting all of a large one).
    std::vector<std::string> lines;
    int lineCount = -1; // the lines of the whole file, those not kept too; -1 when not read
    FileStamp stamp;    // size, time and checksum of the bytes read, with the lines
    QString systemText;  // why a ReadError happened, in the system's words
    QString failureText; // the same with the file it is about, as the error report says it
    bool loaded() const { return outcome == ReadOutcome::Loaded; }
};

// Reads a file that should be shaped like the game file.
GameFileRead ReadGameFile(TuningFile file, const QString& path, LineCheck check = LineCheck::Exact);

// The lines of the bytes, stopping one past the file's line count.
std::vector<std::string> SplitGameFile(TuningFile file, const std::string& bytes);

// The bytes of a file of at most MaxGameFileBytes, and its modification time when asked;
// nothing for a larger file. Throws FileError when it cannot be opened or read.
std::optional<std::string> ReadBytesFrom(const QString& path, QDateTime* modified = nullptr);

// Reads the lines of a file of at most MaxGameFileBytes, stopping after `limit` lines
// when limit >= 0. Returns false, reading nothing, for a larger file; throws FileError
// when it cannot be opened or read.
// The stamp, when given, takes the size, time and checksum of the bytes read.
bool ReadLinesFrom(const QString& path, int limit, std::vector<std::string>& lines,
                   FileStamp* stamp = nullptr);

// The stamp of bytes read or written at the given modification time (without lines).
FileStamp StampOfBytes(const std::string& bytes, const QDateTime& modified);

// The SHA-256 of the bytes, in lowercase hex: how the files Tunedeck writes about game
// files (version names, stamps of reference copies, the record of a two-file save) name
// their content.
QByteArray Sha256Hex(const std::string& bytes);
