// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

// The Miscellaneous tab, read from MiscMemo. The award and money sections are listed
// once and shown under each difficulty heading; the item picks the skill level.

namespace {

constexpr int NoLine = -1; // a note row reads no line

// clang-format off

const Section CreditAwards = {
    {RowKind::Skill, 58,  "Credits per unit car damage for ", " skill level (with peds)", std::nullopt,
        "Credits per unit car damage for each skill level (with peds)"},
    {RowKind::Skill, 60,  "Credits awarded for wasting car for ", " skill level (with peds)", std::nullopt,
        "Credits awarded for wasting car for each skill level (with peds)"},
    {RowKind::Skill, 62,  "Credits awarded for rolling car for ", " skill level (with peds)", std::nullopt,
        "Credits awarded for rolling car for each skill level (with peds)"},
    {RowKind::Skill, 63,  "Credits awarded for checkpoints for ", " skill level (with peds)", std::nullopt,
        "Credits awarded for checkpoints for each skill level (with peds)"},
    {RowKind::Skill, 67,  "Cunning stunt bonus for ", " skill level", std::nullopt,
        "Cunning stunt bonus for each skill level"},
    {RowKind::Skill, 66,  "Credits per second of time bonus for ", " skill level", std::nullopt,
        "Credits per second of time bonus for each skill level"},
};

const Section TimeAwards = {
    {RowKind::Skill, 59,  "Time awarded for wasting car for ", " skill level (with peds)", std::nullopt,
        "Time awarded for wasting car for each skill level (with peds)"},
    {RowKind::Skill, 61,  "Time awarded for rolling car for ", " skill level (with peds)", std::nullopt,
        "Time awarded for rolling car for each skill level (with peds)"},
    {RowKind::Skill, 57,  "Time awarded per unit car damage for ", " skill level (with peds)", std::nullopt,
        "Seconds per unit car damage for each skill level (with peds)"},
};

const Section OtherSettings = {
    {RowKind::Skill, 133, "Starting money for ", " skill level", std::nullopt,
        "Starting money for each skill level"},
    {RowKind::Skill, 136, "Repair cost for ", " skill level (cred per % damage)", std::nullopt,
        "Repair cost for each skill level (cred per % damage)"},
    {RowKind::Skill, 139, "Recovery cost for ", " skill level", std::nullopt,
        "Recovery cost for each skill level"},
};

const Section MoreSettings = {
    {RowKind::Single, 73,  "Min time in secs after last contact with play before opponent considers repairing"},
    {RowKind::Single, 74,  "Max time in secs after last contact with play before opponent considers repairing"},
    {RowKind::Single, 151, "Pickup respawn min time (seconds)"},
    {RowKind::Single, 152, "Pickup respawn max extra time (seconds)"},
    {RowKind::Single, 166, "Default gravity multiplier"},
};

// Line 84 is not shown.
const Section UnderwaterSettings = {
    {RowKind::Single, 78,     "Gravity multiplier (when underwater; no noticable effect)"},
    {RowKind::Single, 79,     "Viscosity multiplier (water thickness; slows car down; no noticable effect)"},
    {RowKind::Single, 80,     "Car damage per millisecond (no noticable effect)"},
    {RowKind::Single, 81,     "Pedestrian damage per millisecond (no noticable effect)"},
    {RowKind::Single, 82,     "Camera effect index (no noticable effect)"},
    {RowKind::Single, 83,     "Sky colour (no noticable effect)"},
    {RowKind::Single, 85,     "Sound ID of entry noise (no noticable effect)"},
    {RowKind::Single, 86,     "Sound ID of exit noise (no noticable effect)"},
    {RowKind::Single, 87,     "Engine noise index (no noticable effect)"},
    {RowKind::Single, 88,     "Material index (no noticable effect)"},
    {RowKind::Note,   NoLine, "* Underwater Settings make no noticable change in the game."},
};

// clang-format on

} // namespace

const TabCatalogue& MiscellaneousCatalogue()
{
    // clang-format off
    static const TabCatalogue catalogue{
        Tab::Miscellaneous,
        "Miscellaneous",
        {
            {" - Easy Difficulty - - -",   ItemKind::Heading},
            {"Credit Awards",              ItemKind::Section, &CreditAwards,       Skill::Easy},
            {"Time Awards",                ItemKind::Section, &TimeAwards,         Skill::Easy},
            {"Other Settings",             ItemKind::Section, &OtherSettings,      Skill::Easy},
            {" - Medium Difficulty - - -", ItemKind::Heading},
            {"Credit Awards",              ItemKind::Section, &CreditAwards,       Skill::Medium},
            {"Time Awards",                ItemKind::Section, &TimeAwards,         Skill::Medium},
            {"Other Settings",             ItemKind::Section, &OtherSettings,      Skill::Medium},
            {" - Hard Difficulty - - -",   ItemKind::Heading},
            {"Credit Awards",              ItemKind::Section, &CreditAwards,       Skill::Hard},
            {"Time Awards",                ItemKind::Section, &TimeAwards,         Skill::Hard},
            {"Other Settings",             ItemKind::Section, &OtherSettings,      Skill::Hard},
            {" - Other Settings - - -",    ItemKind::Heading},
            {"More Settings",              ItemKind::Section, &MoreSettings},
            {"Underwater Settings*",       ItemKind::Section, &UnderwaterSettings},
        },
        8,
        "Need to add item: ",
        true, // followed by the item index
        true, // then a blank row
    };
    // clang-format on
    return catalogue;
}
