// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting_value.h"

const ChooserItem* ItemAt(const SettingPlace& place)
{
    const auto& items = CatalogueOf(place.tab).items;
    if (place.item < 0 || place.item >= static_cast<int>(items.size()))
        return nullptr;
    return &items[static_cast<size_t>(place.item)];
}

const SectionRow* RowAt(const SettingPlace& place)
{
    const ChooserItem* item = ItemAt(place);
    const Section* section = item ? item->section : nullptr;
    if (!section || place.row < 1 || place.row > static_cast<int>(section->size()))
        return nullptr;
    return &(*section)[static_cast<size_t>(place.row - 1)];
}

LineField FieldShown(const SectionRow& row, const ChooserItem& item)
{
    if (row.kind != RowKind::Skill)
        return SingleValue;
    return RowSkill(row, item);
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
    return FieldOf(buffer.lineOrEmpty(row.line), FieldShown(row, item));
}

std::string RowKeys(const SettingPlace& place)
{
    const SectionRow* row = RowAt(place);
    if (!row || row->kind == RowKind::Note)
        return {};
    return row->kind == RowKind::Skill ? SkillTag(RowSkill(*row, *ItemAt(place))) : row->text;
}

int RowLines(const SettingPlace& place)
{
    const SectionRow* row = RowAt(place);
    return row && row->kind != RowKind::Note ? row->line : 0;
}

std::string ShownValueAt(const AppState& state, const SettingPlace& place)
{
    const SectionRow* row = RowAt(place);
    return row ? ShownValue(*row, *ItemAt(place), state.document(place.tab)) : std::string();
}

void ForEachSectionRow(
    const std::function<void(const SettingPlace&, const ChooserItem&, const SectionRow&)>& visit)
{
    for (Tab tab : AllTabs) {
        const auto& items = CatalogueOf(tab).items;
        for (size_t i = 0; i < items.size(); ++i) {
            if (!items[i].section)
                continue;
            const Section& rows = *items[i].section;
            for (size_t r = 0; r < rows.size(); ++r)
                visit({tab, static_cast<int>(i), static_cast<int>(r + 1)}, items[i], rows[r]);
        }
    }
}
