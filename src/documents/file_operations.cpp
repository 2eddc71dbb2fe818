#include "file_operations.h"

#include "commit_journal.h"
#include "errors.h"
#include "folder_lock.h"
#include "game_files.h"
#include "game_paths.h"
#include "interfaces.h"
#include "replacement_file.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <memory>

namespace {

const QString MissingFileText = QStringLiteral("Save your \"Gorewheel 2\" directory first.");

bool IsGeneralBuffer(Tab tab)
{
    return FileOf(tab) == TuningFile::General;
}

void SetBarMaximum(const AppState& state, Progress& bar, const QString& path)
{
    if (path == state.GeneralPath || path == QLatin1String(OriginalGeneral))
        bar.setMaximum(GeneralLineCount);
    else if (path == state.SettingsPath || path == QLatin1String(OriginalSettings))
        bar.setMaximum(SettingsLineCount);
}

// What Tunedeck last read or wrote of the game file at `path`; nothing for another file.
std::optional<FileStamp>* StampOf(AppState& state, const QString& path)
{
    const std::optional<TuningFile> file = GameFileAt(state, path);
    return file ? &state.DiskStamps[static_cast<size_t>(*file)] : nullptr;
}

FileStamp StampOfBytes(const std::string& bytes, const QDateTime& modified)
{
    return {static_cast<qint64>(bytes.size()),
            modified.toMSecsSinceEpoch(),
            QCryptographicHash::hash(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())),
                                     QCryptographicHash::Sha256),
            {}};
}

// What the file at `path` holds now when that differs from what was last read or written
// of it: bytes that a save would lose. A file whose size and time are unchanged is taken as
// unchanged without reading it; no file, or one that cannot be read, holds nothing to lose
// (the write then says what is wrong).
std::optional<FileStamp> ChangedSince(const FileStamp& seen, const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() ||
        (info.size() == seen.size && info.lastModified().toMSecsSinceEpoch() == seen.modified))
        return std::nullopt;
    FileStamp now;
    now.size = info.size();
    now.modified = info.lastModified().toMSecsSinceEpoch();
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

void RememberDiskFile(AppState& state, const QString& path)
{
    std::optional<FileStamp>* remembered = StampOf(state, path);
    if (!remembered)
        return;
    FileStamp stamp;
    std::vector<std::string> lines;
    try {
        if (FileExists(path) && ReadLinesFrom(path, -1, lines, &stamp)) {
            *remembered = stamp;
            return;
        }
    } catch (const FileError&) {
    }
    remembered->reset();
}

} // namespace

std::optional<std::string> ReadBytesFrom(const QString& path, QDateTime* modified)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    if (!file.isSequential() && file.size() > MaxGameFileBytes)
        return std::nullopt;
    // Read in pieces, stopping once past the limit, so a device that never
    // ends (or a file that grows) is recognised as too large without being read whole.
    std::string bytes;
    std::vector<char> chunk(64 * 1024);
    while (static_cast<long long>(bytes.size()) <= MaxGameFileBytes) {
        const qint64 got = file.read(chunk.data(), static_cast<qint64>(chunk.size()));
        if (got < 0)
            throw FileError(
                QStringLiteral("Cannot read file \"%1\". %2").arg(path, file.errorString()));
        if (got == 0)
            break;
        bytes.append(chunk.data(), static_cast<size_t>(got));
    }
    if (static_cast<long long>(bytes.size()) > MaxGameFileBytes)
        return std::nullopt;
    if (modified)
        *modified = file.fileTime(QFileDevice::FileModificationTime);
    return bytes;
}

bool ReadLinesFrom(const QString& path, int limit, std::vector<std::string>& lines,
                   FileStamp* stamp)
{
    QDateTime modified;
    const std::optional<std::string> bytes = ReadBytesFrom(path, &modified);
    if (!bytes)
        return false;
    lines = SplitLines(*bytes, limit);
    if (stamp) {
        *stamp = StampOfBytes(*bytes, modified);
        stamp->lines = lines;
    }
    return true;
}

