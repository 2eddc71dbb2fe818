// SPDX-License-Identifier: GPL-3.0-or-later
#include "name_matching.h"

#include "catalogue/catalogue.h"

std::string FoldedName(const std::string& name)
{
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    std::string folded = name.substr(first, name.find_last_not_of(' ') - first + 1);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

bool SameName(const std::string& a, const std::string& b, bool folded)
{
    return folded ? FoldedName(a) == FoldedName(b) : a == b;
}

std::vector<int> ItemsNamed(Tab tab, const std::string& text)
{
    const auto& items = CatalogueOf(tab).items;
    return MatchByName([&](bool folded) {
        std::vector<int> indices;
        for (size_t i = 0; i < items.size(); ++i)
            if (SameName(items[i].text, text, folded))
                indices.push_back(static_cast<int>(i));
        return indices;
    });
}

std::optional<Tab> TabNamed(const std::string& text)
{
    const std::vector<Tab> tabs = MatchByName([&](bool folded) {
        std::vector<Tab> named;
        for (Tab tab : AllTabs)
            if (SameName(CatalogueOf(tab).caption, text, folded))
                named.push_back(tab);
        return named;
    });
    if (tabs.empty())
        return std::nullopt;
    return tabs.front();
}
