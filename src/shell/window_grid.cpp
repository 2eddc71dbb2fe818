// SPDX-License-Identifier: GPL-3.0-or-later
// The window's grid: a section chosen and shown, a value committed, a setting shown as the
// player would find it, and what is being typed.
#include "general.h"

#include "change_marks.h"
#include "controls.h"
#include "edit_history.h"
#include "editing/section_procedure.h"
#include "editing/setting_value.h"
#include "key_value_grid.h"
#include "latin1.h"
#include "message_boxes.h"

#include <QTabWidget>

void TForm1::chooseSection(Tab tab)
{
    guarded([this, tab] { fillSection(tab); });
    sectionShown();
}

// Within a running handler, so its guard reports what goes wrong.
void TForm1::fillSection(Tab tab)
{
    ChooseSection(state_, CatalogueOf(tab), *chooser(tab), *ValueList, *messages_);
}

void TForm1::showSetting(const SettingPlace& place)
{
    // The switch resets the new tab's chooser and the grid, as a click on the tab does.
    PageControl1->setCurrentIndex(static_cast<int>(place.tab));
    chooser(place.tab)->setCurrentIndex(place.item);
    chooseSection(place.tab);
    // The section's guard may have refused it; then there is no row to go to.
    if (state_.ShownTab != static_cast<int>(place.tab))
        return;
    ValueList->setFocus();
    ValueList->setCurrentCell(place.row - 1, 1);
    ValueList->showCurrentRowStatus();
}

void TForm1::showUndone(const SettingPlace& place)
{
    const bool shown = state_.ShownTab == static_cast<int>(place.tab) &&
                       chooser(place.tab)->itemIndex() == place.item;
    if (!shown) {
        showSetting(place);
        return;
    }
    ValueList->setCurrentCell(place.row - 1, 1);
    ValueList->showCurrentRowStatus();
}

void TForm1::ValueListValidate(QObject* /*Sender*/, int /*ACol*/, int ARow,
                               const std::string& /*KeyName*/, const std::string& KeyValue)
{
    guarded([&] {
        if (const std::optional<SettingPlace> place = placeOf(ARow))
            showCommitted(ARow, PlanCommit(state_, *place, KeyValue));
    });
}

std::optional<SettingPlace> TForm1::placeOf(int row) const
{
    if (state_.ShownTab < 0 || row < 1 || row > ValueList->rowCount())
        return std::nullopt;
    const Tab tab = static_cast<Tab>(state_.ShownTab);
    return SettingPlace{tab, chooser(tab)->itemIndex(), row};
}

FileWatch::Typing TForm1::typing() const
{
    if (!ValueList->isEditing())
        return {};
    const std::optional<SettingPlace> place = placeOf(ValueList->currentRow() + 1);
    if (!place || RowKeys(*place).empty())
        return {true, std::nullopt};
    return {true, FileOf(place->tab)};
}

void TForm1::showCommitted(int row, const CommitResult& result)
{
    if (!result.refusal.empty())
        messages_->error(QString::fromStdString(result.refusal));
    const std::optional<SettingPlace> place = placeOf(row);
    if (!place)
        return;
    if (!result.changes.empty()) { // a step named for the value its line will show
        const QString value = FromLatin1(
            FieldOf(result.changes.front().after, FieldShown(*RowAt(*place), *ItemAt(*place))));
        editHistory_->perform(StepName(ValueList->key(row)) + QStringLiteral(" = ") + value,
                              {result.changes, {}}, *place);
    }
    // A refused value gives way to the value its line holds.
    if (QTableWidgetItem* cell = ValueList->item(row - 1, 1))
        cell->setText(FromLatin1(ShownValueAt(state_, *place)));
}
