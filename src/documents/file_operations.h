#pragma once

#include "app_state.h"

#include <QString>
#include <array>
#include <optional>
#include <string>

class Chooser;
class QDateTime;
class Messages;
class Progress;

// What the whole-buffer operations show their results on.
struct Controls {
    Messages& messages;
    Progress& progress;
    std::array<Chooser*, TabCount> choosers; // by tab
    Chooser& chooser(Tab tab) const { return *choosers[static_cast<size_t>(tab)]; }
};

// Empties the buffer, resets the chooser and fills the buffer from the file. A game file
// (the path equals GeneralPath or SettingsPath) must have its expected number of lines:
// otherwise the buffer is emptied, the user told, and the calling operation ends with a
// silent abort. Bare names resolve against the working folder of the state. A game file
// read is remembered in DiskStamps.
void LoadBuffer(AppState& state, Messages& messages, Progress& bar, TextBuffer& buffer,
                Chooser& chooser, const QString& path);

// Writes the buffer to the file and tells the user the result. The file is written
// beside its target and put in place only once it is on the disk, so a failed write leaves
// the previous file as it was. A game file gets its fixed first line. Other Tunedeck
// processes are kept from writing into the folder meanwhile.
void WriteBuffer(AppState& state, Messages& messages, Progress& progress, const TextBuffer& buffer,
                 const QString& path);

// A buffer and the file it is written to.
struct BufferTarget {
    const TextBuffer* buffer;
    QString path;
};

// Writes the buffers to their files as WriteBuffer does, but together: every file is
// written and synced beside its target before any is put in place, so a failed write
// leaves all of them as they were. A target without any write bit is told as an error and
// nothing is written. A game file is written through a link to the real file; any other
// file (a backup) replaces a link in its place and never writes through it.
void WriteBuffers(AppState& state, Messages& messages, Progress& progress,
                  const std::vector<BufferTarget>& targets);

// The bytes of a file holding the lines, each ended by CR LF, with `firstLine` in place of
// line 0 when given; the progress steps once a line.
std::string FileBytes(const TextBuffer& buffer, const char* firstLine, Progress& progress);

// Writes the buffers as WriteBuffers does, but a game file among them that changed on disk
// since Tunedeck last read or wrote it is first asked about ("... Replace it with
// <replacement>?"), with no lock held while the question is open; a file changed again
// meanwhile is asked about again. Returns false, writing nothing, on a No.
bool WriteAfterAsking(AppState& state, Messages& messages, Progress& progress,
                      const std::vector<BufferTarget>& targets, const QString& replacement);

// Whether the tab's buffer holds lines that its game file did not hold when Tunedeck last
// read or wrote it (the first line aside, which a save replaces).
bool HoldsUnsavedEdits(const AppState& state, Tab tab);

// The Save, Backup and Restore buttons of a tab. A Save asks before it replaces a game
// file that another program changed since Tunedeck read it.
void Save(AppState& state, const Controls& controls, Tab tab);
// Saves the buffers of the tabs (one a file) together, once all pass the Save check.
void Save(AppState& state, const Controls& controls, const std::vector<Tab>& tabs);
void Backup(AppState& state, const Controls& controls, Tab tab);
void Restore(AppState& state, const Controls& controls, Tab tab);

// The reload of a directory save: fills Memo1, MiscMemo and APOMemo (or PedMemo) from
// GeneralPath (or SettingsPath). Returns false, after telling the user, when the file
// cannot be opened or read; a wrong line count empties the buffers and is told, but
// returns true.
bool ReloadGeneralBuffers(AppState& state, const Controls& controls);
bool ReloadSettingsBuffer(AppState& state, const Controls& controls);

// The bytes of a file of at most MaxGameFileBytes, and its modification time when asked;
// nothing for a larger file. Throws FileError when it cannot be opened or read.
std::optional<std::string> ReadBytesFrom(const QString& path, QDateTime* modified = nullptr);

// Reads the lines of a file of at most MaxGameFileBytes, stopping after `limit` lines
// when limit >= 0. Returns false, reading nothing, for a larger file; throws FileError
// when it cannot be opened or read.
// The stamp, when given, takes the size, time and checksum of the bytes read.
bool ReadLinesFrom(const QString& path, int limit, std::vector<std::string>& lines,
                   FileStamp* stamp = nullptr);
