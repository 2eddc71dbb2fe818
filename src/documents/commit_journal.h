// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "replacement_file.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

// Files replaced together must never be left half new, not even by a kill or a power cut
// between their renames. Before the first rename, a record in a folder the caller names
// lists every prepared file, its target and a copy of what the target held, with the
// checksums of both; it is written and synced like any file. After the last rename it is
// removed. The next run that finds it finishes or undoes the save (cut_off_saves.h).

// The record's name, in the folder of the first game file written.
constexpr const char* CommitJournalName = ".tunedeck-commit";
// A record names two files; anything larger is no record of ours.
constexpr qint64 MaxCommitJournalBytes = 64 * 1024;

struct JournalEntry {
    QString target;   // the real file replaced
    QString prepared; // the new content, a temporary file of the target
    QByteArray newChecksum;
    QString previous;       // what the target held, a temporary file of it; empty when none
    QByteArray oldChecksum; // empty when there was no target
};

// The entries of a record's bytes; nothing when they are not a record, or name a prepared or
// old file that is not a temporary file of its target.
std::optional<std::vector<JournalEntry>> ParseJournal(const std::string& bytes);

// ReplaceTogether, recorded in `journalFolder` when more than one file is replaced. When a
// rename fails after others succeeded, the files already renamed get their old content
// back, so that none of them is new; should that fail too, the record and the old copies
// stay for the next run. The record and the old copies are the scope's temporary files while
// they are written; the scope holds the lock of each folder. Returns the first failure, with
// its file.
std::optional<FileFailure> ReplaceTogetherJournaled(const std::vector<ReplacementFile*>& files,
                                                    const std::vector<std::string>& contents,
                                                    const QString& journalFolder,
                                                    WriteScope& scope);
