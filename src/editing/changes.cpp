// SPDX-License-Identifier: GPL-3.0-or-later
#include "changes.h"

#include "documents/errors.h"
#include "documents/game_file_reading.h"
#include "documents/game_paths.h"
#include <optional>
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
    ForEachSectionRow([&](const SettingPlace& place, const ChooserItem&, const SectionRow& row) {
        if (FileOf(place.tab) == file && row.kind != RowKind::Note)
            lines.insert(row.line);
    });
    return lines;
}

std::optional<ChangedSetting> ChangeAt(const SettingPlace& place, const ChooserItem& item,
                                       const SectionRow& row, const TextBuffer& current,
                                       const TextBuffer& reference)
{
    std::string now = ShownValue(row, item, current);
    std::string was = ShownValue(row, item, reference);
    if (now == was)
        return std::nullopt;
    return ChangedSetting{place, DetailsText(row, item), std::move(was), std::move(now)};
}

} // namespace

std::vector<ChangedSetting> ChangedSettingsOf(Tab tab, int item, const TextBuffer& current,
                                              const TextBuffer& reference)
{
    std::vector<ChangedSetting> changes;
    const ChooserItem* chosen = ItemAt({tab, item, 0});
    if (!chosen || !chosen->section)
        return changes;
    for (size_t r = 0; r < chosen->section->size(); ++r)
        if (auto change = ChangeAt({tab, item, static_cast<int>(r + 1)}, *chosen,
                                   (*chosen->section)[r], current, reference))
            changes.push_back(std::move(*change));
    return changes;
}

std::vector<ChangedSetting> ChangedSettings(const AppState& current, const AppState& reference)
{
    std::vector<ChangedSetting> changes;
    ForEachSectionRow([&](const SettingPlace& place, const ChooserItem& item,
                          const SectionRow& row) {
        if (auto change =
                ChangeAt(place, item, row, current.document(place.tab), reference.document(place.tab)))
            changes.push_back(std::move(*change));
    });
    return changes;
}

std::vector<ChangedSetting> ChangedSettingsOf(TuningFile file, const TextBuffer& current,
                                              const TextBuffer& reference)
{
    std::vector<ChangedSetting> changes;
    ForEachSectionRow(
        [&](const SettingPlace& place, const ChooserItem& item, const SectionRow& row) {
            if (FileOf(place.tab) != file)
                return;
            if (auto change = ChangeAt(place, item, row, current, reference))
                changes.push_back(std::move(*change));
        });
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
        GameFileRead read = ReadGameFile(file, state.workFile(QLatin1String(ReferenceCopy(file))));
        std::vector<std::string> lines;
        if (read.loaded())
            lines = std::move(read.lines);
        both = both && read.loaded();
        reference.document(file).assign(std::move(lines));
    }
    return both;
}
