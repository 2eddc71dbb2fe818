// SPDX-License-Identifier: GPL-3.0-or-later
#include "arguments.h"

#include "editing/name_matching.h"

#include <QByteArray>
#include <climits>
#include <vector>

namespace {

QByteArray Quoted(const std::string& text)
{
    return '"' + QByteArray(text.data(), static_cast<qsizetype>(text.size())) + '"';
}

[[noreturn]] void BadUsage(ConsoleMessages& messages, const QByteArray& text)
{
    messages.say(text);
    throw CommandEnd{ExitTrouble};
}

} // namespace

const char* ShortName(Tab tab)
{
    switch (tab) {
    case Tab::CarSettings:
        return "car";
    case Tab::Pedestrians:
        return "ped";
    case Tab::Miscellaneous:
        return "misc";
    case Tab::APO:
        break;
    }
    return "apo";
}

std::optional<int> WholeNumber(const std::string& text)
{
    size_t at = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        at = 1;
    if (at == text.size())
        return std::nullopt;
    long long value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9')
            return std::nullopt;
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT_MAX || value < INT_MIN)
        return std::nullopt;
    return static_cast<int>(value);
}

Tab TabArgument(const std::string& text, ConsoleMessages& messages)
{
    for (Tab tab : AllTabs)
        if (SameName(text, ShortName(tab), true))
            return tab;
    if (const std::optional<Tab> tab = TabNamed(text))
        return *tab;
    BadUsage(messages,
             "Unknown tab " + Quoted(text) + "; use car, ped, misc, apo or the tab's caption.");
}

int ItemArgument(Tab tab, const std::string& text, ConsoleMessages& messages)
{
    if (const std::optional<int> index = WholeNumber(text))
        return *index;
    const std::vector<int> indices = ItemsNamed(tab, text);
    if (indices.size() == 1)
        return indices.front();
    if (indices.empty())
        BadUsage(messages, "No item " + Quoted(text) + " on tab " + ShortName(tab) + ".");
    QByteArray list;
    for (int index : indices)
        list += (list.isEmpty() ? "" : ", ") + QByteArray::number(index);
    BadUsage(messages, "Item " + Quoted(text) + " is ambiguous on tab " + ShortName(tab) +
                           "; give its index: " + list + ".");
}
