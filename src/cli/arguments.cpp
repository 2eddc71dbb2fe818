#include "arguments.h"

#include "catalogue/catalogue.h"

#include <QByteArray>
#include <climits>
#include <vector>

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerAscii(std::string text)
{
    for (char& c : text)
        c = LowerAscii(c);
    return text;
}

std::string WithoutSurroundingBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

QByteArray Quoted(const std::string& text)
{
    return '"' + QByteArray(text.data(), static_cast<qsizetype>(text.size())) + '"';
}

[[noreturn]] void BadUsage(ConsoleMessages& messages, const QByteArray& text)
{
    messages.say(text);
    throw CommandEnd{ExitTrouble};
}

template <class Matches>
std::vector<int> MatchingItems(const TabCatalogue& catalogue, Matches matches)
{
    std::vector<int> indices;
    for (size_t i = 0; i < catalogue.items.size(); ++i)
        if (matches(catalogue.items[i].text))
            indices.push_back(static_cast<int>(i));
    return indices;
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
    const std::string name = LowerAscii(text);
    for (Tab tab : AllTabs)
        if (name == ShortName(tab) || name == LowerAscii(CatalogueOf(tab).caption))
            return tab;
    BadUsage(messages,
             "Unknown tab " + Quoted(text) + "; use car, ped, misc, apo or the tab's caption.");
}

int ItemArgument(Tab tab, const std::string& text, ConsoleMessages& messages)
{
    if (const std::optional<int> index = WholeNumber(text))
        return *index;
    const TabCatalogue& catalogue = CatalogueOf(tab);
    std::vector<int> indices =
        MatchingItems(catalogue, [&](const std::string& item) { return item == text; });
    if (indices.empty()) {
        const std::string loose = LowerAscii(WithoutSurroundingBlanks(text));
        indices = MatchingItems(catalogue, [&](const std::string& item) {
            return LowerAscii(WithoutSurroundingBlanks(item)) == loose;
        });
    }
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
