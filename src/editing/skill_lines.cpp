#include "skill_lines.h"

#include <algorithm>

namespace {
const std::vector<Tab> Settings{Tab::Pedestrians};
// The three copies of General.txt agree on every three-value line.
const std::vector<Tab> General{Tab::CarSettings, Tab::Miscellaneous, Tab::APO};
constexpr Tab Ped = Tab::Pedestrians;
constexpr Tab Misc = Tab::Miscellaneous;
constexpr Tab Apo = Tab::APO;
} // namespace

const std::vector<SkillLine>& SkillLines()
{
    static const std::vector<SkillLine> lines{
        {14, Ped, Settings, "Points (credits earned per ped (easy, medium, hard)"},
        {15, Ped, Settings, "Time (seconds) scored per ped (easy, medium, hard)"},
        {57, Misc, General, "Seconds per unit car damage for each skill level (with peds)"},
        {58, Misc, General, "Credits per unit car damage for each skill level (with peds)"},
        {59, Misc, General, "Time awarded for wasting car for each skill level (with peds)"},
        {60, Misc, General, "Credits awarded for wasting car for each skill level (with peds)"},
        {61, Misc, General, "Time awarded for rolling car for each skill level (with peds)"},
        {62, Misc, General, "Credits awarded for rolling car for each skill level (with peds)"},
        {63, Misc, General, "Credits awarded for checkpoints for each skill level (with peds)"},
        {66, Misc, General, "Credits per second of time bonus for each skill level"},
        {67, Misc, General, "Cunning stunt bonus for each skill level"},
        {90, Apo, General, "Initial armour, single player, each skill level"},
        {92, Apo, General, "Initial power, single player, each skill level"},
        {94, Apo, General, "Initial offensive, single player, each skill level"},
        {97, Apo, General, "Initial potential armour, single player, each skill level"},
        {99, Apo, General, "Initial potential power, single player, each skill level"},
        {101, Apo, General, "Initial potential offensive, single player, each skill level"},
        {104, Apo, General, "Max armour, single player, each skill level"},
        {106, Apo, General, "Max power, single player, each skill level"},
        {108, Apo, General, "Max offensive, single player, each skill level"},
        {111, Apo, General, "APO cost, single player, each skill level"},
        {114, Apo, General, "Trade-in APO value, single player, each skill level"},
        {117, Apo, General, "APO substitution value, single player, each skill level"},
        {120, Apo, General, "APO potential substitution value, single player, each skill level"},
        {133, Misc, General, "Starting money for each skill level"},
        {136, Misc, General, "Repair cost for each skill level (cred per % damage)"},
        {139, Misc, General, "Recovery cost for each skill level"},
    };
    return lines;
}

const SkillLine* FindSkillLine(int line)
{
    const auto& lines = SkillLines();
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [line](const SkillLine& entry) { return entry.line == line; });
    return found == lines.end() ? nullptr : &*found;
}
