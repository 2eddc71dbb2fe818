// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows of the buffers: the section shown again after a handler that
// reloaded them, the grid's name for screen readers, and the file details views.
#include "general.h"

#include "buffer_view.h"
#include "change_marks.h"
#include "catalogue/catalogue.h"
#include "controls.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "editing/section_procedure.h"
#include "key_value_grid.h"
#include "latin1.h"
#include "tab_page.h"

#include <QAction>
#include <QCheckBox>
#include <QSignalBlocker>

void TForm1::sectionShown()
{
    nameGrid();
    if (changeMarks_)
        changeMarks_->refresh();
}

// A screen reader names the grid by the section it shows.
void TForm1::nameGrid()
{
    QString name = QStringLiteral("Settings");
    if (state_.ShownTab >= 0) {
        const Tab tab = static_cast<Tab>(state_.ShownTab);
        const int item = chooser(tab)->itemIndex();
        if (item >= 0 && item < static_cast<int>(CatalogueOf(tab).items.size()))
            name += QStringLiteral(" of ") +
                    FromLatin1(CatalogueOf(tab).items[static_cast<size_t>(item)].text).trimmed();
    }
    ValueList->setAccessibleName(name);
}

void TForm1::showDetails(bool shown)
{
    for (TabPage* page : pages_)
        page->view->setVisible(shown);
}

void TForm1::detailsCheckClick(Tab tab)
{
    const bool checked = pages_[static_cast<size_t>(tab)]->details->isChecked();
    showDetails(checked);
    ShowContents1->setChecked(checked);
}

void TForm1::ShowContents1Click()
{
    const bool show = !ShowContents1->isChecked();
    showDetails(show);
    ShowContents1->setChecked(show);
    for (QCheckBox* box : {DetailsCheck, DetailsCheck2, DetailsCheck3, DetailsCheck4})
        box->setChecked(show);
}
