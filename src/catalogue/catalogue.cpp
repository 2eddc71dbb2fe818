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
    return row.level.value_or(item.skill);
}
