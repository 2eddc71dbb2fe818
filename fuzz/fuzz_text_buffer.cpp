// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing a whole file, on any bytes.
//
// The lines read are the bytes between line feeds, less a carriage return just before a
// line feed, one per line feed and one more for a final unterminated line; writing them
// and reading the result gives the same lines; the line writer used by every save writes
// what the buffer holds, with the fixed first line in place of line 0 when given one; a
// read that stops after a number of lines gives the first lines of the whole read.

#include "documents/text_buffer.h"
#include "editing/tab_actions.h"
#include "require.h"
#include "support/fakes.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// True when `lines` are `bytes` cut at every line feed, a CR before it dropped.
bool AreTheLinesOf(const std::vector<std::string>& lines, const std::string& bytes)
{
    size_t at = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (line.find('\n') != std::string::npos || bytes.compare(at, line.size(), line) != 0)
            return false;
        at += line.size();
        if (at == bytes.size())
            return n + 1 == lines.size(); // the final unterminated line
        if (bytes.compare(at, 2, "\r\n") == 0)
            at += 2;
        else if (bytes[at] == '\n')
            at += 1;
        else
            return false;
    }
    return at == bytes.size();
}

std::string Written(const TextBuffer& buffer, const char* firstLine)
{
    FakeProgress progress;
    progress.setMaximum(buffer.count());
    std::string bytes = FileBytes(buffer, firstLine, progress);
    REQUIRE(progress.pos <= std::max(buffer.count(), 0));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitLines(bytes);

    const size_t lineFeeds = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    const bool unterminated = !bytes.empty() && bytes.back() != '\n';
    REQUIRE(lines.size() == lineFeeds + (unterminated ? 1 : 0));
    REQUIRE(AreTheLinesOf(lines, bytes));

    const TextBuffer buffer(lines);
    const std::string joined = Written(buffer, nullptr);
    REQUIRE(SplitLines(joined) == lines);
    REQUIRE(Written(TextBuffer(SplitLines(joined)), nullptr) == joined);
    if (!lines.empty()) {
        const char* header = "0\t\t\t\t\t\t// Disable TIFF conversion";
        const std::string withHeader = Written(buffer, header);
        REQUIRE(withHeader == std::string(header) + "\r\n" + joined.substr(lines[0].size() + 2));
        std::vector<std::string> expected = lines;
        expected[0] = header;
        REQUIRE(SplitLines(withHeader) == expected);
    }

    for (int limit : {0, 1, static_cast<int>(lines.size() / 2), static_cast<int>(lines.size()),
                      static_cast<int>(lines.size()) + 1}) {
        const std::vector<std::string> first = SplitLines(bytes, limit);
        const size_t count = std::min(lines.size(), static_cast<size_t>(limit));
        REQUIRE(first ==
                std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(count)));
    }
    return 0;
}
