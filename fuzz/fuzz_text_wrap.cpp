// SPDX-License-Identifier: GPL-3.0-or-later
// Word wrapping of message texts, on any text and line limit.
//
// The wrapped text is the text with CR LF pairs put in, and nothing else changed. When
// the text holds no CR of its own, the inserted breaks can be told from the text's own
// line feeds, and the lines are checked one by one: a break follows a blank, hyphen or
// TAB outside double quotes; a line within the limit was broken at the last such place
// that kept it there; and a line over the limit has no place to break before its last
// character.

#include "require.h"
#include "text_wrap.h"

#include <QString>
#include <algorithm>
#include <array>
#include <vector>

namespace {

bool IsBreakChar(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('\t');
}

// True when `wrapped` is `text` with CR LF pairs put in at any places. The set of
// positions of `text` reached at each position of `wrapped` is followed, since a CR LF
// of the text itself may match an inserted pair or its own characters. Only the sets of
// the next two positions are needed, so three are kept and reused.
bool IsTextWithBreaksPutIn(const QString& text, const QString& wrapped)
{
    std::array<std::vector<int>, 3> reached;
    reached[0] = {0};
    for (int j = 0; j < wrapped.size(); ++j) {
        std::vector<int>& here = reached[static_cast<size_t>(j % 3)];
        std::vector<int>& next = reached[static_cast<size_t>((j + 1) % 3)];
        std::vector<int>& afterPair = reached[static_cast<size_t>((j + 2) % 3)];
        std::sort(here.begin(), here.end());
        here.erase(std::unique(here.begin(), here.end()), here.end());
        const bool pair = wrapped[j] == QLatin1Char('\r') && j + 1 < wrapped.size() &&
                          wrapped[j + 1] == QLatin1Char('\n');
        for (int i : here) {
            if (i < text.size() && text[i] == wrapped[j])
                next.push_back(i + 1);
            if (pair)
                afterPair.push_back(i);
        }
        here.clear();
    }
    const std::vector<int>& end = reached[static_cast<size_t>(wrapped.size() % 3)];
    return std::find(end.begin(), end.end(), text.size()) != end.end();
}

// For a text without CR: the positions of the text before which a break was put in.
// Returns false when the wrapped text is not the text with breaks put in.
bool InsertedBreaks(const QString& text, const QString& wrapped, std::vector<int>& breaks)
{
    int i = 0;
    for (int j = 0; j < wrapped.size();) {
        if (wrapped[j] == QLatin1Char('\r')) {
            if (j + 1 >= wrapped.size() || wrapped[j + 1] != QLatin1Char('\n'))
                return false;
            breaks.push_back(i);
            j += 2;
        } else {
            if (i >= text.size() || text[i] != wrapped[j])
                return false;
            ++i;
            ++j;
        }
    }
    return i == text.size();
}

void CheckLines(const QString& text, const std::vector<int>& breaks, int maxColumn)
{
    // outside[k]: character k is not between double quotes.
    std::vector<bool> outside(static_cast<size_t>(text.size()));
    bool quoted = false;
    for (int k = 0; k < text.size(); ++k) {
        outside[static_cast<size_t>(k)] = !quoted;
        if (text[k] == QLatin1Char('"'))
            quoted = !quoted;
    }
    auto breakPlace = [&](int k) {
        return IsBreakChar(text[k]) && outside[static_cast<size_t>(k)];
    };
    // The end of the text's own line that holds position k.
    auto lineEnd = [&](int k) {
        const int feed = text.indexOf(QLatin1Char('\n'), k);
        return feed < 0 ? static_cast<int>(text.size()) : feed;
    };

    size_t nextBreak = 0;
    int start = 0;
    while (start <= text.size()) {
        const int ownEnd = lineEnd(start);
        const bool broken = nextBreak < breaks.size() && breaks[nextBreak] <= ownEnd;
        const int end = broken ? breaks[nextBreak++] : ownEnd;
        const int length = end - start;
        if (broken) {
            REQUIRE(length > 0);
            REQUIRE(breakPlace(end - 1));
            REQUIRE(end < ownEnd); // something follows on the same line of the text
            if (length <= maxColumn) {
                REQUIRE(ownEnd - start > maxColumn); // the line did not fit
                for (int k = end; k < start + maxColumn; ++k)
                    REQUIRE(!breakPlace(k)); // no later place that kept it within the limit
            }
        }
        if (length > maxColumn)
            for (int k = start; k < end - 1; ++k)
                REQUIRE(!breakPlace(k));
        if (end == text.size())
            break;
        start = broken ? end : end + 1;
    }
    REQUIRE(nextBreak == breaks.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the limit: 60 (the start-up message's) or anything up to 127.
    const int maxColumn = data[0] >= 128 ? 60 : data[0];
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data) + 1,
                                             static_cast<qsizetype>(size - 1));

    const QString wrapped = WrapText(text, maxColumn);
    if (text.contains(QLatin1Char('\r'))) {
        REQUIRE(IsTextWithBreaksPutIn(text, wrapped));
    } else {
        std::vector<int> breaks;
        REQUIRE(InsertedBreaks(text, wrapped, breaks));
        CheckLines(text, breaks, maxColumn);
    }
    return 0;
}
