// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "changes.h"
#include "write_back.h"

#include <QString>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

// A tuning set: the settings that differ from the reference copies, as a text file a
// player can read, edit and pass on. The first line names the format:
//
//   Tunedeck tuning set 1
//
// then every line is a comment (starting with "#"), empty, or an entry of four fields
// separated by TABs: the tab's caption, the chooser item's text, the row's Details text
// and the value, exactly as it stands in the game file. A line ends at LF; a CR just
// before the LF is dropped, so a set edited on Windows reads the same. The writer ends
// every line with CR LF, which keeps a value ending in CR whole.

constexpr const char* TuningSetHeader = "Tunedeck tuning set 1";

struct TuningEntry {
    SettingPlace place;
    std::string value;
    int line = 0; // line number in the set, from 1 (0 for an entry not read from a set)
};

// A line of a set that is not a comment or an entry of a setting.
class TuningSetError : public std::runtime_error {
public:
    TuningSetError(int line, const std::string& reason) : std::runtime_error(reason), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

// The entries of a set, in order. Tab captions are matched in any letter case; item and
// Details texts as they stand, or else in any letter case and without surrounding
// blanks. Throws TuningSetError for the first line that is not a comment or an entry of
// exactly one setting.
std::vector<TuningEntry> ReadTuningSet(const std::vector<std::string>& lines);

// The text of a set holding the changed settings, with their current values.
std::string WriteTuningSet(const std::vector<ChangedSetting>& changes);

// Reads the set in the file: throws FileError when the file cannot be found or read,
// TuningSetError for a bad line.
std::vector<TuningEntry> ReadTuningSetFile(const QString& path);

// Writes the text over the file, which is replaced only once the new one is on the disk.
// Throws FileError.
void WriteTuningSetFile(const QString& path, const std::string& text);

// The game files the entries change.
std::set<TuningFile> FilesOf(const std::vector<TuningEntry>& entries);

// Whether every buffer of every file the entries change holds that file's line count,
// as a section needs before it is shown.
bool BuffersReadyFor(const AppState& state, const std::vector<TuningEntry>& entries);

// What applying a set did: the lines it changed, and for each entry, in order, what is odd
// about the shape of the value written (see CommitResult::shapeNote).
struct AppliedTuningSet {
    DocumentEdit changes;
    std::vector<std::string> shapeNotes;
};

// Commits every entry's value at its place; the rebuilt line goes into every buffer of its
// file, so whichever tab's Save writes the file, it writes the whole set. With `reference`,
// the reference copies, each value written is measured against them. An entry whose value
// may not be written throws TuningSetError with the entry's line and leaves the buffers as
// they were. Check BuffersReadyFor first.
AppliedTuningSet ApplyTuningSet(AppState& state, const std::vector<TuningEntry>& entries,
                                const AppState* reference = nullptr);

// Where and why a set was refused, for the player: "<name>, line <n>: <reason>"; the reason
// is read as Latin-1, as it holds the set's own bytes.
QString TuningSetRefusal(const QString& setName, const TuningSetError& error);
