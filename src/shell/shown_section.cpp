// SPDX-License-Identifier: GPL-3.0-or-later
#include "shown_section.h"

#include "controls.h"
#include "documents/game_files.h"
#include "editing/section_procedure.h"
#include "editing/setting_value.h"
#include "key_value_grid.h"
#include "latin1.h"

class ShownSection::LoadChooser : public Chooser {
public:
    LoadChooser(const AppState& state, Tab tab, SectionChooser& chooser)
        : state_(state), tab_(tab), chooser_(chooser)
    {
    }
    int itemIndex() const override { return chooser_.itemIndex(); }
    void clearSelection() override
    {
        if (state_.ShownTab != static_cast<int>(tab_))
            chooser_.clearSelection();
    }
    void setText(const std::string& text) override { chooser_.setText(text); }

private:
    const AppState& state_;
    Tab tab_;
    SectionChooser& chooser_;
};

ShownSection::ShownSection(AppState& state, KeyValueGrid& grid,
                           std::array<SectionChooser*, TabCount> choosers, QObject* parent)
    : QObject(parent), state_(state), grid_(grid), choosers_(choosers)
{
    for (Tab tab : AllTabs)
        loadChoosers_[static_cast<size_t>(tab)] =
            std::make_unique<LoadChooser>(state, tab, *choosers[static_cast<size_t>(tab)]);
    for (TuningFile file : TuningFiles)
        connect(&state.document(file), &GameDocument::linesChanged, this,
                [this, file](int first, int removed, int added) {
                    documentChanged(file, first, removed, added);
                });
}

ShownSection::~ShownSection() = default;

Chooser& ShownSection::chooserForLoads(Tab tab)
{
    return *loadChoosers_[static_cast<size_t>(tab)];
}

void ShownSection::documentChanged(TuningFile file, int first, int removed, int added)
{
    if (state_.ShownTab < 0 || FileOf(static_cast<Tab>(state_.ShownTab)) != file)
        return;
    const Tab tab = static_cast<Tab>(state_.ShownTab);
    if (!DocumentLoaded(state_, file)) {
        ResetForTab(state_, *choosers_[static_cast<size_t>(tab)], grid_);
        emit changed();
        return;
    }
    // Lines that moved (a file details view's typing) change every line after them.
    const int last = removed == added ? first + added - 1 : state_.document(file).count() - 1;
    updateValues(tab, first, last);
}

void ShownSection::updateValues(Tab tab, int first, int last)
{
    bool updated = false;
    const int item = choosers_[static_cast<size_t>(tab)]->itemIndex();
    for (int row = 1; row <= grid_.rowCount(); ++row) {
        const SettingPlace place{tab, item, row};
        const int line = RowLines(place);
        if (RowKeys(place).empty() || line < first || line > last)
            continue;
        QTableWidgetItem* cell = grid_.item(row - 1, 1);
        const QString value = FromLatin1(ShownValueAt(state_, place));
        if (cell && cell->text() != value) {
            cell->setText(value);
            updated = true;
        }
    }
    if (updated)
        emit changed();
}
