// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"

#include <optional>
#include <string>
#include <vector>

// Tabs, items and settings named by the player, on the command line or in a tuning set.
// A name matches as it stands or, when nothing matches it so, without regard to letter
// case and surrounding blanks.

// The name with surrounding blanks dropped and the letters A to Z made small.
std::string FoldedName(const std::string& name);

// Whether the two names are the same, as they stand or, when `folded`, once folded.
bool SameName(const std::string& a, const std::string& b, bool folded);

// What `collect(folded)` finds as the names stand, or else what it finds folded.
template <class Collect> auto MatchByName(Collect collect) -> decltype(collect(false))
{
    auto found = collect(false);
    if (found.empty())
        found = collect(true);
    return found;
}

// The indices of the tab's chooser items the text names.
std::vector<int> ItemsNamed(Tab tab, const std::string& text);

// The tab whose caption the text names, if any.
std::optional<Tab> TabNamed(const std::string& text);
