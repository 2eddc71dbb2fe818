// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

// The Car Settings tab: the car damage model and two weapons, read from Memo1.
// Every setting row is a single value; some sections explain a setting in a note row.

namespace {

constexpr int NoLine = -1; // a note row reads no line

// clang-format off

const Section Bending = {
    {RowKind::Single, 47, "gMin_bend_force (minimum force required to bend car)"},
    {RowKind::Single, 48, "gChance_of_bending (minimum force must be met first; speed/min force relative)"},
    {RowKind::Single, 49, "gMin_bend_angle (bend direction is impact location dependant)"},
    {RowKind::Single, 50, "gMin_bend_damage (minimum mechanical damage taken during bend)"},
    {RowKind::Single, 51, "gMax_bend_damage (maximum mechanical damage taken during bend)"},
};

const Section Buckling = {
    {RowKind::Single, 32, "gChance_of_inverse_buckle (no noticable effect)"},
};

const Section Crushing = {
    {RowKind::Single, 17, "gDistortion_factor (car body mangle [physical damage]; speed dependant)"},
    {RowKind::Single, 18, "gMin_crush_force (min car mechanical [not physical] damage; per speed unit)"},
    {RowKind::Single, 19, "gMax_crush_force (max car mechanical [not physical] damage; per speed unit)"},
    {RowKind::Single, 20, "gForce_to_movement_factor (amount of damage on impact; speed dependant)"},
    {RowKind::Single, 21, "gMax_crush_dist_sq (amount of crush per impact; ever driven a tissue box?)"},
};

const Section Detaching = {
    {RowKind::Single, 42, "gMax_detach_time_ms (maximum time loose panels stay attached; in milliseconds)"},
    {RowKind::Single, 43, "gNormal_force_to_detach (force require to knock off a loose panel)"},
};

const Section FlappingAndJointSnapping = {
    {RowKind::Single, 36,     "gFlap_inertia_fudge_biscuit (effect flapping object has on car dynamics)"},
    {RowKind::Note,   NoLine, "   eg. open doors while flying"},
    {RowKind::Single, 37,     "gBatty_gravity (horizontal/gravity effect on objects not in area of impact?)"},
    {RowKind::Note,   NoLine, "   eg. left of car when front right hits corner of wall"},
    {RowKind::Single, 38,     "gTorque_to_snap_per_tonne (force required to detach flapping object)"},
    {RowKind::Note,   NoLine, "   eg. 0 - doors fall off when opened"},
};

const Section Splitting = {
    {RowKind::Single, 25,     "gMin_force_to_split_XZ_per_tonne (min force to split a car's length or width)"},
    {RowKind::Note,   NoLine, "   eg. a front piece and a back piece or a left piece and a right piece"},
    {RowKind::Single, 26,     "gMin_force_to_split_Y_per_tonne (min force to split a car's height)"},
    {RowKind::Note,   NoLine, "   eg. a top piece and a bottom piece"},
    {RowKind::Single, 27,     "gMin_split_damage (minimum mechanical split damage; + impact damage)"},
    {RowKind::Single, 28,     "gMax_split_damage (maximum mechanical split damage; + impact damage)"},
};

const Section MineAndMortar = {
    {RowKind::Single, 192, "Mine / Mortar Weight"},
};

const Section MutantTailThing = {
    {RowKind::Single, 186, "Number of Links (including ball)"},
    {RowKind::Single, 187, "Mass of each Link"},
    {RowKind::Single, 188, "Mass of Ball"},
};

// clang-format on

} // namespace

const TabCatalogue& CarSettingsCatalogue()
{
    // clang-format off
    static const TabCatalogue catalogue{
        Tab::CarSettings,
        "Car Settings",
        {
            {"  - Impact Data - - -",     ItemKind::Heading},
            {"Bending",                   ItemKind::Section, &Bending},
            {"Buckling",                  ItemKind::Section, &Buckling},
            {"Crushing",                  ItemKind::Section, &Crushing},
            {"Detaching",                 ItemKind::Section, &Detaching},
            {"Flapping & Joint Snapping", ItemKind::Section, &FlappingAndJointSnapping},
            {"Splitting",                 ItemKind::Section, &Splitting},
            {"  - Weapons - - -",         ItemKind::Heading},
            {"Mine & Mortar  ",           ItemKind::Section, &MineAndMortar},
            {"Mutant Tail Thing",         ItemKind::Section, &MutantTailThing},
            {"",                          ItemKind::Unlisted},
        },
        15,
        "Oops, don't do that again.",
        false, // the message stands alone
        false, // and the grid stays without rows
    };
    // clang-format on
    return catalogue;
}
