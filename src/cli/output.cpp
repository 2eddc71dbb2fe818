// SPDX-License-Identifier: GPL-3.0-or-later
#include "output.h"

#include "arguments.h"
#include "console.h"

#include <QFile>

std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string Number(long long value)
{
    return std::to_string(value);
}

QByteArray Escaped(const std::string& value)
{
    QByteArray text;
    for (char c : value) {
        switch (c) {
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        case '\0':
            text += "\\0";
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::string Place(const SettingPlace& place)
{
    return std::string(ShortName(place.tab)) + ' ' + Number(place.item) + ' ' + Number(place.row);
}

const char* KindName(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Section:
        return "section";
    case ItemKind::Heading:
        return "heading";
    case ItemKind::Unlisted:
        break;
    }
    return "unlisted";
}

namespace {

std::string OtherLines(int count)
{
    return Number(count) + (count == 1 ? " other line" : " other lines");
}

} // namespace

void PrintHistoryEntry(size_t number, const HistoryEntry& entry)
{
    const KeptVersion& version = entry.version;
    PrintOut(Number(static_cast<long long>(number)) + '\t' + ShownTime(version).toStdString() +
             '\t' + HistoryName(version.file).toStdString() + '\n');
    const VersionChanges& changes = entry.changes;
    if (!changes.comparable) {
        PrintOut("\tnot compared: not both of " + Number(LineCountOf(version.file)) + " lines\n");
        return;
    }
    for (const ChangedSetting& change : changes.settings)
        PrintOut(std::string("\t") + ShortName(change.place.tab) + '\t' +
                 CatalogueOf(change.place.tab).items[static_cast<size_t>(change.place.item)].text +
                 '\t' + change.details + '\t' + change.original + " -> " + change.current + '\n');
    if (changes.otherLines > 0)
        PrintOut(std::string(changes.settings.empty() ? "\t" : "\tand ") +
                 OtherLines(changes.otherLines) + '\n');
    else if (changes.settings.empty())
        PrintOut("\tno setting changed\n");
}
