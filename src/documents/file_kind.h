// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What stands at a path where a file is expected, a link followed to what it leads to.
enum class FileKind { Nothing, Regular, Folder, Fifo, Device, Other };

FileKind KindOfFile(const QString& path);
