// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An ordered list of single-byte text lines holding one whole game file.
// Lines are kept exactly as read: every byte but the line break survives.
// The revision counts changes, so a view showing the buffer knows when to refresh.
class TextBuffer {
public:
    TextBuffer() = default;
    explicit TextBuffer(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    int count() const { return static_cast<int>(lines_.size()); }
    bool empty() const { return lines_.empty(); }
    const std::string& line(int index) const { return lines_[static_cast<size_t>(index)]; }
    const std::vector<std::string>& lines() const { return lines_; }
    std::uint64_t revision() const { return revision_; }

    // Returns the line, or an empty text for an index outside the buffer.
    std::string lineOrEmpty(int index) const;
    // Replaces a line; an index outside the buffer changes nothing.
    void setLine(int index, std::string text);
    void append(std::string text);
    void clear();
    void assign(std::vector<std::string> lines);
    // Replaces `removed` lines from `first` on with `added` (used by an edited text view).
    void replaceLines(int first, int removed, std::vector<std::string> added);

private:
    std::vector<std::string> lines_;
    std::uint64_t revision_ = 0;
};

// Splits bytes into lines: a line ends at LF, a CR just before the LF is dropped,
// a final unterminated line counts, and a final LF starts no further line.
// Stops after `limit` lines when limit >= 0 (the caller then knows the file is too long).
std::vector<std::string> SplitLines(const std::string& bytes, int limit = -1);