void LoadBuffer(AppState& state, Messages& messages, Progress& bar, TextBuffer& buffer,
                Chooser& chooser, const QString& path)
{
    int counter = 0;
    SetBarMaximum(state, bar, path);
    buffer.clear();
    chooser.clearSelection();

    const std::optional<TuningFile> gameFile = GameFileAt(state, path);
    const int expected = gameFile ? LineCountOf(*gameFile) : -1;
    const QString file = state.workFile(path);
    std::unique_ptr<FileError> failure;
    if (!FileExists(file)) {
        messages.error(MissingFileText);
    } else {
        try {
            std::vector<std::string> lines;
            const int limit = expected < 0 ? -1 : expected + 1;
            FileStamp stamp;
            const bool read = ReadLinesFrom(file, limit, lines, &stamp);
            if (gameFile)
                state.DiskStamps[static_cast<size_t>(*gameFile)] = stamp;
            if (!read) {
                counter = -1; // too large to be a game file
                if (expected < 0)
                    messages.error(QStringLiteral("%1 is too large to be a copy of a game file; "
                                                  "it was not read.")
                                       .arg(QFileInfo(path).fileName()));
            }
            for (auto& line : lines) {
                buffer.append(std::move(line));
                bar.stepIt();
                ++counter;
            }
        } catch (const FileError& error) {
            failure = std::make_unique<FileError>(error);
        }
    }

    bar.setPosition(0);
    if (failure) {
        // A file that could not be read says so, whatever its line count would have been.
        buffer.clear();
        throw *failure;
    }
    if (path == state.GeneralPath && counter != GeneralLineCount) {
        buffer.clear();
        messages.plain(QStringLiteral("Invalid file, please use an original General.txt"));
        throw SilentAbort();
    }
    if (path == state.SettingsPath && counter != SettingsLineCount) {
        buffer.clear();
        messages.plain(QStringLiteral("Invalid file, please use an original Settings.txt"));
        throw SilentAbort();
    }
}

std::string FileBytes(const TextBuffer& buffer, const char* firstLine, Progress& progress)
{
    const int n = buffer.count();
    std::string bytes;
    if (n == 0)
        return bytes;
    bytes.reserve(static_cast<size_t>(n) * 64);
    bytes += firstLine ? std::string(firstLine) : buffer.line(0);
    bytes += "\r\n";
    for (int i = 1; i < n; ++i) {
        bytes += buffer.line(i);
        bytes += "\r\n";
        if (progress.position() < n)
            progress.stepIt();
    }
    return bytes;
}

void WriteBuffer(AppState& state, Messages& messages, Progress& progress, const TextBuffer& buffer,
                 const QString& path)
{
    WriteBuffers(state, messages, progress, {{&buffer, path}});
}

namespace {

const char* FirstLineOf(const AppState& state, const QString& path)
{
    const std::optional<TuningFile> file = GameFileAt(state, path);
    return file ? HeaderLineOf(*file) : nullptr;
}

void TellWritten(Messages& messages, const QString& path, const ReplacementFile& file)
{
    if (ExtensionOf(path) == QLatin1String(".bak"))
        messages.information(QStringLiteral("File copied: ") + path);
    else
        messages.information(QStringLiteral("File updated: ") + path);
    if (const int error = file.folderSyncError())
        messages.warning(QStringLiteral("The new %1 is in place, but its folder could not be "
                                        "synced (error %2): a power cut may yet bring back "
                                        "the old file.")
                             .arg(QFileInfo(path).fileName())
                             .arg(error));
}

} // namespace

