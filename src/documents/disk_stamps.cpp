// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk_stamps.h"

#include "errors.h"
#include "game_file_reading.h"
#include "game_paths.h"

#include <QFileInfo>
#include <algorithm>

std::optional<FileStamp>& StampOf(AppState& state, TuningFile file)
{
    return state.DiskStamps[static_cast<size_t>(file)];
}

std::optional<FileStamp> ChangedSince(const FileStamp& seen, const QString& path)
{
    // The bytes are compared, whatever the size and time say: a copy that keeps the time
    // (cp -p, rsync -t, tar) keeps the size too, more often than not.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    FileStamp now;
    std::vector<std::string> lines;
    try {
        if (!ReadLinesFrom(path, -1, lines, &now))
            return now; // too large to be what was read
    } catch (const FileError&) {
        return std::nullopt;
    }
    if (now.size != seen.size || now.checksum != seen.checksum)
        return now;
    return std::nullopt;
}

void RememberDiskFile(AppState& state, TuningFile file)
{
    std::optional<FileStamp>& remembered = StampOf(state, file);
    const QString& path = PathOf(state, file);
    FileStamp stamp;
    std::vector<std::string> lines;
    try {
        if (FileExists(path) && ReadLinesFrom(path, -1, lines, &stamp)) {
            remembered = stamp;
            return;
        }
    } catch (const FileError&) {
    }
    remembered.reset();
}

bool HoldsUnsavedEdits(const AppState& state, Tab tab)
{
    const TextBuffer& buffer = state.buffer(tab);
    const auto& disk = state.DiskStamps[static_cast<size_t>(FileOf(tab))];
    if (!disk)
        return !buffer.empty();
    // Line 0 is not compared: a save writes the fixed first line in its place.
    const std::vector<std::string>& saved = disk->lines;
    return buffer.count() != static_cast<int>(saved.size()) ||
           !std::equal(buffer.lines().begin() + std::min(1, buffer.count()), buffer.lines().end(),
                       saved.begin() + std::min<size_t>(1, saved.size()));
}
