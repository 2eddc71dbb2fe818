// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

// The words for a game file that a save finds to be no regular file any more (a FIFO, a
// device or a folder in its place, or a link to one); none while it is a file or missing.
std::optional<QString> NotARegularFileText(const QString& path);