namespace {

// A game file to write that changed on disk since it was last read or written.
struct ChangedTarget {
    size_t index;  // in the targets
    FileStamp now; // what it holds now
};

// Finishes or undoes a two-file save that was cut off in the folders of the targets or of
// the game files, before anything there is written (which would remove its files).
void RecoverCutOffSaves(const AppState& state, Messages& messages,
                        const std::vector<BufferTarget>& targets)
{
    QStringList folders;
    for (const BufferTarget& target : targets)
        folders << QFileInfo(target.path).absolutePath();
    for (const QString& path : {state.GeneralPath, state.SettingsPath})
        if (!path.isEmpty())
            folders << QFileInfo(path).absolutePath();
    folders.removeDuplicates();
    for (const QString& folder : folders) {
        const QString said = RecoverInterruptedCommit(folder);
        if (!said.isEmpty())
            messages.warning(said);
    }
}

// Writes the buffers to their files together, unless a game file among them changed on disk
// since `seen` (by target; nothing for a file not to be compared): the comparison and the
// write are one step under the folder locks, so no other Tunedeck can change the file in
// between. Returns the files that changed, and writes nothing then.
std::vector<ChangedTarget> WriteUnlessChanged(AppState& state, Messages& messages,
                                              Progress& progress,
                                              const std::vector<BufferTarget>& targets,
                                              const std::vector<std::optional<FileStamp>>& seen)
{
    RecoverCutOffSaves(state, messages, targets);
    if (state.BeforeLockingGameFolder)
        state.BeforeLockingGameFolder(state);
    if (targets.size() == 1)
        progress.setMaximum(targets.front().buffer->count());
    std::vector<std::unique_ptr<ReplacementFile>> files;
    std::vector<std::string> contents;
    std::vector<ChangedTarget> changed;
    int error = 0;
    QString refused;
    {
        // Held for the comparison and the write alone: never while a message waits for
        // the player.
        std::vector<FolderLock> locks;
        std::vector<LinkAtTarget> links;
        for (const BufferTarget& target : targets) {
            links.push_back(GameFileAt(state, target.path) ? LinkAtTarget::Follow
                                                           : LinkAtTarget::Replace);
            locks.emplace_back(target.path, links.back());
        }
        for (size_t i = 0; i < seen.size() && i < targets.size(); ++i)
            if (seen[i])
                if (std::optional<FileStamp> now = ChangedSince(*seen[i], targets[i].path))
                    changed.push_back({i, std::move(*now)});
        if (!changed.empty())
            return changed;
        try {
            for (size_t i = 0; i < targets.size(); ++i)
                files.push_back(std::make_unique<ReplacementFile>(targets[i].path, links[i]));
        } catch (const ReadOnlyFile& readOnly) {
            refused = readOnly.text();
        }
        std::vector<ReplacementFile*> replaced;
        for (size_t i = 0; i < targets.size() && refused.isEmpty(); ++i) {
            if (state.BeforeReplacingGameFile && GameFileAt(state, targets[i].path))
                state.BeforeReplacingGameFile(state, targets[i].path);
            const TextBuffer& buffer = *targets[i].buffer;
            if (i > 0)
                progress.setPosition(0);
            progress.setMaximum(buffer.count());
            contents.push_back(FileBytes(buffer, FirstLineOf(state, targets[i].path), progress));
            replaced.push_back(files[i].get());
        }
        if (refused.isEmpty())
            error = ReplaceTogetherJournaled(replaced, contents);
    }
    if (!refused.isEmpty()) {
        messages.error(refused);
        progress.setPosition(0);
        return {};
    }

    for (size_t i = 0; i < targets.size(); ++i) {
        if (!files[i]->installed() || (error != 0 && targets.size() > 1))
            continue; // files written together were put back as they were
        if (std::optional<FileStamp>* remembered = StampOf(state, targets[i].path)) {
            FileStamp& stamp = remembered->emplace(
                StampOfBytes(contents[i], QFileInfo(targets[i].path).lastModified()));
            stamp.lines = targets[i].buffer->lines();
            if (!stamp.lines.empty())
                stamp.lines[0] = FirstLineOf(state, targets[i].path);
        }
        TellWritten(messages, targets[i].path, *files[i]);
    }
    if (error != 0)
        messages.error(QStringLiteral("Save aborted with error: %1").arg(error));
    progress.setPosition(0);
    return {};
}

} // namespace

void WriteBuffers(AppState& state, Messages& messages, Progress& progress,
                  const std::vector<BufferTarget>& targets)
{
    WriteUnlessChanged(state, messages, progress, targets, {});
}

bool WriteAfterAsking(AppState& state, Messages& messages, Progress& progress,
                      const std::vector<BufferTarget>& targets, const QString& replacement)
{
    std::vector<std::optional<FileStamp>> seen;
    for (const BufferTarget& target : targets) {
        std::optional<FileStamp>* remembered = StampOf(state, target.path);
        seen.push_back(remembered ? *remembered : std::nullopt);
    }
    // The lock is let go while the player is asked; after Yes the files are compared again
    // with what they held when asked, so a change made meanwhile is asked about in turn.
    for (;;) {
        const std::vector<ChangedTarget> changed =
            WriteUnlessChanged(state, messages, progress, targets, seen);
        if (changed.empty())
            return true;
        for (const ChangedTarget& file : changed) {
            if (!messages.ask(
                    QStringLiteral("%1 was changed by another program since Tunedeck "
                                   "read it. Replace it with %2?")
                        .arg(QFileInfo(targets[file.index].path).fileName(), replacement)))
                return false;
            seen[file.index] = file.now;
        }
    }
}

