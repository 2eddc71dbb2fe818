// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

// The APO tab (armour, power, offensive), read from APOMemo. The three difficulty items
// show the same thirteen three-value lines, each at its own skill level.

namespace {

// clang-format off

const Section Difficulty = {
    {RowKind::Skill, 90,  "Initial ARMOUR ", "", std::nullopt,
        "Initial armour, single player, each skill level"},
    {RowKind::Skill, 92,  "Initial POWER ", "", std::nullopt,
        "Initial power, single player, each skill level"},
    {RowKind::Skill, 94,  "Initial OFFENSIVE ", "", std::nullopt,
        "Initial offensive, single player, each skill level"},
    {RowKind::Skill, 97,  "Initial potential ARMOUR ", "", std::nullopt,
        "Initial potential armour, single player, each skill level"},
    {RowKind::Skill, 99,  "Initial potential POWER ", "", std::nullopt,
        "Initial potential power, single player, each skill level"},
    {RowKind::Skill, 101, "Initial potential OFFENSIVE ", "", std::nullopt,
        "Initial potential offensive, single player, each skill level"},
    {RowKind::Skill, 104, "Max ARMOUR ", "", std::nullopt,
        "Max armour, single player, each skill level"},
    {RowKind::Skill, 106, "Max POWER ", "", std::nullopt,
        "Max power, single player, each skill level"},
    {RowKind::Skill, 108, "Max OFFENSIVE ", "", std::nullopt,
        "Max offensive, single player, each skill level"},
    {RowKind::Skill, 111, "APO cost (on the fly slot purchase; during race) ", "", std::nullopt,
        "APO cost, single player, each skill level"},
    {RowKind::Skill, 114, "Trade-in APO value (not sure when this is used) ", "", std::nullopt,
        "Trade-in APO value, single player, each skill level"},
    {RowKind::Skill, 117, "APO substitution value (when slots are full & APO is picked up) ", "", std::nullopt,
        "APO substitution value, single player, each skill level"},
    {RowKind::Skill, 120, "APO potential substitution value (when slots are full & APO sub is picked up) ", "", std::nullopt,
        "APO potential substitution value, single player, each skill level"},
};

// The three per-level multipliers follow the starting values in General.txt.
const Section OtherSettings = {
    {RowKind::Single, 123, "Armour starting value (car hardness; not number of APO slots)"},
    {RowKind::Single, 124, "Power starting value (car acceleration/top speed; not number of APO slots)"},
    {RowKind::Single, 125, "Offensive starting value (damage caused; not number of APO slots)"},
    {RowKind::Single, 126, "Armour per-level multiplier (armour is [armour slots * this number])"},
    {RowKind::Single, 127, "Power per-level multiplier (power is [power slots * this number])"},
    {RowKind::Single, 128, "Offensive per-level multiplier (offense is [offensive slots * this number])"},
};

// clang-format on

} // namespace

const TabCatalogue& APOCatalogue()
{
    // clang-format off
    static const TabCatalogue catalogue{
        Tab::APO,
        "APO",
        {
            {"Easy Difficulty",   ItemKind::Section, &Difficulty,    Skill::Easy},
            {"Medium Difficulty", ItemKind::Section, &Difficulty,    Skill::Medium},
            {"Hard Difficulty",   ItemKind::Section, &Difficulty,    Skill::Hard},
            {"Other Settings",    ItemKind::Section, &OtherSettings},
        },
        8,
        "Need to add item: ",
        true, // followed by the item index
        true, // then a blank row
    };
    // clang-format on
    return catalogue;
}
