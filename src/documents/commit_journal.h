// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "replacement_file.h"

#include <QString>
#include <string>
#include <vector>

// Files replaced together must never be left half new, not even by a kill or a power cut
// between their renames. Before the first rename, a journal beside the first target names
// every prepared file, its target and a copy of what the target held, with the checksums
// of both; it is written and synced like any file. After the last rename it is removed.
// The next run that finds it finishes the commit when every file not yet in place is still
// prepared, and otherwise puts back what the targets held; either way only the files the
// journal names are touched.

// The journal's name, in the folder of the first target.
constexpr const char* CommitJournalName = ".tunedeck-commit";

// ReplaceTogether, journaled when more than one file is replaced. When a rename fails
// after others succeeded, the files already renamed get their old content back, so that
// none of them is new (installed() then tells false for each). The caller holds the
// FolderLock of each folder. Returns 0 or the error number of the first failure.
int ReplaceTogetherJournaled(const std::vector<ReplacementFile*>& files,
                             const std::vector<std::string>& contents);

// Finishes or undoes the commit that a journal in `folder` records, holding the lock of
// every folder it names, and returns the one line that says which; empty when the folder
// holds no journal. Throws FileError when a folder cannot be locked.
QString RecoverInterruptedCommit(const QString& folder);
