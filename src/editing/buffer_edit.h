// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"

#include <string>
#include <vector>

// What an edit did to the buffers, told by the operation that made it, so that it can be
// taken back and made again without looking at the buffers.

// One line of one buffer as a change left it.
struct LineChange {
    Tab buffer;
    int line;
    std::string before;
    std::string after;
};

// One buffer filled anew (from a reference copy): every line it held, and holds.
struct BufferChange {
    Tab buffer;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

// The lines and the whole buffers one operation changed, in the order it changed them.
struct BufferEdit {
    std::vector<LineChange> lines;
    std::vector<BufferChange> buffers;

    // Whether anything reads differently: a value committed as it stood changes no text.
    bool changesText() const;
};

// Puts back what the edit replaced, the last change first.
void TakeBack(AppState& state, const BufferEdit& edit);
// Makes the edit again over what it replaced.
void MakeAgain(AppState& state, const BufferEdit& edit);
