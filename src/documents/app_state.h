// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "text_buffer.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

// The four tabs, in the order of the tab control.
enum class Tab { CarSettings = 0, Pedestrians = 1, Miscellaneous = 2, APO = 3 };
constexpr int TabCount = 4;
constexpr std::array<Tab, TabCount> AllTabs = {Tab::CarSettings, Tab::Pedestrians,
                                               Tab::Miscellaneous, Tab::APO};

// Number of row-table entries; entry n belongs to grid data row n (1 to 13).
constexpr int RowTableSize = 13;

// What a file held when Tunedeck last read or wrote it.
enum class TuningFile; // game_files.h

struct FileStamp {
    qint64 size = -1;
    qint64 modified = 0;            // milliseconds since the epoch
    QByteArray checksum;            // of the bytes
    std::vector<std::string> lines; // as read or written
    bool endsWithLineBreak = false; // the last byte is a line feed
};

// Everything the program holds from start-up to exit. The main window owns one;
// each test makes its own.
struct AppState {
    // Text buffers: three separate copies of General.txt and one of Settings.txt.
    TextBuffer Memo1;
    TextBuffer PedMemo;
    TextBuffer MiscMemo;
    TextBuffer APOMemo;

    // Row table, indexed 1 to 13 (index 0 is unused: the grid's title row): what the grid
    // shows in each row of the shown section. Values are read from the buffers, never kept.
    std::array<std::string, RowTableSize + 1> RowKeys;
    std::array<int, RowTableSize + 1> RowLines{};

    // The tab whose section the grid shows, or -1 when the grid shows no section
    // (start-up, a heading, an unlisted item, a refused choice, a tab switch).
    int ShownTab = -1;

    // Game paths; empty until a game directory is known.
    QString GameDir;
    QString GeneralPath;
    QString SettingsPath;

    // What General.txt and Settings.txt held when last read or written, by file; none
    // while a file has not been read.
    std::array<std::optional<FileStamp>, 2> DiskStamps;

    // Folder against which the bare names (configuration files, reference copies,
    // the sibling editor) are resolved; empty means the current working folder.
    QString WorkDir;

    TextBuffer& buffer(Tab tab);
    const TextBuffer& buffer(Tab tab) const;
    QString workFile(const QString& name) const;
    void clearRowTable();
};
