// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "editing/section_controls.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class KeyValueGrid;
class SectionChooser;

// Keeps the grid in step with the documents while it shows a section: the value of each
// row whose line changed is changed in its cell, in place, so the current cell, the focus
// and a screen reader's cell stay where they are. A document that can no longer show the
// section (emptied, or of another line count) empties the grid, as a change of tab does.
class ShownSection : public QObject {
    Q_OBJECT
public:
    ShownSection(AppState& state, KeyValueGrid& grid,
                 std::array<SectionChooser*, TabCount> choosers, QObject* parent = nullptr);
    ~ShownSection() override;

    // The chooser a load of a document resets: that of the tab whose section the grid
    // shows keeps its item, as the grid keeps showing the section from the new lines.
    Chooser& chooserForLoads(Tab tab);

signals:
    // Values in the grid changed, or the grid was emptied.
    void changed();

private:
    class LoadChooser;
    void documentChanged(TuningFile file, int first, int removed, int added);
    void updateValues(Tab tab, int first, int last);

    AppState& state_;
    KeyValueGrid& grid_;
    std::array<SectionChooser*, TabCount> choosers_;
    std::array<std::unique_ptr<LoadChooser>, TabCount> loadChoosers_;
};
