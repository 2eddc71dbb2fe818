// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalogue/catalogue.h"
#include "editing/save_history.h"
#include "editing/setting_value.h"

#include <QByteArray>
#include <QString>
#include <string>

// How the tool writes what it found: paths as the system's bytes, numbers in decimal,
// values on one line, places as "TAB ITEM ROW".

std::string Bytes(const QString& path);
std::string Number(long long value);
// A value as it can be read on one line: line breaks, TABs and NULs as C escapes.
QByteArray Escaped(const std::string& value);
std::string Place(const SettingPlace& place);
const char* KindName(ItemKind kind);

// One kept version as history lists it: number, time and file, then what changed after it.
void PrintHistoryEntry(size_t number, const HistoryEntry& entry);