void Save(AppState& state, const Controls& controls, Tab tab)
{
    Save(state, controls, std::vector<Tab>{tab});
}

void Save(AppState& state, const Controls& controls, const std::vector<Tab>& tabs)
{
    std::vector<BufferTarget> targets;
    for (Tab tab : tabs) {
        const TextBuffer& buffer = state.buffer(tab);
        if (IsGeneralBuffer(tab)) {
            if (buffer.count() != GeneralLineCount) {
                controls.messages.error(QStringLiteral(
                    "Invalid alterations to General.txt. Please restore an original."));
                return;
            }
            targets.push_back({&buffer, state.GeneralPath});
        } else {
            if (buffer.count() != SettingsLineCount) {
                controls.messages.error(QStringLiteral(
                    "Invalid alterations to settings.txt. Please restore an original."));
                return;
            }
            targets.push_back({&buffer, state.SettingsPath});
        }
    }
    // Files written together are written only when each of them may be replaced.
    WriteAfterAsking(state, controls.messages, controls.progress, targets,
                     QStringLiteral("this tab's copy"));
}

void Backup(AppState& state, const Controls& controls, Tab tab)
{
    const TextBuffer& buffer = state.buffer(tab);
    if (IsGeneralBuffer(tab)) {
        if (FileExists(state.GeneralPath))
            WriteBuffer(state, controls.messages, controls.progress, buffer,
                        SiblingPath(state.GeneralPath, QStringLiteral("General.bak")));
        else
            controls.messages.error(QStringLiteral("General.txt must be loaded first."));
    } else {
        if (FileExists(state.SettingsPath))
            WriteBuffer(state, controls.messages, controls.progress, buffer,
                        SiblingPath(state.SettingsPath, QStringLiteral("Settings.bak")));
        else
            controls.messages.error(QStringLiteral("Settings.txt must be loaded first."));
    }
}

void Restore(AppState& state, const Controls& controls, Tab tab)
{
    const TuningFile file = FileOf(tab);
    for (Tab target : BuffersOf(file))
        LoadBuffer(state, controls.messages, controls.progress, state.buffer(target),
                   controls.chooser(target), QLatin1String(ReferenceCopy(file)));
    // The player chose these lines over whatever the file holds now.
    RememberDiskFile(state, PathOf(state, file));
}

namespace {

// Reads the file at `path` line by line into every buffer of `targets`; the count is
// -1 for a file too large to be the game file.
bool Reload(const QString& path, int expected, const std::vector<TextBuffer*>& targets,
            const Controls& controls, int& counter, std::optional<FileStamp>& stamp)
{
    counter = 0;
    controls.progress.setMaximum(expected);
    for (TextBuffer* buffer : targets)
        buffer->clear();
    std::vector<std::string> lines;
    stamp.reset();
    try {
        FileStamp read;
        if (!ReadLinesFrom(path, expected + 1, lines, &read))
            counter = -1;
        stamp = read;
    } catch (const FileError&) {
        controls.messages.error(MissingFileText);
        controls.progress.setPosition(0);
        return false;
    }
    for (const std::string& line : lines) {
        for (TextBuffer* buffer : targets)
            buffer->append(line);
        controls.progress.stepIt();
        ++counter;
    }
    controls.progress.setPosition(0);
    return true;
}

} // namespace

bool ReloadGeneralBuffers(AppState& state, const Controls& controls)
{
    controls.chooser(Tab::CarSettings).clearSelection();
    const std::vector<TextBuffer*> targets{&state.Memo1, &state.MiscMemo, &state.APOMemo};
    int counter = 0;
    if (!Reload(state.GeneralPath, GeneralLineCount, targets, controls, counter,
                state.DiskStamps[0]))
        return false;
    if (counter != GeneralLineCount) {
        for (TextBuffer* buffer : targets)
            buffer->clear();
        controls.messages.plain(QStringLiteral("Invalid file, please use an original General.TXT"));
    }
    return true;
}

bool ReloadSettingsBuffer(AppState& state, const Controls& controls)
{
    controls.chooser(Tab::Pedestrians).clearSelection();
    int counter = 0;
    if (!Reload(state.SettingsPath, SettingsLineCount, {&state.PedMemo}, controls, counter,
                state.DiskStamps[1]))
        return false;
    if (counter != SettingsLineCount) {
        state.PedMemo.clear();
        controls.messages.plain(
            QStringLiteral("Invalid file, please use an original \\peds\\Settings.txt"));
    }
    return true;
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
