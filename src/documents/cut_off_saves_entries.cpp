// SPDX-License-Identifier: GPL-3.0-or-later
#include "cut_off_saves_entries.h"

#include "game_file_reading.h"
#include "game_paths.h"
#include "replacement_file.h"
#include "text_buffer.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

// The checksum of a regular file of at most a game file's size; "-" for no file, empty
// for anything else.
QByteArray ChecksumOf(const QString& path)
{
    std::string bytes;
    switch (ReadSmallFile(path, MaxGameFileBytes, bytes)) {
    case SmallFileRead::Read:
        return Sha256Hex(bytes);
    case SmallFileRead::Missing:
        return QByteArrayLiteral("-");
    default:
        return {};
    }
}

// Whether the file at `path` holds the checksum and the shape of the game file: no record
// puts a file of another shape in a game file's place.
bool HoldsGameFile(const QString& path, const QByteArray& checksum, TuningFile file)
{
    std::string bytes;
    return ReadSmallFile(path, MaxGameFileBytes, bytes) == SmallFileRead::Read &&
           Sha256Hex(bytes) == checksum &&
           static_cast<int>(SplitGameFile(file, bytes).size()) == LineCountOf(file);
}

} // namespace

std::optional<std::vector<Entry>> EntriesOf(const AppState& state, const std::string& bytes)
{
    const std::optional<std::vector<JournalEntry>> parsed = ParseJournal(bytes);
    if (!parsed)
        return std::nullopt;
    std::vector<Entry> entries;
    for (const JournalEntry& recorded : *parsed) {
        std::optional<TuningFile> named;
        for (TuningFile file : TuningFiles) {
            const QString path = GameFilePath(state.GameDir, QLatin1String(RelativePath(file)));
            if (recorded.target == ReplacedPath(path, LinkAtTarget::Follow))
                named = file;
        }
        if (!named)
            return std::nullopt;
        for (const Entry& before : entries)
            if (before.file == *named)
                return std::nullopt;
        entries.push_back({recorded, *named});
    }
    // A save records only when it writes both game files: a record of one file is someone
    // else's, however well made, and is never acted on.
    if (entries.size() != TuningFiles.size())
        return std::nullopt;
    return entries;
}

void Compare(std::vector<Entry>& entries)
{
    for (Entry& entry : entries) {
        const QByteArray now = ChecksumOf(entry.recorded.target);
        const QByteArray old =
            entry.recorded.previous.isEmpty() ? QByteArrayLiteral("-") : entry.recorded.oldChecksum;
        entry.holds = now == entry.recorded.newChecksum ? Holds::New
                      : now == old                      ? Holds::Old
                                                        : Holds::Other;
    }
}

CutOffSave::Outcome WayOf(const std::vector<Entry>& entries)
{
    bool finishable = true;
    bool undoable = true;
    for (const Entry& entry : entries) {
        finishable = finishable && (entry.holds == Holds::New ||
                                    HoldsGameFile(entry.recorded.prepared,
                                                  entry.recorded.newChecksum, entry.file));
        // A file that did not exist before is never deleted: such a save is only finished.
        undoable =
            undoable &&
            (entry.holds == Holds::Old ||
             (!entry.recorded.previous.isEmpty() &&
              HoldsGameFile(entry.recorded.previous, entry.recorded.oldChecksum, entry.file)));
    }
    return finishable ? CutOffSave::Outcome::Finished
           : undoable ? CutOffSave::Outcome::Undone
                      : CutOffSave::Outcome::NeitherWay;
}

void RemoveRecord(const std::vector<Entry>& entries, const QString& recordPath)
{
    QStringList folders;
    for (const Entry& entry : entries) {
        for (const QString& temporary : {entry.recorded.prepared, entry.recorded.previous})
            if (QFileInfo(temporary).isFile() && !QFileInfo(temporary).isSymLink())
                QFile::remove(temporary);
        folders << QFileInfo(entry.recorded.target).absolutePath();
    }
    folders.removeDuplicates();
    for (const QString& folder : folders)
        SyncFolder(folder);
    QFile::remove(recordPath);
    SyncFolder(QFileInfo(recordPath).absolutePath());
}
