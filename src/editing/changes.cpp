#include "changes.h"

#include "documents/errors.h"
#include "documents/file_operations.h"
#include "documents/game_paths.h"
#include "value_rule.h"

#include <set>

namespace {

std::string ValuesPart(const std::string& line)
{
    return line.substr(0, line.find('\t'));
}

// The lines that the sections of the tabs holding the file show.
std::set<int> ShownLines(TuningFile file)
{
    std::set<int> lines;
    for (int t = 0; t < TabCount; ++t) {
        const TabCatalogue& tab = CatalogueOf(static_cast<Tab>(t));
        if (FileOf(tab.tab) != file)
            continue;
        for (const ChooserItem& item : tab.items)
            if (item.section)
                for (const SectionRow& row : *item.section)
                    if (row.kind != RowKind::Note)
                        lines.insert(row.line);
    }
    return lines;
}

} // namespace

const SectionRow* RowAt(const SettingPlace& place)
{
    const auto& items = CatalogueOf(place.tab).items;
    if (place.item < 0 || place.item >= static_cast<int>(items.size()))
        return nullptr;
    const Section* section = items[static_cast<size_t>(place.item)].section;
    if (!section || place.row < 1 || place.row > static_cast<int>(section->size()))
        return nullptr;
    return &(*section)[static_cast<size_t>(place.row - 1)];
}

std::string DetailsText(const SectionRow& row, const ChooserItem& item)
{
    if (row.kind == RowKind::Skill)
        return row.text + SkillTag(RowSkill(row, item)) + row.tail;
    return row.text;
}

std::string ShownValue(const SectionRow& row, const ChooserItem& item, const TextBuffer& buffer)
{
    if (row.kind == RowKind::Note)
        return {};
    const LineField field =
        row.kind == RowKind::Single ? LineField::Single : FieldOfSkill(RowSkill(row, item));
    return FieldOf(buffer.lineOrEmpty(row.line), field);
}

std::vector<ChangedSetting> ChangedSettingsOf(Tab tab, int item, const TextBuffer& current,
                                              const TextBuffer& reference)
{
    std::vector<ChangedSetting> changes;
    const auto& items = CatalogueOf(tab).items;
    if (item < 0 || item >= static_cast<int>(items.size()) ||
        !items[static_cast<size_t>(item)].section)
        return changes;
    const ChooserItem& chosen = items[static_cast<size_t>(item)];
    const Section& rows = *chosen.section;
    for (size_t r = 0; r < rows.size(); ++r) {
        std::string now = ShownValue(rows[r], chosen, current);
        std::string was = ShownValue(rows[r], chosen, reference);
        if (now != was)
            changes.push_back({{tab, item, static_cast<int>(r + 1)},
                               DetailsText(rows[r], chosen),
                               std::move(was),
                               std::move(now)});
    }
    return changes;
}

std::vector<ChangedSetting> ChangedSettings(const AppState& current, const AppState& reference)
{
    std::vector<ChangedSetting> changes;
    for (int t = 0; t < TabCount; ++t) {
        const Tab tab = static_cast<Tab>(t);
        const auto& items = CatalogueOf(tab).items;
        for (size_t i = 0; i < items.size(); ++i) {
            std::vector<ChangedSetting> section = ChangedSettingsOf(
                tab, static_cast<int>(i), current.buffer(tab), reference.buffer(tab));
            changes.insert(changes.end(), section.begin(), section.end());
        }
    }
    return changes;
}

int OtherLinesChanged(TuningFile file, const TextBuffer& current, const TextBuffer& reference)
{
    const std::set<int> shown = ShownLines(file);
    int count = 0;
    for (int line = 1; line < current.count() && line < reference.count(); ++line)
        if (shown.count(line) == 0 &&
            ValuesPart(current.line(line)) != ValuesPart(reference.line(line)))
            ++count;
    return count;
}

bool ReadReferenceCopies(const AppState& state, AppState& reference)
{
    bool both = true;
    for (TuningFile file : TuningFiles) {
        const QString path = state.workFile(QLatin1String(ReferenceCopy(file)));
        std::vector<std::string> lines;
        bool read = false;
        try {
            const int limit = LineCountOf(file) + 1; // one more tells a longer copy
            // Only a regular file: opening a pipe would wait for a writer.
            read = FileExists(path) && ReadLinesFrom(path, limit, lines) &&
                   static_cast<int>(lines.size()) == LineCountOf(file);
        } catch (const FileError&) {
            read = false;
        }
        if (!read)
            lines.clear();
        both = both && read;
        for (Tab tab : BuffersOf(file))
            reference.buffer(tab).assign(lines);
    }
    return both;
}
