// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffer_edit.h"

#include <algorithm>

bool BufferEdit::changesText() const
{
    return std::any_of(lines.begin(), lines.end(),
                       [](const LineChange& change) { return change.before != change.after; }) ||
           std::any_of(buffers.begin(), buffers.end(),
                       [](const BufferChange& change) { return change.before != change.after; });
}

void TakeBack(AppState& state, const BufferEdit& edit)
{
    for (auto change = edit.buffers.rbegin(); change != edit.buffers.rend(); ++change)
        state.buffer(change->buffer).assign(change->before);
    for (auto change = edit.lines.rbegin(); change != edit.lines.rend(); ++change)
        state.buffer(change->buffer).setLine(change->line, change->before);
}

void MakeAgain(AppState& state, const BufferEdit& edit)
{
    for (const LineChange& change : edit.lines)
        state.buffer(change.buffer).setLine(change.line, change.after);
    for (const BufferChange& change : edit.buffers)
        state.buffer(change.buffer).assign(change.after);
}
