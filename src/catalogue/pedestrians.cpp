// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

// The Pedestrians tab, read from PedMemo (Settings.txt). "General Stuff - Race" shows
// each of its two three-value lines as three rows, one per skill level.

namespace {

// clang-format off

const Section GeneralStuffTechnical = {
    {RowKind::Single, 4,  "Max distance from camera that peds are processed within"},
    {RowKind::Single, 5,  "Max distance from camera that peds can suddenly pop up at"},
    {RowKind::Single, 12, "Bouyancy factor"},
    {RowKind::Single, 17, "HP damage required per severing"},
    {RowKind::Single, 18, "% chance of severing occuring"},
    {RowKind::Single, 19, "Maximum survivable initial impact force"},
    {RowKind::Single, 20, "HP damage per unit force"},
};

const Section GeneralStuffRace = {
    {RowKind::Skill, 14, "Points (credits) earned per ped ", "", Skill::Easy,
        "Points (credits earned per ped (easy, medium, hard)"},
    {RowKind::Skill, 14, "Points (credits) earned per ped ", "", Skill::Medium,
        "Points (credits earned per ped (easy, medium, hard)"},
    {RowKind::Skill, 14, "Points (credits) earned per ped ", "", Skill::Hard,
        "Points (credits earned per ped (easy, medium, hard)"},
    {RowKind::Skill, 15, "Time (seconds) scored per ped ", "", Skill::Easy,
        "Time (seconds) scored per ped (easy, medium, hard)"},
    {RowKind::Skill, 15, "Time (seconds) scored per ped ", "", Skill::Medium,
        "Time (seconds) scored per ped (easy, medium, hard)"},
    {RowKind::Skill, 15, "Time (seconds) scored per ped ", "", Skill::Hard,
        "Time (seconds) scored per ped (easy, medium, hard)"},
};

const Section StumpGiblets = {
    {RowKind::Single, 194, "Number of spurty lumps at a time"},
    {RowKind::Single, 195, "Spurting period (euurrgghhh!!)"},
    {RowKind::Single, 196, "Total number of parts spurted out by dismembered part"},
};

const Section PedestrianMovement = {
    {RowKind::Single, 273, "Min time between random turns (in seconds)"},
    {RowKind::Single, 274, "Max time between random turns (in seconds)"},
    {RowKind::Single, 275, "Max angle of random turn (in degrees)"},
    {RowKind::Single, 276, "Min walk speed multiplier"},
    {RowKind::Single, 277, "Max walk speed multiplier"},
    {RowKind::Single, 7,   "Max slope that peds will walk on (in degrees)"},
    {RowKind::Single, 9,   "Nearest distance to objects that peds should ideally reach"},
    {RowKind::Single, 10,  "Distance from which turning to avoid obstacles is a possibility"},
};

// clang-format on

} // namespace

const TabCatalogue& PedestriansCatalogue()
{
    // clang-format off
    static const TabCatalogue catalogue{
        Tab::Pedestrians,
        "Pedestrians",
        {
            {"General Stuff - Technical", ItemKind::Section, &GeneralStuffTechnical},
            {"General Stuff - Race",      ItemKind::Section, &GeneralStuffRace},
            {"Stump Giblets",             ItemKind::Section, &StumpGiblets},
            {"Pedestrian Movement",       ItemKind::Section, &PedestrianMovement},
        },
        15,
        "Oops",
        false, // the message stands alone
        false, // and the grid stays without rows
    };
    // clang-format on
    return catalogue;
}
