// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_document.h"

#include <algorithm>

GameDocument::GameDocument(const GameDocument& other)
    : QObject(), text_(other.text_), stamp_(other.stamp_)
{
}

GameDocument& GameDocument::operator=(const GameDocument& other)
{
    if (this != &other) {
        assign(other.lines());
        setStamp(other.stamp());
    }
    return *this;
}

void GameDocument::setLine(int index, std::string text)
{
    if (index < 0 || index >= count() || text_.line(index) == text)
        return;
    text_.setLine(index, std::move(text));
    emit linesChanged(index, 1, 1);
}

void GameDocument::assign(std::vector<std::string> lines)
{
    if (lines == text_.lines())
        return;
    const int removed = count();
    text_.assign(std::move(lines));
    emit linesChanged(0, removed, count());
}

void GameDocument::replaceLines(int first, int removed, std::vector<std::string> added)
{
    first = std::clamp(first, 0, count());
    removed = std::clamp(removed, 0, count() - first);
    const int addedCount = static_cast<int>(added.size());
    text_.replaceLines(first, removed, std::move(added));
    emit linesChanged(first, removed, addedCount);
}

void GameDocument::setStamp(std::optional<FileStamp> stamp)
{
    if (stamp == stamp_)
        return;
    stamp_ = std::move(stamp);
    emit stampChanged();
}

bool GameDocument::holdsUnsavedEdits() const
{
    if (!stamp_)
        return !empty();
    // Line 0 is not compared: a save writes the fixed first line in its place.
    const std::vector<std::string>& saved = stamp_->lines;
    return count() != static_cast<int>(saved.size()) ||
           !std::equal(lines().begin() + std::min(1, count()), lines().end(),
                       saved.begin() + std::min<size_t>(1, saved.size()));
}
