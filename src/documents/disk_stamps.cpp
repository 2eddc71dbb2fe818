// SPDX-License-Identifier: GPL-3.0-or-later
#include "disk_stamps.h"

#include "errors.h"
#include "game_file_reading.h"
#include "game_paths.h"

#include <QFileInfo>

const std::optional<FileStamp>& StampOf(const AppState& state, TuningFile file)
{
    return state.document(file).stamp();
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

std::optional<FileStamp> DiskStampOf(const AppState& state, TuningFile file)
{
    const QString& path = PathOf(state, file);
    FileStamp stamp;
    std::vector<std::string> lines;
    try {
        if (FileExists(path) && ReadLinesFrom(path, -1, lines, &stamp))
            return stamp;
    } catch (const FileError&) {
    }
    return std::nullopt;
}

void RememberDiskFile(AppState& state, TuningFile file)
{
    state.document(file).setStamp(DiskStampOf(state, file));
}
