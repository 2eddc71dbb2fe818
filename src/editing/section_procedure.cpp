// SPDX-License-Identifier: GPL-3.0-or-later
#include "section_procedure.h"

#include "documents/game_files.h"
#include "outcome_texts.h"
#include "setting_value.h"

#include <algorithm>

namespace {

void EmptyGridDownToLastRow(Grid& grid)
{
    while (grid.rowCount() > 1)
        grid.deleteRow(1);
}

void DeleteRemainingRow(Grid& grid)
{
    if (grid.rowCount() > 0)
        grid.deleteRow(grid.rowCount());
}

void ShowUnlistedAnswer(const TabCatalogue& tab, int index, Grid& grid, Messages& messages)
{
    QString text = QString::fromLatin1(tab.unlistedMessage.c_str());
    if (tab.unlistedAppendsIndex)
        text += QString::number(index);
    messages.plain(text);
    if (tab.unlistedShowsBlankRow)
        grid.insertTop({}, {});
}

// Fills the rows from the last up to the first: each goes in at the top, so the grid
// ends in the order of the section, entry n at grid row n.
void FillSection(AppState& state, const TabCatalogue& tab, const ChooserItem& item, Grid& grid)
{
    const Section& rows = *item.section;
    // A section fills at most one grid row for each row-table entry; the catalogue is held
    // to that by its tests, and a longer section is cut.
    const int shown = std::min(static_cast<int>(rows.size()), RowTableSize);
    const TextBuffer& buffer = state.document(tab.tab);
    for (int n = shown; n >= 1; --n) {
        const SectionRow& row = rows[static_cast<size_t>(n - 1)];
        if (row.kind == RowKind::Note) {
            grid.insertTop(row.text, {});
            continue;
        }
        grid.insertTop(DetailsText(row, item), ShownValue(row, item, buffer));
    }
    state.ShownTab = static_cast<int>(tab.tab);
}

// The grid, as the list of rows it shows.
class RowList : public Grid {
public:
    std::vector<GridRow> rows;
    int rowCount() const override { return static_cast<int>(rows.size()); }
    void deleteRow(int row) override { rows.erase(rows.begin() + (row - 1)); }
    void insertTop(const std::string& key, const std::string& value) override
    {
        rows.insert(rows.begin(), GridRow{key, value});
    }
};

} // namespace

SectionOutcome ChooseSection(AppState& state, const TabCatalogue& tab, Chooser& chooser, Grid& grid,
                             Messages& messages)
{
    state.ShownTab = -1;
    EmptyGridDownToLastRow(grid);
    if (state.document(tab.tab).count() != LineCountOf(FileOf(tab.tab))) {
        chooser.clearSelection();
        chooser.setText(ChooseSettingText);
        messages.error(GameFilesNotLoadedText());
        return SectionOutcome::NotLoaded;
    }
    DeleteRemainingRow(grid);

    const int index = chooser.itemIndex();
    const bool inList = index >= 0 && index < static_cast<int>(tab.items.size());
    const ChooserItem* item = inList ? &tab.items[static_cast<size_t>(index)] : nullptr;
    if (!item || item->kind == ItemKind::Unlisted) {
        ShowUnlistedAnswer(tab, index, grid, messages);
        return SectionOutcome::Unlisted;
    }
    if (item->kind == ItemKind::Heading) {
        grid.insertTop({}, {});
        return SectionOutcome::Heading;
    }
    FillSection(state, tab, *item, grid);
    return SectionOutcome::Shown;
}

void ResetForTab(AppState& state, Chooser& chooser, Grid& grid)
{
    chooser.clearSelection();
    chooser.setText(ChooseSettingText);
    EmptyGridDownToLastRow(grid);
    DeleteRemainingRow(grid);
    grid.insertTop({}, {});
    state.ShownTab = -1;
}

std::vector<GridRow> ChooseSectionRows(AppState& state, Tab tab, PickedItem& chooser, int item,
                                       Messages& messages, SectionOutcome* outcome)
{
    chooser.index = item;
    RowList grid;
    grid.insertTop({}, {}); // the grid always shows at least one row
    const SectionOutcome shown = ChooseSection(state, CatalogueOf(tab), chooser, grid, messages);
    if (outcome)
        *outcome = shown;
    return grid.rows;
}
