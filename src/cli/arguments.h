// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "console.h"

#include "documents/app_state.h"

#include <array>
#include <optional>
#include <string>

// The short name of a tab on the command line and in the output: car, ped, misc, apo.
const char* ShortName(Tab tab);

// A whole number in decimal, with an optional sign, that fits an int.
std::optional<int> WholeNumber(const std::string& text);

// The tab named by its short name or its caption, in any letter case and without regard
// to surrounding blanks. Ends the command
// with bad usage for any other text.
Tab TabArgument(const std::string& text, ConsoleMessages& messages);

// A chooser item: any whole number is taken as the item index; otherwise the text must
// name exactly one item of the tab (as it stands, or else without regard to letter case
// and surrounding blanks). Ends the command with bad usage for an unknown or ambiguous
// text, listing the indices that match.
int ItemArgument(Tab tab, const std::string& text, ConsoleMessages& messages);
