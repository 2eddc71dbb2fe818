// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning_set.h"

#include "documents/errors.h"
#include "documents/game_file_reading.h"
#include "documents/game_paths.h"
#include "documents/locked_write.h"
#include "name_matching.h"
#include "write_back.h"

#include <cstring>

namespace {

constexpr const char* ByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* HeaderStart = "Tunedeck tuning set ";

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t at = 0;
    for (size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1)
        fields.push_back(line.substr(at, tab - at));
    fields.push_back(line.substr(at));
    return fields;
}

std::string Quoted(const std::string& text)
{
    return '"' + text + '"';
}

bool IsCommentOrEmpty(const std::string& line)
{
    return line.empty() || line[0] == '#';
}

void CheckHeader(const std::vector<std::string>& lines)
{
    std::string header = lines.empty() ? std::string() : lines[0];
    if (header.compare(0, 3, ByteOrderMark) == 0)
        header.erase(0, 3);
    if (header == TuningSetHeader)
        return;
    if (header.compare(0, std::strlen(TuningSetHeader), TuningSetHeader) == 0 &&
        header[std::strlen(TuningSetHeader)] == '\r')
        throw TuningSetError(1, "its lines end in a lone CR; a tuning set's lines end in LF or "
                                "CR LF");
    if (header.compare(0, std::strlen(HeaderStart), HeaderStart) == 0)
        throw TuningSetError(1, "version " + header.substr(std::strlen(HeaderStart)) +
                                    " of the tuning-set format is not known; this is version 1");
    throw TuningSetError(1, std::string("not a tuning set: the first line must read ") +
                                Quoted(TuningSetHeader));
}

Tab TabOfEntry(const std::string& name, int line)
{
    if (const std::optional<Tab> tab = TabNamed(name))
        return *tab;
    throw TuningSetError(line, "no tab " + Quoted(name) +
                                   "; the tabs are Car Settings, Pedestrians, Miscellaneous "
                                   "and APO");
}

// The settings of the tab whose item and Details texts match, as they stand or folded.
std::vector<SettingPlace> Matching(Tab tab, const std::string& item, const std::string& details,
                                   bool folded)
{
    std::vector<SettingPlace> places;
    ForEachSectionRow([&](const SettingPlace& place, const ChooserItem& shown,
                          const SectionRow& row) {
        if (place.tab == tab && row.kind != RowKind::Note && SameName(shown.text, item, folded) &&
            SameName(DetailsText(row, shown), details, folded))
            places.push_back(place);
    });
    return places;
}

TuningEntry ReadEntry(const std::string& text, int line)
{
    const std::vector<std::string> fields = Fields(text);
    if (fields.size() != 4)
        throw TuningSetError(line, "neither a comment nor an entry (tab, item, Details and "
                                   "value, separated by TABs)");
    const Tab tab = TabOfEntry(fields[0], line);
    const std::vector<SettingPlace> places =
        MatchByName([&](bool folded) { return Matching(tab, fields[1], fields[2], folded); });
    if (places.size() != 1)
        throw TuningSetError(line, (places.empty() ? "no setting " : "more than one setting ") +
                                       Quoted(fields[2]) + " under item " + Quoted(fields[1]) +
                                       " of tab " + CatalogueOf(tab).caption);
    return {places.front(), fields[3], line};
}

} // namespace

std::vector<TuningEntry> ReadTuningSet(const std::vector<std::string>& lines)
{
    CheckHeader(lines);
    std::vector<TuningEntry> entries;
    for (size_t i = 1; i < lines.size(); ++i)
        if (!IsCommentOrEmpty(lines[i]))
            entries.push_back(ReadEntry(lines[i], static_cast<int>(i + 1)));
    return entries;
}

std::string WriteTuningSet(const std::vector<ChangedSetting>& changes)
{
    std::string text = std::string(TuningSetHeader) + "\r\n";
    text += "# Settings that differ from the reference copies, one a line: tab, item, "
            "Details and value, separated by TABs.\r\n";
    for (const ChangedSetting& change : changes) {
        const TabCatalogue& tab = CatalogueOf(change.place.tab);
        text += tab.caption + '\t' + tab.items[static_cast<size_t>(change.place.item)].text + '\t' +
                change.details + '\t' + change.current + "\r\n";
    }
    return text;
}

std::vector<TuningEntry> ReadTuningSetFile(const QString& path)
{
    if (!FileExists(path))
        throw FileError(QStringLiteral("Cannot find file \"%1\".").arg(path));
    std::vector<std::string> lines;
    if (!ReadLinesFrom(path, -1, lines))
        throw TuningSetError(1, "not a tuning set: the file is far too large");
    return ReadTuningSet(lines);
}

void WriteTuningSetFile(const QString& path, const std::string& text)
{
    WriteFileLocked(path, text);
}

std::set<TuningFile> FilesOf(const std::vector<TuningEntry>& entries)
{
    std::set<TuningFile> files;
    for (const TuningEntry& entry : entries)
        files.insert(FileOf(entry.place.tab));
    return files;
}

bool BuffersReadyFor(const AppState& state, const std::vector<TuningEntry>& entries)
{
    for (TuningFile file : FilesOf(entries))
        if (!DocumentLoaded(state, file))
            return false;
    return true;
}

AppliedTuningSet ApplyTuningSet(AppState& state, const std::vector<TuningEntry>& entries,
                                const AppState* reference)
{
    AppliedTuningSet applied;
    DocumentEdit& changes = applied.changes;
    for (const TuningEntry& entry : entries) {
        const Tab tab = entry.place.tab;
        if (!RowAt(entry.place)) {
            TakeBack(state, changes);
            throw TuningSetError(entry.line, "no setting at item " +
                                                 std::to_string(entry.place.item) + ", row " +
                                                 std::to_string(entry.place.row) + " of tab " +
                                                 CatalogueOf(tab).caption);
        }
        CommitResult result = CommitValue(state, entry.place, entry.value,
                                          reference ? &reference->document(tab).text() : nullptr);
        if (!result.refusal.empty()) {
            TakeBack(state, changes);
            std::string reason = result.refusal;
            if (!reason.empty() && reason.back() == '.')
                reason.pop_back(); // the message around it ends the sentence
            throw TuningSetError(entry.line, reason);
        }
        changes.lines.insert(changes.lines.end(), result.changes.begin(), result.changes.end());
        applied.shapeNotes.push_back(std::move(result.shapeNote));
    }
    return applied;
}

QString TuningSetRefusal(const QString& setName, const TuningSetError& error)
{
    return QStringLiteral("%1, line %2: %3")
        .arg(setName)
        .arg(error.line())
        .arg(QString::fromLatin1(error.what()));
}
