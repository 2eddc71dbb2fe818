#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes a fresh working folder for Tunedeck at $1: a copy of the demo game folder, the two
# reference copies and a Tunedeck.ini naming the game folder. Run from the repository root.
set -euo pipefail
work="$1"
rm -rf "$work"
mkdir -p "$work"
cp -r sample/game "$work/game"
cp sample/original.general sample/original.pedsettings "$work/"
printf '%s\r\n' "$work/game" >"$work/Tunedeck.ini"
