// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_buffer.h"

#include <algorithm>

std::string TextBuffer::lineOrEmpty(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return lines_[static_cast<size_t>(index)];
}

void TextBuffer::setLine(int index, std::string text)
{
    if (index < 0 || index >= count())
        return;
    lines_[static_cast<size_t>(index)] = std::move(text);
    ++revision_;
}

void TextBuffer::append(std::string text)
{
    lines_.push_back(std::move(text));
    ++revision_;
}

void TextBuffer::clear()
{
    lines_.clear();
    ++revision_;
}

void TextBuffer::assign(std::vector<std::string> lines)
{
    lines_ = std::move(lines);
    ++revision_;
}

void TextBuffer::replaceLines(int first, int removed, std::vector<std::string> added)
{
    first = std::clamp(first, 0, count());
    removed = std::clamp(removed, 0, count() - first);
    auto at = lines_.begin() + first;
    at = lines_.erase(at, at + removed);
    lines_.insert(at, std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    ++revision_;
}

std::vector<std::string> SplitLines(const std::string& bytes, int limit)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        if (limit >= 0 && static_cast<int>(lines.size()) >= limit)
            break;
        size_t end = bytes.find('\n', start);
        const bool terminated = end != std::string::npos;
        if (!terminated)
            end = bytes.size();
        size_t length = end - start;
        if (terminated && length > 0 && bytes[end - 1] == '\r')
            --length;
        lines.emplace_back(bytes, start, length);
        start = terminated ? end + 1 : end;
    }
    return lines;
}
