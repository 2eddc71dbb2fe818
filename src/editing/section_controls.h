// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// A tab's section chooser: an editable drop-down list. Changing it from here
// never runs its change handler.
class Chooser {
public:
    virtual ~Chooser() = default;
    virtual int itemIndex() const = 0; // -1 when no item is selected
    // No item selected; a chooser that had one selected shows empty text.
    virtual void clearSelection() = 0;
    virtual void setText(const std::string& text) = 0;
};

// The key/value grid that the section procedure fills. The window implements it; tests
// and the command-line tool put their own in place.
// Data rows are numbered from 1; the title row has no number.
class Grid {
public:
    virtual ~Grid() = default;
    virtual int rowCount() const = 0;
    virtual void deleteRow(int row) = 0;
    virtual void insertTop(const std::string& key, const std::string& value) = 0;
};
