// SPDX-License-Identifier: GPL-3.0-or-later
#include "changes_list.h"

#include "catalogue/catalogue.h"
#include "documents/reference_copies.h"
#include "editing/outcome_texts.h"
#include "editing/write_back.h"
#include "latin1.h"

#include <optional>

QString SectionLabel(const SettingPlace& place)
{
    const ChooserItem* shown = ItemAt(place);
    if (!shown)
        return {};
    QString label = FromLatin1(shown->text).trimmed();
    for (const ChooserItem& item : CatalogueOf(place.tab).items)
        if (&item != shown && item.section == shown->section && item.skill != shown->skill)
            return label + QLatin1Char(' ') + QLatin1String(SkillTag(shown->skill));
    return label;
}

ChangesList ListChanges(const AppState& state, const AppState& reference)
{
    ChangesList list;
    for (TuningFile file : TuningFiles)
        if (reference.document(file).empty() || state.document(file).empty())
            return list;
    list.referenceRead = true;
    // What the files held when last read or written, to tell a saved value from another.
    std::array<std::optional<TextBuffer>, 2> disk;
    for (TuningFile file : TuningFiles) {
        const auto& stamp = state.document(file).stamp();
        if (stamp)
            disk[static_cast<size_t>(file)].emplace(stamp->lines);
        list.otherLines[static_cast<size_t>(file)] =
            OtherLinesChanged(file, state.document(file), reference.document(file));
    }
    for (ChangedSetting& change : ChangedSettings(state, reference)) {
        const SettingPlace& place = change.place;
        const std::optional<TextBuffer>& saved = disk[static_cast<size_t>(FileOf(place.tab))];
        ChangeRow row;
        row.tab = FromLatin1(CatalogueOf(place.tab).caption);
        row.section = SectionLabel(place);
        row.saved = saved && ShownValue(*RowAt(place), *ItemAt(place), *saved) == change.current;
        row.change = std::move(change);
        list.rows.push_back(std::move(row));
    }
    return list;
}

DocumentEdit PlanResets(const AppState& state, const std::vector<SettingPlace>& places,
                        const AppState& reference, std::string& refusal)
{
    // Each reset sees the ones before it: several skill values share a line.
    AppState copy = state;
    DocumentEdit edit;
    for (const SettingPlace& place : places) {
        const CommitResult result = ResetValue(copy, place, reference.document(place.tab));
        if (refusal.empty())
            refusal = result.refusal;
        edit.lines.insert(edit.lines.end(), result.changes.begin(), result.changes.end());
    }
    return edit;
}

QString Count(size_t count, const char* one, const char* many)
{
    return count == 1 ? QStringLiteral("1 ") + QLatin1String(one)
                      : QString::number(count) + QLatin1Char(' ') + QLatin1String(many);
}

QString ChangesSummary(const AppState& state, const ChangesList& list)
{
    if (state.GeneralText.empty() || state.SettingsText.empty())
        return GameFilesNotLoadedText();
    if (!list.referenceRead)
        return QStringLiteral("The reference copies \"%1\" and \"%2\" are needed to tell what "
                              "changed; they could not be read.")
            .arg(QLatin1String(OriginalGeneral), QLatin1String(OriginalSettings));
    QString text = Count(list.rows.size(), "setting differs", "settings differ") +
                   QStringLiteral(" from the reference copies.");
    for (TuningFile file : TuningFiles)
        if (const int others = list.otherLines[static_cast<size_t>(file)])
            text += QStringLiteral(" %1: other lines differ: %2.")
                        .arg(QLatin1String(GameFileName(file)))
                        .arg(others);
    return text;
}

std::vector<SettingPlace> PlacesWhere(const ChangesList& list,
                                      const std::function<bool(const SettingPlace&)>& keep)
{
    std::vector<SettingPlace> places;
    for (const ChangeRow& row : list.rows)
        if (keep(row.change.place))
            places.push_back(row.change.place);
    return places;
}

int IndexOf(const ChangesList& list, const SettingPlace& place)
{
    for (size_t i = 0; i < list.rows.size(); ++i) {
        const SettingPlace& at = list.rows[i].change.place;
        if (at.tab == place.tab && at.item == place.item && at.row == place.row)
            return static_cast<int>(i);
    }
    return -1;
}
