#pragma once

#include "app_state.h"

#include <QIODevice>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class Chooser;
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
// silent abort. Bare names resolve against the working folder of the state.
void LoadBuffer(AppState& state, Messages& messages, Progress& bar, TextBuffer& buffer,
                Chooser& chooser, const QString& path);

// Puts a device between the line writer and the file being written.
using DeviceWrapper = std::function<std::unique_ptr<QIODevice>(QIODevice& file)>;

// Writes the buffer to the file and tells the user the result. The file is written
// beside its target and put in place only when complete, so a failed write leaves the
// previous file as it was. A game file gets its fixed first line.
void WriteBuffer(AppState& state, Messages& messages, Progress& progress, const TextBuffer& buffer,
                 const QString& path, const DeviceWrapper& wrap = {});

// Writes the lines, each ended by CR LF, with `firstLine` in place of line 0 when given.
// Returns 0, or the system's error number of the write that failed.
int WriteLines(QIODevice& device, const TextBuffer& buffer, const char* firstLine,
               Progress& progress);

// The Save, Backup and Restore buttons of a tab.
void Save(AppState& state, const Controls& controls, Tab tab, const DeviceWrapper& wrap = {});
void Backup(AppState& state, const Controls& controls, Tab tab, const DeviceWrapper& wrap = {});
void Restore(AppState& state, const Controls& controls, Tab tab);

// The reload of a directory save: fills Memo1, MiscMemo and APOMemo (or PedMemo) from
// GeneralPath (or SettingsPath). Returns false, after telling the user, when the file
// cannot be opened or read; a wrong line count empties the buffers and is told, but
// returns true.
bool ReloadGeneralBuffers(AppState& state, const Controls& controls);
bool ReloadSettingsBuffer(AppState& state, const Controls& controls);

// Reads the lines of a file of at most MaxGameFileBytes, stopping after `limit` lines
// when limit >= 0. Returns false, reading nothing, for a larger file; throws FileError
// when it cannot be opened or read.
bool ReadLinesFrom(const QString& path, int limit, std::vector<std::string>& lines);
