// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// One key with a text value in Valve's KeyValues text (libraryfolders.vdf,
// appmanifest_<id>.acf); `depth` counts the blocks around it.
struct VdfValue {
    QString key;
    QString value;
    int depth = 0;
};

// The key/value pairs of KeyValues text in their order, read without recursion; none when
// the text is not well formed (an open quote, an unmatched brace, a key without a value).
std::vector<VdfValue> ParseVdf(const QByteArray& text);

// The pairs of a KeyValues file; none when it is not a regular file (a FIFO, a folder),
// holds more than `limit` bytes, cannot be read or is not well formed.
std::vector<VdfValue> ReadVdfFile(const QString& path, qint64 limit = 1 << 20);

// A Steam installation's libraries: its own folder first, then those its libraryfolders.vdf
// files list (the SD card of a Steam Deck is one), each once.
QStringList SteamLibraries(const QString& steamRoot);

// A game folder in a Steam library, <library>/steamapps/common/<dir>/...: the app id of the
// library's appmanifest_<id>.acf whose installdir is <dir> (in any letter case), and the
// Proton prefix Steam makes for it, <library>/steamapps/compatdata/<id>/pfx.
struct SteamGame {
    QString id;     // empty when the folder is not in a library or no manifest names it
    QString prefix; // the prefix's folder, whether or not it exists yet
};
SteamGame SteamGameOf(const QString& gameFolder);
