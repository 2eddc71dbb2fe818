// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <chrono>

// Looks for a Gorewheel II folder (one holding data/General.txt and
// data/peds/Settings.txt, in any letter case) where a Linux player keeps Windows games
// below `home`: the Wine prefix ~/.wine and winetricks prefixes, Steam libraries (those
// listed in libraryfolders.vdf too) and Proton prefixes, Lutris' ~/Games, Bottles and
// Heroic prefixes. On Windows `home` only needs to be non-empty: the search looks in Steam's
// libraries (from the registry), GOG's default folders, C:\Games and the program folders.
// Each place is searched a few folder levels deep, and the whole search
// stops after `budget`, so a home without those places costs a few look-ups only.
// Returns the first folder found, or an empty text. Nothing is written.
QString FindGameFolder(const QString& home,
                       std::chrono::milliseconds budget = std::chrono::milliseconds(200));
