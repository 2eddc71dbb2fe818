// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Breaks the text into lines of at most `maxColumn` characters, putting CR LF after the
// last blank, hyphen or TAB that keeps a line within the limit (the blank stays at the
// end of its line). Text between double quotes is never broken; a line with no place
// to break stays long.
QString WrapText(const QString& text, int maxColumn);
