#include "tuning_set.h"

#include "documents/errors.h"
#include "documents/file_operations.h"
#include "documents/game_paths.h"
#include "documents/interfaces.h"
#include "documents/locked_write.h"
#include "name_matching.h"
#include "section_procedure.h"
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
    const auto& items = CatalogueOf(tab).items;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].section || !SameName(items[i].text, item, folded))
            continue;
        const Section& rows = *items[i].section;
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r].kind != RowKind::Note &&
                SameName(DetailsText(rows[r], items[i]), details, folded))
                places.push_back({tab, static_cast<int>(i), static_cast<int>(r + 1)});
    }
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

// The choice of a section tells no one: a refused entry is told by its caller.
class Unheard : public Messages {
public:
    void error(const QString&) override {}
    void warning(const QString&) override {}
    void information(const QString&) override {}
    void plain(const QString&) override {}
    void report(const QString&) override {}
};

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
        if (!BuffersLoaded(state, file))
            return false;
    return true;
}

std::vector<LineChange> ApplyTuningSet(AppState& state, const std::vector<TuningEntry>& entries)
{
    const AppState before = state;
    std::vector<LineChange> changes;
    PickedItem chooser;
    Unheard messages;
    for (const TuningEntry& entry : entries) {
        const Tab tab = entry.place.tab;
        ChooseSectionRows(state, tab, chooser, entry.place.item, messages);
        const SectionRow* row = RowAt(entry.place);
        if (!row) {
            state = before;
            throw TuningSetError(entry.line, "no setting at item " +
                                                 std::to_string(entry.place.item) + ", row " +
                                                 std::to_string(entry.place.row) + " of tab " +
                                                 CatalogueOf(tab).caption);
        }
        const ChooserItem& item = CatalogueOf(tab).items[static_cast<size_t>(entry.place.item)];
        CommitResult result =
            CommitGridValue(state, entry.place.row, DetailsText(*row, item), entry.value);
        if (!result.refusal.empty()) {
            state = before;
            std::string reason = result.refusal;
            if (!reason.empty() && reason.back() == '.')
                reason.pop_back(); // the message around it ends the sentence
            throw TuningSetError(entry.line, reason);
        }
        changes.insert(changes.end(), result.changes.begin(), result.changes.end());
    }
    // What the grid shows stays as it was.
    state.RowKeys = before.RowKeys;
    state.RowValues = before.RowValues;
    state.RowLines = before.RowLines;
    state.ShownTab = before.ShownTab;
    state.LineText = before.LineText;
    state.SingleField = before.SingleField;
    state.EasyField = before.EasyField;
    state.MediumField = before.MediumField;
    state.HardField = before.HardField;
    return changes;
}
