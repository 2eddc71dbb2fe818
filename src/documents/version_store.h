// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app_state.h"
#include "game_files.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// The save history: before Tunedeck replaces a game file, the bytes the file holds are kept
// as a version in the working folder, in history/General.txt/ or history/Settings.txt/.
// A version's file name is <serial>_<date>_<time>_<checksum>.txt: the serial orders the
// versions whatever the clock did, the local time (to the second) and the first eight hex
// digits of the bytes' SHA-256 tell them apart at a glance.

// Versions kept of each game file; the oldest go first.
constexpr int MaxKeptVersions = 100;

struct KeptVersion {
    TuningFile file = TuningFile::General;
    QString path; // the version's file
    long long serial = 0;
    QDateTime time;
    QString checksum;
    QDateTime written; // when the version's file was written: orders one second's versions
};

// The time a version was kept, as listings show it: 2026-12-08 03:15:42.
QString ShownTime(const KeptVersion& version);

// The folder holding the versions of the game file kept from the game folder (GameDir):
// each game folder has a history of its own, history/<folder name>-<checksum of its real
// path>/, which records the folder's path in game-folder.txt.
QString HistoryFolder(const AppState& state, TuningFile file);

// The name of the game file as history and its listings give it: General.txt, Settings.txt.
QString HistoryName(TuningFile file);

// Why a version could not be kept.
struct VersionFailure {
    QString folder;             // the history folder
    QString systemText;         // the system's words; empty when heldElsewhere
    bool heldElsewhere = false; // another Tunedeck held the history folder's lock
};

// Keeps the bytes of the file at `path` (the game file `file`) as its newest version, unless
// they are the newest version already or no file is there, then removes the oldest
// versions beyond MaxKeptVersions. The version is written as every file is, beside its
// place first and synced. Returns the failure when nothing could be kept.
std::optional<VersionFailure> KeepVersion(const AppState& state, TuningFile file,
                                          const QString& path);

// The versions of the file, newest first.
std::vector<KeptVersion> KeptVersions(const AppState& state, TuningFile file);
