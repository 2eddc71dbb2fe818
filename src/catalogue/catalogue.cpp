// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

const char* SkillTag(Skill skill)
{
    switch (skill) {
    case Skill::Easy:
        return "(easy)";
    case Skill::Medium:
        return "(medium)";
    case Skill::Hard:
        break;
    }
    return "(hard)";
}

const TabCatalogue& CatalogueOf(Tab tab)
{
    switch (tab) {
    case Tab::CarSettings:
        return CarSettingsCatalogue();
    case Tab::Pedestrians:
        return PedestriansCatalogue();
    case Tab::Miscellaneous:
        return MiscellaneousCatalogue();
    case Tab::APO:
        break;
    }
    return APOCatalogue();
}

Skill RowSkill(const SectionRow& row, const ChooserItem& item)
{
    switch (row.level) {
    case Level::Easy:
        return Skill::Easy;
    case Level::Medium:
        return Skill::Medium;
    case Level::Hard:
        return Skill::Hard;
    case Level::OfItem:
        break;
    }
    return item.skill;
}
